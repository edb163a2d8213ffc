#include "framework/CButton.h"

void CButton::DrawItem(LPDRAWITEMSTRUCT) {}

BEGIN_MESSAGE_MAP(CButton, CWnd)
if (message == WM_REFLECT_BASE + WM_DRAWITEM)
{
    DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    *pResult = TRUE;
    return TRUE;
}
END_MESSAGE_MAP()
