#include "common/ShadeFaces.h"

#include <gtest/gtest.h>
#include <cstring>
#include <thread>
#include <vector>

namespace
{
const ShadeSysColors kColors = {RGB(128, 120, 112), RGB(212, 208, 200), RGB(255, 250, 245)};

struct Faces
{
    CDibImage normal, down, disabled, over, focusH, focusV;
    ShadeFaceSet Set() { return {&normal, &down, &disabled, &over, &focusH, &focusV}; }
    CDibImage* All[6] = {&normal, &down, &disabled, &over, &focusH, &focusV};
};

BOOL Build(Faces& f, UINT style, int w = 75, int h = 23, int granularity = 8, int highlight = 10,
           int coloring = 0, COLORREF colour = 0)
{
    CReplicaRandom rnd;
    const ShadeParams params = {style, granularity, highlight, coloring, colour};
    return BuildShadeFaces(f.Set(), w, h, 4, params, kColors, rnd);
}

// Pixel at column x of memory row j (0 = bottom row on screen).
int Px(const CDibImage& d, int x, int j)
{
    return d.GetBits()[j * d.GetRowBytes() + x];
}

// The grains a style draws, in the order it draws them, replayed from the
// unseeded sequence.
std::vector<int> Grains(int count, int g)
{
    CReplicaRandom rnd;
    std::vector<int> n;
    for (int i = 0; i < count; ++i)
        n.push_back(rnd.Rand() / (32767 / (2 * g)) - g);
    return n;
}

double Mean(const CDibImage& d, int x0, int x1, int j0, int j1)
{
    double sum = 0;
    for (int j = j0; j <= j1; ++j)
        for (int x = x0; x <= x1; ++x)
            sum += Px(d, x, j);
    return sum / ((x1 - x0 + 1) * (j1 - j0 + 1));
}

DWORD Checksum(const Faces& f)
{
    DWORD h = 2166136261u;
    for (const CDibImage* d : f.All)
        for (DWORD i = 0; i < d->GetSize(); ++i)
            h = (h ^ d->GetDib()[i]) * 16777619u;
    return h;
}
} // namespace

TEST(ShadeRandom, ReplicaFollowsTheUnseededRuntimeSequenceOnEveryThread)
{
    CReplicaRandom replica;
    const int first[] = {41, 18467, 6334, 26500, 19169};
    for (int v : first)
        EXPECT_EQ(v, replica.Rand());

    // The run-time generator of a fresh thread starts the same sequence.
    std::vector<int> got, want;
    std::thread([&] {
        CRuntimeRandom rt;
        for (int i = 0; i < 5000; ++i)
            got.push_back(rt.Rand());
    }).join();
    CReplicaRandom again;
    for (int i = 0; i < 5000; ++i)
        want.push_back(again.Rand());
    EXPECT_EQ(want, got);
}

TEST(ShadeFaces, SameInputsGiveTheSameFacesOnEveryBuild)
{
    // One checksum per style over all six images of a 75 x 23 button; the
    // host and the Windows build must both produce these.
    const DWORD expected[10] = {0x0992D1EAu, 0x1845DA9Au, 0x0F1ED3D2u, 0xE0E7AD02u, 0x0A187092u,
                                0x038B1692u, 0x8656F022u, 0x0EDD8B3Au, 0xBB385002u, 0x0992D1EAu};
    for (UINT style = 0; style < 10; ++style)
    {
        Faces a, b;
        ASSERT_TRUE(Build(a, style));
        ASSERT_TRUE(Build(b, style));
        for (int i = 0; i < 6; ++i)
            ASSERT_EQ(0, std::memcmp(a.All[i]->GetDib(), b.All[i]->GetDib(), a.All[i]->GetSize()));
        EXPECT_EQ(expected[style], Checksum(a)) << "style " << style;
    }
}

TEST(ShadeFaces, ColourTableRunsFromShadowThroughFaceToHighlight)
{
    Faces f;
    ASSERT_TRUE(Build(f, 1));
    const RGBQUAD* p = f.normal.GetPalette();
    EXPECT_TRUE(p[0].rgbRed == 128 && p[0].rgbGreen == 120 && p[0].rgbBlue == 112);
    EXPECT_TRUE(p[255].rgbRed == 255 && p[255].rgbGreen == 250 && p[255].rgbBlue == 245);
    // Entry 128 is written twice; the second, upper ramp wins.
    EXPECT_EQ((212 * 127 + 255) / 128, p[128].rgbRed);
    EXPECT_EQ((200 * 127 + 245) / 128, p[128].rgbBlue);
    EXPECT_EQ((128 + 212 * 127) / 128, p[127].rgbRed);
    for (int i = 1; i < 256; ++i)
        ASSERT_GE(p[i].rgbGreen, p[i - 1].rgbGreen) << i;
}

TEST(ShadeFaces, FocusStripsAlternateShadowAndHighlight)
{
    Faces f;
    ASSERT_TRUE(Build(f, 7, 75, 23, 8, 10, 100, RGB(255, 0, 0)));
    ASSERT_EQ(75 - 8 - 1, f.focusH.GetWidth());
    ASSERT_EQ(1, f.focusH.GetHeight());
    ASSERT_EQ(1, f.focusV.GetWidth());
    ASSERT_EQ(23 - 8, f.focusV.GetHeight());
    for (int x = 0; x < f.focusH.GetWidth(); ++x)
        ASSERT_EQ(x % 2 ? 255 : 0, Px(f.focusH, x, 0)) << x;
    for (int k = 0; k < f.focusV.GetHeight(); ++k)
        ASSERT_EQ(k % 2 ? 255 : 0, Px(f.focusV, 0, k)) << k;
    // The strips keep the plain table even when the faces are tinted.
    EXPECT_EQ(128, f.focusH.GetPalette()[0].rgbRed);
    EXPECT_EQ(120, f.focusV.GetPalette()[0].rgbGreen);
    EXPECT_EQ(255, f.normal.GetPalette()[0].rgbRed);
    EXPECT_EQ(0, f.normal.GetPalette()[0].rgbGreen);

    // A button narrower than its focus frame still gets one-pixel strips.
    ASSERT_TRUE(Build(f, 7, 6, 5));
    EXPECT_EQ(1, f.focusH.GetWidth());
    EXPECT_EQ(1, f.focusV.GetHeight());
}

TEST(ShadeFaces, GrainStaysWithinGranularity)
{
    Faces f;
    ASSERT_TRUE(Build(f, 0, 75, 23, 8));
    const std::vector<int> n = Grains(75 * 23, 8);
    int lo = 255, hi = 0;
    for (int j = 0; j < 23; ++j)
        for (int x = 0; x < 75; ++x)
        {
            const int v = Px(f.normal, x, j);
            ASSERT_EQ(128 + n[j * 75 + x], v);
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
    EXPECT_EQ(120, lo);
    EXPECT_LE(hi, 136);
    EXPECT_GE(hi, 135);

    // Only the low 8 bits of the granularity count.
    Faces g;
    ASSERT_TRUE(Build(g, 0, 75, 23, 0x108));
    EXPECT_EQ(0, std::memcmp(f.normal.GetDib(), g.normal.GetDib(), f.normal.GetSize()));
}

TEST(ShadeFaces, RampsRunTheirWayOnScreen)
{
    // Memory row 0 is the bottom row on screen.
    Faces f;
    const int W = 75, H = 23;
    auto topLeft = [&] { return Mean(f.normal, 0, 9, H - 4, H - 1); };
    auto bottomRight = [&] { return Mean(f.normal, W - 10, W - 1, 0, 3); };
    auto top = [&] { return Mean(f.normal, 0, W - 1, H - 3, H - 1); };
    auto bottom = [&] { return Mean(f.normal, 0, W - 1, 0, 2); };
    auto left = [&] { return Mean(f.normal, 0, 9, 0, H - 1); };
    auto right = [&] { return Mean(f.normal, W - 10, W - 1, 0, H - 1); };
    for (UINT style : {1u, 6u})
    {
        ASSERT_TRUE(Build(f, style));
        EXPECT_GT(topLeft(), bottomRight() + 150) << style;
    }
    for (UINT style : {2u, 4u})
    {
        ASSERT_TRUE(Build(f, style));
        EXPECT_GT(top(), bottom() + 150) << style;
        EXPECT_NEAR(left(), right(), 8) << style;
    }
    for (UINT style : {3u, 5u})
    {
        ASSERT_TRUE(Build(f, style));
        EXPECT_GT(left(), right() + 100) << style;
        EXPECT_NEAR(top(), bottom(), 8) << style;
    }
}

TEST(ShadeFaces, Style6ClampsItsBaseToTheGrainMargins)
{
    const int W = 75, H = 23, g = 8;
    Faces f;
    ASSERT_TRUE(Build(f, 6, W, H, g));
    const std::vector<int> n = Grains(W * H, g);
    int lo = 255, hi = 0;
    for (int j = 0; j < H; ++j)
        for (int x = 0; x < W; ++x)
        {
            const int base = Px(f.normal, x, j) - n[j * W + x];
            lo = std::min(lo, base);
            hi = std::max(hi, base);
        }
    EXPECT_EQ(g, lo);
    EXPECT_EQ(255 - g, hi);
    EXPECT_EQ(255 - g, Px(f.normal, 0, H - 1) - n[(H - 1) * W]); // top left on screen
    EXPECT_EQ(g, Px(f.normal, W - 1, 0) - n[W - 1]);              // bottom right
}

TEST(ShadeFaces, Style7EdgeZonesAreLensShaped)
{
    const int W = 75, H = 23, g = 8, r = 12;
    Faces f;
    ASSERT_TRUE(Build(f, 7, W, H, g));
    // First pass: one grain per pixel; second pass: another one.
    const std::vector<int> n = Grains(2 * W * H, g);
    auto first = [&](int x, int j) { return n[j * W + x]; };
    auto second = [&](int x, int j) { return n[W * H + j * W + x]; };
    // What the pixel would be without the edge zones, less its grains.
    auto plain = [&](int x, int j) {
        return (Px(f.normal, x, j) - first(x, j) - second(x, j)) & 0xFF;
    };

    const int mid = H / 2;
    for (int x = r; x < W - r; ++x)
        ASSERT_EQ(plain(r, mid), plain(x, mid)) << x;
    // Zone pixels replace the first pass: brightest at the left edge, falling
    // toward the middle; darkest at the right edge.
    int prev = 256;
    for (int x = 0; x < r; ++x)
    {
        const int v = Px(f.normal, x, mid) - second(x, mid);
        ASSERT_LT(v, prev) << x;
        ASSERT_NE(plain(r, mid), plain(x, mid)) << x;
        prev = v;
    }
    EXPECT_EQ(255 - g, Px(f.normal, 0, mid) - second(0, mid));
    prev = -1;
    for (int x = W - 1; x >= W - r; --x)
    {
        const int v = Px(f.normal, x, mid) - second(x, mid);
        ASSERT_GT(v, prev) << x;
        prev = v;
    }
    EXPECT_LT(Px(f.normal, W - 1, mid) - second(W - 1, mid), 40);

    // At the top and bottom rows the zones shrink to the outermost column.
    for (int j : {0, H - 1})
        for (int x = 1; x < W - 1; ++x)
            ASSERT_EQ(plain(1, j), plain(x, j)) << j << "," << x;
}

TEST(ShadeFaces, HoverAndPressedFacesAreLightenedCopies)
{
    Faces f;
    ASSERT_TRUE(Build(f, 3, 75, 23, 8, 10, 0, RGB(255, 0, 0)));
    const RGBQUAD* normal = f.normal.GetPalette();
    const RGBQUAD* over = f.over.GetPalette();
    for (int i = 0; i < 256; ++i)
    {
        ASSERT_EQ((normal[i].rgbRed * 90 + 255 * 10) / 100, over[i].rgbRed) << i;
        ASSERT_EQ((normal[i].rgbGreen * 90 + 250 * 10) / 100, over[i].rgbGreen) << i;
        ASSERT_EQ((normal[i].rgbBlue * 90 + 245 * 10) / 100, over[i].rgbBlue) << i;
    }
    EXPECT_EQ(0, std::memcmp(f.over.GetDib(), f.down.GetDib(), f.over.GetSize()));
    EXPECT_EQ(0, std::memcmp(f.normal.GetDib(), f.disabled.GetDib(), f.normal.GetSize()));
    EXPECT_EQ(0, std::memcmp(f.normal.GetBits(), f.over.GetBits(), f.normal.GetHeader().biSizeImage));

    // Coloring 0 leaves the table as computed, whatever the colour.
    Faces plain;
    ASSERT_TRUE(Build(plain, 3, 75, 23, 8, 10, 0, 0));
    EXPECT_EQ(0, std::memcmp(plain.normal.GetPalette(), normal, 1024));
    EXPECT_EQ(0, std::memcmp(plain.focusH.GetPalette(), normal, 1024));

    // Only the low 8 bits count: 0x1FF is 255, capped at 100 %.
    Faces tinted;
    ASSERT_TRUE(Build(tinted, 3, 75, 23, 8, 0x100, 0x1FF, RGB(10, 20, 30)));
    for (int i = 0; i < 256; ++i)
    {
        const RGBQUAD& q = tinted.normal.GetPalette()[i];
        ASSERT_TRUE(q.rgbRed == 10 && q.rgbGreen == 20 && q.rgbBlue == 30) << i;
    }
    EXPECT_EQ(0, std::memcmp(tinted.normal.GetPalette(), tinted.over.GetPalette(), 1024));
}

TEST(ShadeFaces, TooSmallButtonsGetNoFacesAndTinyOnesAreSafe)
{
    Faces f;
    ASSERT_TRUE(Build(f, 7));
    EXPECT_FALSE(Build(f, 7, 75, 1));
    for (CDibImage* d : f.All)
        EXPECT_EQ(0, d->IsValid());
    EXPECT_FALSE(Build(f, 8, 0, 23));
    EXPECT_FALSE(Build(f, 8, -5, -5));

    // Every style on the smallest and on odd sizes, under the sanitizers.
    const int sizes[][2] = {{1, 2}, {2, 2}, {5, 3}, {6, 2}, {7, 40}, {40000, 2}, {3, 33000}};
    for (UINT style = 0; style < 10; ++style)
        for (const auto& s : sizes)
        {
            ASSERT_TRUE(Build(f, style, s[0], s[1], 255, 255, 255)) << style;
            ASSERT_EQ(0, std::memcmp(f.normal.GetDib(), f.disabled.GetDib(), f.normal.GetSize()));
        }
}
