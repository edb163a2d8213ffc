// bench_copy SOURCE DEST: the plain copy of a folder tree, without any window,
// for the installation benchmark. Prints what it did; exit code 0 when every
// file and folder was copied.
#include "bench/CopyTree.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3)
    {
        std::fprintf(stderr, "usage: %s SOURCE DEST\n", argv[0]);
        return 2;
    }
    DWORD start = ::GetTickCount();
    CTreeCount count = CopyTree(argv[1], argv[2]);
    std::printf("bench_copy: %ld files, %ld folders, %ld failed, %lu ms\n", count.nFiles,
                count.nFolders, count.nFailed, (unsigned long)(::GetTickCount() - start));
    return count.nFailed == 0 ? 0 : 1;
}
