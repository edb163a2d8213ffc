// The faces of the shaded button, computed from their inputs alone: the colour
// table between the system's 3-D colours, the dotted focus strips and the
// nine shading styles with their random grain. The button gathers the window
// size and the system colours and hands them in.
#pragma once
#include "common/controls/CDibImage.h"
#include "framework/wintypes.h"

// A source of pseudo-random numbers from 0 to 32767 for the grain.
class CRandomSource
{
public:
    virtual ~CRandomSource() {}
    virtual int Rand() = 0;
};

// The calling thread's generator of the run-time library, never seeded, so
// that a face is the same on every run. On Windows this is rand() itself; the
// host build replays the same sequence with a per-thread state of its own.
class CRuntimeRandom : public CRandomSource
{
public:
    int Rand() override;
};

// A private generator with the run-time library's sequence from its unseeded
// start: state 1, state = state * 214013 + 2531011, result bits 16 to 30.
class CReplicaRandom : public CRandomSource
{
public:
    CReplicaRandom() : m_nState(1) {}
    int Rand() override;

private:
    DWORD m_nState;
};

// The system colours the faces are made of.
struct ShadeSysColors
{
    COLORREF crShadow;    // COLOR_BTNSHADOW: colour-table entry 0
    COLORREF crFace;      // COLOR_BTNFACE: about entry 127
    COLORREF crHighlight; // COLOR_BTNHIGHLIGHT: entry 255
};

// What the caller asks for; only the low 8 bits of the three percentages and
// of the granularity count.
struct ShadeParams
{
    UINT nStyle;      // 1 to 8, anything else is plain grain
    int nGranularity; // grain amplitude, 0 to 255
    int nHighlight;   // percent by which the hover and pressed faces lighten
    int nColoring;    // percent by which the faces are tinted toward crColor
    COLORREF crColor;
};

// The six images one button draws with.
struct ShadeFaceSet
{
    CDibImage* pNormal;
    CDibImage* pDown;
    CDibImage* pDisabled;
    CDibImage* pOver;
    CDibImage* pFocusH; // one pixel high: top and bottom of the focus frame
    CDibImage* pFocusV; // one pixel wide: left and right of the focus frame
};

// Writes the 256-entry ramp shadow -> face -> highlight into dib's colour table.
void SetShadePalette(CDibImage& dib, const ShadeSysColors& colors);

// Alternating entries 0 and 255 along each strip (x from the left for the
// horizontal strip, rows from the bottom for the vertical one).
void FillFocusStrips(CDibImage& focusH, CDibImage& focusV);

// Fills the pixels of an 8-bit image with one shading style, drawing the
// grain from rnd in the style's walk order.
void FillShadeFace(CDibImage& dib, UINT style, int granularity, CRandomSource& rnd);

// Builds all six images for a button of width x height pixels whose focus
// frame lies focusOffset pixels inside its edges. A button narrower than 1 or
// lower than 2 pixels gets no faces (all six images empty), and so does one
// whose rest face cannot be allocated; the result is then FALSE.
BOOL BuildShadeFaces(const ShadeFaceSet& faces, int width, int height, int focusOffset,
                     const ShadeParams& params, const ShadeSysColors& colors, CRandomSource& rnd);
