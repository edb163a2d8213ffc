#include "framework/CString.h"
#include "framework/CStringArray.h"
#include "support/Bytes.h"

#include <gtest/gtest.h>
#include <string>

namespace
{
// Code page 936 characters whose trail byte is 0x5C, the backslash.
#define CHENG "\xD5\x5C" // 誠
#define QIAN "\x9C\x5C"  // 淺

} // namespace

TEST(CString, EmbeddedNulBytesSurviveCopyConcatenationAndSlicing)
{
    CString s("a\0b", 3);
    EXPECT_EQ(3, s.GetLength());
    CString t = s + CString("\0c", 2);
    EXPECT_EQ(std::string("a\0b\0c", 5), Bytes(t));
    EXPECT_EQ(std::string("b\0c", 3), Bytes(t.Mid(2)));
    EXPECT_EQ(std::string("a\0", 2), Bytes(t.Left(2)));
    EXPECT_EQ(3, t.Find('\0', 2));
    EXPECT_EQ(4, t.Find("c"));
}

TEST(CString, SearchesStepOverDoubleByteCharactersWithBackslashTrail)
{
    // C:\誠\淺x.txt: the only real backslashes are at 2 and 5.
    CString path("C:\\" CHENG "\\" QIAN "x.txt");
    ASSERT_EQ(13, path.GetLength());
    EXPECT_EQ(5, path.ReverseFind('\\'));
    EXPECT_EQ(2, path.Find('\\'));
    EXPECT_EQ(5, path.Find('\\', 3));
    // A start on the trail byte of 誠 does not make that byte a backslash.
    EXPECT_EQ(5, path.Find('\\', 4));
    EXPECT_EQ(-1, path.Find('\\', 6));
    EXPECT_EQ(-1, path.Find("\\x"));
    EXPECT_EQ(6, path.Find(QIAN "x"));
    EXPECT_EQ(-1, CString(CHENG).ReverseFind('\\'));
    EXPECT_EQ(-1, CString(CHENG QIAN).Find("\\"));
}

TEST(CString, FindOutsideTheTextAndEmptyPatterns)
{
    CString s("abcabc");
    EXPECT_EQ(3, s.Find("abc", 1));
    EXPECT_EQ(-1, s.Find("abc", 4));
    EXPECT_EQ(-1, s.Find("a", 7));
    EXPECT_EQ(-1, s.Find('a', 100));
    EXPECT_EQ(0, s.Find("abc", -5));
    EXPECT_EQ(-1, s.Find((LPCTSTR)NULL));
    EXPECT_EQ(-1, CString().Find('a'));
    EXPECT_EQ(-1, CString().ReverseFind('a'));
}

TEST(CString, LeftMidRightClampToTheText)
{
    CString s("Tessora");
    EXPECT_EQ("Tes", Bytes(s.Left(3)));
    EXPECT_EQ("", Bytes(s.Left(-1)));
    EXPECT_EQ("Tessora", Bytes(s.Left(99)));
    EXPECT_EQ("sora", Bytes(s.Mid(3)));
    EXPECT_EQ("so", Bytes(s.Mid(3, 2)));
    EXPECT_EQ("ora", Bytes(s.Mid(4, 99)));
    EXPECT_EQ("", Bytes(s.Mid(99)));
    EXPECT_EQ("", Bytes(s.Mid(2, -1)));
    EXPECT_EQ("Tessora", Bytes(s.Mid(-3)));
}

TEST(CString, TrimRemovesOnlyWhiteSpaceAtTheEnds)
{
    CString s(" \t\r\n\v\fD:\\WINNT \xCC\xEE \t\r\n\v\f");
    s.TrimLeft();
    EXPECT_EQ("D:\\WINNT \xCC\xEE \t\r\n\v\f", Bytes(s));
    s.TrimRight();
    EXPECT_EQ("D:\\WINNT \xCC\xEE", Bytes(s));

    CString blank(" \t \n");
    EXPECT_EQ("", Bytes(blank.TrimRight()));
    CString blank2("\r\n ");
    EXPECT_EQ("", Bytes(blank2.TrimLeft()));

    // Double-byte characters at either end stay whole; other bytes are not blanks.
    CString cjk(CHENG " " QIAN);
    EXPECT_EQ(CHENG " " QIAN, Bytes(cjk.TrimLeft().TrimRight()));
    CString ctl("\x01x\x01");
    EXPECT_EQ(3, ctl.TrimLeft().TrimRight().GetLength());
}

TEST(CString, FormatFillsPlaceholdersAndGrowsAsNeeded)
{
    CString s;
    s.Format("%s ... ", "C:\\" CHENG ".txt");
    EXPECT_EQ("C:\\" CHENG ".txt ... ", Bytes(s));
    s.Format("%d%%", 37);
    EXPECT_EQ("37%", Bytes(s));
    s.Format("%sHatchPat\\;", "C:\\Program Files\\");
    EXPECT_EQ("C:\\Program Files\\HatchPat\\;", Bytes(s));

    std::string big(5000, 'x');
    s.Format("<%s|%d>", big.c_str(), -12);
    EXPECT_EQ("<" + big + "|-12>", Bytes(s));

    // The string's own text as an argument: formatting must not read what it overwrites.
    s = "ab";
    s.Format("%s-%s", (LPCTSTR)s, (LPCTSTR)s);
    EXPECT_EQ("ab-ab", Bytes(s));
    s.Format("%s", "");
    EXPECT_TRUE(s.IsEmpty());
}

TEST(CString, ComparisonsFollowTheCodePage)
{
    EXPECT_EQ(0, CString("Setup.exe").CompareNoCase("SETUP.EXE"));
    EXPECT_NE(0, CString("Setup.exe").Compare("SETUP.EXE"));
    EXPECT_NE(0, CString("Setup.exe").CompareNoCase("Setup.ex"));
    EXPECT_LT(CString("abc").Compare("abd"), 0);
    EXPECT_GT(CString("abc").Compare("ab"), 0);
    EXPECT_LT(CString("").Compare("a"), 0);
    EXPECT_EQ(0, CString().Compare(NULL));
    // Bytes compare unsigned: a double-byte character sorts after ASCII.
    EXPECT_GT(CString("\xCC\xEE").Compare("z"), 0);
    // 丄 (81 41) and 乤 (81 61) differ only in a trail byte that looks like A / a.
    EXPECT_NE(0, CString("\x81\x41").CompareNoCase("\x81\x61"));
    EXPECT_EQ(0, CString("x\x81\x41Y").CompareNoCase("X\x81\x41y"));
    EXPECT_TRUE(CString("abc") == "abc");
    EXPECT_TRUE(CString("abc") != "abC");
}

TEST(CString, ConstructionAssignmentAndAppending)
{
    CString s((LPCTSTR)NULL);
    EXPECT_TRUE(s.IsEmpty());
    s = 'x';
    s += "yz";
    s += '!';
    s += CString("?");
    EXPECT_EQ("xyz!?", Bytes(s));
    EXPECT_EQ("<xyz!?", Bytes("<" + s));
    EXPECT_EQ("xyz!?/", Bytes(s + '/'));
    EXPECT_EQ("---", Bytes(CString('-', 3)));
    EXPECT_EQ("", Bytes(CString('-', -1)));
    s += (LPCTSTR)NULL;
    EXPECT_EQ(5, s.GetLength());
    s.SetAt(0, 'X');
    EXPECT_EQ('X', s[0]);
    // Assigning a string's own tail to it.
    s = (LPCTSTR)s + 2;
    EXPECT_EQ("z!?", Bytes(s));
    s.Empty();
    EXPECT_EQ(0, s.GetLength());
}

TEST(CStringArray, KeepsItemsInOrder)
{
    CStringArray a;
    EXPECT_EQ(-1, a.GetUpperBound());
    EXPECT_EQ(0, a.Add("Database"));
    EXPECT_EQ(1, a.Add(CString("Support")));
    a[1] += "\\";
    EXPECT_EQ(2, a.GetSize());
    EXPECT_EQ("Database", Bytes(a[0]));
    EXPECT_EQ("Support\\", Bytes(a[1]));
    a[0] = "X";
    EXPECT_EQ("X", Bytes(a[0]));
    a.RemoveAll();
    EXPECT_EQ(0, a.GetSize());
}
