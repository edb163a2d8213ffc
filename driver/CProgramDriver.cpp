#include "driver/CProgramDriver.h"

#include <shellapi.h>
#include <tlhelp32.h>

namespace
{
// Polls a condition every few milliseconds until it holds or the time is up.
template <class Condition> bool WaitUntil(DWORD dwTimeoutMs, Condition condition)
{
    DWORD start = ::GetTickCount();
    for (;;)
    {
        if (condition())
            return true;
        if (::GetTickCount() - start >= dwTimeoutMs)
            return false;
        ::Sleep(5);
    }
}

struct FindArgs
{
    DWORD pid; // 0: a window of any program
    const char* caption;
    int button;
    HWND found;
};

BOOL CALLBACK FindTopLevel(HWND hWnd, LPARAM lParam)
{
    FindArgs* args = reinterpret_cast<FindArgs*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hWnd, &pid);
    if ((args->pid && pid != args->pid) || !::IsWindowVisible(hWnd))
        return TRUE;
    if (args->button)
    {
        char cls[64] = {0};
        ::GetClassNameA(hWnd, cls, sizeof(cls));
        HWND hButton = ::GetDlgItem(hWnd, args->button);
        if (lstrcmpA(cls, "#32770") != 0 || !hButton || !::IsWindowVisible(hButton))
            return TRUE;
    }
    if (args->caption && CProgramDriver::WindowText(hWnd) != args->caption)
        return TRUE;
    args->found = hWnd;
    return FALSE;
}

// The first top-level window that matches args, looked for until the time-out.
HWND WaitForTopLevel(FindArgs& args, DWORD dwTimeoutMs)
{
    WaitUntil(dwTimeoutMs,
              [&]
              {
                  args.found = NULL;
                  ::EnumWindows(FindTopLevel, (LPARAM)&args);
                  return args.found != NULL;
              });
    return args.found;
}

bool WriteBmp(const std::string& strPath, HDC hdcSource, int x, int y, int w, int h)
{
    if (w <= 0 || h <= 0)
        return false;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC hdcMem = ::CreateCompatibleDC(hdcSource);
    HBITMAP hbm = ::CreateDIBSection(hdcSource, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    bool ok = false;
    if (hdcMem && hbm)
    {
        HGDIOBJ old = ::SelectObject(hdcMem, hbm);
        ::BitBlt(hdcMem, 0, 0, w, h, hdcSource, x, y, SRCCOPY);
        ::SelectObject(hdcMem, old);
        ::GdiFlush();
        DWORD rowBytes = ((DWORD)w * 3 + 3) & ~3u;
        DWORD imageSize = rowBytes * (DWORD)h;
        BITMAPFILEHEADER bf = {};
        bf.bfType = 0x4D42;
        bf.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
        bf.bfSize = bf.bfOffBits + imageSize;
        bi.bmiHeader.biSizeImage = imageSize;
        HANDLE hFile = ::CreateFileA(strPath.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, NULL);
        if (hFile != INVALID_HANDLE_VALUE)
        {
            DWORD put = 0;
            ok = ::WriteFile(hFile, &bf, sizeof(bf), &put, NULL) &&
                 ::WriteFile(hFile, &bi.bmiHeader, sizeof(BITMAPINFOHEADER), &put, NULL) &&
                 ::WriteFile(hFile, bits, imageSize, &put, NULL);
            ::CloseHandle(hFile);
        }
    }
    if (hbm)
        ::DeleteObject(hbm);
    if (hdcMem)
        ::DeleteDC(hdcMem);
    return ok;
}
} // namespace

CProgramDriver::~CProgramDriver()
{
    if (m_pi.hProcess)
    {
        if (!HasExited())
            Kill();
        ::CloseHandle(m_pi.hProcess);
        if (m_pi.hThread)
            ::CloseHandle(m_pi.hThread);
    }
}

bool CProgramDriver::Attach(HWND hWnd)
{
    DWORD pid = 0;
    if (m_pi.hProcess || !::GetWindowThreadProcessId(hWnd, &pid))
        return false;
    m_pi.hProcess =
        ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, pid);
    if (!m_pi.hProcess)
        return false;
    m_pi.dwProcessId = pid;
    return true;
}

bool CProgramDriver::Start(const std::string& strProgram, const std::string& strArgs, DWORD dwFlags)
{
    std::string folder = strProgram;
    size_t slash = folder.find_last_of("\\/");
    folder = slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
    std::string cmd = "\"" + strProgram + "\"" + (strArgs.empty() ? "" : " " + strArgs);
    std::vector<char> cmdLine(cmd.begin(), cmd.end());
    cmdLine.push_back('\0');
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    return ::CreateProcessA(strProgram.c_str(), cmdLine.data(), NULL, NULL, FALSE, dwFlags, NULL,
                            folder.empty() ? NULL : folder.c_str(), &si, &m_pi) != FALSE;
}

bool CProgramDriver::StartCommandLine(const std::string& strCommandLine)
{
    std::vector<char> cmdLine(strCommandLine.begin(), strCommandLine.end());
    cmdLine.push_back('\0');
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    return ::CreateProcessA(NULL, cmdLine.data(), NULL, NULL, FALSE, 0, NULL, NULL, &si, &m_pi) !=
           FALSE;
}

std::vector<std::string> CProgramDriver::SplitCommandLine(const std::string& strCommandLine)
{
    std::vector<std::string> args;
    int nWide = ::MultiByteToWideChar(CP_ACP, 0, strCommandLine.c_str(), -1, NULL, 0);
    if (nWide <= 0)
        return args;
    std::vector<wchar_t> wide((size_t)nWide);
    ::MultiByteToWideChar(CP_ACP, 0, strCommandLine.c_str(), -1, wide.data(), nWide);
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(wide.data(), &argc);
    if (!argv)
        return args;
    for (int i = 0; i < argc; ++i)
    {
        int n = ::WideCharToMultiByte(CP_ACP, 0, argv[i], -1, NULL, 0, NULL, NULL);
        std::string arg((size_t)(n > 0 ? n : 1), '\0');
        ::WideCharToMultiByte(CP_ACP, 0, argv[i], -1, &arg[0], n, NULL, NULL);
        arg.resize(arg.size() - 1);
        args.push_back(arg);
    }
    ::LocalFree(argv);
    return args;
}

std::string CProgramDriver::WindowText(HWND hWnd)
{
    char text[1024] = {0};
    // Ask with a time-out: a suspended or busy program must not block the driver.
    DWORD_PTR got = 0;
    if (!::SendMessageTimeoutA(hWnd, WM_GETTEXT, sizeof(text), (LPARAM)text, SMTO_ABORTIFHUNG, 2000,
                               &got))
        return std::string();
    return std::string(text, (size_t)got);
}

HWND CProgramDriver::WaitForWindow(const char* pszCaption, DWORD dwTimeoutMs) const
{
    FindArgs args = {m_pi.dwProcessId, pszCaption, 0, NULL};
    return WaitForTopLevel(args, dwTimeoutMs);
}

bool CProgramDriver::WaitForCaption(HWND hWnd, const char* pszCaption, DWORD dwTimeoutMs)
{
    return WaitUntil(dwTimeoutMs, [&] { return WindowText(hWnd) == pszCaption; });
}

HWND CProgramDriver::WaitForDesktopMessageBox(const char* pszCaption, int nButtonId,
                                              DWORD dwTimeoutMs)
{
    FindArgs args = {0, pszCaption, nButtonId, NULL};
    return WaitForTopLevel(args, dwTimeoutMs);
}

HWND CProgramDriver::WaitForMessageBox(int nButtonId, DWORD dwTimeoutMs, std::string* pText,
                                       std::string* pCaption) const
{
    FindArgs args = {m_pi.dwProcessId, nullptr, nButtonId, NULL};
    WaitForTopLevel(args, dwTimeoutMs);
    if (args.found)
    {
        if (pCaption)
            *pCaption = WindowText(args.found);
        if (pText)
        {
            // The message is the box's static text with the id 0xFFFF.
            HWND hText = ::GetDlgItem(args.found, 0xFFFF);
            *pText = hText ? WindowText(hText) : std::string();
        }
    }
    return args.found;
}

bool CProgramDriver::Press(HWND hDialog, int nButtonId)
{
    HWND hButton = ::GetDlgItem(hDialog, nButtonId);
    if (!hButton)
        return false;
    // As a click: the button reports itself to its dialog.
    return ::PostMessageA(hDialog, WM_COMMAND, MAKEWPARAM(nButtonId, BN_CLICKED),
                          (LPARAM)hButton) != FALSE;
}

void CProgramDriver::Key(HWND hDialog, UINT nVirtualKey)
{
    UINT scan = ::MapVirtualKeyA(nVirtualKey, 0);
    ::PostMessageA(hDialog, WM_KEYDOWN, nVirtualKey, 1 | (scan << 16));
    ::PostMessageA(hDialog, WM_KEYUP, nVirtualKey, 1 | (scan << 16) | 0xC0000000u);
}

bool CProgramDriver::Settle(HWND hDialog, DWORD dwTimeoutMs)
{
    // A posted message comes after everything posted before it; a sent one
    // returns once the dialog's thread is back in its loop.
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutA(hDialog, WM_NULL, 0, 0, SMTO_NORMAL, dwTimeoutMs, &result) != 0;
}

bool CProgramDriver::WaitForExit(DWORD dwTimeoutMs, DWORD* pExit) const
{
    if (!m_pi.hProcess || ::WaitForSingleObject(m_pi.hProcess, dwTimeoutMs) != WAIT_OBJECT_0)
        return false;
    if (pExit)
        ::GetExitCodeProcess(m_pi.hProcess, pExit);
    return true;
}

void CProgramDriver::Kill()
{
    if (m_pi.hProcess)
    {
        ::TerminateProcess(m_pi.hProcess, 255);
        ::WaitForSingleObject(m_pi.hProcess, 5000);
    }
}

bool CProgramDriver::Suspend(bool bSuspend, DWORD dwExceptThreadId) const
{
    HANDLE hSnap = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (hSnap == INVALID_HANDLE_VALUE)
        return false;
    THREADENTRY32 te = {};
    te.dwSize = sizeof(te);
    bool any = false;
    for (BOOL more = ::Thread32First(hSnap, &te); more; more = ::Thread32Next(hSnap, &te))
    {
        if (te.th32OwnerProcessID != m_pi.dwProcessId || te.th32ThreadID == dwExceptThreadId)
            continue;
        HANDLE hThread = ::OpenThread(THREAD_SUSPEND_RESUME, FALSE, te.th32ThreadID);
        if (!hThread)
            continue;
        if (bSuspend)
            ::SuspendThread(hThread);
        else
            ::ResumeThread(hThread);
        ::CloseHandle(hThread);
        any = true;
    }
    ::CloseHandle(hSnap);
    return any;
}

bool SaveScreenshot(const std::string& strPath)
{
    HDC hdc = ::GetDC(NULL);
    bool ok = WriteBmp(strPath, hdc, 0, 0, ::GetSystemMetrics(SM_CXSCREEN),
                       ::GetSystemMetrics(SM_CYSCREEN));
    ::ReleaseDC(NULL, hdc);
    return ok;
}

bool SaveWindowShot(HWND hWnd, const std::string& strPath)
{
    RECT rc;
    if (!::GetWindowRect(hWnd, &rc))
        return false;
    HDC hdc = ::GetDC(NULL);
    bool ok = WriteBmp(strPath, hdc, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
    ::ReleaseDC(NULL, hdc);
    return ok;
}

namespace
{
struct CWatchArgs
{
    DWORD pid;
    CProgramDriver::CWatchedRun* pRun;
};

BOOL CALLBACK WatchWindow(HWND hWnd, LPARAM lParam)
{
    CWatchArgs* args = reinterpret_cast<CWatchArgs*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hWnd, &pid);
    if (pid == args->pid)
    {
        args->pRun->windows.insert(hWnd);
        if (::IsWindowVisible(hWnd))
            args->pRun->bVisible = true;
    }
    return TRUE;
}
} // namespace

CProgramDriver::CWatchedRun CProgramDriver::WatchToEnd(DWORD dwTimeoutMs) const
{
    CWatchedRun run;
    CWatchArgs args = {m_pi.dwProcessId, &run};
    DWORD start = ::GetTickCount();
    while (!(run.bEnded = WaitForExit(0, &run.dwExit)) && ::GetTickCount() - start < dwTimeoutMs)
    {
        ::EnumWindows(WatchWindow, (LPARAM)&args);
        ::Sleep(1);
    }
    return run;
}
