// A stand-in for Uninstall.exe in the self-deletion test: a windowless GUI
// program that starts the deletion batch on its own file, tells the test it
// has done so, and ends when the test says so (or after two minutes).
// Arguments: the names of the two events, "started" and "release".
#include "uninstall/SelfDelete.h"

#include <windows.h>

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    HANDLE hStarted = ::OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[1]);
    HANDLE hRelease = ::OpenEventA(SYNCHRONIZE, FALSE, argv[2]);
    if (!hStarted || !hRelease)
        return 3;
    StartSelfDelete();
    ::SetEvent(hStarted);
    DWORD r = ::WaitForSingleObject(hRelease, 120000);
    ::CloseHandle(hStarted);
    ::CloseHandle(hRelease);
    return r == WAIT_OBJECT_0 ? 0 : 4;
}
