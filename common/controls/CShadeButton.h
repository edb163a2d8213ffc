// An owner-drawn button whose face is a generated 256-colour image: a shaded
// gradient or pattern in the system's 3-D colours with random grain. It shows
// a lighter face while the mouse is over it, a sunken face shifted by one pixel
// while pressed or checked, an engraved caption when disabled and a dotted
// focus frame, and it can act as a check box or a radio button.
#pragma once
#include "common/controls/CDibImage.h"
#include "framework/CButton.h"

class CDC;

// Posted by a radio button that becomes checked to the other controls of its group.
#define UM_GROUP_UNCHECK 0x0500

class CShadeButton : public CButton
{
public:
    CShadeButton();

    // Kinds of button, from the window style when it is subclassed.
    enum
    {
        kindPushButton = 0,
        kindCheckBox = 2,
        kindRadioButton = 4
    };

    // Builds the six face images for the window's current size. Only the low
    // 8 bits of granularity, highlight and coloring count.
    void SetShade(UINT style, int granularity = 8, int highlight = 10, int coloring = 0,
                  COLORREF colour = 0);

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

protected:
    void PreSubclassWindow() override;

    BOOL OnEraseBkgnd(CDC* pDC);
    void OnLButtonDown(UINT nFlags, POINT point);
    void OnLButtonUp(UINT nFlags, POINT point);
    void OnMouseMove(UINT nFlags, POINT point);
    LRESULT OnLButtonDblClk(WPARAM wParam, LPARAM lParam);
    void OnKillFocus(HWND hNewWnd);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    LRESULT OnGroupUncheck(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetCheck(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetCheck(WPARAM wParam, LPARAM lParam);

    // Ends leave-tracking (bCancel) or asks for WM_MOUSELEAVE.
    BOOL TrackLeave(BOOL bCancel);
    // The check box toggles, the radio button checks itself.
    void ToggleCheck();

    // TRUE when the pushed state was brought in step with the held pointer,
    // which asks for a drawing of its own.
    BOOL FollowPointer();
    // Whether the state shows the sunken face: pressed or checked, and enabled.
    bool ShowsDown(UINT state) const;
    // The four layers of a drawing, in the order they are painted; state is the
    // item state of the drawing request.
    void DrawFace(CDC& dc, const RECT& rc, UINT state) const;
    // Draws the edges for the state; rc shrinks by what the edges take.
    void DrawEdges(CDC& dc, RECT& rc, UINT state) const;
    void DrawFocus(CDC& dc, RECT rc, UINT state) const;
    void DrawCaption(CDC& dc, RECT rt, UINT state) const;

    bool m_bChecked;
    bool m_bPushLike;
    int m_nCheckType;
    CDibImage m_dNormal;
    CDibImage m_dDown;
    CDibImage m_dDisabled;
    CDibImage m_dOver;
    CDibImage m_dFocusH;
    CDibImage m_dFocusV;
    bool m_bOver;
    bool m_bLButtonDown;
    short m_nFocusRectOffset;
    COLORREF m_crText;
    int m_bBorder;
    UINT m_nTextAlign;
    bool m_bFlat;

    DECLARE_MESSAGE_MAP()
};
