#include "common/OdbcInstallerError.h"

#include "framework/SystemLibrary.h"

#include <windows.h>
#include <odbcinst.h>

CString OdbcInstallerErrorText()
{
    CString strAll;
    for (WORD i = 1; i <= 8; ++i)
    {
        DWORD dwCode = 0;
        char szMessage[SQL_MAX_MESSAGE_LENGTH] = {0};
        WORD cbMessage = 0;
        RETCODE rc = SystemSQLInstallerError(i, &dwCode, szMessage, sizeof(szMessage), &cbMessage);
        if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO)
            break;
        CString strOne;
        strOne.Format("%scode %lu: %s", strAll.IsEmpty() ? "" : "; ", (unsigned long)dwCode,
                      szMessage);
        strAll += strOne;
    }
    return strAll;
}
