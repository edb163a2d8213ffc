// Uninstall's application object: it asks for confirmation, runs the dialog
// and then ends the program.
#pragma once
#include "framework/CWinApp.h"

class CUninstallApp : public CWinApp
{
public:
    CUninstallApp();
    BOOL InitInstance() override;
};
