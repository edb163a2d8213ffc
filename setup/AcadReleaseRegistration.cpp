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
    LPCTSTR pszRelease = release.m_strRelease;
    LPCTSTR pszProduct = strProduct;

    // The support path goes first and whatever happens to the loader entries.
    CString strProfilesKey;
    strProfilesKey.Format("Software\\Autodesk\\AutoCAD\\%s\\%s\\Profiles\\", pszRelease,
                          pszProduct);
    AddSupportPath(strProfilesKey, strInstallDir);

    CString strAppKey;
    strAppKey.Format("Software\\Autodesk\\AutoCAD\\%s\\%s\\Applications\\FillBoot", pszRelease,
                     pszProduct);
    if (!RegWriteMachineDword(strAppKey, "LOADCTRLS", 2))
        return FALSE;

    CString strModule = strInstallDir + release.m_strModuleSubPath;
    if (!release.m_bAutodeskApps)
        return RegWriteMachineString(strAppKey, "LOADER", strModule);

    // The older scheme: the application key points at an AutodeskApps tree
    // that holds the module and the application's name.
    CString strRegPath;
    strRegPath.Format(
        "\\\\HKEY_LOCAL_MACHINE\\Software\\Autodesk\\AutoCAD\\%s\\%s\\AutodeskApps\\FillBoot",
        pszRelease, pszProduct);
    if (!RegWriteMachineString(strAppKey, "REGPATH", strRegPath))
        return FALSE;

    CString strLoaderKey;
    strLoaderKey.Format("Software\\Autodesk\\AutoCAD\\%s\\%s\\AutodeskApps\\FillBoot\\Loader",
                        pszRelease, pszProduct);
    if (!RegWriteMachineString(strLoaderKey, "MODULE", strModule))
        return FALSE;

    CString strNameKey;
    strNameKey.Format("Software\\Autodesk\\AutoCAD\\%s\\%s\\AutodeskApps\\FillBoot\\Name",
                      pszRelease, pszProduct);
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
