// Timestamps of a program's phases and the time spent in its per-file calls,
// for the benchmark's breakdown. Only a build configured with
// TESSORA_PHASE_MARKS records anything: everywhere else the macros are empty,
// so the programs we ship and test do exactly what they did without them.
//
//   PHASE_MARK("name")   the moment a phase is reached (first and last time,
//                        and how often)
//   PHASE_SPAN("name")   the time from here to the end of the enclosing block,
//                        summed with its count over the run
//
// At the end of the process the marks build writes them, one per line, to the
// file named by the environment variable TESSORA_PHASE_MARKS_FILE.
#pragma once

#ifdef TESSORA_PHASE_MARKS
#include <windows.h>

void PhaseMark(const char* pszName);

class CPhaseSpan
{
public:
    explicit CPhaseSpan(const char* pszName);
    ~CPhaseSpan();
    CPhaseSpan(const CPhaseSpan&) = delete;
    CPhaseSpan& operator=(const CPhaseSpan&) = delete;

private:
    const char* m_pszName;
    LONG64 m_nStart; // performance counter
};

#define PHASE_MARK_JOIN2(a, b) a##b
#define PHASE_MARK_JOIN(a, b) PHASE_MARK_JOIN2(a, b)
#define PHASE_MARK(name) PhaseMark(name)
#define PHASE_SPAN(name) CPhaseSpan PHASE_MARK_JOIN(phaseSpan, __LINE__)(name)
#else
#define PHASE_MARK(name) ((void)0)
#define PHASE_SPAN(name) ((void)0)
#endif
