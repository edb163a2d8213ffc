#include "support/Processes.h"
#include "support/TestMedium.h"
#include "support/Wait.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace
{
bool Exists(const std::string& path)
{
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

const DWORD TIMEOUT_MS = 120000;

// Makes a folder the current one for the object's life.
class CCurrentFolder
{
public:
    explicit CCurrentFolder(const std::string& strFolder)
    {
        char dir[MAX_PATH];
        m_strBefore = std::string(dir, ::GetCurrentDirectoryA(MAX_PATH, dir));
        m_bSet = ::SetCurrentDirectoryA(strFolder.c_str()) != FALSE;
    }
    ~CCurrentFolder() { ::SetCurrentDirectoryA(m_strBefore.c_str()); }
    CCurrentFolder(const CCurrentFolder&) = delete;
    CCurrentFolder& operator=(const CCurrentFolder&) = delete;
    bool IsSet() const { return m_bSet; }

private:
    std::string m_strBefore;
    bool m_bSet;
};

// The root of the current drive (the test prefix's own C:),
// where the batch and the file its loop deletes lie; what is left of them
// is removed when the object goes.
class CDriveRoot
{
public:
    CDriveRoot()
    {
        char dir[MAX_PATH];
        DWORD n = ::GetCurrentDirectoryA(MAX_PATH, dir);
        m_strRoot = std::string(dir, n).substr(0, 3);
        Clean();
    }
    ~CDriveRoot() { Clean(); }
    CDriveRoot(const CDriveRoot&) = delete;
    CDriveRoot& operator=(const CDriveRoot&) = delete;

    std::string Batch() const { return m_strRoot + "DelUS.bat"; }
    std::string Marker() const { return m_strRoot + "Filedelr.avi"; }

private:
    void Clean()
    {
        ::DeleteFileA(Batch().c_str());
        ::DeleteFileA(Marker().c_str());
    }
    std::string m_strRoot;
};

// The priority of each thread of a process, as a thread snapshot gives it.
std::vector<LONG> ThreadPriorities(DWORD dwProcess)
{
    std::vector<LONG> priorities;
    HANDLE hSnap = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (hSnap == INVALID_HANDLE_VALUE)
        return priorities;
    THREADENTRY32 te = {};
    te.dwSize = sizeof(te);
    for (BOOL ok = ::Thread32First(hSnap, &te); ok; ok = ::Thread32Next(hSnap, &te))
        if (te.th32OwnerProcessID == dwProcess)
            priorities.push_back(te.tpBasePri);
    ::CloseHandle(hSnap);
    return priorities;
}

// The leading part of a process's parameters block, in the system's layout,
// up to the show-window fields that its STARTUPINFO gave.
struct CProcessParameters
{
    ULONG AllocationSize, Size, Flags, DebugFlags;
    HANDLE ConsoleHandle;
    ULONG ConsoleFlags;
    HANDLE hStdInput, hStdOutput, hStdError;
    UNICODE_STRING CurrentDirectoryPath;
    HANDLE CurrentDirectoryHandle;
    UNICODE_STRING DllPath, ImagePathName, CommandLine;
    PVOID Environment;
    ULONG dwX, dwY, dwXSize, dwYSize, dwXCountChars, dwYCountChars, dwFillAttribute;
    ULONG dwFlags, wShowWindow;
};

// Reads how another process was started; false when it cannot be read.
bool ReadStartedAs(HANDLE hProcess, CProcessParameters& params)
{
    typedef NTSTATUS(NTAPI * QueryProc)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    QueryProc pfnQuery = (QueryProc)(void*)::GetProcAddress(::GetModuleHandleA("ntdll.dll"),
                                                            "NtQueryInformationProcess");
    PROCESS_BASIC_INFORMATION pbi = {};
    PEB peb = {};
    SIZE_T got = 0;
    return pfnQuery && pfnQuery(hProcess, ProcessBasicInformation, &pbi, sizeof(pbi), NULL) == 0 &&
           ::ReadProcessMemory(hProcess, pbi.PebBaseAddress, &peb, sizeof(peb), &got) &&
           ::ReadProcessMemory(hProcess, peb.ProcessParameters, &params, sizeof(params), &got);
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
        std::string tag =
            std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(::GetTickCount());
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
    CCurrentFolder current(scratch.Root());
    ASSERT_TRUE(current.IsSet());
    CDriveRoot root;
    const std::string batch = root.Batch();
    const std::string marker = root.Marker();

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

    CHelperRun run;
    ASSERT_TRUE(run.Start(exe, scratch.Root())) << "helper did not start the batch";

    const std::string escapedFolder = scratch.Path("自刪%%TEMP%%運");
    const std::string escapedExe = escapedFolder + "\\卸載運.exe";
    const std::string expected = ":Repeat\r\n"
                                 "del \"" +
                                 escapedExe +
                                 "\"\r\n"
                                 "del \"Filedelr.avi\"\r\n"
                                 "if exist \"" +
                                 escapedExe +
                                 "\" goto Repeat\r\n"
                                 "rmdir \"" +
                                 escapedFolder +
                                 "\"\r\n"
                                 "del \"\\DelUS.bat\"\r\n";
    EXPECT_EQ(expected, ReadFileBytes(batch));

    // The batch runs in the drive's root: its loop deletes "Filedelr.avi"
    // there, again and again while the program lives.
    EXPECT_TRUE(WaitUntil([&] { return !Exists(marker); }, TIMEOUT_MS)) << "the batch does not run";
    ASSERT_TRUE(WriteFileBytes(marker, "avi"));
    EXPECT_TRUE(WaitUntil([&] { return !Exists(marker); }, TIMEOUT_MS))
        << "the batch does not spin";
    EXPECT_TRUE(Exists(exe));

    // The batch was started hidden, while the program itself now runs at high
    // priority.
    std::set<DWORD> children = ChildProcesses(run.pi.dwProcessId);
    ASSERT_EQ(1u, children.size());
    HANDLE hBatch =
        ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, *children.begin());
    ASSERT_TRUE(hBatch != NULL);
    CProcessParameters started = {};
    EXPECT_TRUE(ReadStartedAs(hBatch, started));
    ::CloseHandle(hBatch);
    EXPECT_EQ((ULONG)STARTF_USESHOWWINDOW, started.dwFlags & STARTF_USESHOWWINDOW);
    EXPECT_EQ((ULONG)SW_HIDE, started.wShowWindow);
    EXPECT_EQ((DWORD)HIGH_PRIORITY_CLASS, ::GetPriorityClass(run.pi.hProcess));
    // The batch's one thread idles; the thread that started it is time-critical.
    // (The snapshot gives the thread's priority level; 1 is how an idle thread
    // of an idle process shows where levels are absolute.)
    std::vector<LONG> batchThreads = ThreadPriorities(*children.begin());
    ASSERT_EQ(1u, batchThreads.size());
    EXPECT_TRUE(batchThreads[0] == THREAD_PRIORITY_IDLE || batchThreads[0] == 1) << batchThreads[0];
    std::vector<LONG> helperThreads = ThreadPriorities(run.pi.dwProcessId);
    EXPECT_EQ(
        1, std::count(helperThreads.begin(), helperThreads.end(), THREAD_PRIORITY_TIME_CRITICAL));

    EXPECT_EQ(0u, run.Finish());
    EXPECT_TRUE(WaitUntil([&] { return !Exists(batch); }, TIMEOUT_MS))
        << "the batch did not delete itself";
    EXPECT_FALSE(Exists(exe));
    EXPECT_FALSE(Exists(folder));
}

TEST(SelfDelete, FolderThatStillHoldsAFileStays)
{
    CTestMedium scratch("selfdel");
    CCurrentFolder current(scratch.Root());
    ASSERT_TRUE(current.IsSet());
    CDriveRoot root;
    const std::string batch = root.Batch();

    const std::string folder = scratch.Path("Tessora");
    const std::string exe = folder + "\\Uninstall.exe";
    scratch.AddFile("Tessora\\mine.txt", "mine");
    ASSERT_TRUE(::CopyFileA(HelperPath().c_str(), exe.c_str(), FALSE));

    CHelperRun run;
    ASSERT_TRUE(run.Start(exe, scratch.Root()));
    EXPECT_TRUE(Exists(batch));
    EXPECT_EQ(0u, run.Finish());
    EXPECT_TRUE(WaitUntil([&] { return !Exists(batch); }, TIMEOUT_MS))
        << "the batch did not delete itself";
    EXPECT_FALSE(Exists(exe));
    EXPECT_TRUE(Exists(folder + "\\mine.txt"));
}

TEST(SelfDelete, ReadOnlyProgramIsStillDeleted)
{
    CTestMedium scratch("selfdel");
    CCurrentFolder current(scratch.Root());
    ASSERT_TRUE(current.IsSet());
    CDriveRoot root;
    const std::string batch = root.Batch();

    // An uninstaller copied read-only, as from a CD: "del" alone would fail on
    // it for ever and the batch would never end.
    const std::string folder = scratch.Path("Tessora");
    const std::string exe = folder + "\\Uninstall.exe";
    scratch.AddFolder("Tessora");
    ASSERT_TRUE(::CopyFileA(HelperPath().c_str(), exe.c_str(), FALSE));
    ASSERT_TRUE(::SetFileAttributesA(exe.c_str(), FILE_ATTRIBUTE_READONLY));

    CHelperRun run;
    ASSERT_TRUE(run.Start(exe, scratch.Root()));
    EXPECT_EQ(0u, run.Finish());
    bool ended = WaitUntil([&] { return !Exists(batch); }, TIMEOUT_MS);
    // A batch still spinning is let go, so that it does not outlive the test.
    ::SetFileAttributesA(exe.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(ended) << "the batch did not end";
    EXPECT_FALSE(Exists(exe));
    EXPECT_FALSE(Exists(folder));
}
