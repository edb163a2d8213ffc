#include "framework/AutoHandle.h"
#include "framework/CWinThread.h"

#include <gtest/gtest.h>
#include <atomic>
#include <string>

namespace
{
const DWORD kTimeout = 30000; // only to stop a broken test, never reached when it passes

// A thread that records its life: which steps ran, on which thread, and what it saw.
class CRecordingThread : public CWinThread
{
    DECLARE_DYNCREATE(CRecordingThread)
public:
    CRecordingThread() : m_bInitResult(TRUE), m_bQuitSelf(TRUE), m_nIdSeen(0), m_bHandleSeen(false)
    {
    }
    BOOL InitInstance() override
    {
        m_strSteps += "I";
        m_nIdSeen = ::GetCurrentThreadId() == m_nThreadID ? m_nThreadID : 0;
        m_bHandleSeen = m_hThread != NULL;
        return m_bInitResult;
    }
    int Run() override
    {
        m_strSteps += "R";
        // As a worker ends its run: a quit message to itself, then the base loop.
        if (m_bQuitSelf)
            ::PostThreadMessageA(m_nThreadID, WM_QUIT, 5, 0);
        return CWinThread::Run();
    }
    int ExitInstance() override
    {
        m_strSteps += "E";
        return CWinThread::ExitInstance() + 100;
    }

    BOOL m_bInitResult;
    BOOL m_bQuitSelf;
    std::string m_strSteps;
    DWORD m_nIdSeen;
    bool m_bHandleSeen;
};
IMPLEMENT_DYNCREATE(CRecordingThread, CWinThread)

DWORD ExitCode(HANDLE h)
{
    DWORD code = 0;
    ::GetExitCodeThread(h, &code);
    return code;
}

// A window of the test's thread that counts the messages sent to it.
std::atomic<int> g_nReceived{0};
HANDLE g_hSetOnMessage = NULL;
LRESULT CALLBACK CountingProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP)
    {
        ++g_nReceived;
        if (g_hSetOnMessage)
            ::SetEvent(g_hSetOnMessage);
        return (LRESULT)wParam * 2;
    }
    return ::DefWindowProcA(hWnd, message, wParam, lParam);
}

HWND MakeCountingWindow()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = CountingProc;
    wc.hInstance = ::GetModuleHandleA(NULL);
    wc.lpszClassName = "FwTestCounting";
    ::RegisterClassA(&wc);
    return ::CreateWindowA("FwTestCounting", "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, wc.hInstance,
                           NULL);
}

// Sends to a window of another thread, as a worker sends its progress.
class CSendingThread : public CWinThread
{
public:
    CSendingThread(HWND hTarget, int nCount) : m_hTarget(hTarget), m_nCount(nCount) {}
    BOOL InitInstance() override
    {
        for (int i = 0; i < m_nCount; ++i)
            m_nSum += (int)::SendMessageA(m_hTarget, WM_APP, (WPARAM)i, 0);
        return FALSE;
    }
    HWND m_hTarget;
    int m_nCount;
    int m_nSum = 0;
};
} // namespace

TEST(CWinThread, LifeRunsInitRunExitOnItsOwnThread)
{
    CRecordingThread t;
    t.m_bAutoDelete = FALSE;
    ASSERT_TRUE(t.CreateThread(0, 0, NULL));
    ASSERT_TRUE(t.WaitPumping(kTimeout));
    EXPECT_EQ("IRE", t.m_strSteps);
    // The id and handle were in place before the thread's own code ran.
    EXPECT_NE(0u, t.m_nIdSeen);
    EXPECT_EQ(t.m_nThreadID, t.m_nIdSeen);
    EXPECT_TRUE(t.m_bHandleSeen);
    EXPECT_NE(::GetCurrentThreadId(), t.m_nThreadID);
    // Run's result is ExitInstance's, which saw the quit code.
    EXPECT_EQ(105u, ExitCode(t.m_hThread));
    EXPECT_FALSE(t.IsRunning());
    // A thread object starts its thread once.
    EXPECT_FALSE(t.CreateThread());
}

TEST(CWinThread, FailedInitSkipsRun)
{
    CRecordingThread t;
    t.m_bAutoDelete = FALSE;
    t.m_bInitResult = FALSE;
    ASSERT_TRUE(t.CreateThread());
    ASSERT_TRUE(t.WaitPumping(kTimeout));
    EXPECT_EQ("IE", t.m_strSteps);
    EXPECT_EQ(100u, ExitCode(t.m_hThread));
}

TEST(CWinThread, RunTimeClassNamesTheDerivedClass)
{
    CObject* p = RUNTIME_CLASS(CRecordingThread)->m_pfnCreateObject();
    ASSERT_NE(nullptr, p);
    EXPECT_STREQ("CRecordingThread", p->GetRuntimeClass()->m_lpszClassName);
    EXPECT_EQ(RUNTIME_CLASS(CWinThread), p->GetRuntimeClass()->m_pBaseClass);
    EXPECT_EQ(RUNTIME_CLASS(CObject), RUNTIME_CLASS(CWinThread)->m_pBaseClass);
    CWinThread plain;
    EXPECT_STREQ("CWinThread", plain.GetRuntimeClass()->m_lpszClassName);
    delete p;
}

namespace
{
// Signals when it is destroyed, to show who deleted it.
class CSelfDeletingThread : public CWinThread
{
public:
    explicit CSelfDeletingThread(HANDLE hDestroyed) : m_hDestroyed(hDestroyed) {}
    ~CSelfDeletingThread() override
    {
        m_nDestroyedOn = ::GetCurrentThreadId();
        ::SetEvent(m_hDestroyed);
    }
    BOOL InitInstance() override
    {
        m_nRanOn = ::GetCurrentThreadId();
        return FALSE;
    }
    HANDLE m_hDestroyed;
    static DWORD m_nRanOn;
    static DWORD m_nDestroyedOn;
};
DWORD CSelfDeletingThread::m_nRanOn = 0;
DWORD CSelfDeletingThread::m_nDestroyedOn = 0;
} // namespace

TEST(CWinThread, AutoDeleteDestroysTheObjectOnItsThread)
{
    CAutoKernelHandle destroyed(::CreateEventA(NULL, TRUE, FALSE, NULL));
    CSelfDeletingThread* p = new CSelfDeletingThread(destroyed.Get());
    EXPECT_TRUE(p->m_bAutoDelete); // the default
    // From here on the object belongs to its thread and may be gone at any time.
    ASSERT_TRUE(p->CreateThread());
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(destroyed.Get(), kTimeout));
    EXPECT_NE(0u, CSelfDeletingThread::m_nRanOn);
    EXPECT_EQ(CSelfDeletingThread::m_nRanOn, CSelfDeletingThread::m_nDestroyedOn);
}

TEST(CWinThread, WaitPumpingServesMessagesTheThreadSendsToTheWaiter)
{
    HWND hWnd = MakeCountingWindow();
    ASSERT_TRUE(hWnd);
    g_nReceived = 0;
    CSendingThread t(hWnd, 50);
    t.m_bAutoDelete = FALSE;
    ASSERT_TRUE(t.CreateThread());
    // A bare wait here would never end: the thread waits for this one in SendMessage.
    ASSERT_TRUE(t.WaitPumping(kTimeout));
    EXPECT_EQ(50, g_nReceived.load());
    EXPECT_EQ(2 * (49 * 50 / 2), t.m_nSum);
    ::DestroyWindow(hWnd);
}

TEST(CWinThread, WaitPumpingTimesOutAndKeepsAQuitForItsOwner)
{
    CAutoKernelHandle never(::CreateEventA(NULL, TRUE, FALSE, NULL));
    EXPECT_FALSE(AfxWaitPumping(never.Get(), 20));

    // A quit that arrives while waiting: sent messages are still served, and
    // the quit is left in the queue for the loop it belongs to.
    HWND hWnd = MakeCountingWindow();
    g_nReceived = 0;
    ::PostQuitMessage(7);
    CSendingThread t(hWnd, 5);
    t.m_bAutoDelete = FALSE;
    ASSERT_TRUE(t.CreateThread());
    ASSERT_TRUE(t.WaitPumping(kTimeout));
    EXPECT_EQ(5, g_nReceived.load());
    MSG msg;
    ASSERT_TRUE(::PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(7u, msg.wParam);
    ::DestroyWindow(hWnd);
}

TEST(CWinThread, WaitPumpingServesMessagesQueuedBeforeTheWait)
{
    // The event is set by a message that was already in the queue, and already
    // looked at, when the wait began.
    HWND hWnd = MakeCountingWindow();
    CAutoKernelHandle set(::CreateEventA(NULL, TRUE, FALSE, NULL));
    g_hSetOnMessage = set.Get();
    ::PostMessageA(hWnd, WM_APP, 0, 0);
    MSG msg;
    ASSERT_TRUE(::PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE));
    EXPECT_TRUE(AfxWaitPumping(set.Get(), 5000));
    g_hSetOnMessage = NULL;
    ::DestroyWindow(hWnd);
}

namespace
{
// A thread that runs the base message loop until it is told to quit.
class CLoopThread : public CWinThread
{
public:
    explicit CLoopThread(HANDLE hReady) : m_hReady(hReady) {}
    BOOL InitInstance() override
    {
        MSG msg;
        ::PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE); // the queue exists from here on
        ::SetEvent(m_hReady);
        return TRUE;
    }
    HANDLE m_hReady;
};
} // namespace

TEST(CWinThread, DestroyingTheObjectWaitsForItsThreadToEnd)
{
    CAutoKernelHandle ready(::CreateEventA(NULL, TRUE, FALSE, NULL));
    HANDLE hThread = NULL;
    {
        CLoopThread t(ready.Get());
        t.m_bAutoDelete = FALSE;
        ASSERT_TRUE(t.CreateThread());
        ASSERT_TRUE(::DuplicateHandle(::GetCurrentProcess(), t.m_hThread, ::GetCurrentProcess(),
                                      &hThread, SYNCHRONIZE, FALSE, 0));
        ASSERT_TRUE(AfxWaitPumping(ready.Get(), kTimeout));
        // Told to end, but still in its loop (on this object) when the object goes away.
        ::PostThreadMessageA(t.m_nThreadID, WM_QUIT, 0, 0);
    }
    CAutoKernelHandle thread(hThread);
    EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(thread.Get(), 0));
}
