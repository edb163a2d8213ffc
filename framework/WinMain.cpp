// The entry point of a program built on this layer: it runs the single
// application object. Kept in its own file so that only programs that have an
// application object link it.
#include "framework/CWinApp.h"
#include "bench/PhaseMarks.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    PHASE_MARK("winmain");
    int nResult = AfxWinMain(hInstance);
    PHASE_MARK("winmain returns");
    return nResult;
}
