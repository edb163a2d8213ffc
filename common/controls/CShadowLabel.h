// A static text painted wholly by the label: left-aligned, word-wrapped, over
// whatever lies behind it (it never fills its background), with an optional
// shadow drawn first, offset to the lower right.
#pragma once
#include "framework/CStatic.h"
#include "framework/CGdiObject.h"

class CShadowLabel : public CStatic
{
public:
    CShadowLabel();

    // Stores the flag and returns the previous one; the caller repaints.
    int SetShadow(int bShadow);

protected:
    int m_bShadow;
    int m_nShadowDx;
    int m_nShadowDy;
    COLORREF m_crShadow;
    COLORREF m_crText;
    CFont* m_pFont; // null: the control's own font; not owned

    BOOL OnEraseBkgnd(CDC* pDC);
    void OnPaint();

    DECLARE_MESSAGE_MAP()
};
