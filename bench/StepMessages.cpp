#include "bench/StepMessages.h"

namespace
{
const UINT UM_STEP = WM_APP + 1;
const UINT UM_WALK_DONE = WM_APP + 2;

struct CWalkThread
{
    std::function<CTreeCount(CTreeStep)> walk;
    HWND hwnd = NULL;
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
            ++pWalk->nReceived;
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

CTreeCount RunWithStepMessages(const std::function<CTreeCount(CTreeStep)>& walk)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &ReceiverProc;
    wc.hInstance = ::GetModuleHandleA(NULL);
    wc.lpszClassName = "TessoraBenchStepReceiver";
    ::RegisterClassA(&wc);

    CWalkThread walkThread;
    walkThread.walk = walk;
    walkThread.hwnd = ::CreateWindowA(wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, NULL, NULL,
                                      wc.hInstance, NULL);
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
    return walkThread.count;
}
