#include "common/controls/CPercentProgressCtrl.h"
#include "common/controls/COffscreenDC.h"
#include "common/controls/ProgressGeometry.h"
#include "framework/mbcs.h"

CPercentProgressCtrl::CPercentProgressCtrl()
    : m_nPos(0), m_nStep(1), m_nUpper(100), m_nLower(0), m_bShowText(1), m_nBarWidth(-1),
      m_crBar(::GetSysColor(COLOR_HIGHLIGHT)), m_crBk(::GetSysColor(COLOR_WINDOW)),
      m_crTextOnBk(::GetSysColor(COLOR_HIGHLIGHT)), m_crTextOnBar(::GetSysColor(COLOR_WINDOW))
{
}

BEGIN_MESSAGE_MAP(CPercentProgressCtrl, CProgressCtrl)
ON_WM_ERASEBKGND()
ON_WM_PAINT()
ON_WM_SIZE()
ON_MESSAGE(WM_SETTEXT, OnSetText)
ON_MESSAGE(WM_GETTEXT, OnGetText)
ON_MESSAGE(PBM_GETPOS, OnGetPos)
ON_MESSAGE(PBM_GETRANGE, OnGetRange)
END_MESSAGE_MAP()

void CPercentProgressCtrl::SetRange(int nLower, int nUpper)
{
    m_nLower = nLower;
    m_nUpper = nUpper;
}

int CPercentProgressCtrl::SetPos(int nPos)
{
    if (!::IsWindow(m_hWnd))
        return -1;
    int nOld = m_nPos;
    m_nPos = nPos;
    RECT rc;
    GetClientRect(&rc);
    int nWidth = ProgressBarWidth(m_nPos, m_nLower, m_nUpper, rc.right - rc.left);
    if (nWidth != m_nBarWidth)
    {
        m_nBarWidth = nWidth;
        // Paints inside this call, so the bar keeps up with a busy worker.
        RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    return nOld;
}

int CPercentProgressCtrl::StepIt()
{
    return SetPos(m_nPos + m_nStep);
}

void CPercentProgressCtrl::SetStep(int nStep)
{
    m_nStep = nStep;
}

void CPercentProgressCtrl::SetShowText(int bShow)
{
    if (::IsWindow(m_hWnd) && bShow != m_bShowText)
        ::InvalidateRect(m_hWnd, NULL, TRUE);
    m_bShowText = bShow;
}

BOOL CPercentProgressCtrl::OnEraseBkgnd(CDC*)
{
    // The paint covers every pixel; erasing first would only flicker.
    return TRUE;
}

void CPercentProgressCtrl::OnPaint()
{
    // An empty or inverted range draws nothing, but the paint request is still
    // completed, or the control would be asked to paint again and again.
    if (m_nLower >= m_nUpper)
    {
        CPaintDC validate(this);
        return;
    }
    RECT rc;
    GetClientRect(&rc);
    CPaintDC paintDC(this);
    COffscreenDC dc(&paintDC);

    RECT rcBar, rcRest;
    SplitProgressRect(rc, ProgressBarWidth(m_nPos, m_nLower, m_nUpper, rc.right - rc.left), &rcBar,
                      &rcRest);
    dc.FillSolidRect(&rcBar, m_crBar);
    dc.FillSolidRect(&rcRest, m_crBk);

    if (!m_bShowText)
        return;
    CString strText =
        !m_strText.IsEmpty() ? m_strText : ProgressPercentText(m_nPos, m_nLower, m_nUpper);
    dc.SetBkMode(TRANSPARENT);
    // The same text, centred on the whole bar, is drawn twice: clipped to the
    // done part in one colour and clipped to the rest in the other. Clip regions
    // are in device coordinates, so each part is converted first.
    struct Pass
    {
        RECT rcClip;
        COLORREF crText;
    } passes[2] = {{rcBar, m_crTextOnBar}, {rcRest, m_crTextOnBk}};
    for (Pass& pass : passes)
    {
        dc.LPtoDP(&pass.rcClip);
        CRgn rgn;
        rgn.CreateRectRgnIndirect(&pass.rcClip);
        dc.SelectClipRgn(&rgn);
        dc.SetTextColor(pass.crText);
        RECT rcText = rc;
        dc.DrawText(strText, &rcText, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        dc.SelectClipRgn(NULL);
    }
}

void CPercentProgressCtrl::OnSize(UINT, int, int)
{
    Default();
    // A new width means a new pixel width for the same position.
    m_nBarWidth = -1;
}

LRESULT CPercentProgressCtrl::OnSetText(WPARAM, LPARAM lParam)
{
    LRESULT lResult = Default();
    LPCTSTR pszText = (LPCTSTR)lParam;
    BOOL bChanged = pszText ? m_strText.Compare(pszText) != 0 : !m_strText.IsEmpty();
    if (bChanged)
    {
        m_strText = pszText;
        Invalidate(TRUE);
    }
    return lResult;
}

LRESULT CPercentProgressCtrl::OnGetText(WPARAM wParam, LPARAM lParam)
{
    // The copy keeps one byte of the caller's buffer for the terminating NUL and
    // never cuts a double-byte character in two.
    LPTSTR pszBuffer = (LPTSTR)lParam;
    if (!pszBuffer || wParam == 0)
        return 0;
    int nLength = m_strText.GetLength();
    int nRoom = wParam - 1 < (WPARAM)nLength ? (int)(wParam - 1) : nLength;
    int nCopied = MbsCopyBytes(pszBuffer, m_strText, nLength, nRoom);
    pszBuffer[nCopied] = '\0';
    return nCopied;
}

LRESULT CPercentProgressCtrl::OnGetPos(WPARAM, LPARAM)
{
    // The common control's own position is never set; what is drawn is this one.
    return m_nPos;
}

LRESULT CPercentProgressCtrl::OnGetRange(WPARAM wParam, LPARAM lParam)
{
    // wParam TRUE asks for the lower end, FALSE for the upper; lParam, when
    // given, receives both.
    PPBRANGE pRange = (PPBRANGE)lParam;
    if (pRange)
    {
        pRange->iLow = m_nLower;
        pRange->iHigh = m_nUpper;
    }
    return wParam ? m_nLower : m_nUpper;
}
