#include "common/controls/ShadeFaces.h"

#include <gtest/gtest.h>
#include <cstring>
#include <thread>
#include <vector>

namespace
{
const int W = 75, H = 23;
const ShadeSysColors kColors = {RGB(128, 120, 112), RGB(212, 208, 200), RGB(255, 250, 245)};

struct Faces
{
    CDibImage normal, down, disabled, over, focusH, focusV;
    CDibImage* All[6] = {&normal, &down, &disabled, &over, &focusH, &focusV};
};

BOOL Build(Faces& f, UINT style, int w = W, int h = H, int granularity = 8, int highlight = 10,
           int coloring = 0, COLORREF colour = 0)
{
    CReplicaRandom rnd;
    const ShadeParams params = {style, granularity, highlight, coloring, colour};
    const ShadeFaceSet set = {&f.normal, &f.down, &f.disabled, &f.over, &f.focusH, &f.focusV};
    return BuildShadeFaces(set, w, h, 4, params, kColors, rnd);
}

// Column x of memory row j (0 is the bottom row on screen).
int Px(const CDibImage& d, int x, int j)
{
    return d.GetBits()[j * d.GetRowBytes() + x];
}

// The grains of a face in the order they are drawn, replayed from the unseeded sequence.
std::vector<int> Grains(int count, int g)
{
    CReplicaRandom rnd;
    std::vector<int> n;
    for (int i = 0; i < count; ++i)
        n.push_back(rnd.Rand() / (32767 / (2 * g)) - g);
    return n;
}

bool Same(const CDibImage& a, const CDibImage& b)
{
    return a.GetSize() == b.GetSize() && std::memcmp(a.GetDib(), b.GetDib(), a.GetSize()) == 0;
}
} // namespace

TEST(ShadeFaces, GrainFollowsTheUnseededRuntimeSequence)
{
    CReplicaRandom replica;
    for (int v : {41, 18467, 6334, 26500, 19169})
        EXPECT_EQ(v, replica.Rand());
    // A fresh thread's run-time generator (rand itself on Windows) agrees.
    std::vector<int> got, want;
    std::thread(
        [&]
        {
            CRuntimeRandom rt;
            for (int i = 0; i < 5000; ++i)
                got.push_back(rt.Rand());
        })
        .join();
    CReplicaRandom again;
    for (int i = 0; i < 5000; ++i)
        want.push_back(again.Rand());
    EXPECT_EQ(want, got);
}

TEST(ShadeFaces, EveryBuildOfTheSameInputsIsIdentical)
{
    // Checksums of all six images per style: the host and the Windows builds
    // must both come to these.
    const DWORD expected[10] = {0x0992D1EAu, 0x1845DA9Au, 0x0F1ED3D2u, 0xE0E7AD02u, 0x0A187092u,
                                0x038B1692u, 0x8656F022u, 0x0EDD8B3Au, 0xBB385002u, 0x0992D1EAu};
    for (UINT style = 0; style < 10; ++style)
    {
        Faces a, b;
        ASSERT_TRUE(Build(a, style) && Build(b, style));
        DWORD sum = 2166136261u;
        for (int i = 0; i < 6; ++i)
        {
            ASSERT_TRUE(Same(*a.All[i], *b.All[i])) << style;
            for (DWORD k = 0; k < a.All[i]->GetSize(); ++k)
                sum = (sum ^ a.All[i]->GetDib()[k]) * 16777619u;
        }
        EXPECT_EQ(expected[style], sum) << "style " << style;
    }
}

TEST(ShadeFaces, FocusStripsAlternateShadowAndHighlight)
{
    Faces f;
    ASSERT_TRUE(Build(f, 7, W, H, 8, 10, 100, RGB(255, 0, 0)));
    ASSERT_TRUE(f.focusH.GetWidth() == W - 9 && f.focusV.GetHeight() == H - 8);
    for (int x = 0; x < f.focusH.GetWidth(); ++x)
        ASSERT_EQ(x % 2 ? 255 : 0, Px(f.focusH, x, 0)) << x;
    for (int k = 0; k < f.focusV.GetHeight(); ++k)
        ASSERT_EQ(k % 2 ? 255 : 0, Px(f.focusV, 0, k)) << k;
    // Untinted, from the shadow colour to the highlight colour.
    const RGBQUAD* p = f.focusV.GetPalette();
    EXPECT_TRUE(p[0].rgbRed == 128 && p[0].rgbGreen == 120 && p[0].rgbBlue == 112);
    EXPECT_TRUE(p[255].rgbRed == 255 && p[255].rgbGreen == 250 && p[255].rgbBlue == 245);
    EXPECT_EQ((212 * 127 + 255) / 128, p[128].rgbRed); // the upper ramp's value
}

TEST(ShadeFaces, GrainStaysWithinGranularity)
{
    Faces f, g;
    ASSERT_TRUE(Build(f, 0) && Build(g, 0, W, H, 0x108)); // only the low 8 bits count
    EXPECT_TRUE(Same(f.normal, g.normal));
    const std::vector<int> n = Grains(W * H, 8);
    int lo = 255, hi = 0;
    for (int j = 0; j < H; ++j)
        for (int x = 0; x < W; ++x)
        {
            ASSERT_EQ(128 + n[j * W + x], Px(f.normal, x, j));
            lo = std::min(lo, n[j * W + x]);
            hi = std::max(hi, n[j * W + x]);
        }
    EXPECT_EQ(-8, lo);
    EXPECT_TRUE(hi >= 7 && hi <= 8);
}

TEST(ShadeFaces, Style6IsClampedBrightTopLeftAndDarkBottomRight)
{
    Faces f;
    ASSERT_TRUE(Build(f, 6));
    const std::vector<int> n = Grains(W * H, 8);
    auto base = [&](int x, int j) { return Px(f.normal, x, j) - n[j * W + x]; };
    int lo = 255, hi = 0;
    for (int j = 0; j < H; ++j)
        for (int x = 0; x < W; ++x)
        {
            lo = std::min(lo, base(x, j));
            hi = std::max(hi, base(x, j));
        }
    EXPECT_EQ(8, lo);
    EXPECT_EQ(247, hi);
    EXPECT_EQ(247, base(0, H - 1)); // top left on screen
    EXPECT_EQ(8, base(W - 1, 0));   // bottom right
}

TEST(ShadeFaces, Style7EdgeZonesAreLensShaped)
{
    const int r = 12, mid = H / 2;
    Faces f;
    ASSERT_TRUE(Build(f, 7));
    const std::vector<int> n = Grains(2 * W * H, 8); // one grain per pixel and pass
    auto second = [&](int x, int j) { return n[W * H + j * W + x]; };
    auto zone = [&](int x, int j) { return Px(f.normal, x, j) - second(x, j); };
    // Without the zones, a row less its two grains is one value.
    auto plain = [&](int x, int j) { return (zone(x, j) - n[j * W + x]) & 0xFF; };

    for (int x = r; x < W - r; ++x)
        ASSERT_EQ(plain(r, mid), plain(x, mid)) << x;
    EXPECT_EQ(247, zone(0, mid)); // brightest at the left edge...
    for (int x = 1; x < r; ++x)
        ASSERT_LT(zone(x, mid), zone(x - 1, mid)) << x;
    EXPECT_LT(zone(W - 1, mid), 40); // ...darkest at the right edge
    for (int x = W - r + 1; x < W; ++x)
        ASSERT_LT(zone(x, mid), zone(x - 1, mid)) << x;
    // At the top and bottom rows only the outermost columns remain.
    for (int j : {0, H - 1})
        for (int x = 1; x < W - 1; ++x)
            ASSERT_EQ(plain(1, j), plain(x, j)) << j << "," << x;
}

TEST(ShadeFaces, HoverAndPressedFacesAreLightenedCopies)
{
    Faces f, plain;
    ASSERT_TRUE(Build(f, 3, W, H, 8, 10, 0, RGB(255, 0, 0)) && Build(plain, 3, W, H, 8, 10, 0, 0));
    EXPECT_TRUE(Same(f.normal, plain.normal)); // coloring 0 ignores the colour
    EXPECT_TRUE(Same(f.normal, f.disabled));
    EXPECT_TRUE(Same(f.over, f.down));
    const RGBQUAD *normal = f.normal.GetPalette(), *over = f.over.GetPalette();
    for (int i = 0; i < 256; ++i)
        ASSERT_TRUE(over[i].rgbRed == (normal[i].rgbRed * 90 + 255 * 10) / 100 &&
                    over[i].rgbGreen == (normal[i].rgbGreen * 90 + 250 * 10) / 100 &&
                    over[i].rgbBlue == (normal[i].rgbBlue * 90 + 245 * 10) / 100)
            << i;
    EXPECT_EQ(0,
              std::memcmp(f.normal.GetBits(), f.over.GetBits(), f.normal.GetHeader().biSizeImage));

    // Coloring 0x1FF is 255, capped at 100 %: every entry becomes the colour.
    ASSERT_TRUE(Build(f, 3, W, H, 8, 0, 0x1FF, RGB(10, 20, 30)));
    for (int i = 0; i < 256; ++i)
        ASSERT_TRUE(f.normal.GetPalette()[i].rgbRed == 10 &&
                    f.normal.GetPalette()[i].rgbBlue == 30);
}

TEST(ShadeFaces, TooSmallButtonsGetNoFacesAndOddSizesAreSafe)
{
    Faces f;
    ASSERT_TRUE(Build(f, 7));
    EXPECT_FALSE(Build(f, 7, W, 1));
    for (CDibImage* d : f.All)
        EXPECT_EQ(0, d->IsValid());
    EXPECT_FALSE(Build(f, 8, 0, H));
    // Every style at extreme sizes and settings, watched by the sanitizers.
    const int sizes[][2] = {{1, 2}, {5, 3}, {6, 2}, {40000, 2}, {3, 33000}};
    for (UINT style = 0; style < 10; ++style)
        for (const auto& s : sizes)
            ASSERT_TRUE(Build(f, style, s[0], s[1], 255, 255, 255)) << style;
}
