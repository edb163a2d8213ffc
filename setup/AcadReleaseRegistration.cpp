#include "setup/AcadReleaseRegistration.h"
#include "common/RegistryValues.h"
#include "framework/CRunLog.h"
#include "setup/AcadSupportPathRule.h"

void RegisterAcadReleases(const CString& strInstallDir)
{
    for (int i = 0; i < ACAD_RELEASE_COUNT; ++i)
        RegisterAcadRelease(g_acadReleases[i], strInstallDir);
}

BOOL RegisterAcadRelease(const AcadRelease& release, const CString& strInstallDir)
{
    CString strProduct;
    if (!FindAcadProduct(release, strProduct))
    {
        RUN_LOG("AutoCAD %s: not found", release.m_strRelease);
        return FALSE;
    }
    RUN_LOG("AutoCAD %s: found, product %s", release.m_strRelease, (LPCTSTR)strProduct);
    const CString strProductKey = AcadReleaseKey(release, strProduct);

    // The support path goes first and whatever happens to the loader entries.
    AddSupportPath(strProductKey + "\\Profiles\\", strInstallDir);

    const CString strAppKey = strProductKey + "\\Applications\\FillBoot";
    if (!RegWriteMachineDword(strAppKey, "LOADCTRLS", 2))
        return FALSE;

    CString strModule = strInstallDir + release.m_strModuleSubPath;
    if (!release.m_bAutodeskApps)
        return RegWriteMachineString(strAppKey, "LOADER", strModule);

    // The older scheme: the application key points at an AutodeskApps tree
    // that holds the module and the application's name.
    const CString strAppsKey = strProductKey + "\\AutodeskApps\\FillBoot";
    if (!RegWriteMachineString(strAppKey, "REGPATH", "\\\\HKEY_LOCAL_MACHINE\\" + strAppsKey))
        return FALSE;
    if (!RegWriteMachineString(strAppsKey + "\\Loader", "MODULE", strModule))
        return FALSE;
    const CString strNameKey = strAppsKey + "\\Name";
    return RegWriteMachineString(strNameKey, "FillBoot", "FillBoot");
}

void AddSupportPath(CString strProfilesKey, const CString& strInstallDir)
{
    const CString strEntry = PatternFolderEntry(strInstallDir);
    ForEachAcadProfile(strProfilesKey,
                       [&](const CString& strProfile)
                       {
                           CString strSettingsKey;
                           strSettingsKey.Format("%s%s\\General", (LPCTSTR)strProfilesKey,
                                                 (LPCTSTR)strProfile);
                           // A profile without a readable "ACAD" gets none: no value is created.
                           CString strCurrent;
                           if (!RegReadUserString(strSettingsKey, "ACAD", strCurrent))
                               return;
                           CString strNew;
                           if (SupportPathWithEntry(strCurrent, strEntry, strNew))
                               RegWriteUserString(strSettingsKey, "ACAD", strNew);
                       });
}
