// bench_delete FOLDER: the plain removal of a folder tree, without any window,
// for the removal benchmark. Prints what it did; exit code 0 when everything
// was removed.
#include "bench/DeleteTree.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    DWORD start = ::GetTickCount();
    CTreeCount count = DeleteTree(argv[1]);
    std::printf("bench_delete: %ld files, %ld folders, %ld failed, %lu ms\n", count.nFiles,
                count.nFolders, count.nFailed, (unsigned long)(::GetTickCount() - start));
    return count.nFailed == 0 ? 0 : 1;
}
