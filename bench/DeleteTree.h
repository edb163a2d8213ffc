// The plain removal the uninstaller is measured against: every file of a folder
// tree deleted and every folder removed, deepest first, the top one last.
#pragma once
#include "bench/CopyTree.h"

CTreeCount DeleteTree(const std::string& strFolder);
