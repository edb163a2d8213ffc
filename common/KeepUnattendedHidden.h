// How an unattended run keeps its dialog unseen while the dialog does its work.
#pragma once
#include <windows.h>

// For a dialog's WM_WINDOWPOSCHANGING (lParam: its WINDOWPOS): unattended,
// every attempt to show the dialog (its template's own style, the modal
// loop's) is turned into a plain move, so it is never seen.
void KeepUnattendedHidden(BOOL bUnattended, LPARAM lParam);
