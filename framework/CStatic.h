// A static control of a dialog template. Kept for the MFC shape: a dialog's
// member names its control's class; the class adds nothing.
#pragma once
#include "framework/CWnd.h"

class CStatic : public CWnd
{
};
