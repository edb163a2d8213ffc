#include "setup/SetupDlg.h"
#include "common/KeepUnattendedHidden.h"
#include "common/PaintIconCentred.h"
#include "common/PathRules.h"
#include "common/RegistryValues.h"
#include "common/UnattendedOptions.h"
#include "common/WorkerNotStarted.h"
#include "framework/CDC.h"
#include "framework/CRunLog.h"
#include "framework/CWinApp.h"
#include "setup/FileCount.h"
#include "setup/FolderRules.h"
#include "setup/resource.h"

namespace
{
// Checks, while installing, whether the worker has ended without completing.
const UINT_PTR WORKER_WATCH_TIMER = 1;
const UINT WORKER_WATCH_MS = 100;
} // namespace

CSetupDlg::CSetupDlg(CWnd* pParent)
    : CDialog(IDD, pParent), m_hIcon(NULL), m_bUnattended(FALSE), m_bDone(FALSE),
      m_bWorkerStarted(FALSE)
{
    m_hIcon = AfxGetApp() ? AfxGetApp()->LoadIcon(IDR_MAINFRAME)
                          : ::LoadIconA(::GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDR_MAINFRAME));
    m_strSourceDir = "";
    m_strInstallDir = "";
}

CSetupDlg::~CSetupDlg()
{
    // The worker object is a member: it must not be destroyed while its thread runs.
    m_thread.WaitPumping();
}

BEGIN_MESSAGE_MAP(CSetupDlg, CDialog)
ON_WM_SYSCOMMAND()
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_MESSAGE(UM_COPY_STEP, OnCopyStep)
ON_MESSAGE(UM_SETUP_DONE, OnSetupDone)
ON_WM_TIMER()
ON_MESSAGE(WM_WINDOWPOSCHANGING, OnWindowPosChanging)
END_MESSAGE_MAP()

void CSetupDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_HINT, m_label);
    DDX_Control(pDX, IDC_PICTURE, m_picture);
    DDX_Control(pDX, IDOK, m_btnFinish);
    DDX_Control(pDX, IDC_PROGRESS, m_progress);
}

BOOL CSetupDlg::DestroyWindow()
{
    return CDialog::DestroyWindow();
}

BOOL CSetupDlg::PreTranslateMessage(MSG* pMsg)
{
    // Escape never reaches the dialog: there is nothing to cancel.
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_ESCAPE)
        return TRUE;
    return CDialog::PreTranslateMessage(pMsg);
}

BOOL CSetupDlg::OnInitDialog()
{
    CRunLog::Phase("dialog init");
    CDialog::OnInitDialog();

    SendMessage(WM_SETICON, ICON_BIG, (LPARAM)m_hIcon);
    SendMessage(WM_SETICON, ICON_SMALL, (LPARAM)m_hIcon);

    char szModule[MAX_PATH] = {0};
    DWORD n = ::GetModuleFileNameA(NULL, szModule, MAX_PATH);
    m_strSourceDir =
        SourceFolderFromModulePath(CString(szModule, n < MAX_PATH ? (int)n : MAX_PATH - 1));

    CString strSystemRoot;
    if (!RegReadMachineString("SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "SystemRoot",
                              strSystemRoot))
        RegReadMachineString("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "SystemRoot",
                             strSystemRoot);
    m_strInstallDir = InstallFolderFromSystemRoot(strSystemRoot);
    RUN_LOG("source folder: %s", (LPCTSTR)m_strSourceDir);
    RUN_LOG("install folder: %s (system root \"%s\")", (LPCTSTR)m_strInstallDir,
            (LPCTSTR)strSystemRoot);

    SetWindowText("正在安装...");
    if (!m_bUnattended)
        ShowWindow(SW_SHOW);
    CenterWindow(NULL);

    m_label.SetTextColor(0x00FF0000);
    m_label.ShowWindow(SW_HIDE);
    m_btnFinish.ShowWindow(SW_HIDE);

    int nFiles = CountFiles(m_strSourceDir);
    CRunLog::Phase("medium counted");
    RUN_LOG("files counted for the bar: %d (range %d)", nFiles,
            nFiles + PROGRESS_STEPS_BEYOND_FILES);
    m_progress.SetShowText(1);
    m_progress.SetRange(0, nFiles + PROGRESS_STEPS_BEYOND_FILES);
    m_progress.SetStep(1);

    m_bWorkerStarted = StartWorker();
    if (!m_bWorkerStarted)
    {
        // Nothing can be installed without the worker: say why, then end.
        EndWorkerNotStarted(this, m_bUnattended);
        return TRUE;
    }
    ::SetTimer(m_hWnd, WORKER_WATCH_TIMER, WORKER_WATCH_MS, NULL);
    CRunLog::Phase("dialog init done");
    return TRUE;
}

BOOL CSetupDlg::StartWorker()
{
    return m_thread.Start(this, m_strSourceDir, m_strInstallDir, m_bUnattended);
}

int CSetupDlg::GetExitCode() const
{
    if (!m_bWorkerStarted)
        return EXIT_CODE_ENDED;
    // Without the option the code stays what it always was, whatever the user chose.
    if (!m_bUnattended)
        return EXIT_CODE_DONE;
    if (!m_bDone || !m_thread.m_bLogSaved)
        return EXIT_CODE_ENDED;
    // Complete, but from a medium that lacked a product folder.
    return m_thread.m_bSkippedFolder ? EXIT_CODE_INCOMPLETE : EXIT_CODE_DONE;
}

void CSetupDlg::OnSysCommand(UINT, LPARAM)
{
    Default();
}

void CSetupDlg::OnPaint()
{
    if (!IsIconic())
    {
        Default();
        return;
    }
    PaintIconCentred(this, m_hIcon);
}

HCURSOR CSetupDlg::OnQueryDragIcon()
{
    return (HCURSOR)m_hIcon;
}

LRESULT CSetupDlg::OnCopyStep(WPARAM, LPARAM)
{
    m_progress.StepIt();
    return 1;
}

LRESULT CSetupDlg::OnSetupDone(WPARAM, LPARAM)
{
    m_bDone = TRUE;
    m_label.ShowWindow(SW_SHOW);
    m_btnFinish.ShowWindow(SW_SHOW);
    m_progress.ShowWindow(SW_HIDE);
    SetWindowText("安装完成!");
    CRunLog::Phase("completed look");
    return 1;
}

void CSetupDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != WORKER_WATCH_TIMER)
    {
        Default();
        return;
    }
    if (m_thread.IsRunning())
        return;
    ::KillTimer(m_hWnd, WORKER_WATCH_TIMER);
    // The user ended the installation from one of the worker's prompts, whose
    // words promise that the program ends: close instead of staying in a look
    // that offers no way out.
    if (!m_bDone)
        EndAfterWorker(IDCANCEL);
    // Unattended, nobody is there to press Finish.
    else if (m_bUnattended)
        EndAfterWorker(IDOK);
}

LRESULT CSetupDlg::OnWindowPosChanging(WPARAM, LPARAM lParam)
{
    KeepUnattendedHidden(m_bUnattended, lParam);
    return Default();
}

void CSetupDlg::OnOK()
{
    // Enter reaches IDOK even while the Finish button is hidden: only the
    // completed installation ends the dialog this way.
    if (!m_bDone)
        return;
    CRunLog::Phase("finish pressed");
    UpdateData(TRUE);
    EndAfterWorker(IDOK);
}

void CSetupDlg::OnCancel()
{
    // A close request while the worker runs would destroy it with the dialog.
    if (m_thread.IsRunning() && !m_bDone)
        return;
    EndAfterWorker(IDCANCEL);
}

void CSetupDlg::EndAfterWorker(int nResult)
{
    m_thread.WaitPumping();
    EndDialog(nResult);
}
