// A drawing context that paints into a bitmap the size of the target's clip
// box and copies the result to the target in one BitBlt when it is destroyed,
// so that a control repainted many times a second does not flicker. On a
// printer context it draws straight to the target instead.
#pragma once
#include "framework/CDC.h"

class COffscreenDC : public CDC
{
public:
    explicit COffscreenDC(CDC* pDC);
    ~COffscreenDC() override;

private:
    CBitmap m_bitmap;      // compatible with the target, the clip box's size
    CBitmap* m_pOldBitmap; // selected in the memory context before m_bitmap
    CDC* m_pDC;            // the target, not owned
    RECT m_rect;           // clip box of the target, logical coordinates
    BOOL m_bMemDC;         // drawing goes to the bitmap
};
