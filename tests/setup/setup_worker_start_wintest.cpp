// Setup's dialog when its worker cannot be started: the user is told why (the
// system's text, the program's name as caption), and the program ends with 1.
#include "framework/CWinApp.h"
#include "setup/SetupDlg.h"
#include "setup/SystemErrorText.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

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

// Watches this process's top-level windows while the dialog runs on the
// test's thread: counts the visible ones and answers a message box with OK.
struct CWatch
{
    std::atomic<bool> bStop{false};
    bool bVisible = false;
    std::string strBoxText, strBoxCaption;

    static BOOL CALLBACK Look(HWND hWnd, LPARAM lParam)
    {
        CWatch* pWatch = reinterpret_cast<CWatch*>(lParam);
        DWORD pid = 0;
        ::GetWindowThreadProcessId(hWnd, &pid);
        if (pid != ::GetCurrentProcessId() || !::IsWindowVisible(hWnd))
            return TRUE;
        pWatch->bVisible = true;
        // A message box shows its text in a static with the id 0xFFFF.
        HWND hText = ::GetDlgItem(hWnd, 0xFFFF);
        if (hText && pWatch->strBoxCaption.empty())
        {
            pWatch->strBoxText = TextOf(hText);
            pWatch->strBoxCaption = TextOf(hWnd);
            ::PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
        return TRUE;
    }

    void Run()
    {
        while (!bStop)
        {
            ::EnumWindows(Look, (LPARAM)this);
            ::Sleep(1);
        }
    }
};

// Runs the dialog to its end under the watch; the program's exit code.
int RunWatched(CSetupDlg& dlg, CWatch& watch)
{
    std::thread watcher([&] { watch.Run(); });
    dlg.DoModal();
    watch.bStop = true;
    watcher.join();
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
