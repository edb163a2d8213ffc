#include "framework/CFile.h"
#include "support/TestMedium.h"

#include <gtest/gtest.h>
#include <string>

namespace
{
#define CHENG "\xD5\x5C" // 誠, trail byte '\'

// Writes text through a text-mode file; returns FALSE if it could not be opened.
bool WriteText(LPCTSTR path, const std::string& text,
               UINT flags = CFile::modeCreate | CFile::modeWrite | CFile::typeText)
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
    CTestMedium dir("file");
    CString path = dir.Path(CHENG ".log").c_str();
    const std::string text("a\nb\r\nc\rd\0e\n\x1a"
                           "f " CHENG "\n",
                           17);
    ASSERT_TRUE(WriteText(path, text));
    EXPECT_EQ(std::string("a\r\nb\r\r\nc\rd\0e\r\n\x1a"
                          "f " CHENG "\r\n",
                          21),
              ReadFileBytes((LPCTSTR)path));
}

TEST(CStdioFile, TextReadTurnsCrLfIntoLfAndKeepsLoneCr)
{
    CTestMedium dir("file");
    CString path = dir.Path("in.txt").c_str();
    WriteFileBytes((LPCTSTR)path, std::string("a\r\nb\rc\r\r\nd\0e\r\n\r\nx\r", 18));
    DWORD len = 0;
    EXPECT_EQ(std::string("a\nb\rc\r\nd\0e\n\nx\r", 14), ReadAll(path, CFile::typeText, &len));
    // The length is that of the file, not of the text it yields.
    EXPECT_EQ(18u, len);
    EXPECT_EQ(std::string("a\r\nb\rc\r\r\nd\0e\r\n\r\nx\r", 18), ReadAll(path, CFile::typeBinary));
}

TEST(CStdioFile, CtrlZEndsATextReadButNotABinaryOne)
{
    CTestMedium dir("file");
    CString path = dir.Path("z.txt").c_str();
    WriteFileBytes((LPCTSTR)path, "ab\r\n\x1a"
                                  "cd\r\n");
    EXPECT_EQ("ab\n", ReadAll(path));
    EXPECT_EQ("ab\r\n\x1a"
              "cd\r\n",
              ReadAll(path, CFile::typeBinary));
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
    CTestMedium dir("file");
    CString path = dir.Path("big.txt").c_str();
    ASSERT_TRUE(WriteText(path, text));
    EXPECT_TRUE(ReadFileBytes((LPCTSTR)path) == disk);
    DWORD len = 0;
    EXPECT_TRUE(ReadAll(path, CFile::typeText, &len) == text);
    EXPECT_EQ(disk.size(), (size_t)len);
}

TEST(CStdioFile, CreateTruncatesUnlessNoTruncateIsGiven)
{
    CTestMedium dir("file");
    CString path = dir.Path("t.txt").c_str();
    WriteFileBytes((LPCTSTR)path, "abcdef");
    ASSERT_TRUE(WriteText(path, "XY",
                          CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite |
                              CFile::typeBinary));
    EXPECT_EQ("XYcdef", ReadFileBytes((LPCTSTR)path));
    ASSERT_TRUE(WriteText(path, "Q\n"));
    EXPECT_EQ("Q\r\n", ReadFileBytes((LPCTSTR)path));
    // Without modeCreate a missing file is not made.
    EXPECT_FALSE(
        WriteText(dir.Path("missing.txt").c_str(), "x", CFile::modeWrite | CFile::typeText));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(dir.Path("missing.txt").c_str()));
}

TEST(CStdioFile, OpenFailuresDescribeTheirCause)
{
    CTestMedium dir("file");
    CFileException e;
    CStdioFile f;
    CString missing = dir.Path("none.log").c_str();
    EXPECT_FALSE(f.Open(missing, CFile::modeRead | CFile::typeText, &e));
    EXPECT_EQ(CFileException::fileNotFound, e.m_cause);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, e.m_lOsError);
    EXPECT_STREQ(missing, e.m_strFileName);

    EXPECT_FALSE(f.Open(dir.Path("no\\such\\folder.log").c_str(), CFile::modeRead, &e));
    EXPECT_EQ(CFileException::badPath, e.m_cause);

    // A folder is no file.
    EXPECT_FALSE(f.Open(dir.Folder().c_str(), CFile::modeRead | CFile::typeText, &e));
    EXPECT_EQ(CFileException::accessDenied, e.m_cause);
    EXPECT_EQ(ERROR_ACCESS_DENIED, e.m_lOsError);
    // No error object: the failure is only the result.
    EXPECT_FALSE(f.Open(missing, CFile::modeRead));
}

TEST(CStdioFile, ExclusiveShareKeepsOthersOut)
{
    CTestMedium dir("file");
    CString path = dir.Path("x.log").c_str();
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
    CTestMedium dir("file");
    CString missing = dir.Path("none.log").c_str();
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
    CTestMedium dir("file");
    CString path = dir.Path("d.log").c_str();
    {
        CStdioFile f(path, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive |
                               CFile::typeText);
        f.Write("one\n", 4);
    }
    EXPECT_EQ("one\r\n", ReadFileBytes((LPCTSTR)path));
    CStdioFile again;
    EXPECT_TRUE(again.Open(path, CFile::modeWrite | CFile::shareExclusive));
}
