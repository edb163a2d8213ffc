// bench_delete [--messages] FOLDER: the plain removal of a folder tree,
// without any window, for the removal benchmark; with --messages the removal
// runs on a second thread and sends one message per file to the first, as
// Uninstall's worker does to its dialog. Prints what it did; exit code 0 when
// everything was removed.
#include "bench/DeleteTree.h"
#include "bench/StepMessages.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    bool bMessages = argc == 3 && std::strcmp(argv[1], "--messages") == 0;
    if (argc != 2 && !bMessages)
    {
        std::fprintf(stderr, "usage: %s [--messages] FOLDER\n", argv[0]);
        return 2;
    }
    const char* pszFolder = argv[argc - 1];
    DWORD start = ::GetTickCount();
    CTreeCount count = bMessages ? RunWithStepMessages([&](CTreeStep step) {
        return DeleteTree(pszFolder, step);
    })
                                 : DeleteTree(pszFolder);
    std::printf("bench_delete: %ld files, %ld folders, %ld failed, %lu ms\n", count.nFiles,
                count.nFolders, count.nFailed, (unsigned long)(::GetTickCount() - start));
    return count.nFailed == 0 ? 0 : 1;
}
