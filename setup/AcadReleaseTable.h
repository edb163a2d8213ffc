// The AutoCAD releases Setup registers with, and how a release is found.
#pragma once
#include "framework/CString.h"

#include <functional>

struct AcadRelease
{
    LPCTSTR m_strRelease;       // release key name, such as "R16.2"
    LPCTSTR m_strModuleSubPath; // loader module, relative to the install folder
    BOOL m_bAutodeskApps;       // registered through an AutodeskApps key tree
};

// The eight supported releases, in the order they are processed.
extern const AcadRelease g_acadReleases[8];
const int ACAD_RELEASE_COUNT = 8;

// The release's key, "Software\Autodesk\AutoCAD\" and its name, followed by
// a backslash and strBelow unless that is empty: the one spelling of every key
// Setup reads or writes for a release (key names are not case-sensitive).
CString AcadReleaseKey(const AcadRelease& release, const CString& strBelow = CString());

// TRUE, with the product sub-key name, when the release's "CurVer" can be read
// under HKEY_LOCAL_MACHINE or else under HKEY_CURRENT_USER.
BOOL FindAcadProduct(const AcadRelease& release, CString& strProduct);

// Calls the step once for each profile sub-key name under the (formatted)
// Profiles key of HKEY_CURRENT_USER, in enumeration order.
void ForEachAcadProfile(const CString& strProfilesKey,
                        const std::function<void(const CString&)>& step);
