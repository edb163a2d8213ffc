#include "setup/AcadSupportPathRule.h"

#include <gtest/gtest.h>

namespace
{
const CString kInstallDir = "C:\\Program Files\\Quorvatek\\Tessora\\";
const CString kEntry = "C:\\Program Files\\Quorvatek\\Tessora\\HatchPat\\;";

CString Decide(const CString& strCurrent, BOOL* pbWrite)
{
    CString strNew = "stale";
    *pbWrite = SupportPathWithEntry(strCurrent, kEntry, strNew);
    return strNew;
}
} // namespace

TEST(SupportPath, EntryIsInstallFolderPatternFolderBackslashSemicolon)
{
    EXPECT_EQ(PatternFolderEntry(kInstallDir), kEntry);
    // A folder whose last character has 0x5C as its trail byte keeps every byte.
    EXPECT_EQ(PatternFolderEntry("D:\\\xCC\xEE\xB3\xE4\x95\x5C\\"),
              CString("D:\\\xCC\xEE\xB3\xE4\x95\x5C\\HatchPat\\;"));
}

TEST(SupportPath, ValueHoldingTheEntryIsLeftAlone)
{
    for (CString strCurrent :
         {kEntry, "X:\\a;" + kEntry, kEntry + "X:\\a;", "X:\\a;" + kEntry + "Y:\\b"})
    {
        BOOL bWrite = TRUE;
        Decide(strCurrent, &bWrite);
        EXPECT_FALSE(bWrite) << (LPCTSTR)strCurrent;
    }
}

TEST(SupportPath, EntryGoesInFrontOfAnythingThatIsNotTheExactEntry)
{
    const CString cases[] = {
        "",
        "D:\\Fonts;E:\\Support",
        // The same folder in another letter case, without its backslash, or last
        // without the semicolon does not count.
        "c:\\program files\\quorvatek\\tessora\\hatchpat\\;",
        "C:\\Program Files\\Quorvatek\\Tessora\\HatchPat;",
        "D:\\Fonts;C:\\Program Files\\Quorvatek\\Tessora\\HatchPat\\",
        // The entry's bytes starting on the trail byte 0x43 ('C') of a
        // double-byte character are no match.
        "\x81" + kEntry,
    };
    for (const CString& strCurrent : cases)
    {
        BOOL bWrite = FALSE;
        CString strNew = Decide(strCurrent, &bWrite);
        EXPECT_TRUE(bWrite) << (LPCTSTR)strCurrent;
        EXPECT_EQ(strNew, kEntry + strCurrent);
    }
}

TEST(SupportPath, NewValueLongerThanTheWriteLimitIsNeverWrittenNorCut)
{
    BOOL bWrite = FALSE;
    CString strFits('a', SUPPORT_PATH_MAX_LENGTH - kEntry.GetLength());
    EXPECT_EQ(Decide(strFits, &bWrite).GetLength(), 2047);
    EXPECT_TRUE(bWrite);

    CString strNew = Decide(strFits + "a", &bWrite);
    EXPECT_FALSE(bWrite);
    EXPECT_TRUE(strNew.IsEmpty());
}
