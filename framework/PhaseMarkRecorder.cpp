// The marks build's recorder: a fixed table filled without locks (a slot is
// claimed by its name's pointer, the names being literals) and written out by
// a static object's destructor when the program ends.
#include "framework/PhaseMarkRecorder.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace
{
const int MAX_ENTRIES = 64;

struct CEntry
{
    const char* volatile pszName;
    volatile LONG64 nFirst; // performance counter
    volatile LONG64 nLast;
    volatile LONG nCount;
    DWORD dwThread;
};

CEntry g_marks[MAX_ENTRIES];

LONG64 Now()
{
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}

// The slot of a name: found, or claimed; null when the table is full.
CEntry* Slot(CEntry* table, const char* pszName)
{
    for (int i = 0; i < MAX_ENTRIES; ++i)
    {
        const char* pszHeld = table[i].pszName;
        if (pszHeld == pszName)
            return &table[i];
        if (!pszHeld)
        {
            pszHeld = (const char*)::InterlockedCompareExchangePointer(
                (PVOID volatile*)&table[i].pszName, (PVOID)pszName, NULL);
            if (!pszHeld || pszHeld == pszName)
            {
                table[i].dwThread = ::GetCurrentThreadId();
                return &table[i];
            }
        }
    }
    return nullptr;
}

class CMarksWriter
{
public:
    ~CMarksWriter()
    {
        const char* pszFile = std::getenv("TESSORA_PHASE_MARKS_FILE");
        if (!pszFile || !*pszFile)
            return;
        RecordPhaseMark("exit");
        FILE* f = std::fopen(pszFile, "w");
        if (!f)
            return;
        LARGE_INTEGER freq;
        ::QueryPerformanceFrequency(&freq);
        std::fprintf(f, "freq %lld\n", (long long)freq.QuadPart);
        for (const CEntry& e : g_marks)
            if (e.pszName)
                std::fprintf(f, "mark\t%s\t%lld\t%lld\t%ld\t%lu\n", e.pszName, (long long)e.nFirst,
                             (long long)e.nLast, (long)e.nCount, (unsigned long)e.dwThread);
        std::fclose(f);
    }
} g_writer;
} // namespace

void RecordPhaseMark(const char* pszName)
{
    CEntry* pEntry = Slot(g_marks, pszName);
    if (!pEntry)
        return;
    LONG64 now = Now();
    ::InterlockedCompareExchange64(&pEntry->nFirst, now, 0);
    pEntry->nLast = now;
    ::InterlockedIncrement(&pEntry->nCount);
}
