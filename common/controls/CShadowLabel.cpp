#include "common/controls/CShadowLabel.h"
#include "framework/AutoHandle.h"
#include "framework/CDC.h"

CShadowLabel::CShadowLabel()
    : m_bShadow(0), m_nShadowDx(3), m_nShadowDy(3), m_crShadow(RGB(208, 208, 208)),
      m_crText(RGB(0, 0, 0)), m_pFont(NULL)
{
}

BEGIN_MESSAGE_MAP(CShadowLabel, CStatic)
ON_WM_ERASEBKGND()
ON_WM_PAINT()
END_MESSAGE_MAP()

int CShadowLabel::SetShadow(int bShadow)
{
    int bOld = m_bShadow;
    m_bShadow = bShadow;
    return bOld;
}

BOOL CShadowLabel::OnEraseBkgnd(CDC*)
{
    // The parent's background shows through.
    return TRUE;
}

void CShadowLabel::OnPaint()
{
    CPaintDC dc(this);
    RECT rc;
    GetClientRect(&rc);
    CString strText;
    GetWindowText(strText);

    dc.SetBkMode(TRANSPARENT);
    HGDIOBJ hFont = m_pFont ? m_pFont->GetSafeHandle() : (HGDIOBJ)GetFont();
    CScopedSelect selectFont(dc, hFont);

    // Always left-aligned and wrapped, whatever alignment style the static has.
    const UINT nFormat = DT_WORDBREAK;
    if (m_bShadow)
    {
        dc.SetTextColor(m_crShadow);
        RECT rcShadow = rc;
        ::OffsetRect(&rcShadow, m_nShadowDx, m_nShadowDy);
        dc.DrawText(strText, &rcShadow, nFormat);
    }
    dc.SetTextColor(m_crText);
    dc.DrawText(strText, &rc, nFormat);
}
