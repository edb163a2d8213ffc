// A byte string of the ANSI code page with the members of the MFC string that
// the programs use. It tracks its length, so embedded NUL bytes survive;
// searches and comparisons follow the code page's multibyte rules.
#pragma once
#include "framework/wintypes.h"

#include <cstdarg>
#include <string>

class CString
{
public:
    CString() {}
    CString(const CString& other) = default;
    CString(CString&& other) noexcept = default;
    CString(LPCTSTR psz) : m_str(psz ? psz : "") {}
    CString(LPCTSTR pch, int nLength) : m_str(pch, pch && nLength > 0 ? (size_t)nLength : 0) {}
    CString(TCHAR ch, int nRepeat = 1) : m_str(nRepeat > 0 ? (size_t)nRepeat : 0, ch) {}

    CString& operator=(const CString& other) = default;
    CString& operator=(CString&& other) noexcept = default;
    CString& operator=(LPCTSTR psz)
    {
        m_str = psz ? psz : "";
        return *this;
    }

    int GetLength() const { return (int)m_str.size(); }
    BOOL IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    TCHAR operator[](int nIndex) const { return m_str[(size_t)nIndex]; }
    void SetAt(int nIndex, TCHAR ch) { m_str[(size_t)nIndex] = ch; }
    operator LPCTSTR() const { return m_str.c_str(); }

    CString& operator+=(const CString& s)
    {
        m_str += s.m_str;
        return *this;
    }
    CString& operator+=(LPCTSTR psz)
    {
        if (psz)
            m_str += psz;
        return *this;
    }
    CString& operator+=(TCHAR ch)
    {
        m_str += ch;
        return *this;
    }
    friend CString operator+(const CString& a, const CString& b) { return CString(a) += b; }
    friend CString operator+(const CString& a, LPCTSTR b) { return CString(a) += b; }
    friend CString operator+(LPCTSTR a, const CString& b) { return CString(a) += b; }
    friend CString operator+(const CString& a, TCHAR b) { return CString(a) += b; }

    // Multibyte-aware comparisons: <0, 0 or >0.
    int Compare(LPCTSTR psz) const;
    int CompareNoCase(LPCTSTR psz) const;
    friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
    friend bool operator==(const CString& a, LPCTSTR b) { return a.Compare(b) == 0; }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, LPCTSTR b) { return !(a == b); }

    // Searches never match on the trail byte of a double-byte character.
    int Find(TCHAR ch, int nStart = 0) const;
    int Find(LPCTSTR pszSub, int nStart = 0) const;
    int ReverseFind(TCHAR ch) const;

    CString Left(int nCount) const;
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;

    // Remove white space (blank, tab, CR, LF, VT, FF) from either end.
    CString& TrimLeft();
    CString& TrimRight();

    void Format(LPCTSTR pszFormat, ...)
#ifdef __GNUC__
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    void FormatV(LPCTSTR pszFormat, va_list args);

private:
    std::string m_str;
};
