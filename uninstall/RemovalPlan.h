// What Uninstall removes, read from the install log: the logged files in log
// order, the logged folders last first (so inner folders go before the folders
// that hold them), and the logged registry keys in log order.
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

struct CRemovalPlan
{
    CStringArray m_files;                     // "File Copy: " values, log order
    CStringArray m_folders;                   // "Made Dir: " values, last logged first
    std::vector<CRegKeyDeletion> m_regKeys;   // "RegDB Key: " values, log order
};

// The plan for a loaded log. "Reg Ctrl: " entries are not undone and so are not
// in it; a registry entry without a comma names no key and is left out.
CRemovalPlan MakeRemovalPlan(const CInstallLog& log);

// The values of every entry of one kind, in log order.
CStringArray ListLogValues(const CInstallLog& log, int nKind);
// The logged folders, last logged first.
CStringArray ListFolderRemovals(const CInstallLog& log);
// The logged registry keys, in log order.
std::vector<CRegKeyDeletion> ListRegKeyDeletions(const CInstallLog& log);
