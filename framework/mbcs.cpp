#include "framework/mbcs.h"

#include <cstring>

BOOL IsLeadByte(BYTE b)
{
#ifdef _WIN32
    return IsDBCSLeadByte(b);
#else
    return b >= 0x81 && b <= 0xFE;
#endif
}

int MbsNext(const char* s, int len, int pos)
{
    if (pos < len && IsLeadByte((BYTE)s[pos]) && pos + 1 < len)
        return pos + 2;
    return pos + 1;
}

int MbsReverseFindChar(const char* s, int len, char ch)
{
    int found = -1;
    for (int i = 0; i < len; i = MbsNext(s, len, i))
        if (s[i] == ch)
            found = i;
    return found;
}

int MbsFindChar(const char* s, int len, char ch, int start)
{
    if (start < 0)
        start = 0;
    // Walk from the beginning so that a start on a trail byte is recognised.
    for (int i = 0; i < len; i = MbsNext(s, len, i))
        if (i >= start && s[i] == ch)
            return i;
    return -1;
}

int MbsFind(const char* s, int len, const char* sub, int subLen, int start)
{
    if (start < 0)
        start = 0;
    if (start > len)
        return -1;
    for (int i = 0; i + subLen <= len; i = MbsNext(s, len, i))
        if (i >= start && std::memcmp(s + i, sub, (size_t)subLen) == 0)
            return i;
    return -1;
}

int MbsCompare(const char* a, int aLen, const char* b, int bLen)
{
    int n = aLen < bLen ? aLen : bLen;
    int r = n > 0 ? std::memcmp(a, b, (size_t)n) : 0;
    if (r != 0)
        return r < 0 ? -1 : 1;
    return aLen == bLen ? 0 : (aLen < bLen ? -1 : 1);
}

static BYTE FoldSingle(BYTE c)
{
    return (c >= 'A' && c <= 'Z') ? (BYTE)(c - 'A' + 'a') : c;
}

int MbsCompareNoCase(const char* a, int aLen, const char* b, int bLen)
{
    int i = 0, j = 0;
    while (i < aLen && j < bLen)
    {
        BYTE ca = (BYTE)a[i], cb = (BYTE)b[j];
        bool leadA = IsLeadByte(ca) && i + 1 < aLen;
        bool leadB = IsLeadByte(cb) && j + 1 < bLen;
        if (leadA || leadB)
        {
            // Double-byte characters compare by both bytes, unfolded.
            unsigned va = leadA ? (ca << 8 | (BYTE)a[i + 1]) : ca;
            unsigned vb = leadB ? (cb << 8 | (BYTE)b[j + 1]) : cb;
            if (va != vb)
                return va < vb ? -1 : 1;
        }
        else
        {
            BYTE fa = FoldSingle(ca), fb = FoldSingle(cb);
            if (fa != fb)
                return fa < fb ? -1 : 1;
        }
        i += leadA ? 2 : 1;
        j += leadB ? 2 : 1;
    }
    if (i < aLen)
        return 1;
    if (j < bLen)
        return -1;
    return 0;
}

int MbsCopyBytes(char* dst, const char* src, int srcLen, int n)
{
    int copied = 0;
    while (copied < srcLen)
    {
        int next = MbsNext(src, srcLen, copied);
        if (next > n)
            break;
        copied = next;
    }
    if (copied > 0)
        std::memcpy(dst, src, (size_t)copied);
    return copied;
}
