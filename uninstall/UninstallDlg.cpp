#include "uninstall/UninstallDlg.h"
#include "common/KeepUnattendedHidden.h"
#include "common/PaintIconCentred.h"
#include "common/PathRules.h"
#include "common/Product.h"
#include "common/UnattendedOptions.h"
#include "common/WorkerNotStarted.h"
#include "framework/CDC.h"
#include "framework/CRunLog.h"
#include "framework/CWinApp.h"
#include "uninstall/resource.h"

#include <io.h>

CUninstallDlg::CUninstallDlg(CWnd* pParent)
    : CDialog(IDD, pParent), m_hIcon(NULL), m_bUnattended(FALSE), m_bFinished(FALSE),
      m_bWorkerFailed(FALSE)
{
    m_hIcon = AfxGetApp() ? AfxGetApp()->LoadIcon(IDR_MAINFRAME)
                          : ::LoadIconA(::GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDR_MAINFRAME));
}

BEGIN_MESSAGE_MAP(CUninstallDlg, CDialog)
ON_WM_SYSCOMMAND()
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_MESSAGE(UM_FILE_DELETED, OnFileDeleted)
ON_MESSAGE(UM_FILES_DONE, OnFilesDone)
ON_MESSAGE(UM_UNINSTALL_DONE, OnUninstallDone)
ON_MESSAGE(UM_LOG_FAILED, OnLogFailed)
ON_MESSAGE(WM_WINDOWPOSCHANGING, OnWindowPosChanging)
END_MESSAGE_MAP()

void CUninstallDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_DONE, m_staticDone);
    DDX_Control(pDX, IDC_GROUP_FILES, m_groupFiles);
    DDX_Control(pDX, IDC_THANKS, m_labelThanks);
    DDX_Control(pDX, IDOK, m_btnFinish);
    DDX_Control(pDX, IDCANCEL, m_btnCancel);
    DDX_Control(pDX, IDC_STATUS, m_staticStatus);
    DDX_Control(pDX, IDC_PROGRESS, m_progress);
}

BOOL CUninstallDlg::GetInstallFolder(CString& strFolder)
{
    if (!CUninstallThread::ReadInstallFolder(strFolder))
        return FALSE;
    strFolder.TrimLeft();
    strFolder.TrimRight();
    if (strFolder.IsEmpty())
        return FALSE;
    if (!PathEndsWith(strFolder, '\\'))
        strFolder += '\\';
    return TRUE;
}

BOOL CUninstallDlg::OnInitDialog()
{
    CRunLog::Phase("dialog init");
    CDialog::OnInitDialog();

    SendMessage(WM_SETICON, ICON_BIG, (LPARAM)m_hIcon);
    SendMessage(WM_SETICON, ICON_SMALL, (LPARAM)m_hIcon);

    m_labelThanks.SetShadow(1);
    m_btnFinish.SetShade(7, 8, 10, 0, 0);
    m_btnCancel.SetShade(6, 8, 10, 0, 0);

    m_btnFinish.EnableWindow(FALSE);
    m_staticDone.ShowWindow(SW_HIDE);

    CString strFolder;
    BOOL bFolder = GetInstallFolder(strFolder);
    LPCTSTR pszWhere = "the product key's install folder";
    if (!bFolder)
    {
        // Nothing recorded: the log is looked for beside this program.
        char szModule[MAX_PATH] = {0};
        DWORD n = ::GetModuleFileNameA(NULL, szModule, MAX_PATH);
        bFolder = ProgramFolderFromModulePath(szModule, n, MAX_PATH, strFolder);
        pszWhere = "the program's own folder";
    }
    CString strLog = strFolder + INSTALL_LOG_NAME;

    if (!bFolder || _access(strLog, 0) != 0)
    {
        RUN_LOG("install log not found: %s (%s): nothing to remove", (LPCTSTR)strLog, pszWhere);
        // No log: this product is not installed here (or was removed already).
        m_bFinished = TRUE;
        PostMessage(WM_CLOSE);
        return FALSE;
    }

    RUN_LOG("install log found: %s (%s)", (LPCTSTR)strLog, pszWhere);
    if (!m_thread.Open(this, strLog))
    {
        // The worker has posted the failure message; the box shows, then the end.
        PostMessage(WM_CLOSE);
        return TRUE;
    }

    // The bar has its range from the loaded log before the worker starts.
    m_progress.SetShowText(1);
    m_progress.SetRange(0, m_thread.m_log.CountEntries(LOG_FILE_COPY));
    m_progress.SetStep(1);

    if (!StartWorker())
    {
        // Nothing can be removed without the worker: say why, then end.
        m_bWorkerFailed = TRUE;
        EndWorkerNotStarted(this, m_bUnattended);
        return TRUE;
    }
    CRunLog::Phase("dialog init done");
    return TRUE;
}

BOOL CUninstallDlg::StartWorker()
{
    return m_thread.StartThread();
}

void CUninstallDlg::OnSysCommand(UINT, LPARAM)
{
    Default();
}

void CUninstallDlg::OnPaint()
{
    if (!IsIconic())
    {
        Default();
        return;
    }
    PaintIconCentred(this, m_hIcon);
}

HCURSOR CUninstallDlg::OnQueryDragIcon()
{
    return (HCURSOR)m_hIcon;
}

LRESULT CUninstallDlg::OnFileDeleted(WPARAM, LPARAM lParam)
{
    CString strStatus;
    strStatus.Format("%s ... ", lParam ? (LPCTSTR)lParam : "");
    m_staticStatus.SetWindowText(strStatus);
    m_progress.StepIt();
    return 1;
}

LRESULT CUninstallDlg::OnFilesDone(WPARAM, LPARAM)
{
    m_staticStatus.SetWindowText("");
    return 1;
}

LRESULT CUninstallDlg::OnUninstallDone(WPARAM, LPARAM)
{
    m_staticStatus.SetWindowText("");
    m_progress.ShowWindow(SW_HIDE);
    m_groupFiles.ShowWindow(SW_HIDE);
    m_staticDone.ShowWindow(SW_SHOW);
    m_btnFinish.EnableWindow(TRUE);
    m_btnFinish.SetFocus();
    m_bFinished = TRUE;
    CRunLog::Phase("completed look");
    // Unattended, Finish presses itself. Posted: the worker waits for this
    // message's answer, and Finish waits for the worker.
    if (m_bUnattended)
        PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return 1;
}

LRESULT CUninstallDlg::OnLogFailed(WPARAM, LPARAM)
{
    if (!m_bUnattended)
        MessageBox("Mosaika Tessora V5.0 卸载未能完成!", NULL, MB_OK | MB_ICONINFORMATION);
    EndDialog(IDCANCEL);
    return 1;
}

LRESULT CUninstallDlg::OnWindowPosChanging(WPARAM, LPARAM lParam)
{
    KeepUnattendedHidden(m_bUnattended, lParam);
    return Default();
}

int CUninstallDlg::GetExitCode() const
{
    if (m_bWorkerFailed)
        return EXIT_CODE_ENDED;
    // Without the option the code stays what it always was, whatever else happened.
    if (!m_bUnattended)
        return EXIT_CODE_DONE;
    return m_bFinished ? EXIT_CODE_DONE : EXIT_CODE_ENDED;
}

void CUninstallDlg::OnOK()
{
    CRunLog::Phase("finish pressed");
    EndStopped(IDOK);
}

void CUninstallDlg::OnCancel()
{
    EndStopped(IDCANCEL);
}

void CUninstallDlg::EndStopped(int nResult)
{
    if (m_thread.IsRunning())
    {
        m_thread.RequestStop();
        m_thread.WaitPumping();
    }
    UpdateData(TRUE);
    EndDialog(nResult);
}
