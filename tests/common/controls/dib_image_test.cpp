#include "common/controls/CDibImage.h"

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

TEST(DibImage, HeaderDepthAndRowLayout)
{
    CDibImage dib;
    BYTE* block = dib.Create(5, 3, 8);
    ASSERT_NE(nullptr, block);
    const BITMAPINFOHEADER& bih = dib.GetHeader();
    EXPECT_TRUE(bih.biSize == 40 && bih.biWidth == 5 && bih.biHeight == 3 && bih.biPlanes == 1 &&
                bih.biBitCount == 8 && bih.biCompression == 0 && bih.biClrUsed == 0);
    EXPECT_EQ(8u, dib.GetRowBytes());
    EXPECT_EQ(24u, bih.biSizeImage);
    EXPECT_EQ(1088u, dib.GetSize());
    EXPECT_EQ(0, std::memcmp(block, &bih, sizeof bih)); // the block starts with the header
    EXPECT_EQ(block + 40 + 1024, dib.GetBits());

    dib.Create(1, 10, 8);
    EXPECT_EQ(4u, dib.GetRowBytes());

    // Requested depth -> stored depth, colour-table size, row bytes for width 5.
    const int cases[][4] = {{0, 1, 2, 4},   {2, 4, 16, 4},  {3, 4, 16, 4},
                            {5, 8, 256, 8}, {9, 24, 0, 16}, {16, 24, 0, 16}};
    for (const auto& c : cases)
    {
        ASSERT_TRUE(dib.Create(5, 2, (WORD)c[0]));
        EXPECT_EQ(c[1], dib.GetHeader().biBitCount) << c[0];
        EXPECT_EQ(c[2], dib.GetNumColors()) << c[0];
        EXPECT_EQ((DWORD)c[3], dib.GetRowBytes()) << c[0];
        EXPECT_EQ(40u + 4u * c[2] + 2u * c[3], dib.GetSize()) << c[0];
    }
}

TEST(DibImage, PixelAndPaletteWrites)
{
    CDibImage dib;
    ASSERT_TRUE(dib.Create(5, 3, 8));
    dib.Fill(0x100);                // low 8 bits
    dib.SetPixelIndex(0, 0, 7);     // top left: first byte of the last row in memory
    dib.SetPixelIndex(4, 2, 0x1FF); // bottom right: first row in memory
    EXPECT_EQ(7, dib.GetBits()[2 * 8]);
    EXPECT_EQ(0xFF, dib.GetBits()[4]);
    const std::vector<BYTE> before = Block(dib);
    for (int p : {5, -1})
    {
        dib.SetPixelIndex(p, 0, 1);
        dib.SetPixelIndex(0, p < 0 ? p : 3, 1);
    }
    EXPECT_EQ(before, Block(dib));

    dib.SetPaletteEntry(300, 0x110, 0x20, 0x30); // entry 44, low 8 bits of each part
    const RGBQUAD& e = dib.GetPalette()[44];
    EXPECT_TRUE(e.rgbRed == 0x10 && e.rgbGreen == 0x20 && e.rgbBlue == 0x30 && e.rgbReserved == 0);
    dib.SetPaletteEntry(10, 200, 100, 10);
    dib.BlendPalette(RGB(255, 0, 40), 25);
    const RGBQUAD& b = dib.GetPalette()[10];
    EXPECT_TRUE(b.rgbRed == 213 && b.rgbGreen == 75 && b.rgbBlue == 17); // truncated
    dib.BlendPalette(RGB(1, 2, 3), 150);                                 // acts as 100
    for (int i = 0; i < 256; ++i)
        ASSERT_TRUE(dib.GetPalette()[i].rgbRed == 1 && dib.GetPalette()[i].rgbBlue == 3) << i;

    // A 1-bit row holds fewer bytes than pixels: no write may leave the row.
    CDibImage mono;
    ASSERT_TRUE(mono.Create(64, 2, 1));
    mono.SetPixelIndex(63, 0, 1);
    EXPECT_EQ(0, std::count(mono.GetBits(), mono.GetBits() + 16, 1));
}

TEST(DibImage, EmptyTrueColourAndImpossibleImagesAreLeftAlone)
{
    CDibImage empty;
    EXPECT_EQ(0, empty.IsValid());
    EXPECT_EQ(nullptr, empty.GetBits());
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

    // Negative or oversized requests fail like a failed allocation.
    EXPECT_EQ(nullptr, rgb.Create(-1, 5, 8));
    EXPECT_EQ(0, rgb.IsValid());
    EXPECT_EQ(nullptr, rgb.Create(100000, 100000, 24));
    rgb.Fill(0);
}

TEST(DibImage, CopyFromDuplicatesTheWholeBlock)
{
    CDibImage src, copy;
    ASSERT_TRUE(src.Create(7, 3, 8));
    for (int i = 0; i < 256; ++i)
        src.SetPaletteEntry(i, i, 255 - i, i / 2);
    for (int x = 0; x < 7; ++x)
        src.SetPixelIndex(x, x % 3, x * 3 + 1);
    ASSERT_TRUE(copy.Create(2, 2, 24)); // replaced by the copy
    copy.CopyFrom(src);
    EXPECT_NE(src.GetDib(), copy.GetDib());
    EXPECT_EQ(Block(src), Block(copy));
    copy.CopyFrom(copy);
    EXPECT_EQ(Block(src), Block(copy));
    copy.CopyFrom(CDibImage()); // a copy of nothing is empty
    EXPECT_EQ(0, copy.IsValid());
}
