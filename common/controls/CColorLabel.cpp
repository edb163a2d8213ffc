#include "common/controls/CColorLabel.h"
#include "framework/CDC.h"

#include <cstring>

CColorLabel::CColorLabel() : m_crText(::GetSysColor(COLOR_WINDOWTEXT))
{
    m_bkBrush.CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
    std::memset(&m_lf, 0, sizeof(m_lf));
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof(m_lf), &m_lf);
    m_font.CreateFontIndirect(&m_lf);
}

CColorLabel::~CColorLabel()
{
    // A control that outlives the label must not keep a deleted font.
    if (::IsWindow(m_hWnd) && GetFont() == (HFONT)m_font.GetSafeHandle())
        SendMessage(WM_SETFONT, 0, FALSE);
}

BEGIN_MESSAGE_MAP(CColorLabel, CStatic)
ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

CColorLabel& CColorLabel::SetTextColor(COLORREF crText)
{
    m_crText = crText;
    // Without a window there is nothing to repaint (and a null window would
    // mean the whole desktop).
    if (::IsWindow(m_hWnd))
        RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return *this;
}

void CColorLabel::PreSubclassWindow()
{
    // Some static controls select their own font (the dialog's) after the
    // colour request, which would undo the font chosen there; as the control's
    // own font the label font holds either way.
    ::SendMessageA(m_hWnd, WM_SETFONT, (WPARAM)m_font.GetSafeHandle(), FALSE);
}

HBRUSH CColorLabel::CtlColor(CDC* pDC, UINT nCtlColor)
{
    if (nCtlColor == CTLCOLOR_STATIC)
    {
        pDC->SelectObject(&m_font);
        pDC->SetTextColor(m_crText);
        pDC->SetBkMode(TRANSPARENT);
    }
    return (HBRUSH)m_bkBrush.GetSafeHandle();
}
