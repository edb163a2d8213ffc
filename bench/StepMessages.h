// The installer's protocol between its worker and its dialog without the
// dialog: a walk runs on a thread of its own and, after each entry, sends one
// message (SendMessageA, so it waits) to a window of the calling thread, which
// only receives it or, as Uninstall's dialog does, shows the path it receives
// in a static text. Measured beside the plain walk, it shows what that
// protocol and that display alone cost on the platform.
#pragma once
#include "bench/CopyTree.h"

#include <functional>

// Runs walk on a new thread, handing it the step that sends the message, and
// pumps this thread's messages until the walk has ended. Returns its count.
// With bShowText the window is shown and sets each path, as "PATH ... ", as the
// text of a static control in the dialogs' font; otherwise it stays hidden.
CTreeCount RunWithStepMessages(const std::function<CTreeCount(CTreeStep)>& walk,
                               bool bShowText = false);
