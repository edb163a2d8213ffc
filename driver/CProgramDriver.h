// Drives one of our programs the way a user does: starts it, finds its
// windows, answers its message boxes, presses its buttons and keys, waits for
// its captions and for its end. Every wait is bounded. Used by the end-to-end
// tests, the demo and the benchmark.
#pragma once
#include <windows.h>

#include <set>
#include <string>
#include <vector>

class CProgramDriver
{
public:
    CProgramDriver() = default;
    ~CProgramDriver();
    CProgramDriver(const CProgramDriver&) = delete;
    CProgramDriver& operator=(const CProgramDriver&) = delete;

    // Starts the program (full path) with its folder as current directory.
    // With CREATE_SUSPENDED in dwFlags its main thread waits for ResumeMainThread.
    bool Start(const std::string& strProgram, const std::string& strArgs = "", DWORD dwFlags = 0);
    // Takes over the running program that owns hWnd (started by someone else):
    // it can then be waited for, photographed and ended like a started one.
    bool Attach(HWND hWnd);
    // Starts a whole command line as a deployment tool does: the program is
    // found from the line itself, which may name it unquoted.
    bool StartCommandLine(const std::string& strCommandLine);
    // The arguments of a command line as tools that split one see them
    // (CommandLineToArgvW, in the ANSI code page); the first names the program.
    static std::vector<std::string> SplitCommandLine(const std::string& strCommandLine);
    bool ResumeMainThread() const { return ::ResumeThread(m_pi.hThread) != (DWORD)-1; }
    DWORD GetProcessId() const { return m_pi.dwProcessId; }
    DWORD GetMainThreadId() const { return m_pi.dwThreadId; }
    HANDLE GetProcess() const { return m_pi.hProcess; }

    // A visible top-level window of the program whose caption is exactly
    // pszCaption (any caption when null); null after the time-out.
    HWND WaitForWindow(const char* pszCaption, DWORD dwTimeoutMs) const;
    // TRUE once the window's caption is exactly pszCaption.
    static bool WaitForCaption(HWND hWnd, const char* pszCaption, DWORD dwTimeoutMs);
    // A message box of the program that offers the button nButtonId (IDRETRY,
    // IDYES...); its caption is returned in strCaption and its text in strText.
    HWND WaitForMessageBox(int nButtonId, DWORD dwTimeoutMs, std::string* pText = nullptr,
                           std::string* pCaption = nullptr) const;
    // The same among the windows of every program on the desktop, found by
    // the box's caption (for a program this driver did not start).
    static HWND WaitForDesktopMessageBox(const char* pszCaption, int nButtonId, DWORD dwTimeoutMs);
    // Presses a button of a dialog or message box as a click does.
    static bool Press(HWND hDialog, int nButtonId);
    // Sends a key press (down and up) into the program's dialog, as typed.
    static void Key(HWND hDialog, UINT nVirtualKey);
    // Waits until the dialog has handled everything sent to it so far.
    static bool Settle(HWND hDialog, DWORD dwTimeoutMs);

    // TRUE when the program ended within the time-out; its exit code in *pExit.
    bool WaitForExit(DWORD dwTimeoutMs, DWORD* pExit = nullptr) const;
    bool HasExited() const { return WaitForExit(0); }
    void Kill();

    // Stops or restarts every thread of the program but dwExceptThreadId (to
    // photograph a moment).
    bool Suspend(bool bSuspend, DWORD dwExceptThreadId = 0) const;

    static std::string WindowText(HWND hWnd);

    // What a program showed during its run: the desktop's top-level windows of
    // its process, enumerated over and over until it ended or the time ran out.
    struct CWatchedRun
    {
        bool bEnded = false;
        DWORD dwExit = 99;
        std::set<HWND> windows;
        bool bVisible = false;
    };
    CWatchedRun WatchToEnd(DWORD dwTimeoutMs) const;

private:
    PROCESS_INFORMATION m_pi = {};
};

// Writes the whole screen as a 24-bit BMP file.
bool SaveScreenshot(const std::string& strPath);
// Writes one window (as it stands on the screen) as a 24-bit BMP file.
bool SaveWindowShot(HWND hWnd, const std::string& strPath);
