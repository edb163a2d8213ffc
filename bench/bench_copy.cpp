// bench_copy [--messages] SOURCE DEST: the plain copy of a folder tree,
// without any window, for the installation benchmark; with --messages the copy
// runs on a second thread and sends one message per entry to the first, as
// Setup's worker does to its dialog. Prints what it did; exit code 0 when every
// file and folder was copied.
#include "bench/CopyTree.h"
#include "bench/StepMessages.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    bool bMessages = argc == 4 && std::strcmp(argv[1], "--messages") == 0;
    if (argc != 3 && !bMessages)
    {
        std::fprintf(stderr, "usage: %s [--messages] SOURCE DEST\n", argv[0]);
        return 2;
    }
    const char* pszSource = argv[argc - 2];
    const char* pszDest = argv[argc - 1];
    DWORD start = ::GetTickCount();
    CTreeCount count = bMessages ? RunWithStepMessages([&](CTreeStep step) {
        return CopyTree(pszSource, pszDest, step);
    })
                                 : CopyTree(pszSource, pszDest);
    std::printf("bench_copy: %ld files, %ld folders, %ld failed, %lu ms\n", count.nFiles,
                count.nFolders, count.nFailed, (unsigned long)(::GetTickCount() - start));
    return count.nFailed == 0 ? 0 : 1;
}
