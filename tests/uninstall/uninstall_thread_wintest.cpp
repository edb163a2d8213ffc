#include "fixtures/FakeComponents.h"
#include "framework/CWnd.h"
#include "setup/SetupThread.h"
#include "uninstall/UninstallDlg.h"
#include "uninstall/UninstallThread.h"
#include "support/CRecordingDialog.h"
#include "support/RegistryTree.h"
#include "support/TestMedium.h"
#include "support/Wait.h"

#include <gtest/gtest.h>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace
{
const char PRODUCT_KEY[] = "SOFTWARE\\Quorvatek\\Tessora\\V5";
const char UNINSTALL_ENTRY_KEY[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tessora V5";
// Keys of the stop tests: the product's keys stay out of them.
const char TEST_KEY[] = "Software\\TessoraUninstallTest";

bool Exists(const std::string& path)
{
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// One message the worker sent, with what could be seen while it was handled.
struct CEvent
{
    UINT nMessage;
    std::string strPath; // UM_FILE_DELETED only
    bool bFileThere;     // whether that file still existed
};

// The dialog's stand-in: it keeps every message of the worker with what could
// be seen then, and may act on it (on the dialog's thread, as the dialog would).
class CDialogStandIn : public CRecordingDialog
{
public:
    CDialogStandIn() : CRecordingDialog(UM_FILE_DELETED, UM_LOG_FAILED) {}

    std::vector<std::string> DeletedPaths() const
    {
        std::vector<std::string> paths;
        for (const CEvent& e : m_events)
            if (e.nMessage == UM_FILE_DELETED)
                paths.push_back(e.strPath);
        return paths;
    }

    std::vector<CEvent> m_events;
    std::function<void(const CEvent&)> m_onEvent;

protected:
    void OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        CEvent e{message, "", false};
        if (message == UM_FILE_DELETED)
        {
            e.strPath = (const char*)lParam;
            e.bFileThere = Exists(e.strPath);
        }
        m_events.push_back(e);
        if (m_onEvent)
            m_onEvent(e);
    }
};

// The worker without its last act: a test must not start the batch that would
// delete the test program itself.
class CTestUninstall : public CUninstallThread
{
public:
    int m_nSelfDeletes = 0;

protected:
    void SelfDelete() override { ++m_nSelfDeletes; }
};

// Loads the log, starts the worker as the dialog does and waits for its end
// while serving the stand-in's messages.
void RunUninstall(CTestUninstall& worker, CDialogStandIn& dialog, const std::string& logPath)
{
    ASSERT_TRUE(worker.Start(&dialog.m_wnd, logPath.c_str()));
    ASSERT_TRUE(worker.WaitPumping(120000)) << "worker did not end";
}

// The values of the lines of a log file that start with the prefix, in order.
std::vector<std::string> LoggedValues(const std::string& logPath, const std::string& prefix)
{
    std::vector<std::string> values;
    for (const std::string& line : TextLines(ReadFileBytes(logPath)))
        if (line.compare(0, prefix.size(), prefix) == 0)
            values.push_back(line.substr(prefix.size()));
    return values;
}

} // namespace

TEST(UninstallWorker, ReplaysTheLogThatSetupWrote)
{
    CFakeDriverRegistration driver;
    ASSERT_TRUE(driver.IsDone());
    CTestMedium medium("medium");
    CTestMedium target("install");
    CFixtureRecord record("TESSORA_ODBC_RECORD", target.Path("odbc.txt"));
    medium.AddFile("Database\\填充图案.mdb", "db");
    medium.AddFile("Support\\2000-02\\Arx\\FillBoot.arx", "arx");
    medium.AddFile("HatchPat\\a.pat", "a");
    medium.AddFile("HatchPat\\b.pat", "b");
    medium.AddFile("HatchPat\\運\\c.pat", "c");
    medium.AddFile("Controls\\readme.txt", "r");
    medium.AddFile("Setup.exe", "setup");
    medium.AddFile("Uninstall.exe", "uninstall");
    medium.AddFile("readme.txt", "readme");

    // The real Setup worker installs the medium and writes the log.
    const std::string install = target.Path("Tessora\\");
    {
        CSetupThread setup;
        ASSERT_TRUE(setup.Start(NULL, medium.Root().c_str(), install.c_str(), FALSE));
        ASSERT_TRUE(setup.WaitPumping(120000)) << "Setup's worker did not end";
    }
    const std::string logPath = install + "Uninstall.log";
    ASSERT_TRUE(Exists(logPath));
    std::vector<CDriverCall> calls = DriverCalls(record);
    ASSERT_EQ(1u, calls.size()) << "Setup's data source request";
    const std::vector<std::string> createdWith = calls[0].attributes;
    record.Clear();

    // What the user did meanwhile: a file gone, a file made read-only, a file
    // of their own in a logged folder; and the maker's key has a value.
    ::DeleteFileA((install + "HatchPat\\a.pat").c_str());
    ::SetFileAttributesA((install + "Support\\2000-02\\Arx\\FillBoot.arx").c_str(),
                         FILE_ATTRIBUTE_READONLY);
    WriteFileBytes(install + "HatchPat\\運\\mine.pat", "mine");
    ASSERT_TRUE(SetRegText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvatek", "keep", "1"));

    const std::vector<std::string> files = LoggedValues(logPath, "File Copy: ");
    ASSERT_EQ(9u, files.size());
    ASSERT_EQ(logPath, files.back());

    CDialogStandIn dialog;
    CTestUninstall worker;
    RunUninstall(worker, dialog, logPath);

    // Every logged file, in log order, one message each, the file already
    // deleted when the dialog hears of it; the read-only one stays.
    EXPECT_EQ(files, dialog.DeletedPaths());
    for (const CEvent& e : dialog.m_events)
    {
        if (e.nMessage == UM_FILE_DELETED)
        {
            EXPECT_EQ(e.strPath.find("FillBoot.arx") != std::string::npos, e.bFileThere)
                << e.strPath;
        }
    }
    std::vector<UINT> expected(files.size(), UM_FILE_DELETED);
    expected.push_back(UM_FILES_DONE);
    expected.push_back(UM_UNINSTALL_DONE);
    EXPECT_EQ(expected, dialog.Messages());
    EXPECT_FALSE(Exists(logPath));
    EXPECT_EQ(1, worker.m_nSelfDeletes);

    // Folders last first: emptied ones are gone; one holding a file stays with
    // every folder above it.
    EXPECT_FALSE(Exists(install + "Database"));
    EXPECT_FALSE(Exists(install + "Controls"));
    EXPECT_TRUE(Exists(install + "Support\\2000-02\\Arx\\FillBoot.arx"));
    EXPECT_TRUE(Exists(install + "HatchPat\\運\\mine.pat"));
    EXPECT_FALSE(Exists(install + "HatchPat\\b.pat"));
    EXPECT_TRUE(Exists(install));

    // The two logged keys go, the keys above them stay.
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, PRODUCT_KEY));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, UNINSTALL_ENTRY_KEY));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvatek\\Tessora"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvatek"));

    // One removal request for the system data source, with the same pairs.
    calls = DriverCalls(record);
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ("3", calls[0].strRequest); // ODBC_REMOVE_DSN
    EXPECT_EQ("2", calls[0].strMode);    // ODBC_SYSTEM_DSN
    EXPECT_EQ("none", calls[0].strParent);
    EXPECT_EQ("Microsoft Access Driver (*.mdb)", calls[0].strDriver);
    EXPECT_EQ(createdWith, calls[0].attributes);
    EXPECT_EQ(6u, calls[0].attributes.size());

    ::SetFileAttributesA((install + "Support\\2000-02\\Arx\\FillBoot.arx").c_str(),
                         FILE_ATTRIBUTE_NORMAL);
    DeleteRegTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvatek");
}

// Each logged control is loaded, unregistered when it can be and freed while
// its file is still there (a load after the file phase would find nothing); a
// control without the entry, a file that is no library, a missing file and a
// value cut by a NUL are passed over. Then the files go as listed.
TEST(UninstallWorker, UnregistersTheLoggedControlsBeforeAnyFileGoes)
{
    CTestMedium folder("controls");
    CFixtureRecord record("TESSORA_CONTROL_RECORD", folder.Path("record.txt"));
    folder.AddFolder("誠");
    const std::string ok = folder.Path("誠\\ok.ocx"), sfalse = folder.Path("誠\\sfalse.ocx"),
                      noentry = folder.Path("誠\\noentry.ocx"), text = folder.Path("誠\\text.ocx");
    ASSERT_TRUE(::CopyFileA(FakeControlOkPath().c_str(), ok.c_str(), FALSE));
    ASSERT_TRUE(::CopyFileA(FakeControlSFalsePath().c_str(), sfalse.c_str(), FALSE));
    ASSERT_TRUE(::CopyFileA(FakeControlNoEntryPath().c_str(), noentry.c_str(), FALSE));
    folder.AddFile("誠\\text.ocx", "not a library");
    std::string log;
    for (const std::string& path : {ok, sfalse, noentry, text})
        log += "File Copy: " + path + "\r\n";
    for (const std::string& path : {ok, sfalse, noentry, text, folder.Path("誠\\missing.ocx")})
        log += "Reg Ctrl: " + path + "\r\n";
    log += "Reg Ctrl: " + ok + std::string(1, '\0') + ".bak\r\n";
    const std::string logPath = folder.Path("Uninstall.log");
    ASSERT_TRUE(WriteFileBytes(logPath, log));

    CDialogStandIn dialog;
    CTestUninstall worker;
    RunUninstall(worker, dialog, logPath);
    EXPECT_EQ((std::vector<std::string>{"load " + ok, "unregister " + ok, "free " + ok,
                                        "load " + sfalse, "unregister " + sfalse, "free " + sfalse,
                                        "load " + noentry, "free " + noentry}),
              record.Lines());
    for (const std::string& path : {ok, sfalse, noentry, text})
        EXPECT_FALSE(Exists(path)) << path;
}

TEST(UninstallWorker, MissingInstallPathStillRemovesTheDataSource)
{
    CFakeDriverRegistration driver;
    ASSERT_TRUE(driver.IsDone());
    CTestMedium folder("log");
    CFixtureRecord record("TESSORA_ODBC_RECORD", folder.Path("odbc.txt"));
    DeleteRegTree(HKEY_LOCAL_MACHINE, PRODUCT_KEY);

    // A log that does not list the product key: the read leaves it created.
    const std::string logPath = folder.Path("Uninstall.log");
    folder.AddFile("Uninstall.log", "File Copy: " + logPath + "\r\n");
    {
        CDialogStandIn dialog;
        CTestUninstall worker;
        RunUninstall(worker, dialog, logPath);
    }
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, PRODUCT_KEY));
    std::vector<CDriverCall> calls = DriverCalls(record);
    ASSERT_EQ(1u, calls.size());
    ASSERT_EQ(6u, calls[0].attributes.size());
    EXPECT_EQ("DBQ=\\Database\\填充图案.mdb", calls[0].attributes[2]);

    // A log that lists it: created by the read, deleted by the registry phase.
    DeleteRegTree(HKEY_LOCAL_MACHINE, PRODUCT_KEY);
    folder.AddFile("Uninstall.log", "RegDB Key: 2," + std::string(PRODUCT_KEY) + "\r\n");
    {
        CDialogStandIn dialog;
        CTestUninstall worker;
        RunUninstall(worker, dialog, logPath);
    }
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, PRODUCT_KEY));
    DeleteRegTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvatek");
}

TEST(UninstallWorker, InstallFolderEndingInATrailByte5CStillGetsItsBackslash)
{
    CFakeDriverRegistration driver;
    ASSERT_TRUE(driver.IsDone());
    CTestMedium folder("log");
    CFixtureRecord record("TESSORA_ODBC_RECORD", folder.Path("odbc.txt"));
    // "運" in code page 936 ends with the trail byte 0x5C: no separator.
    const std::string install = "C:\\T\\\xDF\x5C";
    ASSERT_TRUE(SetRegText(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "installPath", install));
    CString strFolder;
    EXPECT_TRUE(CUninstallDlg().GetInstallFolder(strFolder));
    EXPECT_EQ(install + "\\", std::string((LPCTSTR)strFolder));

    const std::string logPath = folder.Path("Uninstall.log");
    folder.AddFile("Uninstall.log", "File Copy: " + logPath + "\r\n");
    {
        CDialogStandIn dialog;
        CTestUninstall worker;
        RunUninstall(worker, dialog, logPath);
    }
    std::vector<CDriverCall> calls = DriverCalls(record);
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ("DBQ=" + install + "\\Database\\填充图案.mdb", calls[0].attributes[2]);
    DeleteRegTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvatek");
}

TEST(UninstallWorker, AFileValueHoldingANulIsAStepWithNothingDeleted)
{
    // Cut at its NUL, the damaged value would name the file "T" beside it.
    CTestMedium folder("nul");
    folder.AddFile("T", "not in the log");
    folder.AddFile("b.pat", "b");
    const std::string text = "File Copy: " + folder.Path("T") + std::string(1, '\0') +
                             "\\a.pat\r\nFile Copy: " + folder.Path("b.pat") + "\r\n";
    folder.AddFile("Uninstall.log", text);
    CDialogStandIn dialog;
    CTestUninstall worker;
    RunUninstall(worker, dialog, folder.Path("Uninstall.log"));
    EXPECT_EQ((std::vector<std::string>{"", folder.Path("b.pat")}), dialog.DeletedPaths());
    EXPECT_TRUE(Exists(folder.Path("T")));
    EXPECT_FALSE(Exists(folder.Path("b.pat")));
}

TEST(UninstallWorker, DeletesOnlyTheLoggedKeysThatHaveNoSubKeys)
{
    // The keys it asks to delete; the registry calls go on as they would.
    struct CKeyRecorder : CTestUninstall
    {
        std::vector<std::string> m_deleted;
        LONG DeleteKey(HKEY hRoot, LPCTSTR pszSubKey) override
        {
            m_deleted.push_back(pszSubKey);
            return CTestUninstall::DeleteKey(hRoot, pszSubKey);
        }
    };
    const std::string parent = TEST_KEY + std::string("\\Parent");
    const std::string lone = TEST_KEY + std::string("\\Lone");
    DeleteRegTree(HKEY_CURRENT_USER, TEST_KEY);
    MakeRegKey(HKEY_CURRENT_USER, parent + "\\Child");
    MakeRegKey(HKEY_CURRENT_USER, lone);
    CTestMedium folder("keys");
    folder.AddFile("Uninstall.log", "RegDB Key: 1," + parent + "\r\nRegDB Key: 1," + lone + "\r\n");
    {
        CDialogStandIn dialog;
        CKeyRecorder worker;
        RunUninstall(worker, dialog, folder.Path("Uninstall.log"));
        EXPECT_EQ(std::vector<std::string>{lone}, worker.m_deleted);
    }
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, parent + "\\Child"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, lone));
    DeleteRegTree(HKEY_CURRENT_USER, TEST_KEY);
}

TEST(UninstallWorker, UnreadableLogPostsTheFailureAndIsNotStarted)
{
    CTestMedium folder("log");
    CDialogStandIn dialog;
    CTestUninstall worker;
    worker.m_pMainWnd = &dialog.m_wnd;
    EXPECT_FALSE(worker.LoadLog(folder.Path("missing.log").c_str()));
    // Posted, not sent: it arrives once the dialog's thread reads its queue.
    EXPECT_TRUE(dialog.m_events.empty());
    PumpMessages();
    EXPECT_EQ(std::vector<UINT>{UM_LOG_FAILED}, dialog.Messages());
}

namespace
{
// A log of three files in two nested folders and two keys, all in a scratch
// folder and a test key, for stopping the worker at chosen points.
struct CStopScene
{
    CTestMedium folder{"stop"};
    std::vector<std::string> files;
    std::string logPath;

    CStopScene()
    {
        DeleteRegTree(HKEY_CURRENT_USER, TEST_KEY);
        std::string log = "Made Dir: " + folder.Path("Outer") +
                          "\r\nMade Dir: " + folder.Path("Outer\\Inner") + "\r\n";
        for (const char* name : {"Outer\\Inner\\1.pat", "Outer\\Inner\\2.pat", "Outer\\3.pat"})
        {
            folder.AddFile(name, name);
            files.push_back(folder.Path(name));
            log += "File Copy: " + files.back() + "\r\n";
        }
        for (const char* key : {"\\One", "\\Two"})
        {
            MakeRegKey(HKEY_CURRENT_USER, TEST_KEY + std::string(key));
            log += "RegDB Key: 1," + std::string(TEST_KEY) + key + "\r\n";
        }
        logPath = folder.Path("Uninstall.log");
        WriteFileBytes(logPath, log);
    }
    ~CStopScene() { DeleteRegTree(HKEY_CURRENT_USER, TEST_KEY); }

    int FilesLeft() const
    {
        int n = 0;
        for (const std::string& f : files)
            n += Exists(f) ? 1 : 0;
        return n;
    }
    bool FoldersLeft() const { return Exists(folder.Path("Outer\\Inner")); }
    int KeysLeft() const
    {
        return KeyExists(HKEY_CURRENT_USER, TEST_KEY + std::string("\\One")) +
               KeyExists(HKEY_CURRENT_USER, TEST_KEY + std::string("\\Two"));
    }
};

// Waits, without serving it, until another thread is blocked sending a message
// to this thread; false when none comes within the time-out.
bool WaitForPendingSend(DWORD dwTimeout)
{
    return WaitUntil([]
                     { return (HIWORD(::GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) != 0; },
                     dwTimeout, 1);
}
} // namespace

TEST(UninstallWorker, StopEndsTheRunAtTheNextCheck)
{
    // The stop is raised by the dialog while it handles its Nth message (0:
    // before the start, -1: never); the messages are three files, the end of
    // the files and the end of the run.
    struct
    {
        int nStopAt;
        size_t nMessages;
        int nFilesLeft;
    } cases[] = {{-1, 5, 0}, {0, 0, 3}, {1, 1, 2}, {3, 3, 0}, {4, 4, 0}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE("stop at message " + std::to_string(c.nStopAt));
        CStopScene scene;
        CDialogStandIn dialog;
        CTestUninstall worker;
        if (c.nStopAt == 0)
            worker.RequestStop();
        dialog.m_onEvent = [&](const CEvent&)
        {
            if ((int)dialog.m_events.size() == c.nStopAt)
                worker.RequestStop();
        };
        RunUninstall(worker, dialog, scene.logPath);
        const bool bStopped = c.nStopAt >= 0;
        EXPECT_EQ(c.nMessages, dialog.m_events.size());
        EXPECT_EQ(c.nFilesLeft, scene.FilesLeft());
        EXPECT_EQ(bStopped, scene.FoldersLeft());
        EXPECT_EQ(bStopped ? 2 : 0, scene.KeysLeft());
        EXPECT_EQ(bStopped ? 0 : 1, worker.m_nSelfDeletes);
    }
}

TEST(UninstallWorker, StopWhileTheWorkerIsBlockedSendingEndsItWithoutDeadlock)
{
    // The dialog cancels (or its object goes) while the worker waits inside
    // SendMessageA for the first file; the waiting serves that message.
    for (bool bDestroy : {false, true})
    {
        SCOPED_TRACE(bDestroy ? "destroyed" : "cancelled");
        CStopScene scene;
        CDialogStandIn dialog;
        std::unique_ptr<CTestUninstall> worker(new CTestUninstall);
        ASSERT_TRUE(worker->Start(&dialog.m_wnd, scene.logPath.c_str()));
        ASSERT_TRUE(WaitForPendingSend(120000));
        HANDLE hThread = NULL;
        ASSERT_TRUE(::DuplicateHandle(::GetCurrentProcess(), worker->m_hThread,
                                      ::GetCurrentProcess(), &hThread, SYNCHRONIZE, FALSE, 0));
        if (bDestroy)
        {
            worker.reset();
        }
        else
        {
            worker->RequestStop();
            ASSERT_TRUE(worker->WaitPumping(120000));
        }
        EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(hThread, 0));
        ::CloseHandle(hThread);
        EXPECT_EQ(std::vector<UINT>{UM_FILE_DELETED}, dialog.Messages());
        EXPECT_EQ(2, scene.FilesLeft());
        EXPECT_EQ(2, scene.KeysLeft());
    }
}
