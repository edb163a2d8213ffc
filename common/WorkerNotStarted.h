// What a dialog does when its worker thread cannot be started: nothing can be
// done without it.
#pragma once
#include "framework/CDialog.h"

// Logs the system's error (the code GetLastError gives), tells the user with a
// box on pDialog unless the run is unattended, and ends the dialog.
void EndWorkerNotStarted(CDialog* pDialog, BOOL bUnattended);
