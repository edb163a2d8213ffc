// The progress bar of both progress dialogs. It subclasses a standard progress
// control and paints all of it itself: the done part in the highlight colour,
// the rest in the window colour, and a centred text (the percentage, or the
// window text when one is set) that changes colour where it crosses the edge of
// the done part. Range, position and step live here, never in the common
// control; PBM_GETPOS and PBM_GETRANGE, through which screen readers and other
// programs read a bar, are answered from them. The bar is drawn again only
// when the done part's width in pixels changes, because a drawing per step
// would slow the worker that steps it; it is then drawn at once, straight onto
// the screen, rather than invalidated and painted through WM_PAINT, whose
// requests to the window system cost many times the drawing itself.
#pragma once
#include "common/controls/COffscreenDC.h"
#include "framework/CProgressCtrl.h"

class CPercentProgressCtrl : public CProgressCtrl
{
public:
    CPercentProgressCtrl();

    // Stores both ends; neither repaints nor forgets the painted width.
    void SetRange(int nLower, int nUpper);
    // Returns the previous position, or -1 (storing nothing) without a window.
    int SetPos(int nPos);
    int StepIt();
    void SetStep(int nStep);
    // Invalidates only a live control whose flag changes; stores the flag always.
    void SetShowText(int bShow);

protected:
    int m_nPos;
    int m_nStep;
    int m_nUpper;
    int m_nLower;
    CString m_strText; // drawn instead of the percentage when not empty
    int m_bShowText;
    int m_nBarWidth; // done width at the last position set; -1: unknown
    // What the last drawing showed: the visible part of the done width (-1:
    // unknown) and the text (empty when none).
    int m_nDrawnWidth;
    CString m_strDrawnText;
    COLORREF m_crBar;
    COLORREF m_crBk;
    COLORREF m_crTextOnBk;
    COLORREF m_crTextOnBar;
    COffscreenBuffer m_offscreen; // the paints' memory context, kept between paints

    // The whole bar, through the offscreen buffer, onto pTarget.
    void Draw(CDC* pTarget);
    // The text the bar shows now: the window text, else the percentage; empty
    // when the text is switched off.
    CString ShownText() const;
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnPaint();
    void OnSize(UINT nType, int cx, int cy);
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetText(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetPos(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetRange(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};
