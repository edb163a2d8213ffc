// Setup's one dialog: the splash picture with a progress bar under it while
// the worker installs, then a hint line and a Finish button.
#pragma once
#include "common/controls/CColorLabel.h"
#include "common/controls/CPercentProgressCtrl.h"
#include "framework/CButton.h"
#include "framework/CDialog.h"
#include "framework/CStatic.h"
#include "setup/resource.h"
#include "setup/SetupThread.h"

class CSetupDlg : public CDialog
{
public:
    explicit CSetupDlg(CWnd* pParent = NULL);
    ~CSetupDlg() override;

    enum
    {
        IDD = IDD_SETUP_DIALOG
    };

    CString m_strSourceDir;
    CString m_strInstallDir;
    CColorLabel m_label;
    CStatic m_picture;
    CButton m_btnFinish;
    CPercentProgressCtrl m_progress;
    HICON m_hIcon;
    CSetupThread m_thread;
    // Unattended: the dialog is never shown, the worker's prompts are answered
    // without asking and the dialog ends by itself when the worker has.
    BOOL m_bUnattended;

    // The program's exit code once the dialog has ended.
    int GetExitCode() const;

    // Kept for the framework's shape: nothing to do before the window goes.
    BOOL DestroyWindow() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    // Starts the worker; FALSE, with the system's error code set, when it
    // cannot be started. Tests make it fail.
    virtual BOOL StartWorker();

    // Kept for the framework's shape: the system's own handling.
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    LRESULT OnCopyStep(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetupDone(WPARAM wParam, LPARAM lParam);
    void OnTimer(UINT_PTR nIDEvent);
    LRESULT OnWindowPosChanging(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    // Ends the dialog once the worker has ended, waiting for it while the
    // dialog's messages keep flowing.
    void EndAfterWorker(int nResult);

    BOOL m_bDone;
    BOOL m_bWorkerStarted;
};
