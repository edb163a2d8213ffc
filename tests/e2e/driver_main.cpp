// The command-line driver of our programs, for the demo and the benchmark:
//
//   tessora_driver install   SETUP.EXE     [--shots FOLDER] [--timeout SECONDS]
//   tessora_driver uninstall UNINSTALL.EXE [--shots FOLDER] [--timeout SECONDS]
//
// It runs the program as a user would (answers the question with Yes, waits for
// the completed look, clicks Finish), optionally saves screenshots (BMP) of
// each look, and prints how long the program ran. Exit code 0 when the program
// went through to its end and ended by itself.
#include "CProgramDriver.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace
{
DWORD g_timeoutMs = 120000;
std::string g_shots;

void Shot(HWND hWnd, const char* pszName)
{
    if (g_shots.empty())
        return;
    std::string path = g_shots + "\\" + pszName;
    if (!SaveWindowShot(hWnd, path))
        std::fprintf(stderr, "could not save %s\n", path.c_str());
}

// Photographs a program's window in the middle of its work: the program is
// stopped for the moment of the picture.
void ShotRunning(CProgramDriver& driver, HWND hWnd, const char* pszName)
{
    if (g_shots.empty())
        return;
    CProgramDriver::Settle(hWnd, 2000);
    driver.Suspend(true);
    Shot(hWnd, pszName);
    driver.Suspend(false);
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
    DWORD start = ::GetTickCount();
    if (!driver.Start(strProgram))
        return Fail(driver, "cannot start Setup");
    HWND hDlg = driver.WaitForWindow(nullptr, g_timeoutMs);
    if (!hDlg)
        return Fail(driver, "Setup showed no window");
    if (CProgramDriver::WindowText(hDlg) == "正在安装...")
        ShotRunning(driver, hDlg, "setup-installing.bmp");
    if (!CProgramDriver::WaitForCaption(hDlg, "安装完成!", g_timeoutMs))
        return Fail(driver, "Setup did not reach its completed look");
    DWORD installed = ::GetTickCount() - start;
    CProgramDriver::Settle(hDlg, 2000);
    bool looksDone = !::IsWindowVisible(::GetDlgItem(hDlg, 1002)) &&
                     ::IsWindowVisible(::GetDlgItem(hDlg, 1010)) &&
                     ::IsWindowVisible(::GetDlgItem(hDlg, IDOK));
    Shot(hDlg, "setup-done.bmp");
    CProgramDriver::Press(hDlg, IDOK);
    DWORD exitCode = 0;
    if (!driver.WaitForExit(g_timeoutMs, &exitCode))
        return Fail(driver, "Setup did not end after Finish");
    std::printf("setup: completed look after %lu ms, ended after %lu ms, exit code %lu%s\n",
                (unsigned long)installed, (unsigned long)(::GetTickCount() - start),
                (unsigned long)exitCode, looksDone ? "" : " (completed look incomplete)");
    return looksDone && exitCode == 0 ? 0 : 1;
}

int Uninstall(const std::string& strProgram)
{
    CProgramDriver driver;
    DWORD start = ::GetTickCount();
    if (!driver.Start(strProgram))
        return Fail(driver, "cannot start Uninstall");
    std::string caption, text;
    HWND hBox = driver.WaitForMessageBox(IDYES, g_timeoutMs, &text, &caption);
    if (!hBox)
        return Fail(driver, "Uninstall asked nothing");
    Shot(hBox, "uninstall-question.bmp");
    CProgramDriver::Press(hBox, IDYES);
    HWND hDlg = driver.WaitForWindow("Mosaika Tessora V5.0 卸载", g_timeoutMs);
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
    HWND hDone = ::GetDlgItem(hDlg, 1003);
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
    Shot(hDlg, "uninstall-done.bmp");
    CProgramDriver::Press(hDlg, IDOK);
    DWORD exitCode = 0;
    if (!driver.WaitForExit(g_timeoutMs, &exitCode))
        return Fail(driver, "Uninstall did not end after Finish");
    std::printf("uninstall: completed after %lu ms, ended after %lu ms, exit code %lu\n",
                (unsigned long)removed, (unsigned long)(::GetTickCount() - start),
                (unsigned long)exitCode);
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
    for (int i = 3; i + 1 < argc; i += 2)
    {
        if (std::strcmp(argv[i], "--shots") == 0)
            g_shots = argv[i + 1];
        else if (std::strcmp(argv[i], "--timeout") == 0)
            g_timeoutMs = (DWORD)std::atoi(argv[i + 1]) * 1000;
    }
    std::string command = argv[1];
    if (command == "install")
        return Install(argv[2]);
    if (command == "uninstall")
        return Uninstall(argv[2]);
    std::fprintf(stderr, "unknown command %s\n", argv[1]);
    return 2;
}
