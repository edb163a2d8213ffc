#include "common/controls/ShadeFaces.h"

#include <algorithm>
#ifdef _WIN32
#include <cstdlib>
#endif

#ifdef _WIN32
int CRuntimeRandom::Rand()
{
    return rand();
}
#else
int CRuntimeRandom::Rand()
{
    // The run-time library keeps one unseeded state per thread.
    thread_local CReplicaRandom s_threadRandom;
    return s_threadRandom.Rand();
}
#endif

int CReplicaRandom::Rand()
{
    m_nState = m_nState * 214013u + 2531011u;
    return (int)((m_nState >> 16) & 0x7FFF);
}

void SetShadePalette(CDibImage& dib, const ShadeSysColors& colors)
{
    const int lo[3] = {GetRValue(colors.crShadow), GetGValue(colors.crShadow),
                       GetBValue(colors.crShadow)};
    const int mid[3] = {GetRValue(colors.crFace), GetGValue(colors.crFace),
                        GetBValue(colors.crFace)};
    const int hi[3] = {GetRValue(colors.crHighlight), GetGValue(colors.crHighlight),
                       GetBValue(colors.crHighlight)};
    int c[3];
    // Shadow up to the face colour...
    for (int i = 0; i <= 128; ++i)
    {
        for (int k = 0; k < 3; ++k)
            c[k] = (lo[k] * (128 - i) + mid[k] * i) / 128;
        dib.SetPaletteEntry(i, c[0], c[1], c[2]);
    }
    // ...then the face colour up to the highlight; entry 128 is written again.
    for (int j = 1; j <= 128; ++j)
    {
        for (int k = 0; k < 3; ++k)
            c[k] = (mid[k] * (128 - j) + hi[k] * j) / 128;
        dib.SetPaletteEntry(127 + j, c[0], c[1], c[2]);
    }
}

void FillFocusStrips(CDibImage& focusH, CDibImage& focusV)
{
    if (BYTE* bits = focusH.GetBits())
        for (int x = 0; x < focusH.GetWidth(); ++x)
            bits[x] = (x & 1) ? 255 : 0;
    if (BYTE* bits = focusV.GetBits())
        for (int k = 0; k < focusV.GetHeight(); ++k)
            bits[(DWORD)k * focusV.GetRowBytes()] = (k & 1) ? 255 : 0;
}

namespace
{
// Arithmetic is done in 64 bits so that no window size can overflow it; every
// division truncates toward zero and every pixel keeps the low 8 bits.
typedef long long Num;

Num Cube(Num v)
{
    return v * v * v / 16384;
}

class CFaceWriter
{
public:
    CFaceWriter(CDibImage& dib, int granularity, CRandomSource& rnd)
        : W(dib.GetWidth()), H(dib.GetHeight()), g(granularity & 0xFF),
          K(32767 / std::max(1, 2 * (granularity & 0xFF))), m_dib(dib), m_pBits(dib.GetBits()),
          m_nRow(dib.GetRowBytes()), m_rnd(rnd)
    {
    }

    // Pixel at column x of memory row j (row 0 is the bottom row on screen).
    BYTE& At(Num x, Num j) { return m_pBits[(DWORD)j * m_nRow + (DWORD)x]; }
    // One call of the generator, scaled to 0..2g.
    Num Raw() { return m_rnd.Rand() / K; }
    // The grain, about -g to +g.
    Num Grain() { return Raw() - g; }
    void Set(int x, int j, Num v) { At(x, j) = (BYTE)(unsigned long long)v; }
    void Add(int x, int j, Num v) { At(x, j) = (BYTE)(At(x, j) + (unsigned long long)v); }

    // The base value plus grain, rows from the bottom, each left to right.
    template <class Base> void ByRows(Base base)
    {
        for (int j = 0; j < H; ++j)
            for (int x = 0; x < W; ++x)
                Set(x, j, base((Num)x, (Num)j) + Grain());
    }
    // The same, columns from the left, each from the bottom row up.
    template <class Base> void ByColumns(Base base)
    {
        for (int x = 0; x < W; ++x)
            for (int j = 0; j < H; ++j)
                Set(x, j, base((Num)x, (Num)j) + Grain());
    }

    void Strokes();
    void EdgeLenses();

    const Num W, H, g, K;

private:
    CDibImage& m_dib;
    BYTE* m_pBits;
    DWORD m_nRow;
    CRandomSource& m_rnd;
};

// Style 8: 200 short diagonal strokes of dark values over a diagonal ramp.
void CFaceWriter::Strokes()
{
    m_dib.Fill(0);
    const Num dx = std::max<Num>(1, 32767 / W);
    const Num dy = std::max<Num>(1, 32767 / H);
    const Num m = std::min(W, H);
    const Num dm = std::max<Num>(1, 32767 / m);
    for (int i = 0; i < 200; ++i)
    {
        const Num x0 = m_rnd.Rand() / dx;
        const Num y0 = m_rnd.Rand() / dy;
        const Num len = (m_rnd.Rand() / dm) / 2;
        const int s = m_rnd.Rand() / 819;
        for (Num k = 0; k < len; ++k)
        {
            // SetPixelIndex counts y from the top and ignores points outside.
            if (x0 - k > 0 && y0 + k < H)
                m_dib.SetPixelIndex((int)(x0 - k), (int)(y0 + k), s);
            if (x0 + k < W && y0 - k > 0)
                m_dib.SetPixelIndex((int)(W - x0 + k), (int)(y0 - k), s);
        }
    }
    const Num a = (255 - 2 * g - 40) / 2;
    for (int j = 0; j < H; ++j)
        for (int x = 0; x < W; ++x)
        {
            Add(x, j, a * (W - x) / W + a * (Num)j / H);
            Add(x, j, Raw());
        }
}

// Style 7's second pass: lens-shaped zones at the left and right edges, about
// r pixels wide at the middle row and narrowing toward the top and bottom.
void CFaceWriter::EdgeLenses()
{
    const Num r = std::min<Num>(16, W / 6);
    const Num h = H / 2;
    const Num q = H * H / 4;
    const Num w2 = W / 2;
    for (int j = 0; j < H; ++j)
    {
        const Num t = q > 0 ? r * (j - h) * (j - h) / q - r + w2 : w2;
        for (int x = 0; x < W; ++x)
        {
            const Num d = x - w2;
            if (r > 0 && d > t)
                Set(x, j, 128 * (W - x) / r + g);
            if (r > 0 && t + d < 0)
                Set(x, j, (255 - g) - 128 * (Num)x / r);
            Add(x, j, Grain());
        }
    }
}
} // namespace

void FillShadeFace(CDibImage& dib, UINT style, int granularity, CRandomSource& rnd)
{
    if (!dib.IsValid() || dib.GetHeader().biBitCount != 8 || dib.GetWidth() < 1 ||
        dib.GetHeight() < 1)
        return;
    CFaceWriter f(dib, granularity, rnd);
    const Num W = f.W, H = f.H, g = f.g;
    auto cy = [&](Num j) { return 255 * j / H - 127; };
    auto cx = [&](Num x) { return 255 * (W - x) / W - 127; };

    switch (style)
    {
    case 1:
    {
        const Num a = (255 - 2 * g) / 2;
        f.ByRows([&](Num x, Num j) { return a * (W - x) / W + a * j / H + g; });
        break;
    }
    case 2:
    {
        const Num b = 255 - 2 * g;
        f.ByRows([&](Num, Num j) { return b * j / H + g; });
        break;
    }
    case 3:
    {
        const Num b = 255 - 2 * g;
        f.ByColumns([&](Num x, Num) { return b * (W - x) / W + g; });
        break;
    }
    case 4:
        f.ByRows([&](Num, Num j) { return Cube(cy(j)) * (128 - g) / 128 + 128; });
        break;
    case 5:
        f.ByColumns([&](Num x, Num) { return Cube(cx(x)) * (128 - g) / 128 + 128; });
        break;
    case 6:
        f.ByRows(
            [&](Num x, Num j)
            {
                Num v = (Cube(cy(j)) + Cube(cx(x))) * (128 - g) / 128 + 128;
                if (v < g)
                    v = g;
                if (v > 255 - g)
                    v = 255 - g;
                return v;
            });
        break;
    case 7:
        f.ByRows([&](Num, Num j) { return Cube(cy(j)) * (64 - g) * 2 / 128 + 128; });
        f.EdgeLenses();
        break;
    case 8:
        f.Strokes();
        break;
    default:
        f.ByRows([](Num, Num) { return (Num)128; });
        break;
    }
}

BOOL BuildShadeFaces(const ShadeFaceSet& faces, int width, int height, int focusOffset,
                     const ShadeParams& params, const ShadeSysColors& colors, CRandomSource& rnd)
{
    CDibImage* const all[] = {faces.pNormal, faces.pDown,   faces.pDisabled,
                              faces.pOver,   faces.pFocusH, faces.pFocusV};
    // The shading divides by the height squared over 4 and by the width:
    // smaller buttons keep no faces and draw the plain button face instead.
    if (width < 1 || height < 2)
    {
        for (CDibImage* p : all)
            p->Release();
        return FALSE;
    }
    const int o = focusOffset;
    faces.pFocusH->Create(std::max(1, width - 2 * o - 1), 1, 8);
    faces.pFocusV->Create(1, std::max(1, height - 2 * o), 8);
    if (!faces.pNormal->Create(width, height, 8))
    {
        for (CDibImage* p : all)
            p->Release();
        return FALSE;
    }

    SetShadePalette(*faces.pNormal, colors);
    SetShadePalette(*faces.pFocusH, colors);
    SetShadePalette(*faces.pFocusV, colors);
    faces.pNormal->BlendPalette(params.crColor, params.nColoring & 0xFF);
    FillFocusStrips(*faces.pFocusH, *faces.pFocusV);
    FillShadeFace(*faces.pNormal, params.nStyle, params.nGranularity, rnd);

    faces.pDisabled->CopyFrom(*faces.pNormal);
    faces.pOver->CopyFrom(*faces.pNormal);
    faces.pOver->BlendPalette(colors.crHighlight, params.nHighlight & 0xFF);
    faces.pDown->CopyFrom(*faces.pOver);
    return TRUE;
}
