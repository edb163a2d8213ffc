// The look of a minimised dialog: its icon centred in the window, on the
// background the system erases for icons.
#pragma once
#include "framework/CWnd.h"

// Handles one WM_PAINT of a minimised window.
void PaintIconCentred(CWnd* pWnd, HICON hIcon);
