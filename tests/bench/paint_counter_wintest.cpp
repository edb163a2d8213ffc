// The paint count the benchmark reports must count each paint of a progress
// bar once, whichever way it reaches the bar, and nothing else.
#include "bench/CPaintCounterHooks.h"
#include "support/TestMedium.h"
#include "support/Wait.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace
{
class PaintCounter : public ::testing::Test
{
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_PROGRESS_CLASS};
        ::InitCommonControlsEx(&icc);
        m_hTop = ::CreateWindowExA(0, "STATIC", "top", WS_POPUP | WS_VISIBLE, 10, 10, 300, 100,
                                   NULL, NULL, NULL, NULL);
        m_hBar = ::CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 10, 10, 200, 20,
                                   m_hTop, NULL, NULL, NULL);
        m_hLabel = ::CreateWindowExA(0, "STATIC", "label", WS_CHILD | WS_VISIBLE, 10, 40, 200, 20,
                                     m_hTop, NULL, NULL, NULL);
        ASSERT_TRUE(m_hTop && m_hBar && m_hLabel);
        PumpMessages();
        std::string library = WinePath(TESSORA_BUILD_DIR "/bench/bench_paints.dll");
        ASSERT_TRUE(m_hooks.Attach(library, ::GetCurrentThreadId()));
    }
    void TearDown() override
    {
        m_hooks.Detach();
        if (m_hTop)
            ::DestroyWindow(m_hTop);
    }

    HWND m_hTop = NULL;
    HWND m_hBar = NULL;
    HWND m_hLabel = NULL;
    CPaintCounterHooks m_hooks;
};
} // namespace

TEST_F(PaintCounter, CountsPaintsSentToTheBarOnlyAndFromZero)
{
    EXPECT_EQ(0, m_hooks.Total());
    for (int i = 0; i < 3; ++i)
        ::RedrawWindow(m_hBar, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    ::RedrawWindow(m_hLabel, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    ::RedrawWindow(m_hTop, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(3, m_hooks.Sent());
    EXPECT_EQ(0, m_hooks.Queued());
}

TEST_F(PaintCounter, CountsAQueuedPaintWhenItIsTakenNotWhenItIsLookedAt)
{
    ::InvalidateRect(m_hBar, NULL, TRUE);
    MSG msg;
    ASSERT_TRUE(::PeekMessageA(&msg, m_hBar, WM_PAINT, WM_PAINT, PM_NOREMOVE));
    EXPECT_EQ(0, m_hooks.Total());
    PumpMessages();
    EXPECT_EQ(1, m_hooks.Queued());
    EXPECT_EQ(0, m_hooks.Sent());
    // Painted: nothing more to take.
    PumpMessages();
    EXPECT_EQ(1, m_hooks.Total());
}

TEST(PaintCounterHooks, ALibraryWithoutTheHooksAttachesNothing)
{
    CPaintCounterHooks hooks;
    EXPECT_FALSE(hooks.Attach("kernel32.dll", ::GetCurrentThreadId()));
    EXPECT_FALSE(hooks.Attach("Z:\\no\\such\\library.dll", ::GetCurrentThreadId()));
    EXPECT_EQ(0, hooks.Total());
}
