// Pixels read back from a window's client area, and reference renderings of a
// text in black on white, for tests that check what a control painted.
#pragma once
#include <windows.h>

#include <functional>
#include <vector>

// True when every channel of cr lies between those of a and b.
inline bool IsBetween(COLORREF cr, COLORREF a, COLORREF b)
{
    auto in = [](int v, int x, int y) { return x < y ? v >= x && v <= y : v >= y && v <= x; };
    return in(GetRValue(cr), GetRValue(a), GetRValue(b)) &&
           in(GetGValue(cr), GetGValue(a), GetGValue(b)) &&
           in(GetBValue(cr), GetBValue(a), GetBValue(b));
}

class CPixelCapture
{
public:
    // The client area of hWnd as it is shown now.
    explicit CPixelCapture(HWND hWnd)
    {
        RECT rc;
        ::GetClientRect(hWnd, &rc);
        HDC hdc = ::GetDC(hWnd);
        Grab(rc.right, rc.bottom,
             [&](HDC hdcMem) { ::BitBlt(hdcMem, 0, 0, rc.right, rc.bottom, hdc, 0, 0, SRCCOPY); });
        ::ReleaseDC(hWnd, hdc);
    }

    // The client area of a window of any process, as the screen shows it.
    static CPixelCapture OnScreen(HWND hWnd)
    {
        RECT rc;
        ::GetClientRect(hWnd, &rc);
        POINT origin = {0, 0};
        ::ClientToScreen(hWnd, &origin);
        CPixelCapture capture;
        HDC hdc = ::GetDC(NULL);
        capture.Grab(
            rc.right, rc.bottom,
            [&](HDC hdcMem)
            { ::BitBlt(hdcMem, 0, 0, rc.right, rc.bottom, hdc, origin.x, origin.y, SRCCOPY); });
        ::ReleaseDC(NULL, hdc);
        return capture;
    }

    // DrawText in black on white into (0, 0, cx, cy) of a fresh memory context,
    // in hFont or, when that is null, in the context's default font.
    static CPixelCapture Text(LPCSTR pszText, HGDIOBJ hFont, int cx, int cy, UINT nFormat)
    {
        CPixelCapture capture;
        capture.Grab(cx, cy,
                     [&](HDC hdcMem)
                     {
                         RECT rc = {0, 0, cx, cy};
                         ::FillRect(hdcMem, &rc, (HBRUSH)::GetStockObject(WHITE_BRUSH));
                         if (hFont)
                             ::SelectObject(hdcMem, hFont);
                         ::SetBkMode(hdcMem, TRANSPARENT);
                         ::DrawTextA(hdcMem, pszText, -1, &rc, nFormat);
                     });
        return capture;
    }

    int Width() const { return m_cx; }
    int Height() const { return m_cy; }
    COLORREF At(int x, int y) const
    {
        bool bInside = x >= 0 && y >= 0 && x < m_cx && y < m_cy;
        return bInside ? m_pixels[(size_t)y * m_cx + x] : RGB(255, 255, 255);
    }
    bool IsInk(int x, int y) const { return At(x, y) != RGB(255, 255, 255); }
    bool IsSolid(int x, int y) const { return At(x, y) == RGB(0, 0, 0); }

    // Whether a shown colour agrees with this reference at (x, y) for text in
    // crText over crBk: the background off the text, the text colour where the
    // glyph covers the pixel wholly, a blend of both where smoothing covers part.
    bool Agrees(int x, int y, COLORREF cr, COLORREF crText, COLORREF crBk) const
    {
        if (!IsInk(x, y))
            return cr == crBk;
        return IsSolid(x, y) ? cr == crText : IsBetween(cr, crText, crBk);
    }

private:
    CPixelCapture() = default;

    void Grab(int cx, int cy, const std::function<void(HDC)>& draw)
    {
        m_cx = cx;
        m_cy = cy;
        BITMAPINFO bi = {};
        bi.bmiHeader = {sizeof(bi.bmiHeader), cx, -cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* pBits = NULL;
        HBITMAP hbm = ::CreateDIBSection(NULL, &bi, DIB_RGB_COLORS, &pBits, NULL, 0);
        HDC hdcMem = ::CreateCompatibleDC(NULL);
        HGDIOBJ hOld = ::SelectObject(hdcMem, hbm);
        draw(hdcMem);
        ::GdiFlush();
        const BYTE* p = static_cast<const BYTE*>(pBits);
        for (int i = 0; p && i < cx * cy; ++i)
            m_pixels.push_back(RGB(p[4 * i + 2], p[4 * i + 1], p[4 * i]));
        ::SelectObject(hdcMem, hOld);
        ::DeleteDC(hdcMem);
        ::DeleteObject(hbm);
    }

    int m_cx = 0;
    int m_cy = 0;
    std::vector<COLORREF> m_pixels;
};
