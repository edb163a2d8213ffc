// The ODBC installer's own account of its last failure, for the diagnostic log.
#pragma once
#include "framework/CString.h"

// Every error the installer holds (SQLInstallerError 1 to 8), as
// "code N: message" joined by "; "; empty when it holds none.
CString OdbcInstallerErrorText();
