// Registration of the loader module with every installed AutoCAD release, and
// of the pattern folder with every profile of the current user. The install
// folder always ends with a backslash.
#pragma once
#include "setup/AcadReleaseTable.h"

// All eight releases in table order; results are ignored.
void RegisterAcadReleases(const CString& strInstallDir);
// TRUE when every write of the row succeeded; FALSE when the release is not
// installed or a write failed (what was written before stays).
BOOL RegisterAcadRelease(const AcadRelease& release, const CString& strInstallDir);
// Puts "<install folder>HatchPat\;" in front of the "ACAD" support path of each
// profile under the formatted Profiles key.
void AddSupportPath(CString strProfilesKey, const CString& strInstallDir);
