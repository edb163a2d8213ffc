#include "framework/CString.h"
#include "framework/mbcs.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

int CString::Compare(LPCTSTR psz) const
{
    if (!psz)
        psz = "";
    // Compare as C strings: the text up to the first NUL, as the runtime does.
    return MbsCompare(m_str.c_str(), (int)std::strlen(m_str.c_str()), psz, (int)std::strlen(psz));
}

int CString::CompareNoCase(LPCTSTR psz) const
{
    if (!psz)
        psz = "";
    return MbsCompareNoCase(m_str.c_str(), (int)std::strlen(m_str.c_str()), psz,
                            (int)std::strlen(psz));
}

int CString::Find(TCHAR ch, int nStart) const
{
    return MbsFindChar(m_str.data(), GetLength(), ch, nStart);
}

int CString::Find(LPCTSTR pszSub, int nStart) const
{
    if (!pszSub)
        return -1;
    return MbsFind(m_str.data(), GetLength(), pszSub, (int)std::strlen(pszSub), nStart);
}

int CString::ReverseFind(TCHAR ch) const
{
    return MbsReverseFindChar(m_str.data(), GetLength(), ch);
}

CString CString::Left(int nCount) const
{
    if (nCount < 0)
        nCount = 0;
    if (nCount > GetLength())
        nCount = GetLength();
    return CString(m_str.data(), nCount);
}

CString CString::Mid(int nFirst) const
{
    return Mid(nFirst, GetLength() - (nFirst < 0 ? 0 : nFirst));
}

CString CString::Mid(int nFirst, int nCount) const
{
    if (nFirst < 0)
        nFirst = 0;
    if (nCount < 0)
        nCount = 0;
    if (nFirst > GetLength())
        nFirst = GetLength();
    if (nCount > GetLength() - nFirst)
        nCount = GetLength() - nFirst;
    return CString(m_str.data() + nFirst, nCount);
}

static bool IsSpaceByte(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

CString& CString::TrimLeft()
{
    size_t i = 0;
    while (i < m_str.size() && IsSpaceByte(m_str[i]))
        ++i;
    m_str.erase(0, i);
    return *this;
}

CString& CString::TrimRight()
{
    // Walk by characters so that a trail byte is never taken for white space;
    // remember where the trailing run of white space begins.
    int len = GetLength();
    int cut = len;
    for (int i = 0; i < len; i = MbsNext(m_str.data(), len, i))
    {
        if (IsSpaceByte(m_str[(size_t)i]))
        {
            if (cut == len)
                cut = i;
        }
        else
            cut = len;
    }
    m_str.resize((size_t)cut);
    return *this;
}

void CString::Format(LPCTSTR pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
}

void CString::FormatV(LPCTSTR pszFormat, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, pszFormat, copy);
    va_end(copy);
    if (n < 0)
    {
        m_str.clear();
        return;
    }
    std::vector<char> buf((size_t)n + 1);
    std::vsnprintf(buf.data(), buf.size(), pszFormat, args);
    m_str.assign(buf.data(), (size_t)n);
}
