#include "framework/CWinThread.h"

#include <process.h>

IMPLEMENT_DYNAMIC(CWinThread, CObject)

CWinThread::CWinThread()
    : m_hThread(NULL), m_nThreadID(0), m_pMainWnd(nullptr), m_bAutoDelete(TRUE), m_nQuitCode(0)
{
}

CWinThread::~CWinThread()
{
    // The thread runs on this object, so the object must not go away under
    // it: an owner that destroys it early waits here, still serving the
    // messages the thread may be sending it. (An auto-deleting thread deletes
    // its object itself, on its own thread, when it has finished.) Owners
    // should end the thread before that, while their own members still exist.
    if (m_hThread && ::GetCurrentThreadId() != m_nThreadID)
        AfxWaitPumping(m_hThread);
    if (m_hThread)
        ::CloseHandle(m_hThread);
}

BOOL CWinThread::CreateThread(DWORD dwCreateFlags, UINT nStackSize,
                              LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    if (m_hThread)
        return FALSE;
    unsigned id = 0;
    // Start suspended so that the handle and the id are in place before the
    // thread's own code can use them.
    uintptr_t h = _beginthreadex(lpSecurityAttrs, nStackSize, &CWinThread::ThreadEntry, this,
                                 CREATE_SUSPENDED, &id);
    if (h == 0)
        return FALSE;
    m_hThread = (HANDLE)h;
    m_nThreadID = id;
    if (!(dwCreateFlags & CREATE_SUSPENDED))
        ::ResumeThread(m_hThread);
    return TRUE;
}

unsigned __stdcall CWinThread::ThreadEntry(void* pParam)
{
    CWinThread* pThread = static_cast<CWinThread*>(pParam);
    int nResult = 0;
    try
    {
        if (pThread->InitInstance())
            nResult = pThread->Run();
        else
            nResult = pThread->ExitInstance();
    }
    catch (...)
    {
        nResult = -1;
    }
    if (pThread->m_bAutoDelete)
        delete pThread;
    return (unsigned)nResult;
}

BOOL CWinThread::InitInstance()
{
    return FALSE;
}

int CWinThread::Run()
{
    MSG msg;
    for (;;)
    {
        BOOL got = ::GetMessageA(&msg, NULL, 0, 0);
        if (got == 0)
        {
            m_nQuitCode = msg.wParam;
            break;
        }
        if (got == -1)
            break;
        if (!PreTranslateMessage(&msg))
        {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    return ExitInstance();
}

int CWinThread::ExitInstance()
{
    return (int)m_nQuitCode;
}

BOOL CWinThread::PreTranslateMessage(MSG*)
{
    return FALSE;
}

BOOL CWinThread::IsRunning() const
{
    return m_hThread && ::WaitForSingleObject(m_hThread, 0) == WAIT_TIMEOUT;
}

BOOL CWinThread::WaitPumping(DWORD dwTimeout)
{
    if (!m_hThread)
        return TRUE;
    return AfxWaitPumping(m_hThread, dwTimeout);
}

BOOL AfxWaitPumping(HANDLE hObject, DWORD dwTimeout)
{
    DWORD start = ::GetTickCount();
    bool quitSeen = false;
    int quitCode = 0;
    BOOL signalled = FALSE;
    for (;;)
    {
        DWORD wait = dwTimeout;
        if (dwTimeout != INFINITE)
        {
            DWORD spent = ::GetTickCount() - start;
            wait = spent >= dwTimeout ? 0 : dwTimeout - spent;
        }
        // After a quit message only sent messages are served: they are what
        // another thread may be blocked on.
        DWORD mask = quitSeen ? QS_SENDMESSAGE : QS_ALLINPUT;
        // MWMO_INPUTAVAILABLE: also wake for messages that were already in the
        // queue when the wait began, not only for those that arrive during it.
        DWORD r = ::MsgWaitForMultipleObjectsEx(1, &hObject, wait, mask, MWMO_INPUTAVAILABLE);
        if (r == WAIT_OBJECT_0)
        {
            signalled = TRUE;
            break;
        }
        if (r != WAIT_OBJECT_0 + 1)
            break;
        MSG msg;
        if (quitSeen)
        {
            ::PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
            continue;
        }
        while (::PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
        {
            if (msg.message == WM_QUIT)
            {
                quitSeen = true;
                quitCode = (int)msg.wParam;
                break;
            }
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    // Leave the quit for the loop that owns it.
    if (quitSeen)
        ::PostQuitMessage(quitCode);
    return signalled;
}
