// Uninstall's dialog: finds and loads the install log, starts the worker and
// shows its progress, then the completion text and an active Finish button.
#pragma once
#include "common/controls/CPercentProgressCtrl.h"
#include "common/controls/CShadeButton.h"
#include "common/controls/CShadowLabel.h"
#include "framework/CButton.h"
#include "framework/CDialog.h"
#include "framework/CStatic.h"
#include "uninstall/resource.h"
#include "uninstall/UninstallThread.h"

class CUninstallDlg : public CDialog
{
public:
    explicit CUninstallDlg(CWnd* pParent = NULL);

    enum
    {
        IDD = IDD_UNINSTALL_DIALOG
    };

    CStatic m_staticDone;
    CButton m_groupFiles;
    CShadowLabel m_labelThanks;
    CShadeButton m_btnFinish;
    CShadeButton m_btnCancel;
    CStatic m_staticStatus;
    CPercentProgressCtrl m_progress;
    HICON m_hIcon;
    CUninstallThread m_thread;
    // Unattended: the dialog is never shown, the failure box neither, and the
    // dialog ends by itself when the removal has.
    BOOL m_bUnattended;

    // The program's exit code once the dialog has ended.
    int GetExitCode() const;

    // The install folder recorded by Setup, with a trailing backslash.
    BOOL GetInstallFolder(CString& strFolder);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    // Starts the worker on the loaded log; FALSE, with the system's error code
    // set, when it cannot be started. Tests make it fail.
    virtual BOOL StartWorker();

    // Kept for the framework's shape: the system's own handling.
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    LRESULT OnFileDeleted(WPARAM wParam, LPARAM lParam);
    LRESULT OnFilesDone(WPARAM wParam, LPARAM lParam);
    LRESULT OnUninstallDone(WPARAM wParam, LPARAM lParam);
    LRESULT OnLogFailed(WPARAM wParam, LPARAM lParam);
    LRESULT OnWindowPosChanging(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    // Ends the dialog; a worker still running is asked to stop and waited for
    // (with messages pumped: it may be sending one to this dialog), so that
    // it never outlives the dialog object it belongs to.
    void EndStopped(int nResult);

    // TRUE once the removal ran to its end, or there was nothing to remove.
    BOOL m_bFinished;
    // TRUE when the worker could not be started.
    BOOL m_bWorkerFailed;
};
