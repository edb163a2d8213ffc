#include "common/UnattendedOptions.h"

#include <gtest/gtest.h>

TEST(UnattendedOptions, TheOptionInEachSpellingAndNoneAtAll)
{
    BOOL bUnattended = 2;
    EXPECT_TRUE(ReadUnattendedOptions("", bUnattended));
    EXPECT_FALSE(bUnattended);
    for (const char* pszArgs : {"/S", "/s", "-S", "-s", "/S\t-s", "  /S  "})
    {
        bUnattended = 2;
        EXPECT_TRUE(ReadUnattendedOptions(pszArgs, bUnattended)) << pszArgs;
        EXPECT_EQ(TRUE, bUnattended) << pszArgs;
    }
}

TEST(UnattendedOptions, AnythingElseIsUnknownAndTheOptionBesideItStillCounts)
{
    BOOL bUnattended = 2;
    for (const char* pszArgs : {"S", "/SS", "/Silent", "/", "-", "/x", "\\S", "\"/S\""})
    {
        EXPECT_FALSE(ReadUnattendedOptions(pszArgs, bUnattended)) << pszArgs;
        EXPECT_FALSE(bUnattended) << pszArgs;
    }
    EXPECT_FALSE(ReadUnattendedOptions("/x /S", bUnattended));
    EXPECT_TRUE(bUnattended);
    EXPECT_FALSE(ReadUnattendedOptions("-s extra", bUnattended));
    EXPECT_TRUE(bUnattended);
}
