// The progress bar of both progress dialogs. It subclasses a standard progress
// control and paints all of it itself: the done part in the highlight colour,
// the rest in the window colour, and a centred text (the percentage, or the
// window text when one is set) that changes colour where it crosses the edge of
// the done part. Range, position and step live here, never in the common
// control; PBM_GETPOS and PBM_GETRANGE, through which screen readers and other
// programs read a bar, are answered from them. The bar repaints only when the
// done part's width in pixels changes, because a repaint per step would slow
// the worker that steps it.
#pragma once
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
    int m_nBarWidth; // done width at the last repaint request; -1: unknown
    COLORREF m_crBar;
    COLORREF m_crBk;
    COLORREF m_crTextOnBk;
    COLORREF m_crTextOnBar;

    BOOL OnEraseBkgnd(CDC* pDC);
    void OnPaint();
    void OnSize(UINT nType, int cx, int cy);
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetText(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetPos(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetRange(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};
