// A top-level test window bound to a CWnd, so that it reflects colour requests
// to bound children as a dialog does. It shows one known background colour and
// stays on top, so that what its children paint can be read back. As a
// dialog would, it hears its buttons' clicks, and counts them by button.
#pragma once
#include "framework/CWnd.h"

#include <commctrl.h>
#include <map>

class CTestParent : public CWnd
{
public:
    explicit CTestParent(COLORREF crBk, int cx = 320, int cy = 200)
        : m_hBkBrush(::CreateSolidBrush(crBk))
    {
        ::InitCommonControls();
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = ::GetModuleHandleA(NULL);
        wc.lpszClassName = "TessoraTestParent";
        ::RegisterClassA(&wc);
        SubclassWindow(::CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "", WS_POPUP, 0, 0, cx,
                                         cy, NULL, NULL, wc.hInstance, NULL));
        ::SetClassLongPtrA(m_hWnd, GCLP_HBRBACKGROUND, (LONG_PTR)m_hBkBrush);
    }
    ~CTestParent() override
    {
        ::DestroyWindow(m_hWnd);
        ::DeleteObject(m_hBkBrush);
    }

    HWND AddChild(LPCSTR pszClass, LPCSTR pszText, DWORD dwStyle, int cx, int cy)
    {
        return ::CreateWindowExA(0, pszClass, pszText, WS_CHILD | WS_VISIBLE | dwStyle, 10, 10, cx,
                                 cy, m_hWnd, NULL, ::GetModuleHandleA(NULL), NULL);
    }

    // Shows the window and paints it and its children before returning.
    void ShowAndPaint()
    {
        ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
        ::RedrawWindow(m_hWnd, NULL, NULL,
                       RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }

    std::map<int, int> m_clicks; // BN_CLICKED notifications by control id

protected:
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED)
            ++m_clicks[LOWORD(wParam)];
        return CWnd::OnWndMsg(message, wParam, lParam, pResult);
    }

private:
    HBRUSH m_hBkBrush;
};
