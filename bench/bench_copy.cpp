// bench_copy SOURCE DEST: the plain copy of a folder tree, without any window,
// for the installation benchmark. Built a second time as bench_copy_messages,
// whose copy runs on a second thread and sends one message per entry to the
// first, as Setup's worker does to its dialog (the plain one never loads the
// user-interface libraries). Prints what it did; exit code 0 when every file
// and folder was copied.
#include "bench/CopyTree.h"
#ifdef BENCH_STEP_MESSAGES
#include "bench/StepMessages.h"
#endif

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3)
    {
        std::fprintf(stderr, "usage: %s SOURCE DEST\n", argv[0]);
        return 2;
    }
    DWORD start = ::GetTickCount();
#ifdef BENCH_STEP_MESSAGES
    CTreeCount count =
        RunWithStepMessages([&](CTreeStep step) { return CopyTree(argv[1], argv[2], step); });
#else
    CTreeCount count = CopyTree(argv[1], argv[2]);
#endif
    std::printf("bench_copy: %ld files, %ld folders, %ld failed, %lu ms\n", count.nFiles,
                count.nFolders, count.nFailed, (unsigned long)(::GetTickCount() - start));
    return count.nFailed == 0 ? 0 : 1;
}
