#include "framework/CFile.h"
#include "CTempFolder.h"

#include <gtest/gtest.h>
#include <string>

namespace
{
#define CHENG "\xD5\x5C" // 誠, trail byte '\'

// Writes text through a text-mode file; returns FALSE if it could not be opened.
bool WriteText(LPCTSTR path, const std::string& text, UINT flags = CFile::modeCreate |
                                                                 CFile::modeWrite |
                                                                 CFile::typeText)
{
    CStdioFile f;
    if (!f.Open(path, flags))
        return false;
    f.Write(text.data(), (UINT)text.size());
    f.Close();
    return true;
}

// Reads a whole file as the install log does: one read of the file's length.
std::string ReadAll(LPCTSTR path, UINT type = CFile::typeText, DWORD* pLength = NULL)
{
    CStdioFile f(path, CFile::modeRead | type);
    DWORD len = f.GetLength();
    if (pLength)
        *pLength = len;
    std::string buf(len + 1, '#');
    UINT got = f.Read(&buf[0], len);
    f.Close();
    buf.resize(got);
    return buf;
}
} // namespace

TEST(CStdioFile, TextWriteStoresEachLfAsCrLfAndEveryOtherByteAsItIs)
{
    CTempFolder dir;
    CString path = dir / (CHENG ".log");
    const std::string text("a\nb\r\nc\rd\0e\n\x1a" "f " CHENG "\n", 17);
    ASSERT_TRUE(WriteText(path, text));
    EXPECT_EQ(std::string("a\r\nb\r\r\nc\rd\0e\r\n\x1a" "f " CHENG "\r\n", 21),
              CTempFolder::ReadBytes(path));
}

TEST(CStdioFile, TextReadTurnsCrLfIntoLfAndKeepsLoneCr)
{
    CTempFolder dir;
    CString path = dir / "in.txt";
    CTempFolder::WriteBytes(path, std::string("a\r\nb\rc\r\r\nd\0e\r\n\r\nx\r", 18));
    DWORD len = 0;
    EXPECT_EQ(std::string("a\nb\rc\r\nd\0e\n\nx\r", 14), ReadAll(path, CFile::typeText, &len));
    // The length is that of the file, not of the text it yields.
    EXPECT_EQ(18u, len);
    EXPECT_EQ(std::string("a\r\nb\rc\r\r\nd\0e\r\n\r\nx\r", 18), ReadAll(path, CFile::typeBinary));
}

TEST(CStdioFile, CtrlZEndsATextReadButNotABinaryOne)
{
    CTempFolder dir;
    CString path = dir / "z.txt";
    CTempFolder::WriteBytes(path, "ab\r\n\x1a" "cd\r\n");
    EXPECT_EQ("ab\n", ReadAll(path));
    EXPECT_EQ("ab\r\n\x1a" "cd\r\n", ReadAll(path, CFile::typeBinary));
}

TEST(CStdioFile, LargeTextRoundTripsWhateverTheBufferBoundaries)
{
    // Lines of every length from 0 to 36 put the CR LF pairs at every offset
    // relative to the runtime's buffers.
    std::string text, disk;
    for (int i = 0; i < 20000; ++i)
    {
        std::string line(i % 37, (char)('a' + i % 26));
        if (i % 5 == 0)
            line += CHENG;
        text += line + "\n";
        disk += line + "\r\n";
    }
    CTempFolder dir;
    CString path = dir / "big.txt";
    ASSERT_TRUE(WriteText(path, text));
    EXPECT_TRUE(CTempFolder::ReadBytes(path) == disk);
    DWORD len = 0;
    EXPECT_TRUE(ReadAll(path, CFile::typeText, &len) == text);
    EXPECT_EQ(disk.size(), (size_t)len);
}

TEST(CStdioFile, CreateTruncatesUnlessNoTruncateIsGiven)
{
    CTempFolder dir;
    CString path = dir / "t.txt";
    CTempFolder::WriteBytes(path, "abcdef");
    ASSERT_TRUE(WriteText(path, "XY", CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite |
                                          CFile::typeBinary));
    EXPECT_EQ("XYcdef", CTempFolder::ReadBytes(path));
    ASSERT_TRUE(WriteText(path, "Q\n"));
    EXPECT_EQ("Q\r\n", CTempFolder::ReadBytes(path));
    // Without modeCreate a missing file is not made.
    EXPECT_FALSE(WriteText(dir / "missing.txt", "x", CFile::modeWrite | CFile::typeText));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(dir / "missing.txt"));
}

TEST(CStdioFile, OpenFailuresDescribeTheirCause)
{
    CTempFolder dir;
    CFileException e;
    CStdioFile f;
    CString missing = dir / "none.log";
    EXPECT_FALSE(f.Open(missing, CFile::modeRead | CFile::typeText, &e));
    EXPECT_EQ(CFileException::fileNotFound, e.m_cause);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, e.m_lOsError);
    EXPECT_STREQ(missing, e.m_strFileName);

    EXPECT_FALSE(f.Open(dir / "no\\such\\folder.log", CFile::modeRead, &e));
    EXPECT_EQ(CFileException::badPath, e.m_cause);

    // A folder is no file.
    EXPECT_FALSE(f.Open(dir.Path(), CFile::modeRead | CFile::typeText, &e));
    EXPECT_EQ(CFileException::accessDenied, e.m_cause);
    EXPECT_EQ(ERROR_ACCESS_DENIED, e.m_lOsError);
    // No error object: the failure is only the result.
    EXPECT_FALSE(f.Open(missing, CFile::modeRead));
}

TEST(CStdioFile, ExclusiveShareKeepsOthersOut)
{
    CTempFolder dir;
    CString path = dir / "x.log";
    CStdioFile first;
    ASSERT_TRUE(first.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive));
    CFileException e;
    CStdioFile second;
    EXPECT_FALSE(second.Open(path, CFile::modeRead, &e));
    EXPECT_EQ(CFileException::sharingViolation, e.m_cause);
    first.Close();
    EXPECT_TRUE(second.Open(path, CFile::modeRead, &e));
}

TEST(CStdioFile, OpeningConstructorThrowsAHeapException)
{
    CTempFolder dir;
    CString missing = dir / "none.log";
    int cause = -1;
    CString name;
    try
    {
        CStdioFile f(missing, CFile::modeRead | CFile::typeText);
    }
    catch (CFileException* pe)
    {
        cause = pe->m_cause;
        name = pe->m_strFileName;
        pe->Delete();
    }
    EXPECT_EQ(CFileException::fileNotFound, cause);
    EXPECT_STREQ(missing, name);
}

TEST(CStdioFile, DestructionClosesAndFlushes)
{
    CTempFolder dir;
    CString path = dir / "d.log";
    {
        CStdioFile f(path, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive |
                               CFile::typeText);
        f.Write("one\n", 4);
    }
    EXPECT_EQ("one\r\n", CTempFolder::ReadBytes(path));
    CStdioFile again;
    EXPECT_TRUE(again.Open(path, CFile::modeWrite | CFile::shareExclusive));
}
