#include "uninstall/UninstallApp.h"
#include "common/ProgramStart.h"
#include "common/UnattendedOptions.h"
#include "framework/CRunLog.h"
#include "framework/SystemLibrary.h"
#include "uninstall/UninstallDlg.h"

CUninstallApp theApp;

// Shown, unless the run is unattended, for an option Uninstall does not know.
static const char OPTIONS_TEXT[] =
    "未知的命令行选项。可用的选项:\n\n"
    "/S (或 /s, -S, -s)\t无人值守卸载: 不显示窗口, 不提问。\n"
    "/LOG[=路径]\t诊断日志: 逐行记录卸载的每一步 (不给路径时写入临时文件夹)。";

CUninstallApp::CUninstallApp() : CWinApp(NULL) {}

BOOL CUninstallApp::InitInstance()
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
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_PROGRESS_CLASS};
    SystemInitCommonControlsEx(&icc);

    CRunLog::Phase("question asked");
    // Unattended, the question counts as answered with Yes.
    static const char QUESTION[] = "真要卸载 Mosaika Tessora V5.0 吗?";
    RUN_LOG("question: %s", QUESTION);
    BOOL bYes = bUnattended ||
                ::MessageBoxA(NULL, QUESTION, "卸载软件", MB_YESNO | MB_ICONQUESTION) == IDYES;
    RUN_LOG("answer: %s%s", bYes ? "Yes" : "No", bUnattended ? " (unattended)" : "");
    if (!bYes)
        return FALSE;

    CRunLog::Phase("question answered");
    CUninstallDlg dlg(NULL);
    dlg.m_bUnattended = bUnattended;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    m_nQuitCode = dlg.GetExitCode();
    return FALSE;
}
