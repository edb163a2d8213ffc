// The entry point of a program built on this layer: it runs the single
// application object. Kept in its own file so that only programs that have an
// application object link it.
#include "framework/CWinApp.h"
#include "framework/CRunLog.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    CRunLog::Phase("winmain");
    int nResult = AfxWinMain(hInstance);
    CRunLog::Phase("winmain returns");
    CRunLog::Close(nResult);
    return nResult;
}
