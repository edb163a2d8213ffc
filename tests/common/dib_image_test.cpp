#include "common/CDibImage.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <vector>

namespace
{
std::vector<BYTE> Block(const CDibImage& dib)
{
    return std::vector<BYTE>(dib.GetDib(), dib.GetDib() + dib.GetSize());
}
} // namespace

TEST(DibImage, HeaderRowPaddingAndBlockLayout)
{
    CDibImage dib;
    BYTE* block = dib.Create(5, 3, 8);
    ASSERT_NE(nullptr, block);
    EXPECT_EQ(block, dib.GetDib());
    const BITMAPINFOHEADER& bih = dib.GetHeader();
    EXPECT_EQ(40u, bih.biSize);
    EXPECT_EQ(5, bih.biWidth);
    EXPECT_EQ(3, bih.biHeight);
    EXPECT_EQ(1, bih.biPlanes);
    EXPECT_EQ(8, bih.biBitCount);
    EXPECT_EQ(0u, bih.biCompression);
    EXPECT_EQ(24u, bih.biSizeImage);
    EXPECT_EQ(0u, bih.biClrUsed);
    EXPECT_EQ(8u, dib.GetRowBytes());
    EXPECT_EQ(256, dib.GetNumColors());
    EXPECT_EQ(1088u, dib.GetSize());
    // The block starts with a copy of the header; pixels follow the colour table.
    EXPECT_EQ(0, std::memcmp(block, &bih, sizeof bih));
    EXPECT_EQ(block + 40 + 1024, dib.GetBits());
    EXPECT_EQ(reinterpret_cast<const RGBQUAD*>(block + 40), dib.GetPalette());

    dib.Create(1, 10, 8);
    EXPECT_EQ(4u, dib.GetRowBytes());
    EXPECT_EQ(40u, dib.GetHeader().biSizeImage);
    dib.Create(33, 2, 1);
    EXPECT_EQ(8u, dib.GetRowBytes());
    dib.Create(5, 2, 24);
    EXPECT_EQ(16u, dib.GetRowBytes());
    EXPECT_EQ(40u + 32u, dib.GetSize());
}

TEST(DibImage, DepthIsNormalisedWithItsColourTable)
{
    const struct
    {
        WORD requested, stored, colors;
    } cases[] = {{0, 1, 2},   {1, 1, 2},   {2, 4, 16},  {3, 4, 16},  {4, 4, 16},
                 {5, 8, 256}, {8, 8, 256}, {9, 24, 0},  {16, 24, 0}, {32, 24, 0}};
    for (const auto& c : cases)
    {
        CDibImage dib;
        ASSERT_NE(nullptr, dib.Create(4, 4, c.requested));
        EXPECT_EQ(c.stored, dib.GetHeader().biBitCount) << "depth " << c.requested;
        EXPECT_EQ(c.colors, dib.GetNumColors()) << "depth " << c.requested;
        EXPECT_EQ(40u + 4u * c.colors + dib.GetHeader().biSizeImage, dib.GetSize());
    }
}

TEST(DibImage, PixelsCountFromTheTopAndOutsidePointsAreIgnored)
{
    CDibImage dib;
    ASSERT_TRUE(dib.Create(5, 3, 8));
    dib.Fill(0x1AA); // low 8 bits
    for (DWORD i = 0; i < 24; ++i)
        ASSERT_EQ(0xAA, dib.GetBits()[i]);

    dib.SetPixelIndex(0, 0, 7);      // top-left: first byte of the last row in memory
    dib.SetPixelIndex(4, 2, 0x1FF);  // bottom-right: first row in memory
    EXPECT_EQ(7, dib.GetBits()[2 * 8 + 0]);
    EXPECT_EQ(0xFF, dib.GetBits()[0 * 8 + 4]);

    const std::vector<BYTE> before = Block(dib);
    dib.SetPixelIndex(5, 0, 1);
    dib.SetPixelIndex(0, 3, 1);
    dib.SetPixelIndex(-1, 0, 1);
    dib.SetPixelIndex(0, -1, 1);
    EXPECT_EQ(before, Block(dib));

    // On a 1-bit image a byte index past the row would overrun the block.
    CDibImage mono;
    ASSERT_TRUE(mono.Create(64, 2, 1));
    mono.Fill(0);
    mono.SetPixelIndex(63, 0, 1);
    EXPECT_EQ(0, std::count(mono.GetBits(), mono.GetBits() + 16, 1));
    mono.SetPixelIndex(3, 0, 9);
    EXPECT_EQ(9, mono.GetBits()[8 + 3]);
}

TEST(DibImage, PaletteEntriesWrapTheirIndexAndBlendClampsAt100)
{
    CDibImage dib;
    ASSERT_TRUE(dib.Create(2, 2, 8));
    for (int i = 0; i < 256; ++i)
        dib.SetPaletteEntry(i, 0, 0, 0);
    dib.SetPaletteEntry(300, 0x110, 0x20, 0x30); // entry 44, components' low 8 bits
    const RGBQUAD& e = dib.GetPalette()[44];
    EXPECT_EQ(0x30, e.rgbBlue);
    EXPECT_EQ(0x20, e.rgbGreen);
    EXPECT_EQ(0x10, e.rgbRed);
    EXPECT_EQ(0, e.rgbReserved);

    // Entry 10: blue 10, green 100, red 200; blended 25 % toward (255, 0, 40).
    dib.SetPaletteEntry(10, 200, 100, 10);
    dib.BlendPalette(RGB(255, 0, 40), 25);
    const RGBQUAD& b = dib.GetPalette()[10];
    EXPECT_EQ((10 * 75 + 40 * 25) / 100, b.rgbBlue);
    EXPECT_EQ((100 * 75 + 0 * 25) / 100, b.rgbGreen);
    EXPECT_EQ((200 * 75 + 255 * 25) / 100, b.rgbRed);

    dib.BlendPalette(RGB(1, 2, 3), 150);
    for (int i = 0; i < 256; ++i)
    {
        const RGBQUAD& q = dib.GetPalette()[i];
        ASSERT_TRUE(q.rgbRed == 1 && q.rgbGreen == 2 && q.rgbBlue == 3 && q.rgbReserved == 0) << i;
    }

    // A 16-colour table ignores indexes from 16 on, even after wrapping.
    CDibImage four;
    ASSERT_TRUE(four.Create(2, 2, 4));
    four.Fill(0);
    std::memset(const_cast<BYTE*>(four.GetDib()) + 40, 0, 64);
    const std::vector<BYTE> before = Block(four);
    four.SetPaletteEntry(16, 9, 9, 9);
    four.SetPaletteEntry(256 + 20, 9, 9, 9);
    EXPECT_EQ(before, Block(four));
    four.SetPaletteEntry(256 + 15, 9, 9, 9);
    EXPECT_EQ(9, four.GetPalette()[15].rgbRed);
}

TEST(DibImage, EmptyAndTrueColourImagesIgnorePaletteAndPixelOperations)
{
    CDibImage empty;
    EXPECT_EQ(0, empty.IsValid());
    EXPECT_EQ(nullptr, empty.GetBits());
    EXPECT_EQ(nullptr, empty.GetPalette());
    EXPECT_EQ(40u, empty.GetSize());
    empty.SetPaletteEntry(0, 1, 2, 3);
    empty.SetPixelIndex(0, 0, 1);
    empty.BlendPalette(RGB(1, 2, 3), 50);
    empty.Fill(1);
    EXPECT_EQ(0, empty.IsValid());

    CDibImage rgb;
    ASSERT_TRUE(rgb.Create(3, 2, 24));
    rgb.Fill(0x55);
    const std::vector<BYTE> before = Block(rgb);
    rgb.SetPaletteEntry(0, 1, 2, 3);
    rgb.SetPixelIndex(0, 0, 1);
    rgb.BlendPalette(RGB(1, 2, 3), 50);
    EXPECT_EQ(before, Block(rgb));
}

TEST(DibImage, ImpossibleSizesFailAndLeaveTheImageEmpty)
{
    CDibImage dib;
    ASSERT_TRUE(dib.Create(4, 4, 8));
    EXPECT_EQ(nullptr, dib.Create(-1, 5, 8));
    EXPECT_EQ(0, dib.IsValid());
    EXPECT_EQ(nullptr, dib.Create(5, -3, 8));
    EXPECT_EQ(nullptr, dib.Create(100000, 100000, 24));
    EXPECT_EQ(0, dib.IsValid());
    dib.Fill(0);
    dib.SetPixelIndex(0, 0, 1);
    EXPECT_EQ(nullptr, dib.GetBits());
}

TEST(DibImage, CopyFromDuplicatesTheWholeBlock)
{
    CDibImage src;
    ASSERT_TRUE(src.Create(7, 3, 8));
    for (int i = 0; i < 256; ++i)
        src.SetPaletteEntry(i, i, 255 - i, i / 2);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x)
            src.SetPixelIndex(x, y, x * 3 + y);

    CDibImage copy;
    ASSERT_TRUE(copy.Create(2, 2, 24)); // replaced by the copy
    copy.CopyFrom(src);
    ASSERT_TRUE(copy.IsValid());
    EXPECT_NE(src.GetDib(), copy.GetDib());
    EXPECT_EQ(Block(src), Block(copy));
    EXPECT_EQ(src.GetRowBytes(), copy.GetRowBytes());

    // The copy is independent of its source.
    copy.SetPixelIndex(0, 0, 200);
    EXPECT_NE(Block(src), Block(copy));

    copy.CopyFrom(copy);
    EXPECT_EQ(200, copy.GetBits()[2 * copy.GetRowBytes()]);

    CDibImage empty;
    copy.CopyFrom(empty);
    EXPECT_EQ(0, copy.IsValid());
}

#ifdef _WIN32
TEST(DibImage, DrawPutsTheTopRowAtTheTopWithItsPaletteColours)
{
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = 6;
    bi.bmiHeader.biHeight = -5;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* pBits = nullptr;
    HDC dc = ::CreateCompatibleDC(NULL);
    HBITMAP bmp = ::CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &pBits, NULL, 0);
    ASSERT_TRUE(bmp);
    HGDIOBJ old = ::SelectObject(dc, bmp);
    RECT all = {0, 0, 6, 5};
    ::FillRect(dc, &all, (HBRUSH)::GetStockObject(BLACK_BRUSH));

    CDibImage dib;
    EXPECT_EQ(0, dib.Draw(dc, 0, 0));
    ASSERT_TRUE(dib.Create(3, 2, 8));
    dib.Fill(0);
    dib.SetPaletteEntry(0, 10, 20, 30);
    dib.SetPaletteEntry(1, 200, 100, 50);
    dib.SetPixelIndex(2, 0, 1); // top-right
    EXPECT_EQ(0, dib.Draw(NULL, 0, 0));
    EXPECT_EQ(1, dib.Draw(dc, 1, 2));

    EXPECT_EQ(RGB(200, 100, 50), ::GetPixel(dc, 3, 2));
    EXPECT_EQ(RGB(10, 20, 30), ::GetPixel(dc, 1, 2));
    EXPECT_EQ(RGB(10, 20, 30), ::GetPixel(dc, 3, 3));
    EXPECT_EQ(RGB(0, 0, 0), ::GetPixel(dc, 0, 2));
    EXPECT_EQ(RGB(0, 0, 0), ::GetPixel(dc, 1, 4));

    ::SelectObject(dc, old);
    ::DeleteObject(bmp);
    ::DeleteDC(dc);
}
#endif
