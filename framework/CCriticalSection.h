// A critical section of the process and the lock that holds it for a scope:
// the system's own locking, present on every Windows the programs run on.
#pragma once
#include <windows.h>

class CCriticalSection
{
public:
    CCriticalSection() { ::InitializeCriticalSection(&m_sect); }
    ~CCriticalSection() { ::DeleteCriticalSection(&m_sect); }
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    void Lock() { ::EnterCriticalSection(&m_sect); }
    void Unlock() { ::LeaveCriticalSection(&m_sect); }

private:
    CRITICAL_SECTION m_sect;
};

// Holds the section from construction to destruction.
class CSingleLock
{
public:
    explicit CSingleLock(CCriticalSection* pSection) : m_pSection(pSection) { m_pSection->Lock(); }
    ~CSingleLock() { m_pSection->Unlock(); }
    CSingleLock(const CSingleLock&) = delete;
    CSingleLock& operator=(const CSingleLock&) = delete;

private:
    CCriticalSection* m_pSection;
};
