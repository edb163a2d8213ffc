#include "common/controls/COffscreenDC.h"

COffscreenBuffer::~COffscreenBuffer()
{
    Release();
}

HDC COffscreenBuffer::Prepare(CDC* pTarget, int cx, int cy)
{
    if (m_hDC && cx <= m_cx && cy <= m_cy)
        return m_hDC;
    Release();
    m_hDC = ::CreateCompatibleDC(pTarget->m_hDC);
    m_hBitmap = ::CreateCompatibleBitmap(pTarget->m_hDC, cx, cy);
    m_hOldBitmap = m_hDC && m_hBitmap ? ::SelectObject(m_hDC, m_hBitmap) : NULL;
    if (!m_hOldBitmap)
    {
        Release();
        return NULL;
    }
    m_cx = cx;
    m_cy = cy;
    return m_hDC;
}

void COffscreenBuffer::Release()
{
    // The bitmap must leave the context before it can be deleted.
    if (m_hDC && m_hOldBitmap)
        ::SelectObject(m_hDC, m_hOldBitmap);
    if (m_hDC)
        ::DeleteDC(m_hDC);
    if (m_hBitmap)
        ::DeleteObject(m_hBitmap);
    m_hDC = NULL;
    m_hBitmap = NULL;
    m_hOldBitmap = NULL;
    m_cx = m_cy = 0;
}

COffscreenDC::COffscreenDC(CDC* pDC, COffscreenBuffer& buffer)
    : m_pDC(pDC), m_rect{0, 0, 0, 0}, m_bMemDC(!pDC->IsPrinting())
{
    if (m_bMemDC)
    {
        pDC->GetClipBox(&m_rect);
        HDC hMemDC = buffer.Prepare(pDC, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top);
        m_bMemDC = hMemDC != NULL;
        if (m_bMemDC)
        {
            Attach(hMemDC);
            // Client coordinates then land in the bitmap, whose corner is the clip box's.
            SetWindowOrg(m_rect.left, m_rect.top);
            return;
        }
    }
    // A printer, or no memory for the bitmap: draw on the target itself, whose
    // context stays the target's to release.
    m_bPrinting = pDC->m_bPrinting;
    m_hDC = pDC->m_hDC;
    m_hAttribDC = pDC->m_hAttribDC;
}

COffscreenDC::~COffscreenDC()
{
    if (m_bMemDC)
        m_pDC->BitBlt(m_rect.left, m_rect.top, m_rect.right - m_rect.left,
                      m_rect.bottom - m_rect.top, this, m_rect.left, m_rect.top, SRCCOPY);
    // The memory context is the buffer's, the target's its own: neither is deleted here.
    m_hDC = NULL;
    m_hAttribDC = NULL;
}
