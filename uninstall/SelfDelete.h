// Starts the hidden batch "\DelUS.bat" that deletes the running program's file
// once the program has ended, then its folder if that is empty, then itself.
#pragma once
#include <windows.h>

// Writes the batch at the root of the current drive and starts it suspended at
// idle priority, lowers its thread to idle, raises the calling thread to
// time-critical and the process to high priority, and lets the batch run.
// TRUE when the batch was started; on a failure the uninstaller simply stays
// (FALSE, with the system's error code set where a call failed).
BOOL StartSelfDelete();
