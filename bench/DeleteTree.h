// The plain removal the uninstaller is measured against: every file of a folder
// tree deleted and every folder removed, deepest first, the top one last.
#pragma once
#include "bench/CopyTree.h"

// The step follows every file, deleted or not, as Uninstall's progress message does.
CTreeCount DeleteTree(const std::string& strFolder, CTreeStep step = CTreeStep());
