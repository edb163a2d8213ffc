#include "common/ProgramOptions.h"

#include <gtest/gtest.h>

TEST(ProgramOptions, TheUnattendedOptionInEachSpellingAndNoneAtAll)
{
    CProgramOptions options;
    EXPECT_TRUE(ReadProgramOptions("", options));
    EXPECT_FALSE(options.m_bUnattended);
    EXPECT_FALSE(options.m_bLog);
    for (const char* pszArgs : {"/S", "/s", "-S", "-s", "/S\t-s", "  /S  "})
    {
        EXPECT_TRUE(ReadProgramOptions(pszArgs, options)) << pszArgs;
        EXPECT_EQ(TRUE, options.m_bUnattended) << pszArgs;
        EXPECT_FALSE(options.m_bLog) << pszArgs;
    }
}

TEST(ProgramOptions, AnythingElseIsUnknownAndTheOptionBesideItStillCounts)
{
    CProgramOptions options;
    for (const char* pszArgs : {"S", "/SS", "/Silent", "/", "-", "/x", "\\S", "\"/S\"", "/S=1",
                                "/LOGS", "/LOG=", "/LOG=\"\""})
    {
        EXPECT_FALSE(ReadProgramOptions(pszArgs, options)) << pszArgs;
        EXPECT_FALSE(options.m_bUnattended) << pszArgs;
    }
    EXPECT_FALSE(ReadProgramOptions("/x /S", options));
    EXPECT_TRUE(options.m_bUnattended);
    EXPECT_FALSE(ReadProgramOptions("-s extra", options));
    EXPECT_TRUE(options.m_bUnattended);
}

TEST(ProgramOptions, TheLogOptionWithAPathWithoutOneAndBesideTheUnattendedOne)
{
    struct
    {
        const char* pszArgs;
        const char* pszPath;
        BOOL bUnattended;
    } cases[] = {
        {"/LOG", "", FALSE},
        {"-log", "", FALSE},
        {"/S /Log=C:\\diag\\setup.log", "C:\\diag\\setup.log", TRUE},
        {"-LOG=C:\\diag\\setup.log -s", "C:\\diag\\setup.log", TRUE},
        {"/LOG=\"C:\\my logs\\填充.log\" /S", "C:\\my logs\\填充.log", TRUE},
        {"/LOG=C:\\\"two words\"\\x.log", "C:\\two words\\x.log", FALSE},
    };
    for (const auto& c : cases)
    {
        CProgramOptions options;
        EXPECT_TRUE(ReadProgramOptions(c.pszArgs, options)) << c.pszArgs;
        EXPECT_TRUE(options.m_bLog) << c.pszArgs;
        EXPECT_EQ(CString(c.pszPath), options.m_strLogPath) << c.pszArgs;
        EXPECT_EQ(c.bUnattended, options.m_bUnattended) << c.pszArgs;
    }
}
