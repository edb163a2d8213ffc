// The driver's side of the paint count (see PaintCounter.h): creates the shared
// counters, loads the counting library and hooks one thread of another program
// with it. The hooks and the counters go with the object.
#pragma once
#include "bench/PaintCounter.h"

#include <string>

class CPaintCounterHooks
{
public:
    CPaintCounterHooks() = default;
    ~CPaintCounterHooks();
    CPaintCounterHooks(const CPaintCounterHooks&) = delete;
    CPaintCounterHooks& operator=(const CPaintCounterHooks&) = delete;

    // Hooks the thread dwThreadId with the library at strLibrary (full path).
    // Counting starts from zero. FALSE, with nothing hooked, on any failure.
    bool Attach(const std::string& strLibrary, DWORD dwThreadId);
    void Detach();

    LONG Sent() const { return m_pCounts ? m_pCounts->nSent : 0; }
    LONG Queued() const { return m_pCounts ? m_pCounts->nQueued : 0; }
    LONG Total() const { return Sent() + Queued(); }

private:
    HANDLE m_hMapping = NULL;
    CPaintCounts* m_pCounts = nullptr;
    HMODULE m_hLibrary = NULL;
    HHOOK m_hSentHook = NULL;
    HHOOK m_hQueuedHook = NULL;
};
