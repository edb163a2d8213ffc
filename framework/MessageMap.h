// Message maps with the look of MFC's and almost no machinery. A class that
// handles messages writes DECLARE_MESSAGE_MAP() in its declaration and, in its
// source file:
//
//     BEGIN_MESSAGE_MAP(CMyDlg, CDialog)
//         ON_WM_PAINT()
//         ON_MESSAGE(UM_SOMETHING, OnSomething)
//     END_MESSAGE_MAP()
//
// which defines OnWndMsg as a chain of plain tests; a message that no entry
// takes goes on to the base class's OnWndMsg.
#pragma once

#define DECLARE_MESSAGE_MAP()                                                                      \
protected:                                                                                         \
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                     \
    BOOL theClass::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)          \
    {                                                                                              \
        typedef baseClass TheBaseClass;                                                            \
        (void)wParam;                                                                              \
        (void)lParam;

#define END_MESSAGE_MAP()                                                                          \
    return TheBaseClass::OnWndMsg(message, wParam, lParam, pResult);                               \
    }

// LRESULT handler(WPARAM, LPARAM)
#define ON_MESSAGE(msg, memberFxn)                                                                 \
    if (message == (UINT)(msg))                                                                    \
    {                                                                                              \
        *pResult = memberFxn(wParam, lParam);                                                      \
        return TRUE;                                                                               \
    }

// void OnPaint()
#define ON_WM_PAINT()                                                                              \
    if (message == WM_PAINT)                                                                       \
    {                                                                                              \
        OnPaint();                                                                                 \
        *pResult = 0;                                                                              \
        return TRUE;                                                                               \
    }

// BOOL OnEraseBkgnd(CDC*)
#define ON_WM_ERASEBKGND()                                                                         \
    if (message == WM_ERASEBKGND)                                                                  \
    {                                                                                              \
        CBorrowedDC dc((HDC)wParam);                                                               \
        *pResult = OnEraseBkgnd(&dc);                                                              \
        return TRUE;                                                                               \
    }

// void OnSize(UINT nType, int cx, int cy)
#define ON_WM_SIZE()                                                                               \
    if (message == WM_SIZE)                                                                        \
    {                                                                                              \
        OnSize((UINT)wParam, (short)LOWORD(lParam), (short)HIWORD(lParam));                        \
        *pResult = 0;                                                                              \
        return TRUE;                                                                               \
    }

// void OnSysCommand(UINT nID, LPARAM lParam)
#define ON_WM_SYSCOMMAND()                                                                         \
    if (message == WM_SYSCOMMAND)                                                                  \
    {                                                                                              \
        OnSysCommand((UINT)wParam, lParam);                                                        \
        *pResult = 0;                                                                              \
        return TRUE;                                                                               \
    }

// HCURSOR OnQueryDragIcon()
#define ON_WM_QUERYDRAGICON()                                                                      \
    if (message == WM_QUERYDRAGICON)                                                               \
    {                                                                                              \
        *pResult = (LRESULT)OnQueryDragIcon();                                                     \
        return TRUE;                                                                               \
    }

// void OnTimer(UINT_PTR nIDEvent)
#define ON_WM_TIMER()                                                                              \
    if (message == WM_TIMER)                                                                       \
    {                                                                                              \
        OnTimer((UINT_PTR)wParam);                                                                 \
        *pResult = 0;                                                                              \
        return TRUE;                                                                               \
    }

// void OnMouseMove(UINT nFlags, POINT point), and the button messages alike
#define ON_MOUSE_MESSAGE_(msg, memberFxn)                                                          \
    if (message == (msg))                                                                          \
    {                                                                                              \
        POINT pt = {(short)LOWORD(lParam), (short)HIWORD(lParam)};                                 \
        memberFxn((UINT)wParam, pt);                                                               \
        *pResult = 0;                                                                              \
        return TRUE;                                                                               \
    }
#define ON_WM_MOUSEMOVE() ON_MOUSE_MESSAGE_(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_LBUTTONDOWN() ON_MOUSE_MESSAGE_(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() ON_MOUSE_MESSAGE_(WM_LBUTTONUP, OnLButtonUp)

// void OnKillFocus(CWnd* pNewWnd): the new window is passed as its handle only.
#define ON_WM_KILLFOCUS()                                                                          \
    if (message == WM_KILLFOCUS)                                                                   \
    {                                                                                              \
        OnKillFocus((HWND)wParam);                                                                 \
        *pResult = 0;                                                                              \
        return TRUE;                                                                               \
    }

// void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
#define ON_WM_KEYDOWN()                                                                            \
    if (message == WM_KEYDOWN)                                                                     \
    {                                                                                              \
        OnKeyDown((UINT)wParam, (UINT)LOWORD(lParam), (UINT)HIWORD(lParam));                       \
        *pResult = 0;                                                                              \
        return TRUE;                                                                               \
    }

// HBRUSH CtlColor(CDC* pDC, UINT nCtlColor): the colour request of this control,
// reflected to it by its parent. A NULL brush leaves the parent's default answer.
#define ON_WM_CTLCOLOR_REFLECT()                                                                   \
    if (message == WM_REFLECT_BASE + WM_CTLCOLOR)                                                  \
    {                                                                                              \
        CBorrowedDC dc((HDC)wParam);                                                               \
        *pResult = (LRESULT)CtlColor(&dc, (UINT)lParam);                                           \
        return TRUE;                                                                               \
    }
