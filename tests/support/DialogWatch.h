// Runs a dialog to its end on the test's thread and watches what it showed:
// seen after every message any of the thread's windows handled, so that not
// even a flash goes unseen. A message box is read and answered with OK.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

struct CDialogWatch
{
    bool bVisible = false;
    std::string strBoxText, strBoxCaption;
};

namespace dialog_watch
{
inline CDialogWatch*& Current()
{
    static CDialogWatch* s_pWatch = nullptr;
    return s_pWatch;
}

inline std::string TextOf(HWND hWnd)
{
    char text[1024] = {0};
    int n = ::GetWindowTextA(hWnd, text, sizeof(text));
    return std::string(text, n > 0 ? (size_t)n : 0);
}

inline LRESULT CALLBACK AfterMessage(int nCode, WPARAM wParam, LPARAM lParam)
{
    const CWPRETSTRUCT* pMsg = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    HWND hWnd = pMsg->hwnd;
    CDialogWatch* pWatch = Current();
    if (nCode == HC_ACTION && pWatch && !(::GetWindowLongA(hWnd, GWL_STYLE) & WS_CHILD) &&
        ::IsWindowVisible(hWnd))
    {
        pWatch->bVisible = true;
        // A message box shows its text in a static with the id 0xFFFF.
        HWND hText = ::GetDlgItem(hWnd, 0xFFFF);
        if (hText && pWatch->strBoxCaption.empty())
        {
            pWatch->strBoxText = TextOf(hText);
            pWatch->strBoxCaption = TextOf(hWnd);
            ::PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
    }
    return ::CallNextHookEx(NULL, nCode, wParam, lParam);
}

// A message box of this thread that shows and then handles no more messages
// would never be answered by the hook alone: a timer presses OK again.
inline BOOL CALLBACK PressOkOnBox(HWND hWnd, LPARAM)
{
    if (::IsWindowVisible(hWnd) && ::GetDlgItem(hWnd, 0xFFFF))
        ::PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return TRUE;
}

inline void CALLBACK PressOkLater(HWND, UINT, UINT_PTR, DWORD)
{
    ::EnumThreadWindows(::GetCurrentThreadId(), PressOkOnBox, 0);
}
} // namespace dialog_watch

// Runs the dialog to its end under the watch; the program's exit code.
template <class Dialog> int RunWatched(Dialog& dlg, CDialogWatch& watch)
{
    dialog_watch::Current() = &watch;
    HHOOK hHook = ::SetWindowsHookExA(WH_CALLWNDPROCRET, dialog_watch::AfterMessage, NULL,
                                      ::GetCurrentThreadId());
    EXPECT_NE(nullptr, hHook);
    UINT_PTR nTimer = ::SetTimer(NULL, 0, 500, dialog_watch::PressOkLater);
    dlg.DoModal();
    ::KillTimer(NULL, nTimer);
    ::UnhookWindowsHookEx(hHook);
    dialog_watch::Current() = nullptr;
    return dlg.GetExitCode();
}
