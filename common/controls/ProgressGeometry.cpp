#include "common/controls/ProgressGeometry.h"

#include <climits>
#include <cmath>

namespace
{
// A 32-bit difference with the wrap-around of the machine instruction, without
// the undefined behaviour of a signed overflow in C++.
int WrappingDifference(int a, int b)
{
    return (int)(unsigned)((unsigned)a - (unsigned)b);
}
} // namespace

double ProgressFraction(int nPos, int nLower, int nUpper)
{
    return (double)WrappingDifference(nPos, nLower) / (double)WrappingDifference(nUpper, nLower);
}

int TruncToInt(double dValue)
{
    if (std::isnan(dValue))
        return 0;
    if (dValue >= (double)INT_MAX)
        return INT_MAX;
    if (dValue <= (double)INT_MIN)
        return INT_MIN;
    return (int)dValue;
}

int ProgressBarWidth(int nPos, int nLower, int nUpper, int nWidth)
{
    return TruncToInt(ProgressFraction(nPos, nLower, nUpper) * (double)nWidth);
}

CString ProgressPercentText(int nPos, int nLower, int nUpper)
{
    CString str;
    str.Format("%d%%", TruncToInt(ProgressFraction(nPos, nLower, nUpper) * 100.0));
    return str;
}

void SplitProgressRect(const RECT& rc, int nBarWidth, RECT* pBar, RECT* pRest)
{
    *pBar = rc;
    *pRest = rc;
    // The edge itself may lie beyond the client area; GDI clips what lies outside.
    long long edge = (long long)rc.left + nBarWidth;
    if (edge > INT_MAX)
        edge = INT_MAX;
    if (edge < INT_MIN)
        edge = INT_MIN;
    pBar->right = (LONG)edge;
    pRest->left = (LONG)edge;
}
