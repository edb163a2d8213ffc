#include "framework/CommandLine.h"

static bool IsBlank(char ch)
{
    return ch == ' ' || ch == '\t';
}

CString CommandLineArguments(const CString& strCmdLine, const CString& strModulePath)
{
    const char* p = strCmdLine;
    const int len = strCmdLine.GetLength();
    int i = 0;
    while (i < len && IsBlank(p[i]))
        ++i;
    const int nModule = strModulePath.GetLength();
    if (i < len && p[i] == '"')
    {
        // A quote byte is never the trail byte of a double-byte character.
        int close = strCmdLine.Find('"', i + 1);
        i = close < 0 ? len : close + 1;
    }
    else if (nModule > 0 && len - i >= nModule &&
             strCmdLine.Mid(i, nModule).CompareNoCase(strModulePath) == 0 &&
             (len - i == nModule || IsBlank(p[i + nModule])))
        i += nModule;
    else
    {
        while (i < len && !IsBlank(p[i]))
            ++i;
    }
    CString strArgs = strCmdLine.Mid(i);
    strArgs.TrimLeft();
    strArgs.TrimRight();
    return strArgs;
}
