#include "common/UnattendedOptions.h"

static bool IsBlank(char ch)
{
    return ch == ' ' || ch == '\t';
}

static bool IsUnattendedOption(const CString& strArg)
{
    return strArg == "/S" || strArg == "/s" || strArg == "-S" || strArg == "-s";
}

BOOL ReadUnattendedOptions(const CString& strArgs, BOOL& bUnattended)
{
    bUnattended = FALSE;
    BOOL bAllKnown = TRUE;
    const char* p = strArgs;
    const int len = strArgs.GetLength();
    // Blank bytes are never trail bytes, so the walk may go byte by byte.
    for (int i = 0; i < len;)
    {
        while (i < len && IsBlank(p[i]))
            ++i;
        int start = i;
        while (i < len && !IsBlank(p[i]))
            ++i;
        if (i == start)
            break;
        if (IsUnattendedOption(strArgs.Mid(start, i - start)))
            bUnattended = TRUE;
        else
            bAllKnown = FALSE;
    }
    return bAllKnown;
}
