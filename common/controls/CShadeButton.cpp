#include "common/controls/CShadeButton.h"
#include "common/controls/ShadeFaces.h"
#include "framework/AutoHandle.h"
#include "framework/CDC.h"
#include "framework/SystemLibrary.h"

#include <commctrl.h>

CShadeButton::CShadeButton()
    : m_bChecked(false), m_bPushLike(false), m_nCheckType(kindPushButton), m_bOver(false),
      m_bLButtonDown(false), m_nFocusRectOffset(4), m_crText(::GetSysColor(COLOR_BTNTEXT)),
      m_bBorder(1), m_nTextAlign(DT_CENTER), m_bFlat(false)
{
}

void CShadeButton::PreSubclassWindow()
{
    const DWORD style = GetStyle();
    m_bPushLike = (style & BS_PUSHLIKE) != 0;
    m_bFlat = (style & BS_FLAT) != 0;
    switch (style & 0x300)
    {
    case BS_LEFT:
        m_nTextAlign = DT_LEFT | DT_VCENTER | DT_SINGLELINE;
        break;
    case BS_RIGHT:
        m_nTextAlign = DT_RIGHT | DT_VCENTER | DT_SINGLELINE;
        break;
    default:
        m_nTextAlign = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
        break;
    }

    const DWORD low = style & 0xFF;
    if ((low & 3) == 3)
        m_nCheckType = kindCheckBox;
    else if ((low & 9) == 9)
        m_nCheckType = kindRadioButton;
    else
    {
        m_nCheckType = kindPushButton;
        m_bPushLike = true;
    }
    // Check boxes and radio buttons that do not look like push buttons have no edges.
    if (!m_bPushLike)
        m_bBorder = 0;

    CButton::PreSubclassWindow();
    ModifyStyle(0, BS_OWNERDRAW);
}

void CShadeButton::SetShade(UINT style, int granularity, int highlight, int coloring,
                            COLORREF colour)
{
    RECT rw;
    GetWindowRect(&rw);
    const ShadeFaceSet faces = {&m_dNormal, &m_dDown,   &m_dDisabled,
                                &m_dOver,   &m_dFocusH, &m_dFocusV};
    const ShadeParams params = {style, granularity, highlight, coloring, colour};
    const ShadeSysColors colors = {::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_BTNFACE),
                                   ::GetSysColor(COLOR_BTNHIGHLIGHT)};
    // The grain comes from the thread's own unseeded generator, so the faces
    // are the same on every run.
    CRuntimeRandom rnd;
    BuildShadeFaces(faces, rw.right - rw.left, rw.bottom - rw.top, m_nFocusRectOffset, params,
                    colors, rnd);
}

BOOL CShadeButton::TrackLeave(BOOL bCancel)
{
    TRACKMOUSEEVENT tme;
    tme.cbSize = sizeof tme;
    tme.dwFlags = bCancel ? (TME_CANCEL | TME_LEAVE) : TME_LEAVE;
    tme.hwndTrack = m_hWnd;
    tme.dwHoverTime = 0;
    return SystemTrackMouseEvent(&tme);
}

void CShadeButton::ToggleCheck()
{
    if (m_nCheckType == kindCheckBox)
        SendMessage(BM_SETCHECK, !m_bChecked);
    else if (m_nCheckType == kindRadioButton)
        SendMessage(BM_SETCHECK, 1);
}

BOOL CShadeButton::FollowPointer()
{
    // While the left button is held, keep the pushed state in step with the
    // pointer; the state change asks for a new drawing.
    POINT ptCursor;
    if (!m_bLButtonDown || ::GetCapture() != m_hWnd || !::GetCursorPos(&ptCursor))
        return FALSE;
    const bool bUnder = ::WindowFromPoint(ptCursor) == m_hWnd;
    const bool bPushed = (GetState() & BST_PUSHED) != 0;
    if (bUnder == bPushed)
        return FALSE;
    SendMessage(BM_SETSTATE, bUnder ? 1 : 0);
    return TRUE;
}

bool CShadeButton::ShowsDown(UINT state) const
{
    return !(state & ODS_DISABLED) && ((state & ODS_SELECTED) || m_bChecked);
}

void CShadeButton::DrawFace(CDC& dc, const RECT& rc, UINT state) const
{
    BOOL bDrawn = FALSE;
    if (state & ODS_DISABLED)
        bDrawn = m_dDisabled.Draw(dc, 0, 0);
    else if (ShowsDown(state))
        bDrawn = m_dDown.Draw(dc, m_bBorder, m_bBorder);
    else if (m_dNormal.IsValid())
    {
        // The lighter face while the pointer is over the button.
        if (!(m_bOver && m_dOver.Draw(dc, 0, 0)))
            m_dNormal.Draw(dc, 0, 0);
        return;
    }
    // Without its image the face is plain button face.
    if (!bDrawn)
        dc.FillSolidRect(&rc, ::GetSysColor(COLOR_BTNFACE));
}

void CShadeButton::DrawEdges(CDC& dc, RECT& rc, UINT state) const
{
    const COLORREF crShadow = ::GetSysColor(COLOR_BTNSHADOW);
    const COLORREF crHighlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    if (!m_bBorder)
        return;
    if (state & ODS_DISABLED)
    {
        if (!m_bFlat)
            dc.DrawEdge(&rc, EDGE_RAISED, BF_RECT);
    }
    else if (ShowsDown(state))
    {
        if (m_bFlat)
            dc.Draw3dRect(&rc, crShadow, crHighlight);
        else
            dc.DrawEdge(&rc, EDGE_SUNKEN, BF_RECT);
    }
    else if ((state & ODS_DEFAULT) && (m_bOver || !m_bFlat))
    {
        // The default button's double edge leaves one pixel less inside it.
        dc.DrawEdge(&rc, EDGE_SUNKEN, BF_RECT);
        ::InflateRect(&rc, -1, -1);
        dc.DrawEdge(&rc, EDGE_RAISED, BF_RECT);
    }
    else if (m_bFlat && m_bOver)
        dc.Draw3dRect(&rc, crHighlight, crShadow);
    else if (!m_bFlat)
        dc.DrawEdge(&rc, EDGE_RAISED, BF_RECT);
}

void CShadeButton::DrawFocus(CDC& dc, RECT rc, UINT state) const
{
    // The dotted focus frame, inside the edges; a disabled button shows none.
    const int o = m_nFocusRectOffset;
    if (!(state & ODS_FOCUS) || (state & ODS_DISABLED) || o <= 0)
        return;
    ::InflateRect(&rc, -o, -o);
    m_dFocusH.Draw(dc, rc.left + 1, rc.top);
    m_dFocusH.Draw(dc, rc.left + 1, rc.bottom);
    m_dFocusV.Draw(dc, rc.left, rc.top + 1);
    m_dFocusV.Draw(dc, rc.right, rc.top + 1);
}

void CShadeButton::DrawCaption(CDC& dc, RECT rt, UINT state) const
{
    CString strText;
    GetWindowText(strText);
    if (state & ODS_DISABLED)
    {
        // An engraved caption: highlight below right, grey text above left.
        dc.SetTextColor(::GetSysColor(COLOR_BTNHIGHLIGHT));
        dc.DrawText(strText, &rt, m_nTextAlign);
        ::OffsetRect(&rt, -1, -1);
        dc.SetTextColor(::GetSysColor(COLOR_GRAYTEXT));
        dc.DrawText(strText, &rt, m_nTextAlign);
        return;
    }
    // A pressed push-like button's caption moves with its sunken face.
    if (ShowsDown(state) && m_bPushLike)
        ::OffsetRect(&rt, 1, 1);
    dc.SetTextColor(m_crText);
    dc.DrawText(strText, &rt, m_nTextAlign);
}

void CShadeButton::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    if (FollowPointer())
        return;
    const UINT state = lpDIS->itemState;
    const RECT& rcItem = lpDIS->rcItem;
    const int nWidth = rcItem.right - rcItem.left;
    const int nHeight = rcItem.bottom - rcItem.top;

    // Everything is drawn off screen and copied in one piece, so nothing flickers.
    CBorrowedDC dcItem(lpDIS->hDC);
    CDC dcMem;
    dcMem.CreateCompatibleDC(&dcItem);
    CAutoGdiObject bitmap(::CreateCompatibleBitmap(dcItem, nWidth, nHeight));
    CScopedSelect selectBitmap(dcMem, bitmap.Get());
    dcMem.SetBkMode(TRANSPARENT);
    CScopedSelect selectFont(dcMem, ::GetStockObject(DEFAULT_GUI_FONT));

    RECT rc = rcItem;
    RECT rt = rcItem;
    rt.left += m_nFocusRectOffset + 2;
    rt.right -= m_nFocusRectOffset + 2;
    DrawFace(dcMem, rc, state);
    DrawEdges(dcMem, rc, state);
    DrawFocus(dcMem, rc, state);
    DrawCaption(dcMem, rt, state);
    dcItem.BitBlt(0, 0, nWidth, nHeight, &dcMem, 0, 0, SRCCOPY);
}

BEGIN_MESSAGE_MAP(CShadeButton, CButton)
ON_WM_ERASEBKGND()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_MOUSEMOVE()
ON_MESSAGE(WM_LBUTTONDBLCLK, OnLButtonDblClk)
ON_WM_KILLFOCUS()
ON_WM_KEYDOWN()
ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
ON_MESSAGE(UM_GROUP_UNCHECK, OnGroupUncheck)
ON_MESSAGE(BM_SETCHECK, OnSetCheck)
ON_MESSAGE(BM_GETCHECK, OnGetCheck)
END_MESSAGE_MAP()

BOOL CShadeButton::OnEraseBkgnd(CDC*)
{
    // DrawItem covers every pixel; erasing first would only flicker.
    return TRUE;
}

void CShadeButton::OnLButtonDown(UINT, POINT)
{
    if (m_bOver && TrackLeave(TRUE))
        m_bOver = false;
    // The system captures the mouse, sets the pushed state and takes the focus.
    Default();
    m_bLButtonDown = true;
}

void CShadeButton::OnLButtonUp(UINT, POINT point)
{
    if (m_nCheckType != kindPushButton)
    {
        // Only a release over the button changes the check.
        POINT pt = point;
        ClientToScreen(&pt);
        if (::WindowFromPoint(pt) == m_hWnd && m_bLButtonDown)
            ToggleCheck();
    }
    m_bLButtonDown = false;
    // The system releases the capture and reports the click.
    Default();
}

void CShadeButton::OnMouseMove(UINT, POINT point)
{
    if (m_bLButtonDown && ::GetCapture() == m_hWnd)
    {
        POINT pt = point;
        ClientToScreen(&pt);
        const BOOL bOver = ::WindowFromPoint(pt) == m_hWnd;
        const BOOL bPushed = (GetState() & BST_PUSHED) != 0;
        if (bOver != bPushed)
        {
            SendMessage(BM_SETSTATE, bOver);
            Invalidate();
        }
    }
    else if (!m_bOver)
    {
        if (TrackLeave(FALSE))
        {
            m_bOver = true;
            Invalidate();
        }
    }
    Default();
}

LRESULT CShadeButton::OnLButtonDblClk(WPARAM wParam, LPARAM lParam)
{
    // A double click is a second press.
    SendMessage(WM_LBUTTONDOWN, wParam, lParam);
    return 0;
}

void CShadeButton::OnKillFocus(HWND)
{
    if (::GetCapture() == m_hWnd)
    {
        ::ReleaseCapture();
        m_bLButtonDown = false;
    }
    Default();
}

void CShadeButton::OnKeyDown(UINT nChar, UINT, UINT)
{
    if (m_nCheckType != kindPushButton && nChar == VK_SPACE)
        ToggleCheck();
    Default();
}

LRESULT CShadeButton::OnMouseLeave(WPARAM, LPARAM)
{
    m_bOver = false;
    Invalidate();
    return 0;
}

LRESULT CShadeButton::OnGroupUncheck(WPARAM, LPARAM)
{
    if (m_bChecked)
    {
        m_bChecked = false;
        Invalidate();
    }
    return 0;
}

LRESULT CShadeButton::OnSetCheck(WPARAM wParam, LPARAM)
{
    m_bChecked = wParam != 0;
    if (m_nCheckType == kindPushButton)
        m_bChecked = false;
    if (m_nCheckType == kindRadioButton && m_bChecked)
    {
        // Uncheck the rest of the group. The walk normally comes back to this
        // button; when this button is not part of the walk (hidden or
        // disabled) it stops on returning to the first control it met.
        const HWND hParent = GetParent();
        HWND hFirst = NULL;
        HWND h = m_hWnd;
        while (hParent)
        {
            h = ::GetNextDlgGroupItem(hParent, h, FALSE);
            if (!h || h == m_hWnd || h == hFirst)
                break;
            if (!hFirst)
                hFirst = h;
            ::PostMessageA(h, UM_GROUP_UNCHECK, 0, 0);
        }
    }
    Invalidate();
    return 0;
}

LRESULT CShadeButton::OnGetCheck(WPARAM, LPARAM)
{
    return m_bChecked;
}
