// Waiting in the Windows tests for what another thread or process brings
// about: WaitUntil only polls, PumpUntil also serves this thread's windows
// between two looks (for a condition that needs them to run).
#pragma once
#include <windows.h>

#include <functional>

// Runs the messages already queued for this thread's windows.
inline void PumpMessages()
{
    MSG msg;
    while (::PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
        ::DispatchMessageA(&msg);
}

// Polls the condition every dwStepMs; false when it does not hold within dwTimeoutMs.
inline bool WaitUntil(const std::function<bool()>& condition, DWORD dwTimeoutMs,
                      DWORD dwStepMs = 10)
{
    const DWORD start = ::GetTickCount();
    while (!condition())
    {
        if (::GetTickCount() - start > dwTimeoutMs)
            return false;
        ::Sleep(dwStepMs);
    }
    return true;
}

// As WaitUntil, serving this thread's messages before each look and waking
// as soon as a new one arrives.
inline bool PumpUntil(const std::function<bool()>& condition, DWORD dwTimeoutMs)
{
    const DWORD start = ::GetTickCount();
    for (;;)
    {
        PumpMessages();
        if (condition())
            return true;
        if (::GetTickCount() - start > dwTimeoutMs)
            return false;
        ::MsgWaitForMultipleObjects(0, NULL, FALSE, 20, QS_ALLINPUT);
    }
}
