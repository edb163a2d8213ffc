#include "common/controls/CDibImage.h"

#include <cstring>
#include <new>

namespace
{
const DWORD kHeaderSize = sizeof(BITMAPINFOHEADER);

void ResetHeader(BITMAPINFOHEADER& bih)
{
    std::memset(&bih, 0, sizeof bih);
    bih.biSize = kHeaderSize;
}
} // namespace

CDibImage::CDibImage() : m_pDib(NULL), m_nRowBytes(0), m_nColors(0)
{
    ResetHeader(m_bih);
}

CDibImage::~CDibImage()
{
    delete[] m_pDib;
}

void CDibImage::Release()
{
    delete[] m_pDib;
    m_pDib = NULL;
    ResetHeader(m_bih);
    m_nRowBytes = 0;
    m_nColors = 0;
}

BYTE* CDibImage::Create(int width, int height, WORD depth)
{
    delete[] m_pDib;
    m_pDib = NULL;

    WORD bits;
    if (depth <= 1)
    {
        bits = 1;
        m_nColors = 2;
    }
    else if (depth <= 4)
    {
        bits = 4;
        m_nColors = 16;
    }
    else if (depth <= 8)
    {
        bits = 8;
        m_nColors = 256;
    }
    else
    {
        bits = 24;
        m_nColors = 0;
    }

    m_nRowBytes = (((DWORD)width * bits + 31) / 32) * 4;
    ResetHeader(m_bih);
    m_bih.biWidth = width;
    m_bih.biHeight = height;
    m_bih.biPlanes = 1;
    m_bih.biBitCount = bits;
    m_bih.biCompression = BI_RGB;
    m_bih.biSizeImage = m_nRowBytes * (DWORD)height;

    // A negative size, or one whose block would not fit the 32-bit size
    // fields, would make the header lie about the block: refuse it as an
    // allocation failure instead of allocating a wrapped-around size.
    if (width < 0 || height < 0)
        return NULL;
    unsigned long long rowBytes = ((unsigned long long)width * bits + 31) / 32 * 4;
    unsigned long long total =
        kHeaderSize + 4ull * m_nColors + rowBytes * (unsigned long long)height;
    if (total > 0x7FFFFFFFull)
        return NULL;

    // Zeroed, so that the row padding no pixel writer touches is never stale heap.
    m_pDib = new (std::nothrow) BYTE[(size_t)total]();
    if (!m_pDib)
        return NULL;
    std::memcpy(m_pDib, &m_bih, sizeof m_bih);
    return m_pDib;
}

BYTE* CDibImage::GetBits() const
{
    if (!m_pDib)
        return NULL;
    DWORD headerSize;
    std::memcpy(&headerSize, m_pDib, sizeof headerSize);
    return m_pDib + headerSize + 4 * (DWORD)m_nColors;
}

DWORD CDibImage::GetSize() const
{
    return m_bih.biSize + 4 * (DWORD)m_nColors + m_bih.biSizeImage;
}

const RGBQUAD* CDibImage::GetPalette() const
{
    if (!m_pDib || m_nColors == 0)
        return NULL;
    return reinterpret_cast<const RGBQUAD*>(m_pDib + m_bih.biSize);
}

void CDibImage::SetPaletteEntry(int index, int red, int green, int blue)
{
    if (!m_pDib || m_nColors == 0)
        return;
    unsigned entry = (unsigned)index & 0xFF;
    if (entry >= m_nColors)
        return;
    BYTE* p = m_pDib + m_bih.biSize + 4 * entry;
    p[0] = (BYTE)blue;
    p[1] = (BYTE)green;
    p[2] = (BYTE)red;
    p[3] = 0;
}

void CDibImage::SetPixelIndex(int x, int y, int value)
{
    if (!m_pDib || m_nColors == 0)
        return;
    if (x < 0 || x >= m_bih.biWidth || y < 0 || y >= m_bih.biHeight)
        return;
    // One byte per pixel only holds for 8-bit rows; on narrower depths a byte
    // index past the row would run into the next row or beyond the block.
    if ((DWORD)x >= m_nRowBytes)
        return;
    GetBits()[(DWORD)(m_bih.biHeight - 1 - y) * m_nRowBytes + (DWORD)x] = (BYTE)value;
}

void CDibImage::BlendPalette(COLORREF colour, int percent)
{
    if (!m_pDib || m_nColors == 0)
        return;
    if (percent > 100)
        percent = 100;
    const int keep = 100 - percent;
    const int blue = GetBValue(colour), green = GetGValue(colour), red = GetRValue(colour);
    BYTE* p = m_pDib + m_bih.biSize;
    for (WORD i = 0; i < m_nColors; ++i, p += 4)
    {
        p[0] = (BYTE)((p[0] * keep + blue * percent) / 100);
        p[1] = (BYTE)((p[1] * keep + green * percent) / 100);
        p[2] = (BYTE)((p[2] * keep + red * percent) / 100);
    }
}

void CDibImage::Fill(int value)
{
    if (!m_pDib)
        return;
    std::memset(GetBits(), (BYTE)value, m_bih.biSizeImage);
}

void CDibImage::CopyFrom(const CDibImage& other)
{
    if (&other == this)
        return;
    // The copy of an empty image is empty: there is no block to copy from.
    if (!other.m_pDib)
    {
        Release();
        return;
    }
    if (Create(other.m_bih.biWidth, other.m_bih.biHeight, other.m_bih.biBitCount))
        std::memcpy(m_pDib, other.m_pDib, GetSize());
}

#ifdef _WIN32
int CDibImage::Draw(HDC dc, int x, int y) const
{
    if (!m_pDib || !dc)
        return 0;
    ::SetStretchBltMode(dc, COLORONCOLOR);
    ::SetDIBitsToDevice(dc, x, y, (DWORD)m_bih.biWidth, (DWORD)m_bih.biHeight, 0, 0, 0,
                        (UINT)m_bih.biHeight, GetBits(),
                        reinterpret_cast<const BITMAPINFO*>(m_pDib), DIB_RGB_COLORS);
    return 1;
}
#endif
