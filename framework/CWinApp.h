// The program's one application object. The program's entry calls its
// InitInstance; when that returns TRUE the application's message loop runs.
#pragma once
#include "framework/CString.h"
#include "framework/CWinThread.h"

class CWinApp : public CWinThread
{
    DECLARE_DYNAMIC(CWinApp)
public:
    // A null name makes the application's name the program file's name
    // without its extension.
    explicit CWinApp(LPCTSTR lpszAppName = NULL);
    ~CWinApp() override;

    HICON LoadIcon(UINT nIDResource) const;
    // Kept for the MFC shape: three-dimensional controls are the platform's default look.
    BOOL Enable3dControls() { return TRUE; }

    BOOL InitInstance() override;

    LPCTSTR m_pszAppName;
    HINSTANCE m_hInstance;
    // The arguments the program was started with, after its name.
    LPCTSTR m_lpCmdLine;

    // Fills the members that come from the running program.
    void InitFromModule(HINSTANCE hInstance);

private:
    CString m_strAppName;
    CString m_strCmdLine;
    bool m_bNameGiven;
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
// Kept for the MFC shape: control containment needs nothing on this platform.
inline void AfxEnableControlContainer() {}

// The body of the program's entry point.
int AfxWinMain(HINSTANCE hInstance);
