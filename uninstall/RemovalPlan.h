// What Uninstall removes, read from the install log: the logged files in log
// order, the logged folders last first (so inner folders go before the folders
// that hold them), and the logged registry keys in log order. "Reg Ctrl: "
// entries are not undone and so appear in none of the lists.
#pragma once
#include "common/CInstallLog.h"
#include "framework/CStringArray.h"

#include <vector>

// One registry key to delete: its root and its path below the root.
struct CRegKeyDeletion
{
    HKEY m_hRoot;
    CString m_strSubKey;
};

// The values of every entry of one kind, in log order ("File Copy: " values
// are the files to delete).
CStringArray ListLogValues(const CInstallLog& log, int nKind);
// The logged folders, last logged first.
CStringArray ListFolderRemovals(const CInstallLog& log);
// The logged registry keys, in log order. An entry without a comma names no
// key and is left out.
std::vector<CRegKeyDeletion> ListRegKeyDeletions(const CInstallLog& log);
