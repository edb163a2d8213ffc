// The number of files Setup's folder copy will meet: the dialog's progress
// range is taken from it before the worker starts.
#pragma once
#include "framework/CString.h"

// The files in a folder (white space trimmed from both ends of its name; an
// empty name counts 0), and with bRecurse those of its sub-folders at every
// depth. Folders themselves count nothing; a folder that cannot be searched
// counts 0.
int CountFilesIn(CString strFolder, BOOL bRecurse);

// How far the dialog's progress range reaches beyond the file count. The
// worker also steps once for each sub-folder it copies, which the count leaves
// out (the shipped medium holds eight, two for each release under Support), so
// the range is made longer by a fixed nine: the shipped medium nearly fills it.
const int PROGRESS_STEPS_BEYOND_FILES = 9;

// The files of the four product folders of the source folder (which ends with
// a backslash), sub-folders included.
int CountFiles(const CString& strSourceDir);
