// Setup's dialog when its worker cannot be started: the user is told why (the
// system's text, the program's name as caption), and the program ends with 1.
#include "common/SystemErrorText.h"
#include "framework/CWinApp.h"
#include "setup/SetupDlg.h"
#include "support/DialogWatch.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
class CNoWorkerDlg : public CSetupDlg
{
protected:
    BOOL StartWorker() override
    {
        ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
};
} // namespace

TEST(SetupWorkerStart, FailureIsToldWithTheSystemsTextAndEndsWithOne)
{
    CWinApp app("Setup");
    CNoWorkerDlg dlg;
    CDialogWatch watch;
    EXPECT_EQ(1, RunWatched(dlg, watch));
    const std::string expected = (LPCTSTR)SystemErrorText(ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_FALSE(expected.empty());
    EXPECT_EQ(expected, watch.strBoxText);
    EXPECT_EQ("Setup", watch.strBoxCaption);
}

TEST(SetupWorkerStart, UnattendedFailureShowsNothingAndEndsWithOne)
{
    CWinApp app("Setup");
    CNoWorkerDlg dlg;
    dlg.m_bUnattended = TRUE;
    CDialogWatch watch;
    EXPECT_EQ(1, RunWatched(dlg, watch));
    EXPECT_FALSE(watch.bVisible);
}
