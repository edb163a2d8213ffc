// The command-line options both programs know. Each option is one row of the
// reader's table, so another option is one more row.
#pragma once
#include "framework/CString.h"

struct CProgramOptions
{
    // "/S": run unattended, with no window and no question.
    BOOL m_bUnattended = FALSE;
    // "/LOG" or "/LOG=<path>": write a diagnostic log of the run; without a
    // path the log goes to a new file in the user's temporary folder.
    BOOL m_bLog = FALSE;
    CString m_strLogPath;
};

// Reads the program's arguments (the command line after the program's name),
// separated by blanks outside double quotes. An option starts with "/" or "-",
// its name in any letter case; one that takes a value has it after "=", where
// double quotes may enclose blanks and are taken away. Returns FALSE when any
// argument is something else (a value given to an option that takes none, an
// empty value); what was read is set all the same, so that whoever asked for
// silence gets no message box that waits for a click.
BOOL ReadProgramOptions(const CString& strArgs, CProgramOptions& options);
