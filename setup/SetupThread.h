// Setup's worker: the whole installation runs on this thread, one step after
// the other, while the dialog only shows how far it has come.
#pragma once
#include "common/CInstallLog.h"
#include "framework/CStringArray.h"
#include "framework/CWinThread.h"

// Sent to the dialog for every file and sub-folder the folder copy has dealt
// with; wParam and lParam point at the source and destination paths.
#define UM_COPY_STEP 1112
// Sent to the dialog once, at the end of a complete run.
#define UM_SETUP_DONE 1013

class CSetupThread : public CWinThread
{
    DECLARE_DYNCREATE(CSetupThread)
public:
    CSetupThread();

    // Called on the dialog's thread: takes the folders and the mode, then starts
    // the thread, which reports to the dialog. FALSE, with the system's error
    // code set, when the thread cannot be started.
    BOOL Start(CWnd* pDialog, const CString& strSourceDir, const CString& strInstallDir,
               BOOL bUnattended);

    // Kept for the framework's shape: the work is done in Run.
    BOOL InitInstance() override;
    int Run() override;
    // Kept for the framework's shape: nothing of its own to release.
    int ExitInstance() override;

    // File installation.
    BOOL CopyFolderTree(LPCTSTR pszSource, LPCTSTR pszDest);
    BOOL MakeFolderPath(LPCTSTR pszPath);
    void CopyRootFiles();
    void ListFiles(CString strFolder, CString strPattern, CStringArray& names);

    // Registration.
    void RegisterControls();
    void RegisterProduct();

    // Read by the worker and raised by the dialog's thread: volatile, so every
    // check reads it afresh.
    volatile int m_bStop;
    // Unattended: the prompts are answered without being shown, with the
    // answer that goes on where there is one (Ignore) and Cancel elsewhere.
    BOOL m_bUnattended;
    // Set once a complete run has written its log.
    BOOL m_bLogSaved;
    // Set when a product folder missing from the medium was skipped (Ignore).
    BOOL m_bSkippedFolder;
    CInstallLog m_log;
    CString m_strSourceDir;
    CString m_strInstallDir;

protected:
    // Shows one of the worker's prompts on the dialog (no caption of its own,
    // so the title is the application's name) and returns the button pressed;
    // unattended, returns the set answer instead. Tests answer the prompts by
    // overriding it.
    virtual int Prompt(LPCTSTR pszText, UINT nType);

private:
    // Prompt, with the text and the answer in the diagnostic log.
    int Ask(LPCTSTR pszText, UINT nType);
    // One file's copy in the diagnostic log, with the system's error when it
    // failed (called at once after the copy).
    void ReportCopy(LPCTSTR pszSource, LPCTSTR pszDest, BOOL bCopied);
    // Every message to the dialog goes through here: sent, so the worker waits
    // until the dialog has handled it. Nothing is sent without a dialog.
    void Notify(UINT message, WPARAM wParam, LPARAM lParam);
};

// Self-registers one control file: TRUE only when its DllRegisterServer ran and returned 0.
BOOL RegisterServer(const char* pszPath);
