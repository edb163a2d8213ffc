#include "TestMedium.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <functional>
#include <set>
#include <string>

namespace
{
bool Exists(const std::string& path)
{
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Polls a condition until it holds or the time-out passes.
bool WaitFor(const std::function<bool()>& condition, DWORD dwTimeout = 120000)
{
    DWORD start = ::GetTickCount();
    while (!condition())
    {
        if (::GetTickCount() - start > dwTimeout)
            return false;
        ::Sleep(10);
    }
    return true;
}

BOOL CALLBACK AddIfVisible(HWND hwnd, LPARAM lParam)
{
    if (::IsWindowVisible(hwnd))
        ((std::set<HWND>*)lParam)->insert(hwnd);
    return TRUE;
}

std::set<HWND> VisibleTopLevelWindows()
{
    std::set<HWND> windows;
    ::EnumWindows(&AddIfVisible, (LPARAM)&windows);
    return windows;
}

// A drive letter of its own for the batch's "\DelUS.bat": the root of the
// current drive of the program under test is a scratch folder, not a drive
// that anything else uses.
class CScratchDrive
{
public:
    explicit CScratchDrive(const std::string& strFolder)
    {
        for (char letter = 'T'; letter >= 'K'; --letter)
        {
            std::string device = std::string(1, letter) + ":";
            if (::GetDriveTypeA((device + "\\").c_str()) != DRIVE_NO_ROOT_DIR)
                continue;
            if (::DefineDosDeviceA(0, device.c_str(), strFolder.c_str()))
            {
                m_strDevice = device;
                break;
            }
        }
    }
    ~CScratchDrive()
    {
        if (!m_strDevice.empty())
            ::DefineDosDeviceA(DDD_REMOVE_DEFINITION, m_strDevice.c_str(), NULL);
    }
    CScratchDrive(const CScratchDrive&) = delete;
    CScratchDrive& operator=(const CScratchDrive&) = delete;

    bool IsMapped() const { return !m_strDevice.empty(); }
    // "T:\" and the like.
    std::string Root() const { return m_strDevice + "\\"; }

private:
    std::string m_strDevice;
};

// The ids of the processes whose parent is the given process.
std::set<DWORD> ChildProcesses(DWORD dwParent)
{
    std::set<DWORD> children;
    HANDLE hSnap = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (hSnap == INVALID_HANDLE_VALUE)
        return children;
    PROCESSENTRY32 pe = {};
    pe.dwSize = sizeof(pe);
    for (BOOL ok = ::Process32First(hSnap, &pe); ok; ok = ::Process32Next(hSnap, &pe))
        if (pe.th32ParentProcessID == dwParent)
            children.insert(pe.th32ProcessID);
    ::CloseHandle(hSnap);
    return children;
}

// The helper program, a copy of which stands in for Uninstall.exe.
std::string HelperPath()
{
    return WinePath(TESSORA_SELF_DELETE_HELPER);
}

// Starts the copy of the helper at strExe with strCurrentDir as its current
// folder; it starts the batch, then waits for hRelease.
struct CHelperRun
{
    HANDLE hStarted = NULL;
    HANDLE hRelease = NULL;
    PROCESS_INFORMATION pi = {};

    bool Start(const std::string& strExe, const std::string& strCurrentDir)
    {
        std::string tag = std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(::GetTickCount());
        std::string started = "TessoraSelfDeleteStarted-" + tag;
        std::string release = "TessoraSelfDeleteRelease-" + tag;
        hStarted = ::CreateEventA(NULL, TRUE, FALSE, started.c_str());
        hRelease = ::CreateEventA(NULL, TRUE, FALSE, release.c_str());
        std::string command = "\"" + strExe + "\" " + started + " " + release;
        STARTUPINFOA si = {};
        si.cb = sizeof(si);
        if (!::CreateProcessA(strExe.c_str(), &command[0], NULL, NULL, FALSE, 0, NULL,
                              strCurrentDir.c_str(), &si, &pi))
            return false;
        return ::WaitForSingleObject(hStarted, 120000) == WAIT_OBJECT_0;
    }
    // Lets the helper end and waits for it; its exit code.
    DWORD Finish()
    {
        ::SetEvent(hRelease);
        DWORD code = (DWORD)-1;
        if (::WaitForSingleObject(pi.hProcess, 120000) == WAIT_OBJECT_0)
            ::GetExitCodeProcess(pi.hProcess, &code);
        return code;
    }
    ~CHelperRun()
    {
        if (hRelease)
            ::SetEvent(hRelease);
        for (HANDLE h : {hStarted, hRelease, pi.hProcess, pi.hThread})
            if (h)
                ::CloseHandle(h);
    }
};
} // namespace

TEST(SelfDelete, BatchDeletesTheEndedProgramItsEmptiedFolderAndItself)
{
    CTestMedium scratch("selfdel");
    scratch.AddFolder("drive");
    CScratchDrive drive(scratch.Path("drive"));
    ASSERT_TRUE(drive.IsMapped());
    const std::string batch = drive.Root() + "DelUS.bat";
    const std::string marker = drive.Root() + "Filedelr.avi";

    // "運" ends in the byte 0x5C, and "%TEMP%" would be expanded unless doubled:
    // a batch that got either wrong would never delete the program.
    ASSERT_EQ('\\', std::string("運")[1]);
    const std::string folder = scratch.Path("自刪%TEMP%運");
    const std::string exe = folder + "\\卸載運.exe";
    scratch.AddFolder("自刪%TEMP%運");
    ASSERT_TRUE(::CopyFileA(HelperPath().c_str(), exe.c_str(), FALSE));

    // A stale, longer batch of an earlier run is replaced whole.
    ASSERT_TRUE(WriteFileBytes(batch, std::string(600, 'x')));
    ASSERT_TRUE(WriteFileBytes(marker, "avi"));
    const std::set<HWND> windowsBefore = VisibleTopLevelWindows();

    CHelperRun run;
    ASSERT_TRUE(run.Start(exe, drive.Root())) << "helper did not start the batch";

    const std::string escapedFolder = scratch.Path("自刪%%TEMP%%運");
    const std::string escapedExe = escapedFolder + "\\卸載運.exe";
    const std::string expected = ":Repeat\r\n"
                                 "del \"" + escapedExe + "\"\r\n"
                                 "del \"Filedelr.avi\"\r\n"
                                 "if exist \"" + escapedExe + "\" goto Repeat\r\n"
                                 "rmdir \"" + escapedFolder + "\"\r\n"
                                 "del \"\\DelUS.bat\"\r\n";
    EXPECT_EQ(expected, ReadFileBytes(batch));

    // The batch runs in the drive's root: its loop deletes "Filedelr.avi"
    // there, again and again while the program lives.
    EXPECT_TRUE(WaitFor([&] { return !Exists(marker); })) << "the batch does not run";
    ASSERT_TRUE(WriteFileBytes(marker, "avi"));
    EXPECT_TRUE(WaitFor([&] { return !Exists(marker); })) << "the batch does not spin";
    EXPECT_TRUE(Exists(exe));
    EXPECT_EQ(1u, ChildProcesses(run.pi.dwProcessId).size());

    // It has run a while now and shows no window.
    std::set<HWND> windowsNow = VisibleTopLevelWindows();
    for (HWND hwnd : windowsNow)
        EXPECT_TRUE(windowsBefore.count(hwnd)) << "a window appeared while the batch ran";

    EXPECT_EQ(0u, run.Finish());
    EXPECT_TRUE(WaitFor([&] { return !Exists(batch); })) << "the batch did not delete itself";
    EXPECT_FALSE(Exists(exe));
    EXPECT_FALSE(Exists(folder));
}

TEST(SelfDelete, FolderThatStillHoldsAFileStays)
{
    CTestMedium scratch("selfdel");
    scratch.AddFolder("drive");
    CScratchDrive drive(scratch.Path("drive"));
    ASSERT_TRUE(drive.IsMapped());
    const std::string batch = drive.Root() + "DelUS.bat";

    const std::string folder = scratch.Path("Tessora");
    const std::string exe = folder + "\\Uninstall.exe";
    scratch.AddFile("Tessora\\mine.txt", "mine");
    ASSERT_TRUE(::CopyFileA(HelperPath().c_str(), exe.c_str(), FALSE));

    CHelperRun run;
    ASSERT_TRUE(run.Start(exe, drive.Root()));
    EXPECT_TRUE(Exists(batch));
    EXPECT_EQ(0u, run.Finish());
    EXPECT_TRUE(WaitFor([&] { return !Exists(batch); })) << "the batch did not delete itself";
    EXPECT_FALSE(Exists(exe));
    EXPECT_TRUE(Exists(folder + "\\mine.txt"));
}
