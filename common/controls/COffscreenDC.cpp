#include "common/controls/COffscreenDC.h"

COffscreenDC::COffscreenDC(CDC* pDC)
    : m_pOldBitmap(NULL), m_pDC(pDC), m_rect{0, 0, 0, 0}, m_bMemDC(!pDC->IsPrinting())
{
    if (m_bMemDC)
    {
        pDC->GetClipBox(&m_rect);
        CreateCompatibleDC(pDC);
        m_bitmap.CreateCompatibleBitmap(pDC, m_rect.right - m_rect.left,
                                        m_rect.bottom - m_rect.top);
        m_pOldBitmap = SelectObject(&m_bitmap);
        // Client coordinates then land in the bitmap, whose corner is the clip box's.
        SetWindowOrg(m_rect.left, m_rect.top);
    }
    else
    {
        // Share the printer's context; it stays the target's to release.
        m_bPrinting = pDC->m_bPrinting;
        m_hDC = pDC->m_hDC;
        m_hAttribDC = pDC->m_hAttribDC;
    }
}

COffscreenDC::~COffscreenDC()
{
    if (m_bMemDC)
    {
        m_pDC->BitBlt(m_rect.left, m_rect.top, m_rect.right - m_rect.left,
                      m_rect.bottom - m_rect.top, this, m_rect.left, m_rect.top, SRCCOPY);
        // The bitmap must leave the context before it can be deleted.
        SelectObject(m_pOldBitmap);
    }
    else
    {
        m_hDC = NULL;
        m_hAttribDC = NULL;
    }
    m_bitmap.DeleteObject();
}
