// The multibyte rules of code page 936. On Windows they come from the system
// (the tests run with 936 as the ANSI code page), on the host from our table,
// so the same expectations hold for both.
#include "framework/mbcs.h"

#include <gtest/gtest.h>
#include <cstring>
#include <string>

namespace
{
#define CHENG "\xD5\x5C" // 誠, trail byte '\'
#define QIAN "\x9C\x5C"  // 淺, trail byte '\'

int Len(const char* s)
{
    return (int)std::strlen(s);
}
} // namespace

TEST(Mbcs, LeadBytesAreThoseOfCodePage936)
{
    EXPECT_FALSE(IsLeadByte(0x00));
    EXPECT_FALSE(IsLeadByte('\\'));
    EXPECT_FALSE(IsLeadByte('A'));
    EXPECT_FALSE(IsLeadByte(0x7F));
    EXPECT_FALSE(IsLeadByte(0x80));
    EXPECT_TRUE(IsLeadByte(0x81));
    EXPECT_TRUE(IsLeadByte(0xB0));
    EXPECT_TRUE(IsLeadByte(0xD5));
    EXPECT_TRUE(IsLeadByte(0xFE));
    EXPECT_FALSE(IsLeadByte(0xFF));
}

TEST(Mbcs, CharacterStepsNeverLeaveTheText)
{
    const char s[] = "a" CHENG "\x81";
    int len = Len(s);
    EXPECT_EQ(1, MbsNext(s, len, 0));
    EXPECT_EQ(3, MbsNext(s, len, 1));
    // A lead byte that ends the text is a character of its own.
    EXPECT_EQ(4, MbsNext(s, len, 3));
}

TEST(Mbcs, BackslashSearchFromEitherEndSkipsTrailBytes)
{
    // C:\淺\誠  -> real backslashes at 2 and 5; 0x5C also at 4 and 7 as trail bytes.
    const char s[] = "C:\\" QIAN "\\" CHENG;
    int len = Len(s);
    EXPECT_EQ(5, MbsReverseFindChar(s, len, '\\'));
    EXPECT_EQ(2, MbsFindChar(s, len, '\\', 0));
    EXPECT_EQ(5, MbsFindChar(s, len, '\\', 3));
    EXPECT_EQ(5, MbsFindChar(s, len, '\\', 4));
    EXPECT_EQ(-1, MbsFindChar(s, len, '\\', 6));
    EXPECT_EQ(-1, MbsReverseFindChar(CHENG QIAN, 4, '\\'));
    EXPECT_EQ(-1, MbsReverseFindChar("", 0, '\\'));
    // A single byte after a double-byte character is found.
    EXPECT_EQ(2, MbsReverseFindChar(CHENG "\\", 3, '\\'));
}

TEST(Mbcs, SubstringMatchesBeginOnCharacterStartsOnly)
{
    // "誠x" holds the bytes 5C 78 at offset 1, inside the character.
    EXPECT_EQ(-1, MbsFind(CHENG "x", 3, "\\x", 2, 0));
    EXPECT_EQ(2, MbsFind(CHENG "\\x", 4, "\\x", 2, 0));
    const char log[] = "Made Dir: C:\\" QIAN "\nFile Copy: C:\\" QIAN "\\a\n";
    int len = Len(log);
    EXPECT_EQ(16, MbsFind(log, len, "File Copy: ", 11, 0));
    EXPECT_EQ(16, MbsFind(log, len, "File Copy: ", 11, 16));
    EXPECT_EQ(-1, MbsFind(log, len, "File Copy: ", 11, 17));
    EXPECT_EQ(-1, MbsFind(log, len, "Made", 4, len + 1));
    EXPECT_EQ(-1, MbsFind(log, len, "Made", 4, len));
    // A start inside a double-byte character moves on to the next character.
    EXPECT_EQ(15, MbsFind(log, len, "\n", 1, 14));
    EXPECT_EQ(-1, MbsFind("ab", 2, "abc", 3, 0));
}

TEST(Mbcs, ComparisonIsByteWiseAndUnsigned)
{
    EXPECT_EQ(0, MbsCompare("abc", 3, "abc", 3));
    EXPECT_LT(MbsCompare("ab", 2, "abc", 3), 0);
    EXPECT_GT(MbsCompare("b", 1, "abc", 3), 0);
    EXPECT_GT(MbsCompare("\xCC\xEE", 2, "\x7F", 1), 0);
    EXPECT_LT(MbsCompare("\x81\x41", 2, "\x81\x42", 2), 0);
    EXPECT_EQ(0, MbsCompare("", 0, "", 0));
}

TEST(Mbcs, CaseIsIgnoredForSingleByteLettersOnly)
{
    EXPECT_EQ(0, MbsCompareNoCase("Setup.exe", 9, "SETUP.EXE", 9));
    // 丄 (81 41) against 乤 (81 61): the trail bytes look like A and a.
    EXPECT_NE(0, MbsCompareNoCase("\x81\x41", 2, "\x81\x61", 2));
    EXPECT_EQ(0, MbsCompareNoCase("a" CHENG "B", 4, "A" CHENG "b", 4));
    EXPECT_LT(MbsCompareNoCase("abc", 3, "ABCD", 4), 0);
    EXPECT_GT(MbsCompareNoCase("ABCD", 4, "abc", 3), 0);
    // Letters fold to lower case, so '_' (5F) sorts before any letter.
    EXPECT_LT(MbsCompareNoCase("_", 1, "A", 1), 0);
    // A double-byte character sorts after every single byte.
    EXPECT_GT(MbsCompareNoCase("\x81\x40", 2, "z", 1), 0);
    EXPECT_LT(MbsCompareNoCase("z", 1, "\x81\x40", 2), 0);
}

TEST(Mbcs, ByteCopyNeverSplitsACharacter)
{
    const char src[] = "ab" CHENG "c";
    char dst[8];
    std::memset(dst, '#', sizeof dst);
    EXPECT_EQ(2, MbsCopyBytes(dst, src, 5, 3));
    EXPECT_EQ(std::string("ab##", 4), std::string(dst, 4));
    EXPECT_EQ(4, MbsCopyBytes(dst, src, 5, 4));
    EXPECT_EQ(std::string("ab" CHENG "#", 5), std::string(dst, 5));
    EXPECT_EQ(5, MbsCopyBytes(dst, src, 5, 100));
    EXPECT_EQ(0, MbsCopyBytes(dst, src, 5, 0));
    EXPECT_EQ(0, MbsCopyBytes(dst, CHENG, 2, 1));
}
