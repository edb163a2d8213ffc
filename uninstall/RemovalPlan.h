// What Uninstall removes, read from the install log: the logged controls to
// unregister, the logged files in log order, the logged folders last first (so
// inner folders go before the folders that hold them), and the logged registry
// keys in log order.
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
// are the files to delete). A value holding a NUL byte is left out: the system
// calls would stop at that byte and act on a shorter path, a parent folder or
// a parent key, that the log never named.
CStringArray ListLogValues(const CInstallLog& log, int nKind);
// Every "File Copy: " value in log order, one per entry, so that each entry is a
// step of the removal; a value holding a NUL byte is an empty text: a step with
// nothing to delete.
CStringArray ListFileDeletions(const CInstallLog& log);
// The logged folders, last logged first.
CStringArray ListFolderRemovals(const CInstallLog& log);
// The logged registry keys, in log order. An entry without a comma names no
// key and is left out.
std::vector<CRegKeyDeletion> ListRegKeyDeletions(const CInstallLog& log);
