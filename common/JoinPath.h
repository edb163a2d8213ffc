// Joins a folder and a name with one backslash: the folder, a backslash unless
// its last character already is '\' or '/', then the name. A folder of two
// bytes or fewer (empty, or a bare drive such as "C:") gives the name alone.
#pragma once
#include "framework/CString.h"

CString JoinPath(const CString& strFolder, const CString& strName);
