// The one command-line option both programs know, and the exit codes they end
// with, so that deployment scripts can run them without anyone at the machine.
#pragma once
#include "framework/CString.h"

// Exit codes. Without the unattended option a run ends with EXIT_CODE_DONE
// whatever the user chose, as it always has; only a worker that cannot start
// and an unknown option say otherwise there.
enum
{
    // The run went through to its end (or there was nothing to do).
    EXIT_CODE_DONE = 0,
    // The run was ended before its end.
    EXIT_CODE_ENDED = 1,
    // An option the program does not know: nothing was done.
    EXIT_CODE_BAD_OPTION = 2,
    // Setup went through to its end but had to skip a product folder missing
    // from the medium (made empty and logged).
    EXIT_CODE_INCOMPLETE = 3
};

// Reads the program's arguments (the command line after the program's name),
// separated by blanks. The one option is "/S" (or "/s", "-S", "-s"): run
// unattended, with no window and no question. Returns FALSE when any argument
// is something else. bUnattended is TRUE when
// the option is among the arguments, even beside an unknown one: whoever asked
// for silence must not get a message box that waits for a click.
BOOL ReadUnattendedOptions(const CString& strArgs, BOOL& bUnattended);
