// The benchmark's breakdown build only (TESSORA_PHASE_MARKS): the performance
// counter at each phase mark (first and last time, and how often), written at
// the end of the process, one mark a line, to the file named by the
// environment variable TESSORA_PHASE_MARKS_FILE.
#pragma once

void RecordPhaseMark(const char* pszName);
