#include "bench/StepMessages.h"

namespace
{
const UINT UM_STEP = WM_APP + 1;
const UINT UM_WALK_DONE = WM_APP + 2;

struct CWalkThread
{
    std::function<CTreeCount(CTreeStep)> walk;
    HWND hwnd = NULL;
    HWND hText = NULL; // the static that shows each path, when shown at all
    CTreeCount count;
    long nReceived = 0;
};

void SendStep(const char* pszPath, void* pContext)
{
    ::SendMessageA(static_cast<CWalkThread*>(pContext)->hwnd, UM_STEP, 0, (LPARAM)pszPath);
}

DWORD WINAPI WalkThreadProc(LPVOID pParam)
{
    CWalkThread* pWalk = static_cast<CWalkThread*>(pParam);
    CTreeStep step;
    step.pfn = &SendStep;
    step.pContext = pWalk;
    pWalk->count = pWalk->walk(step);
    ::PostMessageA(pWalk->hwnd, UM_WALK_DONE, 0, 0);
    return 0;
}

LRESULT CALLBACK ReceiverProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == UM_STEP)
    {
        // The path is read while the sender waits, as the dialogs do.
        CWalkThread* pWalk =
            reinterpret_cast<CWalkThread*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (pWalk && lParam && *(const char*)lParam)
        {
            ++pWalk->nReceived;
            if (pWalk->hText)
            {
                std::string text = (const char*)lParam;
                text += " ... ";
                ::SetWindowTextA(pWalk->hText, text.c_str());
            }
        }
        return 1;
    }
    if (msg == UM_WALK_DONE)
    {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}
} // namespace

CTreeCount RunWithStepMessages(const std::function<CTreeCount(CTreeStep)>& walk, bool bShowText)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &ReceiverProc;
    wc.hInstance = ::GetModuleHandleA(NULL);
    wc.lpszClassName = "TessoraBenchStepReceiver";
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    ::RegisterClassA(&wc);

    CWalkThread walkThread;
    walkThread.walk = walk;
    DWORD dwStyle = bShowText ? WS_POPUP | WS_CAPTION | WS_VISIBLE : WS_POPUP;
    walkThread.hwnd = ::CreateWindowA(wc.lpszClassName, "", dwStyle, 0, 0, bShowText ? 340 : 10,
                                      bShowText ? 200 : 10, NULL, NULL, wc.hInstance, NULL);
    HFONT hFont = NULL;
    if (walkThread.hwnd && bShowText)
    {
        // The status line of Uninstall's dialog: a transparent left-aligned
        // static, 宋体 9 points.
        walkThread.hText = ::CreateWindowExA(WS_EX_TRANSPARENT, "Static", "",
                                             WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT, 24, 80,
                                             291, 15, walkThread.hwnd, NULL, wc.hInstance, NULL);
        HDC hdc = ::GetDC(walkThread.hwnd);
        int nHeight = -::MulDiv(9, ::GetDeviceCaps(hdc, LOGPIXELSY), 72);
        ::ReleaseDC(walkThread.hwnd, hdc);
        hFont = ::CreateFontA(nHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                              DEFAULT_PITCH | FF_DONTCARE, "宋体");
        ::SendMessageA(walkThread.hText, WM_SETFONT, (WPARAM)hFont, FALSE);
        ::UpdateWindow(walkThread.hwnd);
    }
    if (!walkThread.hwnd)
    {
        CTreeCount failed;
        failed.nFailed = 1;
        return failed;
    }
    ::SetWindowLongPtrA(walkThread.hwnd, GWLP_USERDATA, (LONG_PTR)&walkThread);
    HANDLE hThread = ::CreateThread(NULL, 0, &WalkThreadProc, &walkThread, 0, NULL);
    if (!hThread)
    {
        ::DestroyWindow(walkThread.hwnd);
        CTreeCount failed;
        failed.nFailed = 1;
        return failed;
    }
    MSG msg;
    while (::GetMessageA(&msg, NULL, 0, 0) > 0)
        ::DispatchMessageA(&msg);
    ::WaitForSingleObject(hThread, INFINITE);
    ::CloseHandle(hThread);
    ::DestroyWindow(walkThread.hwnd);
    if (hFont)
        ::DeleteObject(hFont);
    return walkThread.count;
}
