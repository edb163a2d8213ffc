// A thread with a life of three steps: InitInstance, then Run (a message loop)
// when InitInstance returned TRUE, then ExitInstance. No exception leaves the
// thread: the entry catches everything.
#pragma once
#include "framework/CObject.h"

#include <windows.h>

class CWnd;

class CWinThread : public CObject
{
    DECLARE_DYNAMIC(CWinThread)
public:
    CWinThread();
    ~CWinThread() override;
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;

    // Starts the thread. m_hThread and m_nThreadID are set before it runs any code.
    BOOL CreateThread(DWORD dwCreateFlags = 0, UINT nStackSize = 0,
                      LPSECURITY_ATTRIBUTES lpSecurityAttrs = NULL);

    virtual BOOL InitInstance();
    virtual int Run();
    virtual int ExitInstance();
    virtual BOOL PreTranslateMessage(MSG* pMsg);

    // Blocks the calling thread until this thread has ended while still
    // dispatching the caller's messages, so a thread that is sending a message to
    // a window of the caller cannot deadlock with it. TRUE once ended.
    BOOL WaitPumping(DWORD dwTimeout = INFINITE);
    // TRUE while the thread has been started and has not yet ended.
    BOOL IsRunning() const;

    HANDLE m_hThread;
    DWORD m_nThreadID;
    CWnd* m_pMainWnd;
    BOOL m_bAutoDelete;

protected:
    WPARAM m_nQuitCode;

private:
    static unsigned __stdcall ThreadEntry(void* pParam);
};

// Waits for a kernel object while dispatching the calling thread's messages.
// Returns TRUE when the object was signalled, FALSE on time-out.
BOOL AfxWaitPumping(HANDLE hObject, DWORD dwTimeout = INFINITE);
