#include "framework/CWnd.h"
#include "framework/CCriticalSection.h"
#include "framework/CDC.h"
#include "framework/CWinApp.h"

#include <map>
#include <vector>

namespace
{
// Windows of the process bound to objects. Worker threads own message boxes
// but no bound windows; the lock keeps a lookup safe all the same.
CCriticalSection g_mapLock;
std::map<HWND, CWnd*>& HandleMap()
{
    static std::map<HWND, CWnd*> map;
    return map;
}
} // namespace

CWnd::CWnd() : m_hWnd(NULL), m_pfnSuper(NULL), m_current{0, 0, 0} {}

CWnd::~CWnd()
{
    if (m_hWnd)
    {
        // A bound window must not call into a destroyed object: hand it back
        // its own procedure first.
        if (m_pfnSuper && ::IsWindow(m_hWnd))
            ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, (LONG_PTR)m_pfnSuper);
        Detach();
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    CSingleLock lock(&g_mapLock);
    auto it = HandleMap().find(hWnd);
    return it == HandleMap().end() ? nullptr : it->second;
}

BOOL CWnd::Attach(HWND hWnd)
{
    if (!hWnd || m_hWnd)
        return FALSE;
    CSingleLock lock(&g_mapLock);
    if (HandleMap().count(hWnd))
        return FALSE;
    HandleMap()[hWnd] = this;
    m_hWnd = hWnd;
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND h = m_hWnd;
    if (h)
    {
        CSingleLock lock(&g_mapLock);
        auto it = HandleMap().find(h);
        if (it != HandleMap().end() && it->second == this)
            HandleMap().erase(it);
    }
    m_hWnd = NULL;
    return h;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!Attach(hWnd))
        return FALSE;
    PreSubclassWindow();
    WNDPROC old = (WNDPROC)::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, (LONG_PTR)AfxWndProc);
    if (!old)
    {
        Detach();
        return FALSE;
    }
    // A window already routed here keeps no procedure of its own to call.
    m_pfnSuper = old == AfxWndProc ? NULL : old;
    return TRUE;
}

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd)
        return FALSE;
    return ::DestroyWindow(m_hWnd);
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

void CWnd::PreSubclassWindow() {}

void CWnd::GetWindowText(CString& rString) const
{
    int n = ::GetWindowTextLengthA(m_hWnd);
    std::vector<char> buf((size_t)n + 1);
    int got = ::GetWindowTextA(m_hWnd, buf.data(), n + 1);
    rString = CString(buf.data(), got);
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd)
{
    DWORD style = GetStyle();
    DWORD newStyle = (style & ~dwRemove) | dwAdd;
    if (style == newStyle)
        return FALSE;
    ::SetWindowLongA(m_hWnd, GWL_STYLE, (LONG)newStyle);
    return TRUE;
}

void CWnd::CenterWindow(CWnd* pAlternateOwner)
{
    RECT rcWnd, rcArea;
    ::GetWindowRect(m_hWnd, &rcWnd);
    HWND hCenter = pAlternateOwner ? pAlternateOwner->m_hWnd : ::GetDesktopWindow();
    ::GetWindowRect(hCenter, &rcArea);
    int w = rcWnd.right - rcWnd.left, h = rcWnd.bottom - rcWnd.top;
    int x = rcArea.left + ((rcArea.right - rcArea.left) - w) / 2;
    int y = rcArea.top + ((rcArea.bottom - rcArea.top) - h) / 2;
    // Keep the caption on the screen.
    if (x < 0)
        x = 0;
    if (y < 0)
        y = 0;
    HWND hParent = ::GetParent(m_hWnd);
    if (hParent && (GetStyle() & WS_CHILD))
    {
        POINT pt = {x, y};
        ::ScreenToClient(hParent, &pt);
        x = pt.x;
        y = pt.y;
    }
    ::SetWindowPos(m_hWnd, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int CWnd::MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType)
{
    if (!lpszCaption && AfxGetApp())
        lpszCaption = AfxGetApp()->m_pszAppName;
    return ::MessageBoxA(m_hWnd, lpszText, lpszCaption, nType);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    if (!OnWndMsg(message, wParam, lParam, &lResult))
        lResult = DefWindowProc(message, wParam, lParam);
    return lResult;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    // Colour requests and owner-draw requests go to the control they are about
    // when that control is bound to an object which takes them.
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC)
    {
        CWnd* pChild = FromHandlePermanent((HWND)lParam);
        LRESULT r = 0;
        if (pChild && pChild != this &&
            pChild->OnWndMsg(WM_REFLECT_BASE + WM_CTLCOLOR, wParam, message - WM_CTLCOLORMSGBOX,
                             &r) &&
            r)
        {
            *pResult = r;
            return TRUE;
        }
        return FALSE;
    }
    if (message == WM_DRAWITEM && lParam)
    {
        const DRAWITEMSTRUCT* pDis = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        CWnd* pChild = pDis->CtlType == ODT_MENU ? nullptr : FromHandlePermanent(pDis->hwndItem);
        LRESULT r = 0;
        if (pChild && pChild != this &&
            pChild->OnWndMsg(WM_REFLECT_BASE + WM_DRAWITEM, wParam, lParam, &r))
        {
            *pResult = TRUE;
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper)
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    return DefWindowProc(m_current.message, m_current.wParam, m_current.lParam);
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (!pWnd)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    LRESULT lResult = 0;
    CWnd::CurrentMsg saved = pWnd->m_current;
    pWnd->m_current = {message, wParam, lParam};
    try
    {
        lResult = pWnd->WindowProc(message, wParam, lParam);
    }
    catch (...)
    {
        // An exception cannot unwind through the system's frames; the message
        // counts as handled with a zero result.
        lResult = 0;
    }
    pWnd->m_current = saved;
    if (message == WM_NCDESTROY)
    {
        WNDPROC super = pWnd->m_pfnSuper;
        if (super)
            ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, (LONG_PTR)super);
        pWnd->m_pfnSuper = NULL;
        pWnd->Detach();
    }
    return lResult;
}
