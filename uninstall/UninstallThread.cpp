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
#include "framework/SystemLibrary.h"
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

BOOL CUninstallThread::Open(CWnd* pDialog, LPCTSTR pszLogPath)
{
    m_pMainWnd = pDialog;
    // The dialog owns the worker as a member and waits for it before it goes.
    m_bAutoDelete = FALSE;
    return LoadLog(pszLogPath);
}

BOOL CUninstallThread::StartThread()
{
    return CreateThread(0, 0, NULL);
}

BOOL CUninstallThread::Start(CWnd* pDialog, LPCTSTR pszLogPath)
{
    return Open(pDialog, pszLogPath) && StartThread();
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
    if (SystemSQLConfigDataSource(NULL, ODBC_REMOVE_SYS_DSN, DSN_DRIVER_NAME, strAttributes))
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
    CStringArray files = ListFileDeletions(m_log);
    for (int i = 0; i < files.GetSize() && !m_bStop; ++i)
    {
        // Attributes are left alone: a read-only file stays. A file that is
        // already gone, and an entry with nothing to delete (a damaged value),
        // are reported all the same, so the bar steps once for every entry.
        if (!files[i].IsEmpty())
        {
            BOOL bDeleted = ::DeleteFileA(files[i]);
            if (CRunLog::IsOpen())
                Report(bDeleted ? "file deleted" : "file not deleted", files[i], bDeleted);
        }
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
        // Only a key without sub-keys goes, on every system (some would delete
        // a whole tree): a damaged or edited line that names a key above others,
        // or one that cannot be asked, removes nothing.
        DWORD nSubKeys = 0;
        BOOL bAsked = RegCountSubKeys(keys[i].m_hRoot, keys[i].m_strSubKey, nSubKeys);
        LONG nResult = bAsked && nSubKeys == 0 ? DeleteKey(keys[i].m_hRoot, keys[i].m_strSubKey)
                                               : ERROR_SUCCESS;
        if (CRunLog::IsOpen())
            ReportKey(keys[i], bAsked, nSubKeys, nResult);
        if (m_bStop)
            break;
    }
    return !m_bStop;
}

LONG CUninstallThread::DeleteKey(HKEY hRoot, LPCTSTR pszSubKey)
{
    return ::RegDeleteKeyA(hRoot, pszSubKey);
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

void CUninstallThread::ReportKey(const CRegKeyDeletion& key, BOOL bAsked, DWORD nSubKeys,
                                 LONG nResult)
{
    CString strKey =
        CString(key.m_hRoot == HKEY_LOCAL_MACHINE ? "HKLM\\" : "HKCU\\") + key.m_strSubKey;
    if (!bAsked)
        CRunLog::Write("key not deleted: %s: it cannot be opened", (LPCTSTR)strKey);
    else if (nSubKeys > 0)
        CRunLog::Write("key not deleted: %s: it has %lu sub-keys", (LPCTSTR)strKey,
                       (unsigned long)nSubKeys);
    else if (nResult == ERROR_SUCCESS)
        CRunLog::Write("key deleted: %s", (LPCTSTR)strKey);
    else
        CRunLog::Write("key not deleted: %s: %s", (LPCTSTR)strKey,
                       (LPCTSTR)SystemErrorLine((DWORD)nResult));
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
