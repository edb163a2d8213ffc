// The longest text the registry value helpers write: their buffer holds it and
// its NUL. A pure fact, so that the text rules that must stay within it (and
// compile without the Win32 headers) take it from the same place.
#pragma once

const int REG_TEXT_MAX_LENGTH = 2047;
