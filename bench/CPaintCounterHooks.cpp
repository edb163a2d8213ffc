#include "bench/CPaintCounterHooks.h"

CPaintCounterHooks::~CPaintCounterHooks()
{
    Detach();
}

bool CPaintCounterHooks::Attach(const std::string& strLibrary, DWORD dwThreadId)
{
    Detach();
    m_hMapping = ::CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0,
                                      sizeof(CPaintCounts), PAINT_COUNTER_MAPPING);
    if (m_hMapping)
        m_pCounts = static_cast<CPaintCounts*>(
            ::MapViewOfFile(m_hMapping, FILE_MAP_WRITE, 0, 0, sizeof(CPaintCounts)));
    if (!m_pCounts)
    {
        Detach();
        return false;
    }
    // A mapping left open by an earlier count would still hold its numbers.
    m_pCounts->nSent = 0;
    m_pCounts->nQueued = 0;

    m_hLibrary = ::LoadLibraryA(strLibrary.c_str());
    FARPROC pfnSent = m_hLibrary ? ::GetProcAddress(m_hLibrary, PAINT_COUNTER_SENT_HOOK) : NULL;
    FARPROC pfnQueued = m_hLibrary ? ::GetProcAddress(m_hLibrary, PAINT_COUNTER_QUEUED_HOOK) : NULL;
    if (pfnSent && pfnQueued)
    {
        // The generic function pointer type carries the hook procedure's real type.
        m_hSentHook = ::SetWindowsHookExA(
            WH_CALLWNDPROC, reinterpret_cast<HOOKPROC>(reinterpret_cast<void (*)()>(pfnSent)),
            m_hLibrary, dwThreadId);
        m_hQueuedHook = ::SetWindowsHookExA(
            WH_GETMESSAGE, reinterpret_cast<HOOKPROC>(reinterpret_cast<void (*)()>(pfnQueued)),
            m_hLibrary, dwThreadId);
    }
    if (!m_hSentHook || !m_hQueuedHook)
    {
        Detach();
        return false;
    }
    return true;
}

void CPaintCounterHooks::Detach()
{
    if (m_hSentHook)
        ::UnhookWindowsHookEx(m_hSentHook);
    if (m_hQueuedHook)
        ::UnhookWindowsHookEx(m_hQueuedHook);
    m_hSentHook = m_hQueuedHook = NULL;
    if (m_hLibrary)
        ::FreeLibrary(m_hLibrary);
    m_hLibrary = NULL;
    if (m_pCounts)
        ::UnmapViewOfFile(m_pCounts);
    m_pCounts = nullptr;
    if (m_hMapping)
        ::CloseHandle(m_hMapping);
    m_hMapping = NULL;
}
