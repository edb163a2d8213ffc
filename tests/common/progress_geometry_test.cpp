#include "common/ProgressGeometry.h"

#include <gtest/gtest.h>
#include <climits>
#include <string>

static std::string Percent(int nPos, int nLower, int nUpper)
{
    return (LPCTSTR)ProgressPercentText(nPos, nLower, nUpper);
}

TEST(ProgressGeometry, WidthAndTextFollowTheTruncatedFraction)
{
    EXPECT_EQ(0, ProgressBarWidth(0, 0, 100, 100));
    EXPECT_EQ("0%", Percent(0, 0, 100));
    EXPECT_EQ(66, ProgressBarWidth(2, 0, 3, 100));
    EXPECT_EQ("66%", Percent(2, 0, 3));
    EXPECT_EQ(100, ProgressBarWidth(3, 0, 3, 100));
    EXPECT_EQ("100%", Percent(3, 0, 3));
    // A range that does not start at zero.
    EXPECT_EQ(150, ProgressBarWidth(0, -50, 50, 300));
    EXPECT_EQ("50%", Percent(0, -50, 50));
}

TEST(ProgressGeometry, PositionsOutsideTheRangeAreNotClamped)
{
    EXPECT_EQ(110, ProgressBarWidth(11, 0, 10, 100));
    EXPECT_EQ("110%", Percent(11, 0, 10));
    // Truncation goes toward zero, not down.
    EXPECT_EQ(-66, ProgressBarWidth(-2, 0, 3, 100));
    EXPECT_EQ("-66%", Percent(-2, 0, 3));
}

TEST(ProgressGeometry, DividesBeforeMultiplyingInDoublePrecision)
{
    // 29 / 100 * 100 is 28.999999999999996 in double precision; integer
    // arithmetic, or multiplying first, would give 29.
    EXPECT_EQ(28, ProgressBarWidth(29, 0, 100, 100));
    EXPECT_EQ("28%", Percent(29, 0, 100));
    EXPECT_EQ(57, ProgressBarWidth(58, 0, 100, 100));
}

TEST(ProgressGeometry, DegenerateRangesGiveDefinedNumbers)
{
    // An empty range divides by zero: NaN becomes 0, infinities saturate.
    EXPECT_EQ(0, ProgressBarWidth(5, 5, 5, 100));
    EXPECT_EQ("0%", Percent(5, 5, 5));
    EXPECT_EQ(INT_MAX, ProgressBarWidth(6, 5, 5, 100));
    EXPECT_EQ(INT_MIN, ProgressBarWidth(4, 5, 5, 100));
    // An inverted range still gives the plain quotient.
    EXPECT_EQ(50, ProgressBarWidth(5, 10, 0, 100));
    // Products beyond int saturate instead of overflowing.
    EXPECT_EQ(INT_MAX, ProgressBarWidth(INT_MAX, 0, 1, 1000));
    EXPECT_EQ(std::to_string(INT_MAX) + "%", Percent(INT_MAX, 0, 1));
    // The differences wrap as 32-bit subtractions: INT_MAX - (-1) is INT_MIN,
    // and so is the range's, so the bar is exactly full.
    EXPECT_EQ(100, ProgressBarWidth(INT_MAX, -1, INT_MAX, 100));
}

TEST(ProgressGeometry, SplitsTheClientRectangleAtTheEdge)
{
    const RECT rc = {10, 5, 110, 25};
    RECT rcBar, rcRest;
    SplitProgressRect(rc, 66, &rcBar, &rcRest);
    EXPECT_EQ(10, rcBar.left);
    EXPECT_EQ(76, rcBar.right);
    EXPECT_EQ(76, rcRest.left);
    EXPECT_EQ(110, rcRest.right);
    EXPECT_EQ(5, rcBar.top);
    EXPECT_EQ(25, rcRest.bottom);

    // Past the end the bar reaches beyond the client area and the rest is empty.
    SplitProgressRect(rc, 110, &rcBar, &rcRest);
    EXPECT_EQ(120, rcBar.right);
    EXPECT_GE(rcRest.left, rcRest.right);

    // A saturated width does not overflow the edge.
    SplitProgressRect(rc, INT_MAX, &rcBar, &rcRest);
    EXPECT_EQ(INT_MAX, rcBar.right);
}
