// One device-independent bitmap in a single packed block, laid out as the
// system expects it: the 40-byte header, the colour table, then the pixel rows
// (bottom row first, each padded to a multiple of 4 bytes).
#pragma once
#include "framework/wintypes.h"

class CDibImage
{
public:
    CDibImage();
    ~CDibImage();
    // Copies are made with CopyFrom.
    CDibImage(const CDibImage&) = delete;
    CDibImage& operator=(const CDibImage&) = delete;

    // Discards the old contents and makes a width x height image of the given
    // depth (normalised to 1, 4, 8 or 24). Callers fill the colour table and
    // the pixels (they start zeroed). Returns the block, or NULL (and stays
    // empty) when it cannot be allocated.
    BYTE* Create(int width, int height, WORD depth);
    // Back to the empty state of a new object.
    void Release();

    BYTE* GetBits() const;
    DWORD GetSize() const;
    int IsValid() const { return m_pDib != NULL; }

    void SetPaletteEntry(int index, int red, int green, int blue);
    // Writes one byte of an 8-bit image; y counts from the top of the picture.
    void SetPixelIndex(int x, int y, int value);
    // Moves every colour-table entry percent (at most 100) of the way toward colour.
    void BlendPalette(COLORREF colour, int percent);
    void Fill(int value);
    void CopyFrom(const CDibImage& other);
#ifdef _WIN32
    // Copies the image to dc with its top-left corner at (x, y); 0 when empty.
    int Draw(HDC dc, int x, int y) const;
#endif

    // Read access for the code that fills the image and for checks.
    const BYTE* GetDib() const
    {
        return m_pDib;
    }
    const BITMAPINFOHEADER& GetHeader() const
    {
        return m_bih;
    }
    int GetWidth() const
    {
        return m_bih.biWidth;
    }
    int GetHeight() const
    {
        return m_bih.biHeight;
    }
    DWORD GetRowBytes() const
    {
        return m_nRowBytes;
    }
    WORD GetNumColors() const
    {
        return m_nColors;
    }
    // The colour table, or NULL when empty or without one.
    const RGBQUAD* GetPalette() const;

private:
    BYTE* m_pDib;
    BITMAPINFOHEADER m_bih;
    DWORD m_nRowBytes;
    WORD m_nColors;
};
