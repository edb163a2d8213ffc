// The product folders of the distribution medium, in the order in which Setup
// counts and copies them.
#pragma once

inline const char* const g_pszProductFolders[] = {"Database", "Support", "HatchPat", "Controls"};
inline const int PRODUCT_FOLDER_COUNT = (int)(sizeof(g_pszProductFolders) / sizeof(g_pszProductFolders[0]));
