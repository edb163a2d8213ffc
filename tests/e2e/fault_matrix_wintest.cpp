// Setup.exe against the faults of a real machine: a product folder missing
// until Retry, an install folder blocked by a file of that name, a locked and
// read-only files in the way, read-only files and names with trail bytes 0x5C
// on the medium. Each case runs
// the real program, bounds every wait, checks its exit code and checks that
// nothing beside the install folder's own content was touched.
#include "driver/CProgramDriver.h"
#include "driver/ProgramFacts.h"
#include "E2EPaths.h"
#include "support/CPixelCapture.h"
#include "support/Wait.h"

#include <gtest/gtest.h>
#include <commctrl.h>

namespace
{
const DWORD TIMEOUT_MS = 120000;

// A folder beside the install folder that Setup has no business with.
std::string NeighbourFolder()
{
    return "C:\\Program Files\\Quorvatek\\Neighbour";
}

class SetupFaults : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Clean();
        AddPrograms(m_medium);
        m_medium.AddFile("Database\\填充图案.mdb", "stand-in database");
        m_medium.AddFile("Support\\2000-02\\Arx\\FillBoot.arx", "module", FILE_ATTRIBUTE_READONLY);
        m_medium.AddFile("HatchPat\\p0.pat", "*P0, new\r\n");
        m_medium.AddFile("HatchPat\\p1.pat", "*P1, new\r\n");
        m_medium.AddFile("HatchPat\\乗\\淺.pat", "*SHALLOW, new\r\n");
        m_medium.AddFolder("Controls");
        MakeFolders(NeighbourFolder());
        WriteFileBytes(NeighbourFolder() + "\\keep.txt", "neighbour");
        m_neighbour = ReadTree(NeighbourFolder());
    }
    void TearDown() override
    {
        // The medium's read-only file must go with the scratch folder.
        ::SetFileAttributesA(m_medium.Path("Support\\2000-02\\Arx\\FillBoot.arx").c_str(),
                             FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(m_neighbour.size(), ReadTree(NeighbourFolder()).size());
        EXPECT_EQ("neighbour", ReadFileBytes(NeighbourFolder() + "\\keep.txt"));
        Clean();
        RemoveTree(NeighbourFolder());
    }
    static void Clean()
    {
        std::string folder = InstallFolderNoSlash();
        ::SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileA(folder.c_str());
        RemoveTree(folder);
    }

    HWND Start()
    {
        EXPECT_TRUE(m_driver.Start(m_medium.Path("Setup.exe")));
        return m_driver.WaitForWindow(nullptr, TIMEOUT_MS);
    }

    void FinishCompleted(HWND hDlg)
    {
        ASSERT_TRUE(CProgramDriver::WaitForCaption(hDlg, SETUP_DONE_CAPTION, TIMEOUT_MS));
        ASSERT_TRUE(CProgramDriver::Press(hDlg, IDOK));
        ExpectExitZero();
    }

    void ExpectExitZero()
    {
        DWORD exitCode = 99;
        ASSERT_TRUE(m_driver.WaitForExit(TIMEOUT_MS, &exitCode)) << "Setup hangs";
        EXPECT_EQ(0u, exitCode);
    }

    std::string Log() const { return ReadFileBytes(InstallFolder() + "Uninstall.log"); }

    CTestMedium m_medium{"setupfault"};
    CProgramDriver m_driver;
    CTree m_neighbour;
};
} // namespace

TEST_F(SetupFaults, TheBarStepsOverFilesAndSubFoldersWithNineToSpareAndTheHintIsBlue)
{
    // Without "Controls" the worker asks once the other three folders are
    // through: 5 files counted give the range 0 to 14, and their 5 files and
    // 3 sub-folders have stepped the bar to 8, drawn as 57 %.
    RemoveTree(m_medium.Path("Controls"));
    HWND hDlg = Start();
    ASSERT_NE(nullptr, hDlg);
    HWND hBox = m_driver.WaitForMessageBox(IDIGNORE, TIMEOUT_MS);
    ASSERT_NE(nullptr, hBox);
    ASSERT_TRUE(CProgramDriver::Settle(hDlg, 5000));
    HWND hBar = ::GetDlgItem(hDlg, SETUP_BAR_ID);
    EXPECT_EQ(0, ::SendMessageA(hBar, PBM_GETRANGE, TRUE, 0));
    EXPECT_EQ(14, ::SendMessageA(hBar, PBM_GETRANGE, FALSE, 0));
    EXPECT_EQ(8, ::SendMessageA(hBar, PBM_GETPOS, 0, 0));
    const COLORREF crBar = ::GetSysColor(COLOR_HIGHLIGHT), crBk = ::GetSysColor(COLOR_WINDOW);
    CPixelCapture shown = CPixelCapture::OnScreen(hBar);
    const int cx = shown.Width(), cy = shown.Height(), nEdge = (int)(8.0 / 14 * cx);
    CPixelCapture text =
        CPixelCapture::Text("57%", NULL, cx, cy, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    int nWrong = 0, nInk = 0;
    for (int y = 0; y < cy; ++y)
        for (int x = 0; x < cx; ++x)
        {
            const COLORREF crFill = x < nEdge ? crBar : crBk;
            nInk += text.IsInk(x, y);
            nWrong += !text.Agrees(x, y, shown.At(x, y), crFill == crBar ? crBk : crBar, crFill);
        }
    EXPECT_GT(nInk, 0);
    EXPECT_EQ(0, nWrong);

    ASSERT_TRUE(CProgramDriver::Press(hBox, IDIGNORE));
    ASSERT_TRUE(CProgramDriver::WaitForCaption(hDlg, SETUP_DONE_CAPTION, TIMEOUT_MS));
    // The hint line, once painted: blue text, blended at most into the face colour.
    const COLORREF crBlue = RGB(0, 0, 255), crFace = ::GetSysColor(COLOR_BTNFACE);
    int nBlue = 0, nOther = 0;
    WaitUntil(
        [&]
        {
            CPixelCapture hint = CPixelCapture::OnScreen(::GetDlgItem(hDlg, SETUP_HINT_ID));
            for (int y = 0; y < hint.Height(); ++y)
                for (int x = 0; x < hint.Width(); ++x)
                {
                    nBlue += hint.At(x, y) == crBlue;
                    nOther += !IsBetween(hint.At(x, y), crBlue, crFace);
                }
            return nBlue + nOther > 0;
        },
        10000, 20);
    EXPECT_GT(nBlue, 0);
    EXPECT_EQ(0, nOther);
    ASSERT_TRUE(CProgramDriver::Press(hDlg, IDOK));
    ExpectExitZero();
}

TEST_F(SetupFaults, ALogThatCannotBeSavedStillEndsInTheCompletedLook)
{
    // A folder where the log belongs cannot be replaced by the file.
    MakeFolders(InstallFolder() + "Uninstall.log");
    HWND hDlg = Start();
    ASSERT_NE(nullptr, hDlg);
    ASSERT_NO_FATAL_FAILURE(FinishCompleted(hDlg));
    EXPECT_TRUE(::GetFileAttributesA((InstallFolder() + "Uninstall.log").c_str()) &
                FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ("stand-in database", ReadFileBytes(InstallFolder() + "Database\\填充图案.mdb"));
}

TEST_F(SetupFaults, MissingProductFolderRetriedOnceItIsThere)
{
    std::string support = m_medium.Path("Support");
    ::SetFileAttributesA((support + "\\2000-02\\Arx\\FillBoot.arx").c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveTree(support);
    HWND hDlg = Start();
    ASSERT_NE(nullptr, hDlg);
    HWND hBox = m_driver.WaitForMessageBox(IDRETRY, TIMEOUT_MS);
    ASSERT_NE(nullptr, hBox);
    // A retry while it is still missing asks again.
    ASSERT_TRUE(CProgramDriver::Press(hBox, IDRETRY));
    hBox = m_driver.WaitForMessageBox(IDRETRY, TIMEOUT_MS);
    ASSERT_NE(nullptr, hBox);
    m_medium.AddFile("Support\\2004-06\\Arx\\FillBoot.arx", "late module");
    ASSERT_TRUE(CProgramDriver::Press(hBox, IDRETRY));
    ASSERT_NO_FATAL_FAILURE(FinishCompleted(hDlg));
    EXPECT_EQ("late module",
              ReadFileBytes(InstallFolder() + "Support\\2004-06\\Arx\\FillBoot.arx"));
    EXPECT_NE(std::string::npos, Log().find("File Copy: " + InstallFolder() +
                                            "Support\\2004-06\\Arx\\FillBoot.arx\r\n"));
}

TEST_F(SetupFaults, InstallFolderBlockedByAFileAsksAndEndsOrRetries)
{
    // A file where the install folder belongs: its folders cannot be made.
    MakeFolders("C:\\Program Files\\Quorvatek");
    ASSERT_TRUE(WriteFileBytes(InstallFolderNoSlash(), "a file in the way"));
    HWND hDlg = Start();
    ASSERT_NE(nullptr, hDlg);
    HWND hBox = m_driver.WaitForMessageBox(IDRETRY, TIMEOUT_MS);
    ASSERT_NE(nullptr, hBox);
    EXPECT_NE(nullptr, ::GetDlgItem(hBox, IDCANCEL));
    ASSERT_TRUE(CProgramDriver::Press(hBox, IDCANCEL));
    ASSERT_NO_FATAL_FAILURE(ExpectExitZero());
    // The file in the way is left as it was, and no log was written.
    EXPECT_EQ("a file in the way", ReadFileBytes(InstallFolderNoSlash()));

    // Once a folder stands in the file's place, Retry goes on and the
    // installation completes.
    hDlg = Start();
    ASSERT_NE(nullptr, hDlg);
    hBox = m_driver.WaitForMessageBox(IDRETRY, TIMEOUT_MS);
    ASSERT_NE(nullptr, hBox);
    ASSERT_TRUE(::DeleteFileA(InstallFolderNoSlash().c_str()));
    ASSERT_TRUE(::CreateDirectoryA(InstallFolderNoSlash().c_str(), NULL));
    ASSERT_TRUE(CProgramDriver::Press(hBox, IDRETRY));
    ASSERT_NO_FATAL_FAILURE(FinishCompleted(hDlg));
    EXPECT_EQ("stand-in database", ReadFileBytes(InstallFolder() + "Database\\填充图案.mdb"));
}

TEST_F(SetupFaults, ALockedFileInTheWayStaysAReadOnlyOneIsReplaced)
{
    MakeFolders(InstallFolder() + "HatchPat");
    std::string locked = InstallFolder() + "HatchPat\\p0.pat";
    // Read-only in a product folder and beside the uninstaller, as an earlier
    // install from a CD may have left them.
    std::string readOnly = InstallFolder() + "HatchPat\\p1.pat";
    std::string readOnlyRoot = InstallFolder() + "Uninstall.exe";
    ASSERT_TRUE(WriteFileBytes(locked, "locked old"));
    for (const std::string& file : {readOnly, readOnlyRoot})
    {
        ASSERT_TRUE(WriteFileBytes(file, "read-only old"));
        ::SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
    }
    ASSERT_TRUE(WriteFileBytes(InstallFolder() + "user.txt", "the user's own"));
    HANDLE hLock = ::CreateFileA(locked.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, hLock);

    HWND hDlg = Start();
    ASSERT_NE(nullptr, hDlg);
    ASSERT_NO_FATAL_FAILURE(FinishCompleted(hDlg));
    ::CloseHandle(hLock);

    EXPECT_EQ("locked old", ReadFileBytes(locked));
    EXPECT_EQ("*P1, new\r\n", ReadFileBytes(readOnly));
    EXPECT_TRUE(ReadFileBytes(m_medium.Path("Uninstall.exe")) == ReadFileBytes(readOnlyRoot));
    for (const std::string& file : {readOnly, readOnlyRoot})
        EXPECT_EQ((DWORD)FILE_ATTRIBUTE_NORMAL, GivenAttributes(::GetFileAttributesA(file.c_str())))
            << file;
    EXPECT_EQ("the user's own", ReadFileBytes(InstallFolder() + "user.txt"));
    std::string log = Log();
    EXPECT_EQ(std::string::npos, log.find("p0.pat"));
    EXPECT_NE(std::string::npos, log.find("File Copy: " + readOnly + "\r\n"));
    EXPECT_EQ(std::string::npos, log.find("user.txt"));
    // Read-only on the medium, normal once installed; a name behind trail
    // bytes 0x5C arrives under its own folder.
    std::string module = InstallFolder() + "Support\\2000-02\\Arx\\FillBoot.arx";
    EXPECT_EQ((DWORD)FILE_ATTRIBUTE_NORMAL, GivenAttributes(::GetFileAttributesA(module.c_str())));
    EXPECT_EQ("*SHALLOW, new\r\n", ReadFileBytes(InstallFolder() + "HatchPat\\乗\\淺.pat"));
    EXPECT_NE(std::string::npos,
              log.find("File Copy: " + InstallFolder() + "HatchPat\\乗\\淺.pat\r\n"));
}

namespace
{
const char* const ACAD_RELEASE_KEY = "SOFTWARE\\Autodesk\\AutoCAD\\R16.0";
const char* const ACAD_PRODUCT_KEY = "Software\\Autodesk\\AutoCAD\\R16.0\\ACAD-301:804";

void SetValue(HKEY hRoot, const std::string& strKey, const char* pszName, DWORD dwType,
              const std::string& strData)
{
    HKEY h = NULL;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyA(hRoot, strKey.c_str(), &h));
    ::RegSetValueExA(h, pszName, 0, dwType, (const BYTE*)strData.data(), (DWORD)strData.size());
    ::RegCloseKey(h);
}

// The value's type and bytes; type REG_NONE when it cannot be read.
std::pair<DWORD, std::string> GetValue(HKEY hRoot, const std::string& strKey, const char* pszName)
{
    HKEY h = NULL;
    if (::RegOpenKeyExA(hRoot, strKey.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return {REG_NONE, std::string()};
    std::string data(8192, '\0');
    DWORD type = REG_NONE, size = (DWORD)data.size();
    if (::RegQueryValueExA(h, pszName, NULL, &type, (BYTE*)&data[0], &size) != ERROR_SUCCESS)
        type = REG_NONE, size = 0;
    ::RegCloseKey(h);
    data.resize(size);
    return {type, data};
}

// Deletes a key with every key below it.
void DeleteTreeKey(HKEY hRoot, const std::string& strKey)
{
    HKEY h = NULL;
    if (::RegOpenKeyExA(hRoot, strKey.c_str(), 0, KEY_ALL_ACCESS, &h) != ERROR_SUCCESS)
        return;
    char name[256];
    while (::RegEnumKeyA(h, 0, name, sizeof(name)) == ERROR_SUCCESS)
    {
        std::string child = strKey + "\\" + name;
        DeleteTreeKey(hRoot, child);
        if (::RegDeleteKeyA(hRoot, child.c_str()) != ERROR_SUCCESS)
            break;
    }
    ::RegCloseKey(h);
    ::RegDeleteKeyA(hRoot, strKey.c_str());
}
} // namespace

TEST_F(SetupFaults, SupportPathsAtTheBufferLimitAndOfOtherTypesEndCleanly)
{
    DeleteTreeKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Autodesk");
    DeleteTreeKey(HKEY_CURRENT_USER, "Software\\Autodesk");
    SetValue(HKEY_LOCAL_MACHINE, ACAD_RELEASE_KEY, "CurVer", REG_SZ,
             std::string("ACAD-301:804") + '\0');
    std::string profiles = std::string(ACAD_PRODUCT_KEY) + "\\Profiles\\";
    struct Profile
    {
        const char* pszName;
        DWORD dwType;
        std::string strData;
    } cases[] = {{"near", REG_SZ, std::string(2030, 'n') + '\0'},
                 {"2047", REG_SZ, std::string(2046, 'a') + '\0'},
                 {"2048", REG_SZ, std::string(2047, 'b') + '\0'},
                 {"number", REG_DWORD, std::string("\x05\x00\x00\x00", 4)},
                 {"binary", REG_BINARY, std::string(40, '\xB1')}};
    for (const Profile& p : cases)
        ASSERT_NO_FATAL_FAILURE(SetValue(HKEY_CURRENT_USER, profiles + p.pszName + "\\General",
                                         "ACAD", p.dwType, p.strData));
    // A key beside the profiles that nothing may touch.
    ASSERT_NO_FATAL_FAILURE(SetValue(HKEY_CURRENT_USER,
                                     std::string(ACAD_PRODUCT_KEY) + "\\Sentinel", "ACAD", REG_SZ,
                                     std::string("untouched") + '\0'));

    HWND hDlg = Start();
    ASSERT_NE(nullptr, hDlg);
    ASSERT_NO_FATAL_FAILURE(FinishCompleted(hDlg));

    for (const Profile& p : cases)
    {
        SCOPED_TRACE(p.pszName);
        std::pair<DWORD, std::string> after =
            GetValue(HKEY_CURRENT_USER, profiles + p.pszName + "\\General", "ACAD");
        bool unchanged = after.first == p.dwType && after.second == p.strData;
        // Either left alone or a string that names the pattern folder, never
        // longer than the 2048-byte buffer that writes it.
        EXPECT_TRUE(unchanged ||
                    (after.first == REG_SZ && after.second.find("HatchPat") != std::string::npos &&
                     after.second.size() <= 2048));
    }
    // Too long to read: left as it was.
    EXPECT_EQ(std::string(2047, 'b') + '\0',
              GetValue(HKEY_CURRENT_USER, profiles + "2048\\General", "ACAD").second);
    EXPECT_EQ(
        std::string("untouched") + '\0',
        GetValue(HKEY_CURRENT_USER, std::string(ACAD_PRODUCT_KEY) + "\\Sentinel", "ACAD").second);
    DeleteTreeKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Autodesk");
    DeleteTreeKey(HKEY_CURRENT_USER, "Software\\Autodesk");
}

namespace
{
// The wide form of an ANSI path, behind the prefix that lifts the 260-character
// limit: how the test makes and removes what the programs' own calls cannot.
std::wstring LongForm(const std::string& strPath)
{
    std::wstring wide(strPath.size() + 1, L'\0');
    int n = ::MultiByteToWideChar(CP_ACP, 0, strPath.c_str(), (int)strPath.size(), &wide[0],
                                  (int)wide.size());
    wide.resize(n > 0 ? (size_t)n : 0);
    return L"\\\\?\\" + wide;
}

bool WriteLongFile(const std::string& strPath, const std::string& strBytes)
{
    HANDLE h =
        ::CreateFileW(LongForm(strPath).c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = ::WriteFile(h, strBytes.data(), (DWORD)strBytes.size(), &written, NULL) &&
              written == strBytes.size();
    ::CloseHandle(h);
    return ok;
}

bool LongPathExists(const std::string& strPath)
{
    return ::GetFileAttributesW(LongForm(strPath).c_str()) != INVALID_FILE_ATTRIBUTES;
}
} // namespace

TEST_F(SetupFaults, FileBehindAPathOf300BytesEndsCleanly)
{
    // A folder whose paths stay short enough, holding a file whose installed
    // path is 300 bytes long (longer still on the medium).
    std::string folder = "HatchPat\\" + std::string(100, 'D');
    std::string name =
        std::string(300 - (InstallFolder().size() + folder.size() + 1) - 4, 'F') + ".pat";
    std::string installed = InstallFolder() + folder + "\\" + name;
    ASSERT_EQ(300u, installed.size());
    m_medium.AddFolder(folder);
    std::string source = m_medium.Path(folder + "\\" + name);
    ASSERT_TRUE(WriteLongFile(source, "*LONG, new\r\n"));

    HWND hDlg = Start();
    ASSERT_NE(nullptr, hDlg);
    ASSERT_NO_FATAL_FAILURE(FinishCompleted(hDlg));

    // Copied and listed, or neither: never listed without being there. The
    // rest of the product is in place and the folder is listed as made.
    bool copied = LongPathExists(installed);
    std::string log = Log();
    EXPECT_EQ(copied, log.find("File Copy: " + installed + "\r\n") != std::string::npos);
    EXPECT_NE(std::string::npos, log.find("Made Dir: " + InstallFolder() + folder + "\r\n"));
    EXPECT_EQ("*P1, new\r\n", ReadFileBytes(InstallFolder() + "HatchPat\\p1.pat"));
    EXPECT_EQ("*SHALLOW, new\r\n", ReadFileBytes(InstallFolder() + "HatchPat\\乗\\淺.pat"));
    EXPECT_NE(std::string::npos, log.find("File Copy: " + InstallFolder() + "Uninstall.log\r\n"));

    // The scratch folders' own clean-up works by ANSI paths: the long files go first.
    ::DeleteFileW(LongForm(installed).c_str());
    ::DeleteFileW(LongForm(source).c_str());
}
