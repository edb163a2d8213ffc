#include "framework/CDC.h"
#include "framework/CWnd.h"

CDC::~CDC()
{
    if (m_hDC)
        DeleteDC();
}

BOOL CDC::Attach(HDC hDC)
{
    if (!hDC)
        return FALSE;
    m_hDC = m_hAttribDC = hDC;
    return TRUE;
}

HDC CDC::Detach()
{
    HDC h = m_hDC;
    m_hDC = m_hAttribDC = NULL;
    return h;
}

BOOL CDC::DeleteDC()
{
    if (!m_hDC)
        return FALSE;
    HDC h = Detach();
    return ::DeleteDC(h);
}

BOOL CDC::CreateCompatibleDC(CDC* pDC)
{
    HDC h = ::CreateCompatibleDC(pDC ? pDC->m_hDC : NULL);
    if (!h)
        return FALSE;
    return Attach(h);
}

CBitmap* CDC::SelectObject(CBitmap* pBitmap)
{
    HGDIOBJ old = ::SelectObject(m_hDC, pBitmap ? pBitmap->m_hObject : NULL);
    if (!old)
        return nullptr;
    m_oldBitmap.m_hObject = old;
    return &m_oldBitmap;
}

CFont* CDC::SelectObject(CFont* pFont)
{
    HGDIOBJ old = ::SelectObject(m_hDC, pFont ? pFont->m_hObject : NULL);
    if (!old)
        return nullptr;
    m_oldFont.m_hObject = old;
    return &m_oldFont;
}

POINT CDC::SetWindowOrg(int x, int y)
{
    POINT old = {0, 0};
    ::SetWindowOrgEx(m_hDC, x, y, &old);
    return old;
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr)
{
    ::SetBkColor(m_hDC, clr);
    ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, lpRect, NULL, 0, NULL);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF clr)
{
    RECT rc = {x, y, x + cx, y + cy};
    FillSolidRect(&rc, clr);
}

void CDC::Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    int x = lpRect->left, y = lpRect->top;
    int cx = lpRect->right - lpRect->left, cy = lpRect->bottom - lpRect->top;
    FillSolidRect(x, y, cx - 1, 1, clrTopLeft);
    FillSolidRect(x, y, 1, cy - 1, clrTopLeft);
    FillSolidRect(x + cx - 1, y, 1, cy, clrBottomRight);
    FillSolidRect(x, y + cy - 1, cx, 1, clrBottomRight);
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->m_hWnd)
{
    Attach(::BeginPaint(m_hWnd, &m_ps));
}

CPaintDC::~CPaintDC()
{
    ::EndPaint(m_hWnd, &m_ps);
    Detach();
}
