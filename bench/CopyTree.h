// The plain copy the installer is measured against: every file and folder of
// one folder tree copied into another with nothing else done per file (no
// window, no log, no attribute change).
#pragma once
#include <windows.h>

#include <string>

struct CTreeCount
{
    long nFiles = 0;   // files handled successfully
    long nFolders = 0; // folders handled successfully, the top one included
    long nFailed = 0;  // files or folders the system refused
};

// Copies the tree below strSource (no trailing backslash) into strDest, which
// is created with any missing folders above it. Existing files are replaced.
CTreeCount CopyTree(const std::string& strSource, const std::string& strDest);
