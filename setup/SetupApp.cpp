#include "setup/SetupApp.h"
#include "common/ProgramStart.h"
#include "common/UnattendedOptions.h"
#include "framework/SystemLibrary.h"
#include "setup/SetupDlg.h"

CSetupApp theApp;

// Shown, unless the run is unattended, for an option Setup does not know.
static const char OPTIONS_TEXT[] =
    "未知的命令行选项。可用的选项:\n\n"
    "/S (或 /s, -S, -s)\t无人值守安装: 不显示窗口, 不提问。\n"
    "/LOG[=路径]\t诊断日志: 逐行记录安装的每一步 (不给路径时写入临时文件夹)。";

CSetupApp::CSetupApp() : CWinApp(NULL) {}

BOOL CSetupApp::InitInstance()
{
    ExcludeCurrentFolderFromDllSearch();
    CProgramOptions options;
    if (!TakeProgramOptions(this, OPTIONS_TEXT, options))
    {
        m_nQuitCode = EXIT_CODE_BAD_OPTION;
        return FALSE;
    }
    const BOOL bUnattended = options.m_bUnattended;

    AfxEnableControlContainer();
    Enable3dControls();
    // The progress control's window class must be registered before the
    // dialog template creates it.
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_PROGRESS_CLASS};
    SystemInitCommonControlsEx(&icc);

    CSetupDlg dlg(NULL);
    dlg.m_bUnattended = bUnattended;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    // FALSE: the program ends here, without the application's message loop,
    // with the dialog's outcome as its exit code.
    m_nQuitCode = dlg.GetExitCode();
    return FALSE;
}
