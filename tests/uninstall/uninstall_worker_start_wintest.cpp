// Uninstall's dialog when its worker cannot be started: the user is told why
// (the system's text, the program's name as caption), an unattended run shows
// nothing, and the program ends with 1. The bar has its range by then.
#include "common/RegistryValues.h"
#include "common/SystemErrorText.h"
#include "framework/CWinApp.h"
#include "support/DialogWatch.h"
#include "support/RegistryTree.h"
#include "support/TestMedium.h"
#include "uninstall/UninstallDlg.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
class CNoWorkerDlg : public CUninstallDlg
{
public:
    int m_nRangeAtStart = -1;

protected:
    BOOL StartWorker() override
    {
        m_nRangeAtStart = (int)m_progress.SendMessage(PBM_GETRANGE, FALSE, 0);
        ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
};

// A log of three files in a scratch folder that the product key names as the
// install folder, as Setup leaves them.
struct CInstalledLog
{
    CTestMedium folder{"worker-start"};
    CInstalledLog()
    {
        folder.AddFile("Uninstall.log", "File Copy: " + folder.Path("a") +
                                            "\r\nFile Copy: " + folder.Path("b") +
                                            "\r\nFile Copy: " + folder.Path("c") + "\r\n");
        RegWriteMachineString("SOFTWARE\\Quorvatek\\Tessora\\V5", "installPath",
                              folder.Path("").c_str());
    }
    ~CInstalledLog() { DeleteRegTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvatek"); }
};
} // namespace

TEST(UninstallWorkerStart, FailureIsToldWithTheSystemsTextAndEndsWithOne)
{
    CInstalledLog log;
    CWinApp app("Uninstall");
    CNoWorkerDlg dlg;
    CDialogWatch watch;
    EXPECT_EQ(1, RunWatched(dlg, watch));
    EXPECT_EQ(std::string((LPCTSTR)SystemErrorText(ERROR_NOT_ENOUGH_MEMORY)), watch.strBoxText);
    EXPECT_EQ("Uninstall", watch.strBoxCaption);
}

TEST(UninstallWorkerStart, UnattendedFailureShowsNothingAndEndsWithOne)
{
    CInstalledLog log;
    CWinApp app("Uninstall");
    CNoWorkerDlg dlg;
    dlg.m_bUnattended = TRUE;
    CDialogWatch watch;
    EXPECT_EQ(1, RunWatched(dlg, watch));
    EXPECT_FALSE(watch.bVisible);
    // The bar's range came from the loaded log before the worker was started.
    EXPECT_EQ(3, dlg.m_nRangeAtStart);
}
