// Setup's dialog when its worker cannot be started: the user is told why (the
// system's text, the program's name as caption), and the program ends with 1.
#include "framework/CWinApp.h"
#include "setup/SetupDlg.h"
#include "common/SystemErrorText.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
class CNoWorkerDlg : public CSetupDlg
{
protected:
    BOOL StartWorker() override
    {
        ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
};

std::string TextOf(HWND hWnd)
{
    char text[1024] = {0};
    int n = ::GetWindowTextA(hWnd, text, sizeof(text));
    return std::string(text, n > 0 ? (size_t)n : 0);
}

// What the test's thread showed while the dialog ran on it: seen after every
// message any of its windows handled, so that not even a flash goes unseen.
// A message box is read and answered with OK.
struct CWatch
{
    bool bVisible = false;
    std::string strBoxText, strBoxCaption;
};
CWatch* g_pWatch = nullptr;

LRESULT CALLBACK AfterMessage(int nCode, WPARAM wParam, LPARAM lParam)
{
    const CWPRETSTRUCT* pMsg = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    HWND hWnd = pMsg->hwnd;
    if (nCode == HC_ACTION && g_pWatch && !(::GetWindowLongA(hWnd, GWL_STYLE) & WS_CHILD) &&
        ::IsWindowVisible(hWnd))
    {
        g_pWatch->bVisible = true;
        // A message box shows its text in a static with the id 0xFFFF.
        HWND hText = ::GetDlgItem(hWnd, 0xFFFF);
        if (hText && g_pWatch->strBoxCaption.empty())
        {
            g_pWatch->strBoxText = TextOf(hText);
            g_pWatch->strBoxCaption = TextOf(hWnd);
            ::PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
    }
    return ::CallNextHookEx(NULL, nCode, wParam, lParam);
}

// A message box of this thread that shows and then handles no more messages
// would never be answered by the hook alone: a timer presses OK again.
BOOL CALLBACK PressOkOnBox(HWND hWnd, LPARAM)
{
    if (::IsWindowVisible(hWnd) && ::GetDlgItem(hWnd, 0xFFFF))
        ::PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return TRUE;
}

void CALLBACK PressOkLater(HWND, UINT, UINT_PTR, DWORD)
{
    ::EnumThreadWindows(::GetCurrentThreadId(), PressOkOnBox, 0);
}

// Runs the dialog to its end under the watch; the program's exit code.
int RunWatched(CSetupDlg& dlg, CWatch& watch)
{
    g_pWatch = &watch;
    HHOOK hHook =
        ::SetWindowsHookExA(WH_CALLWNDPROCRET, AfterMessage, NULL, ::GetCurrentThreadId());
    EXPECT_NE(nullptr, hHook);
    UINT_PTR nTimer = ::SetTimer(NULL, 0, 500, PressOkLater);
    dlg.DoModal();
    ::KillTimer(NULL, nTimer);
    ::UnhookWindowsHookEx(hHook);
    g_pWatch = nullptr;
    return dlg.GetExitCode();
}
} // namespace

TEST(SetupWorkerStart, FailureIsToldWithTheSystemsTextAndEndsWithOne)
{
    CWinApp app("Setup");
    CNoWorkerDlg dlg;
    CWatch watch;
    EXPECT_EQ(1, RunWatched(dlg, watch));
    const std::string expected = (LPCTSTR)SystemErrorText(ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_FALSE(expected.empty());
    EXPECT_EQ(expected, watch.strBoxText);
    EXPECT_EQ("Setup", watch.strBoxCaption);
}

TEST(SetupWorkerStart, UnattendedFailureShowsNothingAndEndsWithOne)
{
    CWinApp app("Setup");
    CNoWorkerDlg dlg;
    dlg.m_bUnattended = TRUE;
    CWatch watch;
    EXPECT_EQ(1, RunWatched(dlg, watch));
    EXPECT_FALSE(watch.bVisible);
}
