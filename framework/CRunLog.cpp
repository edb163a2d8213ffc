#include "framework/CRunLog.h"
#include "framework/CCriticalSection.h"
#ifdef TESSORA_PHASE_MARKS
#include "framework/PhaseMarkRecorder.h"
#endif

HANDLE CRunLog::s_hFile = INVALID_HANDLE_VALUE;
DWORD CRunLog::s_dwOpened = 0;

namespace
{
// Both threads of a program write; a line goes out whole.
CCriticalSection& LogSection()
{
    static CCriticalSection section;
    return section;
}
} // namespace

BOOL CRunLog::Open(LPCTSTR pszPath, BOOL bNew)
{
    CSingleLock lock(&LogSection());
    HANDLE hFile = ::CreateFileA(pszPath, GENERIC_WRITE, FILE_SHARE_READ, NULL,
                                 bNew ? CREATE_NEW : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return FALSE;
    if (IsOpen())
        ::CloseHandle(s_hFile);
    s_hFile = hFile;
    s_dwOpened = ::GetTickCount();
    return TRUE;
}

void CRunLog::Write(LPCTSTR pszFormat, ...)
{
    if (!IsOpen())
        return;
    CString strText;
    va_list args;
    va_start(args, pszFormat);
    strText.FormatV(pszFormat, args);
    va_end(args);
    WriteLine(strText);
}

void CRunLog::WriteLine(const CString& strText)
{
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    CString strLine;
    strLine.Format("%04u-%02u-%02u %02u:%02u:%02u.%03u %s\r\n", now.wYear, now.wMonth, now.wDay,
                   now.wHour, now.wMinute, now.wSecond, now.wMilliseconds, (LPCTSTR)strText);
    // A prompt's text holds line breaks: the event stays on its line. CR and
    // LF are never trail bytes, so the bytes may be replaced one by one.
    std::string bytes((LPCTSTR)strLine, (size_t)strLine.GetLength());
    for (size_t i = 0; i + 2 < bytes.size(); ++i)
        if (bytes[i] == '\r' || bytes[i] == '\n')
            bytes[i] = ' ';

    CSingleLock lock(&LogSection());
    if (!IsOpen())
        return;
    DWORD nWritten = 0;
    if (!::WriteFile(s_hFile, bytes.data(), (DWORD)bytes.size(), &nWritten, NULL) ||
        nWritten != bytes.size())
    {
        // A full disk: the log ends here, the run goes on.
        ::CloseHandle(s_hFile);
        s_hFile = INVALID_HANDLE_VALUE;
    }
}

void CRunLog::Phase(LPCTSTR pszName)
{
#ifdef TESSORA_PHASE_MARKS
    RecordPhaseMark(pszName);
#endif
    RUN_LOG("phase: %s", pszName);
}

void CRunLog::Close(int nExitCode)
{
    RUN_LOG("end: exit code %d, %lu ms", nExitCode, (unsigned long)(::GetTickCount() - s_dwOpened));
    CSingleLock lock(&LogSection());
    if (IsOpen())
        ::CloseHandle(s_hFile);
    s_hFile = INVALID_HANDLE_VALUE;
}
