// The system's own text for an error code, as the programs show it to the user.
#pragma once
#include "framework/CString.h"

// In the system's language; empty when the system has none.
CString SystemErrorText(DWORD dwError);
// For the diagnostic log: "error N: text", on one line.
CString SystemErrorLine(DWORD dwError);
