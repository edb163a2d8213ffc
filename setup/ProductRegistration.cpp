// The steps that make an installed product usable and removable: the controls
// register themselves, the product gets its own key, the AutoCAD releases learn
// about the loader, the data source is created and Windows lists the product.
#include "setup/SetupThread.h"

#include "common/CallModuleEntry.h"
#include "common/DsnAttributes.h"
#include "common/OdbcInstallerError.h"
#include "common/PathRules.h"
#include "common/Product.h"
#include "common/RegistryValues.h"
#include "common/SystemErrorText.h"
#include "framework/CRunLog.h"
#include "framework/SystemLibrary.h"
#include "setup/AcadReleaseRegistration.h"

#include <windows.h>
#include <odbcinst.h>

BOOL RegisterServer(const char* pszPath)
{
    return CallModuleEntry(pszPath, "DllRegisterServer");
}

void CSetupThread::RegisterControls()
{
    const CString strControlsDir = m_strInstallDir + CONTROLS_FOLDER + "\\";
    CStringArray names;
    ListFiles(strControlsDir, CONTROLS_PATTERN, names);
    for (int i = 0; i < names.GetSize(); ++i)
    {
        const CString strPath = strControlsDir + names[i];
        RegisterServer(strPath);
        // Logged whatever the control answered: Uninstall only needs to know it was tried.
        m_log.AddRegCtrl(strPath);
    }
}

void CSetupThread::RegisterProduct()
{
    RegWriteMachineString(PRODUCT_KEY, INSTALL_PATH_VALUE, m_strInstallDir);
    RegWriteMachineString(PRODUCT_KEY, VERSION_VALUE, PRODUCT_VERSION);
    m_log.AddRegKey(HKEY_LOCAL_MACHINE, PRODUCT_KEY);

    RegisterAcadReleases(m_strInstallDir);

    // No parent window, so the driver shows no dialog of its own. Uninstall
    // builds the same list to remove the data source again.
    const CString strAttributes = MakeDsnAttributes(m_strInstallDir + DSN_DATABASE_SUBPATH);
    if (SystemSQLConfigDataSource(NULL, ODBC_ADD_SYS_DSN, DSN_DRIVER_NAME, strAttributes))
        RUN_LOG("data source made: driver \"%s\"", DSN_DRIVER_NAME);
    else
        RUN_LOG("data source not made: driver \"%s\": %s", DSN_DRIVER_NAME,
                (LPCTSTR)OdbcInstallerErrorText());

    const CString strUninstall = JoinPath(m_strInstallDir, UNINSTALL_PROGRAM_NAME);
    RegWriteMachineString(UNINSTALL_ENTRY_KEY, DISPLAY_NAME_VALUE, PRODUCT_DISPLAY_NAME);
    RegWriteMachineString(UNINSTALL_ENTRY_KEY, UNINSTALL_STRING_VALUE, strUninstall);
    // Where deployment tools look for the command that removes without asking.
    // Quoted: tools run it through the command interpreter or split it into
    // arguments, and the path holds a blank ("Program Files").
    RegWriteMachineString(UNINSTALL_ENTRY_KEY, QUIET_UNINSTALL_STRING_VALUE,
                          "\"" + strUninstall + "\" /S");
    m_log.AddRegKey(HKEY_LOCAL_MACHINE, UNINSTALL_ENTRY_KEY);
}
