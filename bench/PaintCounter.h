// Counts the paints of progress bars in another program without changing it:
// the benchmark driver sets two hooks from the counting library on the
// program's dialog thread, and the library adds every WM_PAINT that reaches a
// window of the standard progress class (our bar subclasses one) to counters
// in a named shared memory block that the driver created and reads back.
//
// A paint reaches a window in one of two ways, and each is seen by one hook:
// sent directly (RedrawWindow with RDW_UPDATENOW, UpdateWindow), seen by the
// WH_CALLWNDPROC hook; or fetched from the queue by GetMessage/PeekMessage
// with PM_REMOVE and then dispatched, seen by the WH_GETMESSAGE hook.
#pragma once
#include <windows.h>

#define PAINT_COUNTER_MAPPING "TessoraBenchPaintCounter"
#define PAINT_COUNTER_CLASS "msctls_progress32"
// Names of the hook procedures the library exports.
#define PAINT_COUNTER_SENT_HOOK "PaintCounterSentHook"
#define PAINT_COUNTER_QUEUED_HOOK "PaintCounterQueuedHook"

struct CPaintCounts
{
    volatile LONG nSent;   // paints sent to a progress bar
    volatile LONG nQueued; // paints taken from the queue for a progress bar
};
