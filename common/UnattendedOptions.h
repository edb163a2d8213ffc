// The exit codes both programs end with, so that deployment scripts can run
// them without anyone at the machine.
#pragma once

// Without the unattended option a run ends with EXIT_CODE_DONE whatever the
// user chose, as it always has; only a worker that cannot start, an unknown
// option and a log that cannot be created say otherwise there.
enum
{
    // The run went through to its end (or there was nothing to do).
    EXIT_CODE_DONE = 0,
    // The run was ended before its end.
    EXIT_CODE_ENDED = 1,
    // An option the program does not know, or a diagnostic log that cannot
    // be created: nothing was done.
    EXIT_CODE_BAD_OPTION = 2,
    // Setup went through to its end but had to skip a product folder missing
    // from the medium (made empty and logged).
    EXIT_CODE_INCOMPLETE = 3
};
