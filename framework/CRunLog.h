// The diagnostic log of a run: one event a line, each line stamped with the
// local time to the millisecond and ended with CR LF, the text kept as the
// program holds it (code page 936). Every line is handed to the system as soon
// as it is made, so a run that is killed leaves its log up to that moment. A
// write that fails (a full disk) closes the log and the run goes on without it.
// Without an open log nothing is written and nothing is formatted.
//
// The log also carries the program's phase marks; a build configured with
// TESSORA_PHASE_MARKS records them with the performance counter as well, for
// the benchmark's breakdown (written at the end of the process to the file
// named by TESSORA_PHASE_MARKS_FILE).
#pragma once
#include "framework/CString.h"

#include <windows.h>

class CRunLog
{
public:
    // Creates the log file (replacing a file of that name unless bNew, when an
    // existing file makes it fail). FALSE, with the system's error code set,
    // when the file cannot be created.
    static BOOL Open(LPCTSTR pszPath, BOOL bNew);
    static BOOL IsOpen() { return s_hFile != INVALID_HANDLE_VALUE; }
    // One event, printf-style; line breaks in it become blanks.
    static void Write(LPCTSTR pszFormat, ...)
#ifdef __GNUC__
        __attribute__((format(printf, 1, 2)))
#endif
        ;
    // A phase of the run reached.
    static void Phase(LPCTSTR pszName);
    // The last line: the exit code and the time since the log was opened.
    static void Close(int nExitCode);

private:
    static void WriteLine(const CString& strText);
    static HANDLE s_hFile;
    static DWORD s_dwOpened; // tick count
};

// An event, its arguments evaluated only when the log is open.
#define RUN_LOG(...) (CRunLog::IsOpen() ? CRunLog::Write(__VA_ARGS__) : (void)0)
