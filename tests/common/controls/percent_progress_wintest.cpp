#include "common/controls/CPercentProgressCtrl.h"
#include "support/CPixelCapture.h"
#include "support/CTestParent.h"

#include <gtest/gtest.h>
#include <cstring>
#include <string>

namespace
{
// The bar under test, counting the paints it receives.
class CCountingBar : public CPercentProgressCtrl
{
public:
    int m_nPaints = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        m_nPaints += message == WM_PAINT;
        return CPercentProgressCtrl::WindowProc(message, wParam, lParam);
    }
};

class PercentProgress : public ::testing::Test
{
protected:
    PercentProgress() : m_parent(RGB(0, 128, 0))
    {
        m_hBar = m_parent.AddChild(PROGRESS_CLASSA, "Progress2", 0, 100, 20);
    }
    void Bind()
    {
        ASSERT_TRUE(m_bar.SubclassWindow(m_hBar));
        m_parent.ShowAndPaint();
    }

    // Checks the columns [nFrom, nTo) of the bar: the done colour left of
    // nEdge, the rest colour right of it, and the text (null: none) centred in
    // the other colour of each side.
    void ExpectBar(int nEdge, LPCSTR pszText, int nFrom = 0, int nTo = 100)
    {
        const COLORREF crBar = ::GetSysColor(COLOR_HIGHLIGHT), crBk = ::GetSysColor(COLOR_WINDOW);
        CPixelCapture shown(m_hBar);
        CPixelCapture text = CPixelCapture::Text(pszText ? pszText : "", NULL, 100, 20,
                                                 DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        int nWrong = 0, nInk = 0, nShown = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = nFrom; x < nTo; ++x)
            {
                COLORREF cr = shown.At(x, y), crFill = x < nEdge ? crBar : crBk;
                nInk += text.IsInk(x, y);
                nShown += text.IsInk(x, y) && cr != crFill;
                if (!text.Agrees(x, y, cr, crFill == crBar ? crBk : crBar, crFill) && !nWrong++)
                    ADD_FAILURE() << "pixel " << x << "," << y << " is " << std::hex << cr;
            }
        EXPECT_EQ(0, nWrong);
        // Missing text must not pass for very faint smoothing.
        EXPECT_GE(2 * nShown, nInk);
        EXPECT_EQ(pszText != NULL, nInk > 0);
    }

    CTestParent m_parent;
    HWND m_hBar;
    CCountingBar m_bar;
};
} // namespace

TEST_F(PercentProgress, DrawsTheFilledWidthAndTheTextInTheOtherColourOfEachSide)
{
    Bind();
    ExpectBar(0, "0%");
    // The common control's own position is hidden state and the template's
    // text never became the bar's.
    ::SendMessageA(m_hBar, PBM_SETPOS, 50, 0);
    ::UpdateWindow(m_hBar);
    ExpectBar(0, "0%");

    m_bar.SetRange(0, 3);
    EXPECT_EQ(0, m_bar.SetPos(2));
    ExpectBar(66, "66%");
    // The edge through the middle of the text.
    m_bar.SetRange(0, 2);
    EXPECT_EQ(2, m_bar.SetPos(1));
    ExpectBar(50, "50%");

    // A repaint of a part from the middle of the text on: the off-screen bitmap
    // then starts at the part's corner and the clip regions and the copy to the
    // screen must follow it. Left of the part the bar stays without text.
    m_bar.SetShowText(0);
    ::UpdateWindow(m_hBar);
    m_bar.SetShowText(1);
    ::ValidateRect(m_hBar, NULL);
    RECT rcPart = {48, 0, 100, 20};
    ::InvalidateRect(m_hBar, &rcPart, FALSE);
    ::UpdateWindow(m_hBar);
    ExpectBar(50, "50%", 48);
    ExpectBar(50, NULL, 0, 48);
}

TEST_F(PercentProgress, SteppingPastTheEndAndWindowTexts)
{
    Bind();
    m_bar.SetRange(0, 10);
    m_bar.SetStep(5);
    EXPECT_EQ(0, m_bar.StepIt());
    EXPECT_EQ(5, m_bar.StepIt());
    ExpectBar(100, "100%");
    m_bar.SetStep(1);
    EXPECT_EQ(10, m_bar.StepIt());
    ExpectBar(100, "110%");

    m_bar.SetWindowText("Copying");
    ::UpdateWindow(m_hBar);
    ExpectBar(100, "Copying");
    m_bar.SetWindowText("");
    ::UpdateWindow(m_hBar);
    ExpectBar(100, "110%");
    // A null text empties a set one as well.
    m_bar.SetWindowText("Copying");
    ::SendMessageA(m_hBar, WM_SETTEXT, 0, 0);
    ::UpdateWindow(m_hBar);
    ExpectBar(100, "110%");
}

TEST_F(PercentProgress, GetTextStaysInsideTheBufferAndKeepsCharactersWhole)
{
    Bind();
    m_bar.SetWindowText("AB\xD6\xD0"); // "AB中" in code page 936
    char buf[8];
    std::memset(buf, '#', sizeof(buf));
    EXPECT_EQ(4, ::SendMessageA(m_hBar, WM_GETTEXT, sizeof(buf), (LPARAM)buf));
    EXPECT_STREQ("AB\xD6\xD0", buf);
    // Three bytes before the NUL: the double-byte character does not fit.
    std::memset(buf, '#', sizeof(buf));
    EXPECT_EQ(2, ::SendMessageA(m_hBar, WM_GETTEXT, 4, (LPARAM)buf));
    EXPECT_EQ(std::string("AB\0#", 4), std::string(buf, 4));
    EXPECT_EQ(0, ::SendMessageA(m_hBar, WM_GETTEXT, 1, (LPARAM)buf));
    EXPECT_EQ(std::string("\0B", 2), std::string(buf, 2));
    EXPECT_EQ(0, ::SendMessageA(m_hBar, WM_GETTEXT, 0, (LPARAM)buf));
}

TEST_F(PercentProgress, RepaintsOnlyWhenThePixelWidthChangesOrAfterAResize)
{
    Bind();
    m_bar.SetRange(0, 1000);
    int n = m_bar.m_nPaints;
    m_bar.SetPos(0); // the width after binding is unknown
    m_bar.SetPos(5); // still 0 pixels
    EXPECT_EQ(n + 1, m_bar.m_nPaints);
    m_bar.SetPos(10); // 1 pixel, painted before SetPos returns
    EXPECT_EQ(n + 2, m_bar.m_nPaints);
    ExpectBar(1, "1%");

    ::SetWindowPos(m_hBar, NULL, 0, 0, 120, 20, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::UpdateWindow(m_hBar);
    n = m_bar.m_nPaints;
    m_bar.SetPos(10);
    m_bar.SetPos(10);
    EXPECT_EQ(n + 1, m_bar.m_nPaints);
}

TEST_F(PercentProgress, ShowTextInvalidatesOnlyOnAChange)
{
    Bind();
    ::ValidateRect(m_hBar, NULL);
    m_bar.SetShowText(1);
    EXPECT_FALSE(::GetUpdateRect(m_hBar, NULL, FALSE));
    m_bar.SetShowText(0);
    EXPECT_TRUE(::GetUpdateRect(m_hBar, NULL, FALSE));
    ::UpdateWindow(m_hBar);
    ExpectBar(0, NULL);
    m_bar.SetShowText(0);
    EXPECT_FALSE(::GetUpdateRect(m_hBar, NULL, FALSE));
}

TEST_F(PercentProgress, BeforeTheWindowExistsEverythingButThePositionIsKept)
{
    EXPECT_EQ(-1, m_bar.SetPos(7));
    EXPECT_EQ(-1, m_bar.StepIt());
    m_bar.SetShowText(0);
    m_bar.SetRange(0, 4);
    m_bar.SetStep(2);
    Bind();
    EXPECT_EQ(0, m_bar.StepIt());
    ExpectBar(50, NULL);
}

TEST_F(PercentProgress, EmptyOrInvertedRangeDrawsNothingButCompletesThePaint)
{
    Bind();
    for (int nLower : {5, 6})
    {
        m_bar.SetRange(nLower, 5);
        ::InvalidateRect(m_hBar, NULL, TRUE);
        int n = m_bar.m_nPaints;
        ::UpdateWindow(m_hBar);
        EXPECT_EQ(n + 1, m_bar.m_nPaints);
        EXPECT_FALSE(::GetUpdateRect(m_hBar, NULL, FALSE));
        ExpectBar(0, "0%"); // what was shown stays
    }
}

TEST_F(PercentProgress, AnswersPositionAndRangeFromWhatItDrawsWithoutPainting)
{
    Bind();
    m_bar.SetRange(3, 40);
    m_bar.SetPos(17);
    ::ValidateRect(m_hBar, NULL);
    int n = m_bar.m_nPaints;
    EXPECT_EQ(17, ::SendMessageA(m_hBar, PBM_GETPOS, 0, 0));
    PBRANGE range = {-1, -1};
    EXPECT_EQ(3, ::SendMessageA(m_hBar, PBM_GETRANGE, TRUE, (LPARAM)&range));
    EXPECT_EQ(3, range.iLow);
    EXPECT_EQ(40, range.iHigh);
    EXPECT_EQ(40, ::SendMessageA(m_hBar, PBM_GETRANGE, FALSE, 0));
    ::UpdateWindow(m_hBar);
    EXPECT_EQ(n, m_bar.m_nPaints);
}
