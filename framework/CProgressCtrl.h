// The system's progress bar control ("msctls_progress32").
#pragma once
#include "framework/CWnd.h"

#include <commctrl.h>

class CProgressCtrl : public CWnd
{
};
