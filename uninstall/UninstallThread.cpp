#include "uninstall/UninstallThread.h"

#include "bench/PhaseMarks.h"
#include "common/DsnAttributes.h"
#include "common/PathRules.h"
#include "common/Product.h"
#include "common/RegistryValues.h"
#include "framework/AutoHandle.h"
#include "framework/CWnd.h"
#include "framework/SystemLibrary.h"
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
    PHASE_SPAN("log load");
    if (m_log.Load(pszPath))
        return TRUE;
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
    PHASE_MARK("worker starts");
    // No step depends on the success of an earlier one.
    CString strFolder;
    ReadInstallFolder(strFolder);
    // The last character decides, as for every path; an empty text becomes "\".
    if (!PathEndsWith(strFolder, '\\'))
        strFolder += '\\';

    // The data source is not in the log: it is removed by its name, with the
    // same attribute list that created it.
    CString strAttributes = MakeDsnAttributes(strFolder + DSN_DATABASE_SUBPATH);
    SystemSQLConfigDataSource(NULL, ODBC_REMOVE_SYS_DSN, DSN_DRIVER_NAME, strAttributes);
    PHASE_MARK("data source removed");

    UnregisterControls();
    PHASE_MARK("controls unregistered");
    DeleteFiles();
    PHASE_MARK("files deleted");
    Notify(UM_FILES_DONE, 0, 0);
    RemoveFolders();
    PHASE_MARK("folders removed");
    DeleteRegKeys();
    PHASE_MARK("keys deleted");
    // A stopped run keeps the uninstaller, so that what is still installed
    // can be removed by a later run.
    if (!m_bStop)
        SelfDelete();
    PHASE_MARK("batch started");
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
            PHASE_SPAN("worker: delete file");
            ::DeleteFileA(files[i]);
        }
        PHASE_SPAN("worker: notify");
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
        ::RemoveDirectoryA(folders[i]);
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
        if (RegCountSubKeys(keys[i].m_hRoot, keys[i].m_strSubKey, nSubKeys) && nSubKeys == 0)
            DeleteKey(keys[i].m_hRoot, keys[i].m_strSubKey);
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
    StartSelfDelete();
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
