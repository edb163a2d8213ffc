#include "common/SystemErrorText.h"

CString SystemErrorText(DWORD dwError)
{
    LPSTR pszBuffer = NULL;
    DWORD n = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        NULL, dwError, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), (LPSTR)&pszBuffer, 0, NULL);
    CString text = n && pszBuffer ? CString(pszBuffer, (int)n) : CString();
    if (pszBuffer)
        ::LocalFree(pszBuffer);
    return text;
}

CString SystemErrorLine(DWORD dwError)
{
    CString strText = SystemErrorText(dwError);
    strText.TrimRight();
    CString strLine;
    strLine.Format("error %lu: %s", (unsigned long)dwError, (LPCTSTR)strText);
    return strLine;
}
