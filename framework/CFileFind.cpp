#include "framework/CFileFind.h"
#include "framework/mbcs.h"

#include <cstring>
#include <vector>

CFileFind::CFileFind() : m_hFind(INVALID_HANDLE_VALUE), m_bHaveNext(false), m_bHaveFound(false)
{
    std::memset(&m_found, 0, sizeof(m_found));
    std::memset(&m_next, 0, sizeof(m_next));
}

CFileFind::~CFileFind()
{
    Close();
}

void CFileFind::Close()
{
    if (m_hFind != INVALID_HANDLE_VALUE)
        ::FindClose(m_hFind);
    m_hFind = INVALID_HANDLE_VALUE;
    m_bHaveNext = m_bHaveFound = false;
}

// The folder part of a search pattern, made absolute: what GetFilePath puts in
// front of each entry's name.
static CString RootOf(LPCTSTR pszName)
{
    DWORD n = ::GetFullPathNameA(pszName, 0, NULL, NULL);
    if (n == 0)
        return CString();
    std::vector<char> buf(n + 1);
    DWORD got = ::GetFullPathNameA(pszName, (DWORD)buf.size(), buf.data(), NULL);
    if (got == 0 || got >= buf.size())
        return CString();
    CString full(buf.data(), (int)got);
    int back = full.ReverseFind('\\');
    int fwd = full.ReverseFind('/');
    int cut = back > fwd ? back : fwd;
    return cut >= 0 ? full.Left(cut) : CString();
}

BOOL CFileFind::FindFile(LPCTSTR pszName, DWORD)
{
    Close();
    if (!pszName)
        pszName = "*.*";
    m_strRoot = RootOf(pszName);
    m_hFind = ::FindFirstFileA(pszName, &m_next);
    if (m_hFind == INVALID_HANDLE_VALUE)
    {
        DWORD err = ::GetLastError();
        Close();
        ::SetLastError(err);
        return FALSE;
    }
    m_bHaveNext = true;
    return TRUE;
}

BOOL CFileFind::FindNextFile()
{
    if (m_hFind == INVALID_HANDLE_VALUE || !m_bHaveNext)
        return FALSE;
    m_found = m_next;
    m_bHaveFound = true;
    m_bHaveNext = ::FindNextFileA(m_hFind, &m_next) != FALSE;
    return m_bHaveNext ? TRUE : FALSE;
}

CString CFileFind::GetFileName() const
{
    return m_bHaveFound ? CString(m_found.cFileName) : CString();
}

CString CFileFind::GetFilePath() const
{
    CString path = m_strRoot;
    int len = path.GetLength();
    // A root such as "C:\" keeps its one separator. The last character decides,
    // not the last byte: a folder name may end in a double-byte character whose
    // trail byte is 0x5C, and that folder still needs its separator.
    int back = path.ReverseFind('\\');
    int fwd = path.ReverseFind('/');
    if (len == 0 || (back != len - 1 && fwd != len - 1))
        path += '\\';
    return path + GetFileName();
}

BOOL CFileFind::IsDots() const
{
    if (!m_bHaveFound)
        return FALSE;
    const char* n = m_found.cFileName;
    return (n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0'))) ? TRUE : FALSE;
}

BOOL CFileFind::IsDirectory() const
{
    return m_bHaveFound && (m_found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? TRUE : FALSE;
}
