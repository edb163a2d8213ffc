// bench_delete FOLDER: the plain removal of a folder tree, without any window,
// for the removal benchmark. Built a second time as bench_delete_messages,
// whose removal runs on a second thread and sends one message per file to the
// first, whose window shows the file's path, as Uninstall's worker and dialog
// do. Prints what it did; exit code 0 when everything was removed.
#include "bench/DeleteTree.h"
#ifdef BENCH_STEP_MESSAGES
#include "bench/StepMessages.h"
#endif

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    DWORD start = ::GetTickCount();
#ifdef BENCH_STEP_MESSAGES
    CTreeCount count =
        RunWithStepMessages([&](CTreeStep step) { return DeleteTree(argv[1], step); }, true);
#else
    CTreeCount count = DeleteTree(argv[1]);
#endif
    std::printf("bench_delete: %ld files, %ld folders, %ld failed, %lu ms\n", count.nFiles,
                count.nFolders, count.nFailed, (unsigned long)(::GetTickCount() - start));
    return count.nFailed == 0 ? 0 : 1;
}
