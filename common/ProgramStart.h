// How both programs start: the options read, the diagnostic log opened when
// asked for, and the run's first events written to it.
#pragma once
#include "common/ProgramOptions.h"
#include "framework/CWinApp.h"

// Reads pApp's command line into options and opens the log they ask for;
// unattended, the system's own error boxes are turned off first.
// FALSE when the program must end with EXIT_CODE_BAD_OPTION before it changes
// anything: an unknown option (a box shows
// pszOptionsText) or a log file that cannot be created (a box tells why);
// unattended, no box is shown. Without a path the log is a new file in the
// user's temporary folder named by the program, the date and the time.
BOOL TakeProgramOptions(const CWinApp* pApp, LPCTSTR pszOptionsText, CProgramOptions& options);
