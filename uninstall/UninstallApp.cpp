#include "uninstall/UninstallApp.h"
#include "bench/PhaseMarks.h"
#include "common/UnattendedOptions.h"
#include "framework/SystemLibrary.h"
#include "uninstall/UninstallDlg.h"

CUninstallApp theApp;

// Shown, unless the run is unattended, for an option Uninstall does not know.
static const char OPTIONS_TEXT[] = "未知的命令行选项。可用的选项:\n\n"
                                   "/S (或 /s, -S, -s)\t无人值守卸载: 不显示窗口, 不提问。";

CUninstallApp::CUninstallApp() : CWinApp(NULL) {}

BOOL CUninstallApp::InitInstance()
{
    ExcludeCurrentFolderFromDllSearch();
    BOOL bUnattended = FALSE;
    BOOL bKnownOptions = ReadUnattendedOptions(m_lpCmdLine, bUnattended);
    // Unattended, no box of the system's own (a drive without a disc, a file
    // that cannot be opened) may wait for a click that never comes.
    if (bUnattended)
        ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    if (!bKnownOptions)
    {
        if (!bUnattended)
            ::MessageBoxA(NULL, OPTIONS_TEXT, m_pszAppName, MB_OK | MB_ICONINFORMATION);
        m_nQuitCode = EXIT_CODE_BAD_OPTION;
        return FALSE;
    }

    AfxEnableControlContainer();
    Enable3dControls();
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_PROGRESS_CLASS};
    SystemInitCommonControlsEx(&icc);

    PHASE_MARK("question asked");
    // Unattended, the question counts as answered with Yes.
    if (!bUnattended && ::MessageBoxA(NULL, "真要卸载 Mosaika Tessora V5.0 吗?", "卸载软件",
                                      MB_YESNO | MB_ICONQUESTION) != IDYES)
        return FALSE;

    PHASE_MARK("question answered");
    CUninstallDlg dlg(NULL);
    dlg.m_bUnattended = bUnattended;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    m_nQuitCode = dlg.GetExitCode();
    return FALSE;
}
