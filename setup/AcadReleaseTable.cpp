#include "setup/AcadReleaseTable.h"
#include "common/RegistryValues.h"
#include "framework/AutoHandle.h"

const AcadRelease g_acadReleases[ACAD_RELEASE_COUNT] = {
    {"R15.0", "Support\\2000-02\\Arx\\FillBoot.arx", TRUE},
    {"R16.0", "Support\\2004-06\\Arx\\FillBoot.arx", FALSE},
    {"R16.1", "Support\\2004-06\\Arx\\FillBoot.arx", FALSE},
    {"R16.2", "Support\\2004-06\\Arx\\FillBoot.arx", FALSE},
    {"R17.0", "Support\\2007-09\\Arx\\FillBoot.arx", FALSE},
    {"R17.1", "Support\\2007-09\\Arx\\FillBoot.arx", FALSE},
    {"R17.2", "Support\\2007-09\\Arx\\FillBoot.arx", FALSE},
    {"R18.0", "Support\\2010-11\\Arx\\FillBoot.arx", FALSE},
};

CString AcadReleaseKey(const AcadRelease& release, const CString& strBelow)
{
    CString strKey = CString("Software\\Autodesk\\AutoCAD\\") + release.m_strRelease;
    if (!strBelow.IsEmpty())
        strKey += "\\" + strBelow;
    return strKey;
}

BOOL FindAcadProduct(const AcadRelease& release, CString& strProduct)
{
    // The machine's "CurVer" wins, the current user's counts when the machine has none.
    const CString strKey = AcadReleaseKey(release);
    if (RegReadMachineString(strKey, "CurVer", strProduct))
        return TRUE;
    return RegReadUserString(strKey, "CurVer", strProduct);
}

void ForEachAcadProfile(const CString& strProfilesKey,
                        const std::function<void(const CString&)>& step)
{
    HKEY hKey = NULL;
    if (::RegOpenKeyA(HKEY_CURRENT_USER, strProfilesKey, &hKey) != ERROR_SUCCESS)
        return;
    CAutoRegKey key(hKey);
    // The first failure ends the walk: the end of the list, or a name that does
    // not fit. The step never adds or removes profiles, so the indexes stay valid.
    char szName[260];
    for (DWORD nIndex = 0;
         ::RegEnumKeyA(key.Get(), nIndex, szName, sizeof(szName)) == ERROR_SUCCESS; ++nIndex)
        step(CString(szName));
}
