// Setup's application object: it runs the dialog and then ends the program.
#pragma once
#include "framework/CWinApp.h"

class CSetupApp : public CWinApp
{
public:
    CSetupApp();
    BOOL InitInstance() override;
};
