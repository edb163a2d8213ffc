#include "common/PaintIconCentred.h"
#include "framework/CDC.h"

void PaintIconCentred(CWnd* pWnd, HICON hIcon)
{
    CPaintDC dc(pWnd);
    pWnd->SendMessage(WM_ICONERASEBKGND, (WPARAM)dc.GetSafeHdc(), 0);
    RECT rc;
    pWnd->GetClientRect(&rc);
    int x = (rc.right - rc.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (rc.bottom - rc.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    dc.DrawIcon(x, y, hIcon);
}
