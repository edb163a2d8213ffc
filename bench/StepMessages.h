// The installer's protocol between its worker and its dialog without the
// dialog: a walk runs on a thread of its own and, after each entry, sends one
// message (SendMessageA, so it waits) to a hidden window of the calling
// thread, which only receives it. Measured beside the plain walk, it shows what
// that protocol alone costs on the platform.
#pragma once
#include "bench/CopyTree.h"

#include <functional>

// Runs walk on a new thread, handing it the step that sends the message, and
// pumps this thread's messages until the walk has ended. Returns its count.
CTreeCount RunWithStepMessages(const std::function<CTreeCount(CTreeStep)>& walk);
