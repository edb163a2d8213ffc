#include "common/CInstallLog.h"
#include "framework/CWnd.h"
#include "setup/FileCount.h"
#include "setup/SetupThread.h"
#include "support/CRecordingDialog.h"
#include "support/TestMedium.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <deque>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace
{
typedef std::vector<std::pair<std::string, std::string>> CPairs;

// The dialog's stand-in: it keeps what the worker sends.
class CSink : public CRecordingDialog
{
public:
    CSink() : CRecordingDialog(UM_SETUP_DONE, UM_COPY_STEP) {}

    CPairs m_steps; // source and destination of each UM_COPY_STEP
    int m_nDone = 0;

protected:
    void OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == UM_COPY_STEP)
            m_steps.emplace_back((const char*)wParam, (const char*)lParam);
        else if (message == UM_SETUP_DONE)
            ++m_nDone;
    }
};

// The worker with its prompts answered from a script; each answer may first
// change the world (make a folder appear) on the worker's thread.
class CScriptedSetup : public CSetupThread
{
public:
    struct CAnswer
    {
        int nButton;
        std::function<void()> action;
    };
    std::deque<CAnswer> m_answers;
    std::vector<std::pair<std::string, UINT>> m_prompts;

protected:
    int Prompt(LPCTSTR pszText, UINT nType) override
    {
        m_prompts.emplace_back(pszText, nType);
        if (m_answers.empty())
            return IDCANCEL;
        CAnswer answer = m_answers.front();
        m_answers.pop_front();
        if (answer.action)
            answer.action();
        return answer.nButton;
    }
};

// Runs the worker to its end while this thread serves the sink's messages.
// The thread object is never left behind while its thread runs.
DWORD RunWorker(CScriptedSetup& worker, CSink& sink, const std::string& source,
                const std::string& install)
{
    if (!worker.Start(&sink.m_wnd, source.c_str(), install.c_str(), FALSE))
    {
        ADD_FAILURE() << "worker not started";
        return (DWORD)-1;
    }
    if (!worker.WaitPumping(60000))
    {
        ADD_FAILURE() << "worker did not end";
        ::TerminateThread(worker.m_hThread, 99);
        ::WaitForSingleObject(worker.m_hThread, INFINITE);
    }
    DWORD code = 0;
    ::GetExitCodeThread(worker.m_hThread, &code);
    return code;
}

std::string SystemText(DWORD code)
{
    LPSTR buffer = NULL;
    DWORD n = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        NULL, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), (LPSTR)&buffer, 0, NULL);
    std::string text = buffer ? std::string(buffer, n) : std::string();
    ::LocalFree(buffer);
    return text;
}

// The log's entries in order, as (prefix, value).
CPairs LogEntries(const std::string& logPath)
{
    CInstallLog log;
    EXPECT_TRUE(log.Load(logPath.c_str()));
    std::string text((LPCTSTR)log.GetText(), (size_t)log.GetText().GetLength());
    CPairs entries;
    size_t at = 0;
    while (at < text.size())
    {
        size_t lf = text.find('\n', at);
        std::string line = text.substr(at, lf - at);
        size_t colon = line.find(": ");
        entries.emplace_back(line.substr(0, colon + 2), line.substr(colon + 2));
        at = lf == std::string::npos ? text.size() : lf + 1;
    }
    return entries;
}

bool StartsWith(const std::string& s, const std::string& prefix)
{
    return s.compare(0, prefix.size(), prefix) == 0;
}

const std::string MISSING_TAIL = "，\n点击“重试”按钮试图重新查找该安装文件路径；\n"
                                 "点击“忽略”按钮将跳过该路径下的操作并继续执行；\n"
                                 "点击“取消”按钮将终止程序运行。";
const std::string CREATE_TAIL = " ，\n点击“重试”按钮试图重新创建文件夹；\n"
                                "点击“取消”按钮将终止程序运行。";
} // namespace

TEST(SetupWorker, InstallsMediumWithLogInOrderAndOneStepPerFileAndSubFolder)
{
    CTestMedium src("src"), dst("dst");
    src.AddFile("Database\\填充图案.mdb", "db");
    src.AddFile("Support\\2000-02\\Arx\\FillBoot.arx", "arx");
    src.AddFolder("Support\\Empty");
    src.AddFile("Support\\運\\淺.pat", "qian");
    src.AddFile("HatchPat\\a.pat", "a");
    src.AddFile("HatchPat\\ro.pat", "ro", FILE_ATTRIBUTE_READONLY);
    src.AddFile("HatchPat\\blocked.pat", "b");
    src.AddFile("Controls\\c.ocx", "ocx");
    src.AddFile("setup.EXE", "setup");
    src.AddFile("Uninstall.exe", "un");
    src.AddFile("readme.txt", "readme", FILE_ATTRIBUTE_READONLY);
    src.AddFile("運.txt", "yun");
    src.AddFile("blocked.txt", "bt");
    EXPECT_EQ(7, CountFiles(src.Root().c_str()));

    // An earlier installation: a file to overwrite, and folders where two
    // files should go, so that their copies fail.
    const std::string inst = dst.Path("Program Files\\Quorvatek\\Tessora\\");
    dst.AddFile("Program Files\\Quorvatek\\Tessora\\Database\\填充图案.mdb", "old");
    dst.AddFolder("Program Files\\Quorvatek\\Tessora\\HatchPat\\blocked.pat");
    dst.AddFolder("Program Files\\Quorvatek\\Tessora\\blocked.txt");

    CScriptedSetup worker;
    CSink sink;
    EXPECT_EQ(0u, RunWorker(worker, sink, src.Root(), inst));
    EXPECT_TRUE(worker.m_prompts.empty());
    EXPECT_EQ(1, sink.m_nDone);

    // The tree, with the attributes the worker gave each file.
    CTree tree = dst.Read("Program Files\\Quorvatek\\Tessora");
    std::set<std::string> names;
    for (const auto& item : tree)
        names.insert(item.first);
    EXPECT_EQ((std::set<std::string>{"Database",
                                     "Database\\填充图案.mdb",
                                     "Support",
                                     "Support\\2000-02",
                                     "Support\\2000-02\\Arx",
                                     "Support\\2000-02\\Arx\\FillBoot.arx",
                                     "Support\\Empty",
                                     "Support\\運",
                                     "Support\\運\\淺.pat",
                                     "HatchPat",
                                     "HatchPat\\a.pat",
                                     "HatchPat\\ro.pat",
                                     "HatchPat\\blocked.pat",
                                     "Controls",
                                     "Controls\\c.ocx",
                                     "Uninstall.exe",
                                     "readme.txt",
                                     "運.txt",
                                     "blocked.txt",
                                     "Uninstall.log"}),
              names);
    EXPECT_EQ("db", tree["Database\\填充图案.mdb"].strContent);
    EXPECT_EQ("qian", tree["Support\\運\\淺.pat"].strContent);
    EXPECT_EQ("yun", tree["運.txt"].strContent);
    // Every copied file arrives normal, read-only or not on the medium.
    for (const char* copied :
         {"Database\\填充图案.mdb", "HatchPat\\ro.pat", "Controls\\c.ocx", "readme.txt"})
        EXPECT_EQ((DWORD)FILE_ATTRIBUTE_NORMAL, GivenAttributes(tree[copied].dwAttributes))
            << copied;
    EXPECT_EQ((DWORD)FILE_ATTRIBUTE_HIDDEN, GivenAttributes(tree["Uninstall.log"].dwAttributes));

    // One step per file (copied or not) and per sub-folder, each destination
    // the source's place in the install folder; a folder's step follows its contents.
    ASSERT_EQ(11u, sink.m_steps.size());
    for (size_t k = 0; k < sink.m_steps.size(); ++k)
    {
        const std::string& from = sink.m_steps[k].first;
        ASSERT_TRUE(StartsWith(from, src.Root())) << from;
        EXPECT_EQ(inst + from.substr(src.Root().size()), sink.m_steps[k].second);
        for (size_t later = k + 1; later < sink.m_steps.size(); ++later)
            EXPECT_FALSE(StartsWith(sink.m_steps[later].first, from + "\\")) << from;
    }

    // The log: folders asked for (never the install folder or its parents),
    // files copied, in depth-first order, the product folders in their order,
    // the files beside Setup after them (a failed one too), the log itself last.
    CPairs all = LogEntries(inst + "Uninstall.log");
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(CPairs::value_type("File Copy: ", inst + "Uninstall.log"), all.back());
    CPairs log; // the file and folder entries; the registration adds others
    for (const auto& entry : all)
        if (entry.first == "File Copy: " || entry.first == "Made Dir: ")
            log.push_back(entry);
    std::vector<std::string> dirs, files;
    for (const auto& entry : log)
        (entry.first == "Made Dir: " ? dirs : files).push_back(entry.second.substr(inst.size()));
    EXPECT_EQ(
        (std::set<std::string>{"Database", "Support", "Support\\2000-02", "Support\\2000-02\\Arx",
                               "Support\\Empty", "Support\\運", "HatchPat", "Controls"}),
        std::set<std::string>(dirs.begin(), dirs.end()));
    EXPECT_EQ(8u, dirs.size());
    EXPECT_EQ((std::set<std::string>{
                  "Database\\填充图案.mdb", "Support\\2000-02\\Arx\\FillBoot.arx",
                  "Support\\運\\淺.pat", "HatchPat\\a.pat", "HatchPat\\ro.pat", "Controls\\c.ocx",
                  "Uninstall.exe", "readme.txt", "運.txt", "blocked.txt", "Uninstall.log"}),
              std::set<std::string>(files.begin(), files.end()));
    EXPECT_EQ(11u, files.size());
    // Each folder's entry comes first and its contents follow it as one block.
    for (size_t i = 0; i < log.size(); ++i)
    {
        if (log[i].first != "Made Dir: ")
            continue;
        const std::string folder = log[i].second + "\\";
        size_t j = i + 1;
        while (j < log.size() && StartsWith(log[j].second, folder))
            ++j;
        for (size_t k = 0; k < log.size(); ++k)
            EXPECT_FALSE((k <= i || k >= j) && StartsWith(log[k].second, folder)) << log[k].second;
    }
    std::vector<std::string> tops;
    size_t lastProduct = 0;
    for (size_t i = 0; i < log.size(); ++i)
    {
        std::string rel = log[i].second.substr(inst.size());
        for (const char* product : {"Database", "Support", "HatchPat", "Controls"})
        {
            if (rel == product)
                tops.push_back(rel);
            if (rel == product || StartsWith(rel, product + std::string("\\")))
                lastProduct = i;
        }
    }
    EXPECT_EQ((std::vector<std::string>{"Database", "Support", "HatchPat", "Controls"}), tops);
    EXPECT_EQ(log.size() - 6, lastProduct);
}

TEST(SetupWorker, MissingProductFolderIgnoredGivesEmptyLoggedFolderAndGoesOn)
{
    CTestMedium src("src"), dst("dst");
    src.AddFile("Database\\d.mdb", "d");
    src.AddFile("HatchPat\\h.pat", "h");
    src.AddFolder("Controls");
    CScriptedSetup worker;
    worker.m_answers.push_back({IDIGNORE, nullptr});
    CSink sink;
    EXPECT_EQ(0u, RunWorker(worker, sink, src.Root(), dst.Root()));

    ASSERT_EQ(1u, worker.m_prompts.size());
    EXPECT_EQ(SystemText(ERROR_PATH_NOT_FOUND) + "\n找不到安装文件的路径 " + src.Root() +
                  "Support\\" + MISSING_TAIL,
              worker.m_prompts[0].first);
    EXPECT_EQ((UINT)(MB_ABORTRETRYIGNORE | MB_ICONQUESTION), worker.m_prompts[0].second);

    CTree tree = dst.Read();
    EXPECT_TRUE(tree["Support"].bFolder);
    EXPECT_EQ("h", tree["HatchPat\\h.pat"].strContent);
    EXPECT_EQ(2u, sink.m_steps.size());
    EXPECT_EQ(1, sink.m_nDone);
    CPairs log = LogEntries(dst.Path("Uninstall.log"));
    const CPairs::value_type support("Made Dir: ", dst.Root() + "Support");
    auto at = std::find(log.begin(), log.end(), support);
    ASSERT_NE(log.end(), at);
    EXPECT_EQ(CPairs::value_type("Made Dir: ", dst.Root() + "HatchPat"), *(at + 1));
}

TEST(SetupWorker, RetryFindsFolderThatHasAppeared)
{
    CTestMedium src("src"), dst("dst");
    src.AddFolder("Database");
    src.AddFolder("HatchPat");
    src.AddFolder("Controls");
    CScriptedSetup worker;
    worker.m_answers.push_back({IDRETRY, [&] { src.AddFile("Support\\s.pat", "s"); }});
    CSink sink;
    RunWorker(worker, sink, src.Root(), dst.Root());

    EXPECT_EQ(1u, worker.m_prompts.size());
    EXPECT_EQ("s", dst.Read()["Support\\s.pat"].strContent);
    EXPECT_EQ(1u, sink.m_steps.size());
    EXPECT_EQ(1, sink.m_nDone);
    CPairs log = LogEntries(dst.Path("Uninstall.log"));
    EXPECT_NE(log.end(),
              std::find(log.begin(), log.end(),
                        CPairs::value_type("File Copy: ", dst.Root() + "Support\\s.pat")));
}

TEST(SetupWorker, AbortAtFirstFolderCreatesNothingAndWritesNoLog)
{
    CTestMedium src("src"), dst("dst");
    src.AddFile("Support\\s.pat", "s");
    src.AddFile("Uninstall.exe", "u");
    CScriptedSetup worker;
    worker.m_answers.push_back({IDABORT, nullptr});
    CSink sink;
    EXPECT_EQ(0u, RunWorker(worker, sink, src.Root(), dst.Path("Program Files\\Tessora\\")));

    EXPECT_EQ(1u, worker.m_prompts.size());
    EXPECT_TRUE(dst.Read().empty());
    EXPECT_TRUE(sink.m_steps.empty());
    EXPECT_EQ(0, sink.m_nDone);
}

TEST(SetupWorker, FolderThatCannotBeCreatedPromptsRetryOrCancel)
{
    CTestMedium src("src"), dst("dst");
    src.AddFile("Database\\d.mdb", "d");

    // A path of 300 bytes: the folders that fit are made; the first that does
    // not fails the way the platform fails, and Retry fails the same way.
    // No folder ends between 230 and 280 bytes, where platforms differ in
    // what they still accept.
    std::string inst = dst.Root();
    while (inst.size() < 205)
        inst += "abcdefghijklmnopqrstuvwxy\\";
    std::string fits = inst.substr(0, inst.size() - 1);
    inst += std::string(280 - inst.size(), 'z');
    std::string tooLong = inst;
    inst += "\\Quorvatek\\Tessora\\";
    CScriptedSetup worker;
    worker.m_answers.push_back({IDRETRY, nullptr});
    worker.m_answers.push_back({IDCANCEL, nullptr});
    CSink sink;
    EXPECT_EQ(0u, RunWorker(worker, sink, src.Root(), inst));
    ASSERT_EQ(2u, worker.m_prompts.size());
    for (const auto& prompt : worker.m_prompts)
    {
        EXPECT_EQ(SystemText(ERROR_FILENAME_EXCED_RANGE) + "\n不能创建文件夹 " + tooLong +
                      CREATE_TAIL,
                  prompt.first);
        EXPECT_EQ((UINT)(MB_RETRYCANCEL | MB_ICONQUESTION), prompt.second);
    }
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(fits.c_str()));
    EXPECT_EQ(0, sink.m_nDone);

    // A file where a folder of the path should be: Retry after the way has
    // been cleared creates the folder and the run completes.
    for (const char* folder : {"Support", "HatchPat", "Controls"})
        src.AddFolder(folder);
    dst.AddFile("Tessora", "in the way");
    CScriptedSetup second;
    second.m_answers.push_back({IDRETRY, [&]
                                {
                                    ::DeleteFileA(dst.Path("Tessora").c_str());
                                    dst.AddFolder("Tessora");
                                }});
    CSink sink2;
    RunWorker(second, sink2, src.Root(), dst.Path("Tessora\\"));
    ASSERT_EQ(1u, second.m_prompts.size());
    EXPECT_NE(std::string::npos,
              second.m_prompts[0].first.find("\n不能创建文件夹 " + dst.Path("Tessora\\Database") +
                                             CREATE_TAIL));
    EXPECT_EQ("d", dst.Read()["Tessora\\Database\\d.mdb"].strContent);
    EXPECT_EQ(1, sink2.m_nDone);
}

TEST(SetupWorker, CountsAndEmptyProductFolders)
{
    CTestMedium src("src"), dst("dst");
    for (const char* folder : {"Database", "Support", "HatchPat", "Controls"})
        src.AddFolder(folder);
    src.AddFile("Setup.exe", "s");
    EXPECT_EQ(0, CountFiles(src.Root().c_str()));

    CScriptedSetup worker;
    CSink sink;
    RunWorker(worker, sink, src.Root(), dst.Root());
    EXPECT_TRUE(sink.m_steps.empty());
    EXPECT_EQ(1, sink.m_nDone);

    src.AddFile("Support\\a\\b\\deep.pat", "x");
    src.AddFile("Support\\top.pat", "x");
    src.AddFile("Support\\運\\淺.pat", "x");
    EXPECT_EQ(3, CountFiles(src.Root().c_str()));
    EXPECT_EQ(3, CountFilesIn(("  " + src.Path("Support") + "\t").c_str(), TRUE));
    EXPECT_EQ(1, CountFilesIn(src.Path("Support\\").c_str(), FALSE));
    EXPECT_EQ(1, CountFilesIn(src.Path("Support\\運").c_str(), FALSE));
    EXPECT_EQ(0, CountFilesIn(src.Path("missing").c_str(), TRUE));
    EXPECT_EQ(0, CountFilesIn("  ", TRUE));
}

TEST(SetupWorker, ListFilesGivesPlainFilesAndRestoresCurrentDirectory)
{
    CTestMedium src("src");
    src.AddFile("a.ocx", "");
    src.AddFile("b.OCX", "");
    src.AddFile("c.txt", "");
    src.AddFile("sub.ocx\\inner.ocx", "");
    char before[MAX_PATH], after[MAX_PATH];
    ::GetCurrentDirectoryA(MAX_PATH, before);

    CScriptedSetup worker;
    CStringArray names;
    names.Add("stale");
    worker.ListFiles(src.Root().c_str(), "*.ocx", names);
    std::set<std::string> found;
    for (int i = 0; i < names.GetSize(); ++i)
        found.insert((LPCTSTR)names[i]);
    EXPECT_EQ((std::set<std::string>{"a.ocx", "b.OCX"}), found);

    ::GetCurrentDirectoryA(MAX_PATH, after);
    EXPECT_STREQ(before, after);

    // A folder that cannot be entered lists nothing, not the current one's files.
    ::SetCurrentDirectoryA(src.Root().c_str());
    worker.ListFiles(src.Path("missing").c_str(), "*.*", names);
    ::SetCurrentDirectoryA(before);
    EXPECT_EQ(0, names.GetSize());
}
