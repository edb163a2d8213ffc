// The plain copy the installer is measured against: every file and folder of
// one folder tree copied into another, each copy given normal attributes (a
// file from a CD arrives read-only), with nothing else done per file (no
// window, no log).
#pragma once
#include <windows.h>

#include <string>

// Called after each entry the walk handled, with the entry's path; lets a
// caller add the installer's per-file progress message to the plain walk.
typedef void (*TreeStepFn)(const char* pszPath, void* pContext);

struct CTreeStep
{
    TreeStepFn pfn = nullptr;
    void* pContext = nullptr;
    void operator()(const std::string& strPath) const
    {
        if (pfn)
            pfn(strPath.c_str(), pContext);
    }
};

struct CTreeCount
{
    long nFiles = 0;   // files handled successfully
    long nFolders = 0; // folders handled successfully, the top one included
    long nFailed = 0;  // files or folders the system refused
};

// Copies the tree below strSource (no trailing backslash) into strDest, which
// is created with any missing folders above it. Existing files are replaced.
// The step follows every file and every folder below the top one, as Setup's
// progress message does.
CTreeCount CopyTree(const std::string& strSource, const std::string& strDest,
                    CTreeStep step = CTreeStep());
