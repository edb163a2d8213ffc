// A static control of a dialog template.
#pragma once
#include "framework/CWnd.h"

class CStatic : public CWnd
{
};
