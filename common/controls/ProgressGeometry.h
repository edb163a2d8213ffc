// The arithmetic of the percentage bar: how much of the client width the done
// part fills and which percentage the bar shows. Both follow from the same
// fraction, so the width that decides a repaint is the width that is painted.
#pragma once
#include "framework/CString.h"
#include "framework/wintypes.h"

// (nPos - nLower) / (nUpper - nLower): the differences are 32-bit integer
// differences (wrapping as the machine's do), the quotient is a double. An
// empty range gives an infinite or NaN fraction, which the conversions below
// turn into a defined integer.
double ProgressFraction(int nPos, int nLower, int nUpper);

// Truncation toward zero that saturates at the ends of int; NaN gives 0.
int TruncToInt(double dValue);

// Filled width in pixels: trunc(fraction * nWidth). Positions are not clamped,
// so a position past either end gives a width beyond the client area.
int ProgressBarWidth(int nPos, int nLower, int nUpper, int nWidth);

// The percentage text, "%d%%" of trunc(fraction * 100).
CString ProgressPercentText(int nPos, int nLower, int nUpper);

// Splits the client rectangle at rc.left + nBarWidth into the done part and the rest.
void SplitProgressRect(const RECT& rc, int nBarWidth, RECT* pBar, RECT* pRest);
