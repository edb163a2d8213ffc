#include "common/ProgramOptions.h"

namespace
{
enum EOptionValue
{
    VALUE_NONE,    // a switch: "/S"
    VALUE_OPTIONAL // "/LOG" alone or "/LOG=<value>"
};

struct COptionRow
{
    const char* pszName;
    EOptionValue value;
    BOOL CProgramOptions::*pbGiven;
    CString CProgramOptions::*pstrValue;
};

const COptionRow g_optionRows[] = {
    {"S", VALUE_NONE, &CProgramOptions::m_bUnattended, nullptr},
    {"LOG", VALUE_OPTIONAL, &CProgramOptions::m_bLog, &CProgramOptions::m_strLogPath},
};

bool IsBlank(char ch)
{
    return ch == ' ' || ch == '\t';
}

// The value after "=", without its double quotes.
CString Unquoted(const CString& strValue)
{
    CString strOut;
    const char* p = strValue;
    for (int i = 0; i < strValue.GetLength(); ++i)
        if (p[i] != '"')
            strOut += p[i];
    return strOut;
}

BOOL ReadOption(const CString& strArg, CProgramOptions& options)
{
    if (strArg.GetLength() < 2 || (strArg[0] != '/' && strArg[0] != '-'))
        return FALSE;
    int equals = strArg.Find('=');
    CString strName = equals < 0 ? strArg.Mid(1) : strArg.Mid(1, equals - 1);
    for (const COptionRow& row : g_optionRows)
    {
        if (strName.CompareNoCase(row.pszName) != 0)
            continue;
        if (equals < 0)
        {
            options.*row.pbGiven = TRUE;
            return TRUE;
        }
        if (row.value == VALUE_NONE)
            return FALSE;
        CString strValue = Unquoted(strArg.Mid(equals + 1));
        if (strValue.IsEmpty())
            return FALSE;
        options.*row.pbGiven = TRUE;
        options.*row.pstrValue = strValue;
        return TRUE;
    }
    return FALSE;
}
} // namespace

BOOL ReadProgramOptions(const CString& strArgs, CProgramOptions& options)
{
    options = CProgramOptions();
    BOOL bAllKnown = TRUE;
    const char* p = strArgs;
    const int len = strArgs.GetLength();
    // Blank and quote bytes are never trail bytes, so the walk may go byte by byte.
    for (int i = 0; i < len;)
    {
        while (i < len && IsBlank(p[i]))
            ++i;
        int start = i;
        bool bQuoted = false;
        while (i < len && (bQuoted || !IsBlank(p[i])))
        {
            if (p[i] == '"')
                bQuoted = !bQuoted;
            ++i;
        }
        if (i == start)
            break;
        if (!ReadOption(strArgs.Mid(start, i - start), options))
            bAllKnown = FALSE;
    }
    return bAllKnown;
}
