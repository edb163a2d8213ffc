// File search with a look-ahead: FindFile finds the first entry but does not
// make it current; each FindNextFile makes the next entry current and returns
// FALSE when that entry is the last one (which the caller still processes).
//
//     CFileFind ff;
//     BOOL more = ff.FindFile(pattern);
//     while (more) { more = ff.FindNextFile(); /* use ff */ }
#pragma once
#include "framework/CString.h"

#include <windows.h>

class CFileFind
{
public:
    CFileFind();
    ~CFileFind();
    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;

    // pszName NULL searches "*.*"; dwUnused is kept for the MFC shape. On failure
    // the thread's last error is the search's.
    BOOL FindFile(LPCTSTR pszName = NULL, DWORD dwUnused = 0);
    BOOL FindNextFile();
    void Close();

    CString GetFileName() const;
    CString GetFilePath() const;
    BOOL IsDots() const;
    BOOL IsDirectory() const;

private:
    HANDLE m_hFind;
    WIN32_FIND_DATAA m_found;
    WIN32_FIND_DATAA m_next;
    bool m_bHaveNext;
    bool m_bHaveFound;
    CString m_strRoot;
};
