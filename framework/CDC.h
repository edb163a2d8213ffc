// A drawing context. A context the object made (CreateCompatibleDC) or was
// given with Attach is deleted with the object unless it was detached.
#pragma once
#include "framework/CGdiObject.h"
#include "framework/CString.h"

#include <windows.h>

class CWnd;

class CDC
{
public:
    CDC() : m_hDC(NULL), m_hAttribDC(NULL), m_bPrinting(FALSE) {}
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC m_hDC;
    // Kept for the MFC shape: the programs never print, so both follow m_hDC.
    HDC m_hAttribDC;
    BOOL m_bPrinting;

    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }
    BOOL Attach(HDC hDC);
    HDC Detach();
    BOOL DeleteDC();
    BOOL CreateCompatibleDC(CDC* pDC);
    BOOL IsPrinting() const { return m_bPrinting; }

    int GetClipBox(LPRECT lpRect) const { return ::GetClipBox(m_hDC, lpRect); }
    // The wrapper handed back for the object selected out belongs to this
    // context: it holds that object until the next selection of its kind here.
    CBitmap* SelectObject(CBitmap* pBitmap);
    CFont* SelectObject(CFont* pFont);
    HGDIOBJ SelectObject(HGDIOBJ hObject) { return ::SelectObject(m_hDC, hObject); }
    int SelectClipRgn(CRgn* pRgn)
    {
        return ::SelectClipRgn(m_hDC, pRgn ? (HRGN)pRgn->m_hObject : NULL);
    }
    POINT SetWindowOrg(int x, int y);
    void LPtoDP(LPRECT lpRect) const { ::LPtoDP(m_hDC, (LPPOINT)lpRect, 2); }

    COLORREF SetTextColor(COLORREF crColor) { return ::SetTextColor(m_hDC, crColor); }
    int SetBkMode(int nBkMode) { return ::SetBkMode(m_hDC, nBkMode); }

    void FillSolidRect(LPCRECT lpRect, COLORREF clr);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF clr);
    int DrawText(const CString& str, LPRECT lpRect, UINT nFormat)
    {
        return ::DrawTextA(m_hDC, str, str.GetLength(), lpRect, nFormat);
    }
    BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop)
    {
        return ::BitBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->m_hDC : NULL, xSrc, ySrc,
                        dwRop);
    }
    void Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight);
    BOOL DrawEdge(LPRECT lpRect, UINT nEdge, UINT nFlags)
    {
        return ::DrawEdge(m_hDC, lpRect, nEdge, nFlags);
    }
    BOOL DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }

private:
    CSelectedOut<CBitmap> m_oldBitmap;
    CSelectedOut<CFont> m_oldFont;
};

// A context lent with one message (WM_ERASEBKGND, a colour request): wrapped
// for the handler and handed back untouched, also when the handler throws.
class CBorrowedDC : public CDC
{
public:
    explicit CBorrowedDC(HDC hDC) { Attach(hDC); }
    ~CBorrowedDC() override { Detach(); }
};

// The context of one WM_PAINT: BeginPaint on construction, EndPaint on destruction.
class CPaintDC : public CDC
{
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps;

protected:
    HWND m_hWnd;
};
