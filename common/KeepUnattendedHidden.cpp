#include "common/KeepUnattendedHidden.h"

void KeepUnattendedHidden(BOOL bUnattended, LPARAM lParam)
{
    if (bUnattended)
        reinterpret_cast<WINDOWPOS*>(lParam)->flags &= ~SWP_SHOWWINDOW;
}
