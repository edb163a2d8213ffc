#include "common/PathEndsWith.h"
#include "framework/mbcs.h"

// Offset of the last character of s, or -1 when s is empty.
static int LastCharStart(const char* s, int len)
{
    int last = -1;
    for (int i = 0; i < len; i = MbsNext(s, len, i))
        last = i;
    return last;
}

BOOL PathEndsWith(const CString& strPath, char ch)
{
    int last = LastCharStart(strPath, strPath.GetLength());
    // A double-byte character is never equal to a single-byte one.
    return last >= 0 && last == strPath.GetLength() - 1 && strPath[last] == ch;
}

BOOL PathEndsWithSeparator(const CString& strPath)
{
    return PathEndsWith(strPath, '\\') || PathEndsWith(strPath, '/');
}
