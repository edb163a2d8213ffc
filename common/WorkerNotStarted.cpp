#include "common/WorkerNotStarted.h"
#include "common/SystemErrorText.h"
#include "framework/CRunLog.h"

void EndWorkerNotStarted(CDialog* pDialog, BOOL bUnattended)
{
    DWORD dwError = ::GetLastError();
    RUN_LOG("worker not started: %s", (LPCTSTR)SystemErrorLine(dwError));
    if (!bUnattended)
        pDialog->MessageBox(SystemErrorText(dwError), NULL, MB_OK | MB_ICONSTOP);
    pDialog->EndDialog(IDCANCEL);
}
