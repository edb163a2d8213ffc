// The system's progress bar control ("msctls_progress32"). Kept for the MFC
// shape: a dialog's member names its control's class; the class adds nothing.
#pragma once
#include "framework/CWnd.h"

#include <commctrl.h>

class CProgressCtrl : public CWnd
{
};
