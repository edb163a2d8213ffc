#include "setup/SetupApp.h"
#include "setup/SetupDlg.h"

#include <commctrl.h>

CSetupApp theApp;

CSetupApp::CSetupApp() : CWinApp(NULL) {}

BOOL CSetupApp::InitInstance()
{
    AfxEnableControlContainer();
    Enable3dControls();
    // The progress control's window class must be registered before the
    // dialog template creates it.
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&icc);

    CSetupDlg dlg(NULL);
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    // FALSE: the program ends here, without the application's message loop.
    return FALSE;
}
