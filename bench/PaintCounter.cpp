// The hook library loaded into the measured program by its hooks.
#include "bench/PaintCounter.h"

namespace
{
// The counters, mapped on first use and kept for the life of the process.
CPaintCounts* Counts()
{
    static CPaintCounts* s_pCounts = nullptr;
    if (!s_pCounts)
    {
        HANDLE hMap = ::OpenFileMappingA(FILE_MAP_WRITE, FALSE, PAINT_COUNTER_MAPPING);
        if (!hMap)
            return nullptr;
        s_pCounts = static_cast<CPaintCounts*>(
            ::MapViewOfFile(hMap, FILE_MAP_WRITE, 0, 0, sizeof(CPaintCounts)));
        ::CloseHandle(hMap); // the view keeps the mapping
    }
    return s_pCounts;
}

bool IsProgressBar(HWND hWnd)
{
    char name[64] = {0};
    return ::GetClassNameA(hWnd, name, sizeof(name)) && lstrcmpiA(name, PAINT_COUNTER_CLASS) == 0;
}

void Count(HWND hWnd, volatile LONG CPaintCounts::*pCounter)
{
    if (!IsProgressBar(hWnd))
        return;
    if (CPaintCounts* pCounts = Counts())
        ::InterlockedIncrement(&(pCounts->*pCounter));
}
} // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    PaintCounterSentHook(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HC_ACTION)
    {
        const CWPSTRUCT* pMsg = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (pMsg->message == WM_PAINT)
            Count(pMsg->hwnd, &CPaintCounts::nSent);
    }
    return ::CallNextHookEx(NULL, nCode, wParam, lParam);
}

extern "C" __declspec(dllexport) LRESULT CALLBACK
    PaintCounterQueuedHook(int nCode, WPARAM wParam, LPARAM lParam)
{
    // Only a message that is taken from the queue is dispatched; a look with
    // PM_NOREMOVE is not a paint.
    if (nCode == HC_ACTION && wParam == PM_REMOVE)
    {
        const MSG* pMsg = reinterpret_cast<const MSG*>(lParam);
        if (pMsg->message == WM_PAINT)
            Count(pMsg->hwnd, &CPaintCounts::nQueued);
    }
    return ::CallNextHookEx(NULL, nCode, wParam, lParam);
}
