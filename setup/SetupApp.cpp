#include "setup/SetupApp.h"
#include "common/UnattendedOptions.h"
#include "framework/SystemLibrary.h"
#include "setup/SetupDlg.h"

CSetupApp theApp;

// Shown, unless the run is unattended, for an option Setup does not know.
static const char OPTIONS_TEXT[] = "未知的命令行选项。可用的选项:\n\n"
                                   "/S (或 /s, -S, -s)\t无人值守安装: 不显示窗口, 不提问。";

CSetupApp::CSetupApp() : CWinApp(NULL) {}

BOOL CSetupApp::InitInstance()
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
