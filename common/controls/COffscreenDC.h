// A drawing context that paints into a bitmap at least the size of the
// target's clip box and copies the result to the target in one BitBlt when it
// is destroyed, so that a control repainted many times a second does not
// flicker. The memory context and its bitmap are kept by the control in a
// COffscreenBuffer from one paint to the next: making them anew for each paint
// cost more than all the drawing. On a printer context it draws straight to the
// target instead.
#pragma once
#include "framework/CDC.h"

// The memory context and bitmap a control's offscreen drawing reuses; made on
// the first paint and made anew only when a larger bitmap is needed.
class COffscreenBuffer
{
public:
    COffscreenBuffer() = default;
    ~COffscreenBuffer();
    COffscreenBuffer(const COffscreenBuffer&) = delete;
    COffscreenBuffer& operator=(const COffscreenBuffer&) = delete;

    // The memory context, with a bitmap compatible with pTarget of at least
    // cx by cy pixels selected; NULL when none can be made.
    HDC Prepare(CDC* pTarget, int cx, int cy);
    void Release();

private:
    HDC m_hDC = NULL;
    HBITMAP m_hBitmap = NULL;
    HGDIOBJ m_hOldBitmap = NULL; // selected in the memory context before m_hBitmap
    int m_cx = 0;
    int m_cy = 0;
};

class COffscreenDC : public CDC
{
public:
    COffscreenDC(CDC* pDC, COffscreenBuffer& buffer);
    ~COffscreenDC() override;

private:
    CDC* m_pDC;    // the target, not owned
    RECT m_rect;   // clip box of the target, logical coordinates
    BOOL m_bMemDC; // drawing goes to the buffer's bitmap
};
