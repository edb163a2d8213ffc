#include "framework/CWinApp.h"
#include "framework/CommandLine.h"
#include "framework/mbcs.h"

namespace
{
CWinApp* g_pApp = nullptr;
}

IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

CWinApp::CWinApp(LPCTSTR lpszAppName)
    : m_pszAppName(NULL), m_hInstance(NULL), m_lpCmdLine(""), m_strAppName(lpszAppName),
      m_bNameGiven(lpszAppName != NULL)
{
    m_pszAppName = m_strAppName;
    g_pApp = this;
    m_bAutoDelete = FALSE;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
    // The application's thread is the main thread; its handle is not ours.
    m_hThread = NULL;
}

void CWinApp::InitFromModule(HINSTANCE hInstance)
{
    m_hInstance = hInstance;
    m_nThreadID = ::GetCurrentThreadId();
    char path[MAX_PATH] = {0};
    DWORD n = ::GetModuleFileNameA(NULL, path, MAX_PATH);
    CString full(path, (int)(n < MAX_PATH ? n : MAX_PATH - 1));
    if (!m_bNameGiven)
    {
        int slash = full.ReverseFind('\\');
        CString name = full.Mid(slash + 1);
        int dot = name.ReverseFind('.');
        m_strAppName = dot >= 0 ? name.Left(dot) : name;
    }
    m_pszAppName = m_strAppName;
    m_strCmdLine = CommandLineArguments(::GetCommandLineA(), full);
    m_lpCmdLine = m_strCmdLine;
}

HICON CWinApp::LoadIcon(UINT nIDResource) const
{
    return ::LoadIconA(m_hInstance ? m_hInstance : ::GetModuleHandleA(NULL),
                       MAKEINTRESOURCEA(nIDResource));
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

HINSTANCE AfxGetInstanceHandle()
{
    return g_pApp && g_pApp->m_hInstance ? g_pApp->m_hInstance : ::GetModuleHandleA(NULL);
}

int AfxWinMain(HINSTANCE hInstance)
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp)
        return -1;
    int nResult = 0;
    try
    {
        pApp->InitFromModule(hInstance);
        if (pApp->InitInstance())
            nResult = pApp->Run();
        else
            nResult = pApp->ExitInstance();
    }
    catch (...)
    {
        nResult = -1;
    }
    return nResult;
}
