// A string's bytes as the tests compare them: embedded NULs and trail bytes kept.
#pragma once
#include "framework/CString.h"

#include <string>

inline std::string Bytes(const CString& s)
{
    return std::string((LPCTSTR)s, (size_t)s.GetLength());
}
