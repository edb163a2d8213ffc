#include "common/controls/ProgressGeometry.h"

#include <gtest/gtest.h>
#include <climits>
#include <string>

static std::string Percent(int nPos, int nLower, int nUpper)
{
    return (LPCTSTR)ProgressPercentText(nPos, nLower, nUpper);
}

TEST(ProgressGeometry, WidthAndTextTruncateTheFractionWithoutClamping)
{
    EXPECT_EQ(66, ProgressBarWidth(2, 0, 3, 100));
    EXPECT_EQ("66%", Percent(2, 0, 3));
    EXPECT_EQ(150, ProgressBarWidth(0, -50, 50, 300));
    EXPECT_EQ("50%", Percent(0, -50, 50));
    EXPECT_EQ(110, ProgressBarWidth(11, 0, 10, 100));
    EXPECT_EQ("110%", Percent(11, 0, 10));
    // Toward zero, not down.
    EXPECT_EQ(-66, ProgressBarWidth(-2, 0, 3, 100));
    // Division first, in double precision: 29 / 100 * 100 is just under 29.
    EXPECT_EQ(28, ProgressBarWidth(29, 0, 100, 100));
    EXPECT_EQ("28%", Percent(29, 0, 100));
}

TEST(ProgressGeometry, DegenerateInputsGiveDefinedNumbers)
{
    // An empty range: NaN gives 0, the infinities saturate.
    EXPECT_EQ(0, ProgressBarWidth(5, 5, 5, 100));
    EXPECT_EQ(INT_MAX, ProgressBarWidth(6, 5, 5, 100));
    EXPECT_EQ(INT_MIN, ProgressBarWidth(4, 5, 5, 100));
    EXPECT_EQ(std::to_string(INT_MAX) + "%", Percent(INT_MAX, 0, 1));
    // Both differences wrap to INT_MIN as 32-bit subtractions: exactly full.
    EXPECT_EQ(100, ProgressBarWidth(INT_MAX, -1, INT_MAX, 100));

    const RECT rc = {10, 5, 110, 25};
    RECT rcBar, rcRest;
    SplitProgressRect(rc, 66, &rcBar, &rcRest);
    EXPECT_EQ(76, rcBar.right);
    EXPECT_EQ(76, rcRest.left);
    EXPECT_EQ(10, rcBar.left);
    EXPECT_EQ(110, rcRest.right);
    SplitProgressRect(rc, INT_MAX, &rcBar, &rcRest);
    EXPECT_EQ(INT_MAX, rcBar.right);
}
