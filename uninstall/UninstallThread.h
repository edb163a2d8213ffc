// Uninstall's worker: removes the data source, then replays the install log
// (controls unregistered, files, folders last first, registry keys), starts the
// self-deletion batch and tells the dialog it is done. It reaches the dialog
// only through Notify.
#pragma once
#include "common/CInstallLog.h"
#include "framework/CWinThread.h"
#include "uninstall/RemovalPlan.h"

// lParam: the path of the file just handled, valid only during the call.
#define UM_FILE_DELETED 1036
// After the file phase.
#define UM_FILES_DONE 1037
// The last act of a run.
#define UM_UNINSTALL_DONE 1038
// Posted by LoadLog when the log cannot be read.
#define UM_LOG_FAILED 1040

class CUninstallThread : public CWinThread
{
    DECLARE_DYNCREATE(CUninstallThread)
public:
    CUninstallThread();
    // Should the thread still run, it is stopped and waited for first (with the
    // caller's messages pumped), so the object never goes away under it.
    ~CUninstallThread() override;

    BOOL InitInstance() override;
    // Kept for the framework's shape: nothing of its own to release.
    int ExitInstance() override;

    // Called on the dialog's thread: the worker reports to the dialog from now
    // on and loads the log (LoadLog). FALSE when the log cannot be read.
    BOOL Open(CWnd* pDialog, LPCTSTR pszLogPath);
    // Starts the thread on the opened log; FALSE, with the system's error code
    // set, when it cannot be started.
    BOOL StartThread();
    // Both in one: FALSE when the log cannot be read or the thread not started.
    BOOL Start(CWnd* pDialog, LPCTSTR pszLogPath);

    // Loads the log; on failure posts UM_LOG_FAILED to the main window and
    // returns FALSE.
    BOOL LoadLog(LPCTSTR pszPath);

    // Asks a running worker to stop. From the next check of m_bStop on, it
    // sends nothing more to the dialog, removes nothing more and starts no
    // batch; the caller then waits for it with WaitPumping.
    void RequestStop() { m_bStop = 1; }

    // The phases; each returns TRUE when it was not stopped. The controls are
    // unregistered while their files are still there.
    BOOL UnregisterControls();
    BOOL DeleteFiles();
    BOOL RemoveFolders();
    BOOL DeleteRegKeys();

    // "installPath" of the product key. The key is opened with RegCreateKeyA, so
    // a missing key is created (empty) by the read. FALSE and an empty text when
    // the key or the value cannot be read. Also what the dialog looks up.
    static BOOL ReadInstallFolder(CString& strFolder);

    // Read by the worker and raised by the dialog's thread: volatile, so every
    // check reads it afresh.
    volatile int m_bStop;
    CInstallLog m_log;

protected:
    // Starts the self-deletion batch; tests replace it so that their own
    // program is not deleted.
    virtual void SelfDelete();
    // Deletes one logged key (which has no sub-keys); tests record the calls.
    virtual LONG DeleteKey(HKEY hRoot, LPCTSTR pszSubKey);

private:
    // One removal in the diagnostic log, with the system's error when it
    // failed (called at once after the system call, with the log open).
    void Report(LPCTSTR pszEvent, LPCTSTR pszWhat, BOOL bDone);
    // One logged key in the diagnostic log: deleted, or why not.
    void ReportKey(const CRegKeyDeletion& key, BOOL bAsked, DWORD nSubKeys, LONG nResult);
    // Every message to the dialog goes through here, none once a stop has been
    // asked for. UM_LOG_FAILED is posted: it is raised on the dialog's own
    // thread while the dialog starts. The others come from the worker and are
    // sent, so the worker waits until the dialog has handled each.
    void Notify(UINT message, WPARAM wParam, LPARAM lParam);
};
