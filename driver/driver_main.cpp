// The command-line driver of our programs, for the demo and the benchmark:
//
//   tessora_driver install   SETUP.EXE     [--shots FOLDER] [--timeout SECONDS] [--args "ARGS"]
//   tessora_driver uninstall UNINSTALL.EXE [--shots FOLDER] [--timeout SECONDS] [--args "ARGS"]
//   tessora_driver uninstall --attach      [--shots FOLDER] [--timeout SECONDS]
//   tessora_driver run PROGRAM "ARGUMENTS" [--timeout SECONDS]
//   tessora_driver quiet "COMMAND LINE"    [--timeout SECONDS]
//
// --args gives the program those arguments (the benchmark's /LOG rows).
// Options of the benchmark: --paints LIBRARY counts the paints of the program's
// progress bar with the hook library bench_paints.dll (the program starts
// suspended until its dialog thread is hooked); --bench adds one line
// "bench: KEY=VALUE ..." with the figures. `run` times a plain program from its
// start to its end.
//
// It runs the program as a user would (answers the question with Yes, waits for
// the completed look, clicks Finish), optionally saves screenshots (BMP) of
// each look, and prints how long the program ran. Exit code 0 when the program
// went through to its end and ended by itself. `install` also tells from what
// kind of drive Setup was started. `uninstall --attach` starts nothing: it takes
// over an Uninstall that someone else started (the list of installed programs),
// found by its question's caption among the desktop's windows. `quiet` starts
// a whole command line as a deployment tool does (an unattended run, /S) and
// watches the desktop until the program ends: exit code 0 when the program
// ended with 0 and never showed a window.
#include "driver/CProgramDriver.h"
#include "driver/ProgramFacts.h"
#include "bench/CPaintCounterHooks.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace
{
DWORD g_timeoutMs = 120000;
std::string g_shots;
std::string g_paintLibrary;
std::string g_args;
bool g_bench = false;
// Performance counter readings at the program's start and at its end: the
// benchmark's breakdown puts the program's own phase marks between them.
LONGLONG g_qpcStart = 0;
LONGLONG g_qpcEnd = 0;

LONGLONG QpcNow()
{
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}

// Starts the program; with a paint count, hooks its main (dialog) thread
// before it runs a single instruction of its own.
bool StartCounted(CProgramDriver& driver, const std::string& strProgram, CPaintCounterHooks& hooks)
{
    g_qpcStart = QpcNow();
    if (g_paintLibrary.empty())
        return driver.Start(strProgram, g_args);
    if (!driver.Start(strProgram, g_args, CREATE_SUSPENDED))
        return false;
    bool hooked = hooks.Attach(g_paintLibrary, driver.GetMainThreadId());
    driver.ResumeMainThread();
    if (!hooked)
        std::fprintf(stderr, "driver: cannot hook the program with %s\n", g_paintLibrary.c_str());
    return hooked;
}

// What kind of drive the program lies on, as the system reports it.
const char* DriveKind(const std::string& strProgram)
{
    std::string root = strProgram.substr(0, 3);
    switch (::GetDriveTypeA(root.c_str()))
    {
    case DRIVE_CDROM:
        return "CD-ROM drive";
    case DRIVE_FIXED:
        return "fixed drive";
    case DRIVE_REMOVABLE:
        return "removable drive";
    case DRIVE_REMOTE:
        return "network drive";
    default:
        return "unknown drive";
    }
}

// Width in pixels of the dialog's progress bar; 0 when it has none.
long BarWidth(HWND hDlg)
{
    HWND hBar = ::FindWindowExA(hDlg, NULL, PAINT_COUNTER_CLASS, NULL);
    RECT rc = {};
    return hBar && ::GetClientRect(hBar, &rc) ? rc.right - rc.left : 0;
}

void PrintBench(const char* pszWhat, DWORD dwDone, DWORD dwEnded, DWORD dwExit,
                const CPaintCounterHooks& hooks, long nBarWidth)
{
    if (!g_bench)
        return;
    std::printf("bench: program=%s done_ms=%lu ms=%lu exit=%lu qpc_start=%lld qpc_end=%lld",
                pszWhat, (unsigned long)dwDone, (unsigned long)dwEnded, (unsigned long)dwExit,
                (long long)g_qpcStart, (long long)g_qpcEnd);
    if (nBarWidth > 0)
        std::printf(" bar_px=%ld", nBarWidth);
    if (!g_paintLibrary.empty())
        std::printf(" paints=%ld sent=%ld queued=%ld", (long)hooks.Total(), (long)hooks.Sent(),
                    (long)hooks.Queued());
    std::printf("\n");
}

// A window that has just appeared or changed may not have painted yet (its
// paints wait until its queue is empty): it paints everything now. Wine hands
// a program's drawing to the X server only when the program's thread next
// waits, so the picture is taken a moment later. Never on a suspended thread,
// which would not answer.
void PaintNow(HWND hWnd)
{
    if (g_shots.empty())
        return;
    ::RedrawWindow(hWnd, NULL, NULL,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    ::Sleep(200);
}

void Shot(HWND hWnd, const char* pszName)
{
    if (g_shots.empty())
        return;
    std::string path = g_shots + "\\" + pszName;
    if (!SaveWindowShot(hWnd, path))
        std::fprintf(stderr, "could not save %s\n", path.c_str());
}

// Photographs a program's window in the middle of its work: the program's
// other threads are stopped for the moment of the picture, while the window's
// own thread paints it as it stands.
void ShotRunning(CProgramDriver& driver, HWND hWnd, const char* pszName)
{
    if (g_shots.empty())
        return;
    CProgramDriver::Settle(hWnd, 2000);
    DWORD dwWindowThread = ::GetWindowThreadProcessId(hWnd, NULL);
    driver.Suspend(true, dwWindowThread);
    PaintNow(hWnd);
    Shot(hWnd, pszName);
    driver.Suspend(false, dwWindowThread);
}

int Fail(CProgramDriver& driver, const char* pszWhat)
{
    std::fprintf(stderr, "driver: %s\n", pszWhat);
    driver.Kill();
    return 1;
}

int Install(const std::string& strProgram)
{
    CProgramDriver driver;
    CPaintCounterHooks hooks;
    DWORD start = ::GetTickCount();
    if (!StartCounted(driver, strProgram, hooks))
        return Fail(driver, "cannot start Setup");
    HWND hDlg = driver.WaitForWindow(nullptr, g_timeoutMs);
    if (!hDlg)
        return Fail(driver, "Setup showed no window");
    long nBarWidth = BarWidth(hDlg);
    if (CProgramDriver::WindowText(hDlg) == SETUP_WORKING_CAPTION)
        ShotRunning(driver, hDlg, "setup-installing.bmp");
    if (!CProgramDriver::WaitForCaption(hDlg, SETUP_DONE_CAPTION, g_timeoutMs))
        return Fail(driver, "Setup did not reach its completed look");
    DWORD installed = ::GetTickCount() - start;
    CProgramDriver::Settle(hDlg, 2000);
    bool looksDone = !::IsWindowVisible(::GetDlgItem(hDlg, SETUP_BAR_ID)) &&
                     ::IsWindowVisible(::GetDlgItem(hDlg, SETUP_HINT_ID)) &&
                     ::IsWindowVisible(::GetDlgItem(hDlg, IDOK));
    PaintNow(hDlg);
    Shot(hDlg, "setup-done.bmp");
    CProgramDriver::Press(hDlg, IDOK);
    DWORD exitCode = 0;
    if (!driver.WaitForExit(g_timeoutMs, &exitCode))
        return Fail(driver, "Setup did not end after Finish");
    g_qpcEnd = QpcNow();
    DWORD ended = ::GetTickCount() - start;
    std::printf("setup: %s (%s): completed look after %lu ms, ended after %lu ms, "
                "exit code %lu%s\n",
                strProgram.c_str(), DriveKind(strProgram), (unsigned long)installed,
                (unsigned long)ended, (unsigned long)exitCode,
                looksDone ? "" : " (completed look incomplete)");
    PrintBench("setup", installed, ended, exitCode, hooks, nBarWidth);
    return looksDone && exitCode == 0 ? 0 : 1;
}

int Uninstall(const std::string& strProgram)
{
    CProgramDriver driver;
    CPaintCounterHooks hooks;
    DWORD start = ::GetTickCount();
    HWND hBox = NULL;
    if (strProgram == "--attach")
    {
        hBox = CProgramDriver::WaitForDesktopMessageBox(UNINSTALL_QUESTION_CAPTION, IDYES,
                                                        g_timeoutMs);
        if (!hBox)
            return Fail(driver, "no Uninstall question on the desktop");
        if (!driver.Attach(hBox))
            return Fail(driver, "cannot take over the program that asks");
    }
    else
    {
        if (!StartCounted(driver, strProgram, hooks))
            return Fail(driver, "cannot start Uninstall");
        hBox = driver.WaitForMessageBox(IDYES, g_timeoutMs);
        if (!hBox)
            return Fail(driver, "Uninstall asked nothing");
    }
    PaintNow(hBox);
    Shot(hBox, "uninstall-question.bmp");
    CProgramDriver::Press(hBox, IDYES);
    HWND hDlg = driver.WaitForWindow(UNINSTALL_CAPTION, g_timeoutMs);
    if (!hDlg)
    {
        DWORD exitCode = 0;
        if (driver.WaitForExit(g_timeoutMs, &exitCode))
        {
            std::printf("uninstall: ended without its dialog (no install log), exit code %lu\n",
                        (unsigned long)exitCode);
            return 1;
        }
        return Fail(driver, "Uninstall showed no dialog");
    }
    HWND hDone = ::GetDlgItem(hDlg, UNINSTALL_DONE_ID);
    long nBarWidth = BarWidth(hDlg);
    if (!::IsWindowVisible(hDone))
        ShotRunning(driver, hDlg, "uninstall-running.bmp");
    DWORD t0 = ::GetTickCount();
    while (!::IsWindowVisible(hDone) || !::IsWindowEnabled(::GetDlgItem(hDlg, IDOK)))
    {
        if (::GetTickCount() - t0 > g_timeoutMs)
            return Fail(driver, "Uninstall did not complete");
        ::Sleep(5);
    }
    DWORD removed = ::GetTickCount() - start;
    CProgramDriver::Settle(hDlg, 2000);
    PaintNow(hDlg);
    Shot(hDlg, "uninstall-done.bmp");
    CProgramDriver::Press(hDlg, IDOK);
    DWORD exitCode = 0;
    if (!driver.WaitForExit(g_timeoutMs, &exitCode))
        return Fail(driver, "Uninstall did not end after Finish");
    g_qpcEnd = QpcNow();
    DWORD ended = ::GetTickCount() - start;
    std::printf("uninstall: completed after %lu ms, ended after %lu ms, exit code %lu\n",
                (unsigned long)removed, (unsigned long)ended, (unsigned long)exitCode);
    PrintBench("uninstall", removed, ended, exitCode, hooks, nBarWidth);
    return exitCode == 0 ? 0 : 1;
}
int Quiet(const std::string& strCommandLine)
{
    CProgramDriver driver;
    if (!driver.StartCommandLine(strCommandLine))
        return Fail(driver, "cannot start the command line");
    DWORD start = ::GetTickCount();
    CProgramDriver::CWatchedRun run = driver.WatchToEnd(g_timeoutMs);
    if (!run.bEnded)
        return Fail(driver, "the program did not end by itself");
    std::printf("quiet: ended after %lu ms, exit code %lu, %u top-level windows, %s\n",
                (unsigned long)(::GetTickCount() - start), (unsigned long)run.dwExit,
                (unsigned)run.windows.size(), run.bVisible ? "one of them shown" : "none shown");
    return run.dwExit == 0 && !run.bVisible ? 0 : 1;
}

// A program without a user interface, timed from its start to its end; its
// output goes to the console as it is.
int Run(const std::string& strProgram, const std::string& strArgs)
{
    CProgramDriver driver;
    CPaintCounterHooks none;
    DWORD start = ::GetTickCount();
    if (!driver.Start(strProgram, strArgs))
        return Fail(driver, "cannot start the program");
    DWORD exitCode = 0;
    if (!driver.WaitForExit(g_timeoutMs, &exitCode))
        return Fail(driver, "the program did not end");
    DWORD ended = ::GetTickCount() - start;
    std::printf("run: ended after %lu ms, exit code %lu\n", (unsigned long)ended,
                (unsigned long)exitCode);
    std::string saved = g_paintLibrary;
    g_paintLibrary.clear();
    PrintBench("run", ended, ended, exitCode, none, 0);
    g_paintLibrary = saved;
    return exitCode == 0 ? 0 : 1;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
    {
        std::fprintf(stderr, "usage: %s install|uninstall PROGRAM [--shots FOLDER] [--timeout S]\n",
                     argv[0]);
        return 2;
    }
    std::string command = argv[1];
    // `run` takes the program's arguments as one word before the options.
    int first = command == "run" ? 4 : 3;
    for (int i = first; i < argc; ++i)
    {
        if (std::strcmp(argv[i], "--bench") == 0)
            g_bench = true;
        else if (i + 1 >= argc)
            break;
        else if (std::strcmp(argv[i], "--shots") == 0)
            g_shots = argv[++i];
        else if (std::strcmp(argv[i], "--timeout") == 0)
            g_timeoutMs = (DWORD)std::atoi(argv[++i]) * 1000;
        else if (std::strcmp(argv[i], "--paints") == 0)
            g_paintLibrary = argv[++i];
        else if (std::strcmp(argv[i], "--args") == 0)
            g_args = argv[++i];
    }
    if (command == "install")
        return Install(argv[2]);
    if (command == "uninstall")
        return Uninstall(argv[2]);
    if (command == "quiet")
        return Quiet(argv[2]);
    if (command == "run")
        return Run(argv[2], argc > 3 ? argv[3] : "");
    std::fprintf(stderr, "unknown command %s\n", argv[1]);
    return 2;
}
