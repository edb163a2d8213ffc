// Starts the hidden batch "\DelUS.bat" that deletes the running program's file
// once the program has ended, then its folder if that is empty, then itself.
#pragma once

// Writes the batch at the root of the current drive and starts it suspended at
// idle priority, lowers its thread to idle, raises the calling thread to
// time-critical and the process to high priority, and lets the batch run.
// Nothing is reported: on a failure the uninstaller simply stays.
void StartSelfDelete();
