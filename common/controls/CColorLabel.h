// A static text that the system draws, but in the label's own colour, in the
// default GUI font and on a solid button-face background. All three reach the
// system through the colour request that the parent reflects to the label.
#pragma once
#include "framework/CStatic.h"
#include "framework/CGdiObject.h"

class CColorLabel : public CStatic
{
public:
    CColorLabel();
    ~CColorLabel() override;

    // Stores the colour and repaints the label before returning.
    CColorLabel& SetTextColor(COLORREF crText);

protected:
    COLORREF m_crText;
    CBrush m_bkBrush; // returned for the label's background
    LOGFONTA m_lf;    // the stock default GUI font's description
    CFont m_font;     // made from m_lf

    void PreSubclassWindow() override;
    HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);

    DECLARE_MESSAGE_MAP()
};
