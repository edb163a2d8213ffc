#include "uninstall/UninstallThread.h"

#include "common/DsnAttributes.h"
#include "common/OdbcInstallerError.h"
#include "common/PathRules.h"
#include "common/Product.h"
#include "common/RegistryValues.h"
#include "common/SystemErrorText.h"
#include "framework/AutoHandle.h"
#include "framework/CRunLog.h"
#include "framework/CWnd.h"
#include "uninstall/DeleteBatch.h"
#include "uninstall/RemovalPlan.h"
#include "uninstall/SelfDelete.h"
#include "uninstall/UnregisterServer.h"

#include <odbcinst.h>

IMPLEMENT_DYNCREATE(CUninstallThread, CWinThread)

CUninstallThread::CUninstallThread() : m_bStop(0) {}

CUninstallThread::~CUninstallThread()
{
    if (IsRunning())
    {
        RequestStop();
        WaitPumping();
    }
}

BOOL CUninstallThread::Start(CWnd* pDialog, LPCTSTR pszLogPath)
{
    m_pMainWnd = pDialog;
    // The dialog owns the worker as a member and waits for it before it goes.
    m_bAutoDelete = FALSE;
    if (!LoadLog(pszLogPath))
        return FALSE;
    CreateThread(0, 0, NULL);
    return TRUE;
}

BOOL CUninstallThread::LoadLog(LPCTSTR pszPath)
{
    if (m_log.Load(pszPath))
    {
        RUN_LOG("install log read: %s: %d files, %d folders, %d controls, %d keys", pszPath,
                m_log.CountEntries(LOG_FILE_COPY), m_log.CountEntries(LOG_MADE_DIR),
                m_log.CountEntries(LOG_REG_CTRL), m_log.CountEntries(LOG_REGDB_KEY));
        return TRUE;
    }
    RUN_LOG("install log not read: %s: %s", pszPath, (LPCTSTR)SystemErrorLine(::GetLastError()));
    Notify(UM_LOG_FAILED, 0, 0);
    return FALSE;
}

BOOL CUninstallThread::ReadInstallFolder(CString& strFolder)
{
    strFolder.Empty();
    HKEY hKey = NULL;
    if (::RegCreateKeyA(HKEY_LOCAL_MACHINE, PRODUCT_KEY, &hKey) != ERROR_SUCCESS)
        return FALSE;
    CAutoRegKey key(hKey);
    return RegReadKeyString(key.Get(), INSTALL_PATH_VALUE, strFolder);
}

BOOL CUninstallThread::InitInstance()
{
    CRunLog::Phase("worker starts");
    // No step depends on the success of an earlier one.
    CString strFolder;
    ReadInstallFolder(strFolder);
    // The last character decides, as for every path; an empty text becomes "\".
    if (!PathEndsWith(strFolder, '\\'))
        strFolder += '\\';

    // The data source is not in the log: it is removed by its name, with the
    // same attribute list that created it.
    CString strAttributes = MakeDsnAttributes(strFolder + DSN_DATABASE_SUBPATH);
    if (::SQLConfigDataSource(NULL, ODBC_REMOVE_SYS_DSN, DSN_DRIVER_NAME, strAttributes))
        RUN_LOG("data source removed: driver \"%s\"", DSN_DRIVER_NAME);
    else
        RUN_LOG("data source not removed: driver \"%s\": %s", DSN_DRIVER_NAME,
                (LPCTSTR)OdbcInstallerErrorText());
    CRunLog::Phase("data source removed");

    UnregisterControls();
    CRunLog::Phase("controls unregistered");
    DeleteFiles();
    CRunLog::Phase("files deleted");
    Notify(UM_FILES_DONE, 0, 0);
    RemoveFolders();
    CRunLog::Phase("folders removed");
    DeleteRegKeys();
    CRunLog::Phase("keys deleted");
    // A stopped run keeps the uninstaller, so that what is still installed
    // can be removed by a later run.
    if (!m_bStop)
        SelfDelete();
    else
        RUN_LOG("self-deletion batch not started: the run was stopped");
    CRunLog::Phase("batch started");
    Notify(UM_UNINSTALL_DONE, 0, 0);
    return FALSE;
}

int CUninstallThread::ExitInstance()
{
    return CWinThread::ExitInstance();
}

BOOL CUninstallThread::UnregisterControls()
{
    // Left registered, a control's class would keep pointing at its deleted
    // file. A control that is missing, fails or cannot unregister is passed over.
    CStringArray controls = ListLogValues(m_log, LOG_REG_CTRL);
    for (int i = 0; i < controls.GetSize() && !m_bStop; ++i)
        UnregisterServer(controls[i]);
    return !m_bStop;
}

BOOL CUninstallThread::DeleteFiles()
{
    CStringArray files = ListLogValues(m_log, LOG_FILE_COPY);
    for (int i = 0; i < files.GetSize() && !m_bStop; ++i)
    {
        // Attributes are left alone: a read-only file stays. A file that is
        // already gone is reported all the same, so the bar still steps.
        BOOL bDeleted = ::DeleteFileA(files[i]);
        if (CRunLog::IsOpen())
            Report(bDeleted ? "file deleted" : "file not deleted", files[i], bDeleted);
        Notify(UM_FILE_DELETED, 0, (LPARAM)(LPCTSTR)files[i]);
    }
    return !m_bStop;
}

BOOL CUninstallThread::RemoveFolders()
{
    CStringArray folders = ListFolderRemovals(m_log);
    if (m_bStop)
        return FALSE;
    // Only empty folders go: one that still holds anything stays, and so do
    // the folders above it.
    for (int i = 0; i < folders.GetSize(); ++i)
    {
        BOOL bRemoved = ::RemoveDirectoryA(folders[i]);
        if (CRunLog::IsOpen())
            Report(bRemoved ? "folder removed" : "folder not removed", folders[i], bRemoved);
        if (m_bStop)
            break;
    }
    return !m_bStop;
}

BOOL CUninstallThread::DeleteRegKeys()
{
    if (m_bStop)
        return FALSE;
    std::vector<CRegKeyDeletion> keys = ListRegKeyDeletions(m_log);
    for (size_t i = 0; i < keys.size(); ++i)
    {
        // Only the key itself: its sub-keys are not enumerated first.
        LONG nResult = ::RegDeleteKeyA(keys[i].m_hRoot, keys[i].m_strSubKey);
        if (CRunLog::IsOpen())
        {
            ::SetLastError((DWORD)nResult);
            Report(nResult == ERROR_SUCCESS ? "key deleted" : "key not deleted",
                   CString(keys[i].m_hRoot == HKEY_LOCAL_MACHINE ? "HKLM\\" : "HKCU\\") +
                       keys[i].m_strSubKey,
                   nResult == ERROR_SUCCESS);
        }
        if (m_bStop)
            break;
    }
    return !m_bStop;
}

void CUninstallThread::SelfDelete()
{
    if (StartSelfDelete())
        RUN_LOG("self-deletion batch started: %s", DELETE_BATCH_PATH);
    else
        RUN_LOG("self-deletion batch not started: %s", (LPCTSTR)SystemErrorLine(::GetLastError()));
}

void CUninstallThread::Report(LPCTSTR pszEvent, LPCTSTR pszWhat, BOOL bDone)
{
    // Read before anything else can change it.
    DWORD dwError = ::GetLastError();
    if (bDone)
        CRunLog::Write("%s: %s", pszEvent, pszWhat);
    else
        CRunLog::Write("%s: %s: %s", pszEvent, pszWhat, (LPCTSTR)SystemErrorLine(dwError));
}

void CUninstallThread::Notify(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_bStop || !m_pMainWnd)
        return;
    if (message == UM_LOG_FAILED)
    {
        if (m_pMainWnd->GetSafeHwnd())
            ::PostMessageA(m_pMainWnd->GetSafeHwnd(), message, wParam, lParam);
        return;
    }
    ::SendMessageA(m_pMainWnd->GetSafeHwnd(), message, wParam, lParam);
}
