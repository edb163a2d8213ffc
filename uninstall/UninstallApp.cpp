#include "uninstall/UninstallApp.h"
#include "uninstall/UninstallDlg.h"

#include <commctrl.h>

CUninstallApp theApp;

CUninstallApp::CUninstallApp() : CWinApp(NULL) {}

BOOL CUninstallApp::InitInstance()
{
    AfxEnableControlContainer();
    Enable3dControls();
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&icc);

    if (::MessageBoxA(NULL, "真要卸载 Mosaika Tessora V5.0 吗?", "卸载软件",
                      MB_YESNO | MB_ICONQUESTION) != IDYES)
        return FALSE;

    CUninstallDlg dlg(NULL);
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
