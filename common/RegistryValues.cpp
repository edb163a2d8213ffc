#include "common/RegistryValues.h"
#include "common/RegistryTextLimit.h"
#include "common/SystemErrorText.h"
#include "framework/AutoHandle.h"
#include "framework/CRunLog.h"

#include <cstring>

namespace
{
// Every text goes through a buffer of this size, NUL included.
const DWORD REG_TEXT_BUFFER = REG_TEXT_MAX_LENGTH + 1;

RegWriteFilter g_pfnWriteFilter = NULL;

BOOL ReadString(HKEY hRoot, LPCTSTR pszKey, LPCTSTR pszValueName, CString& strOut)
{
    strOut.Empty();
    HKEY hKey = NULL;
    if (::RegOpenKeyA(hRoot, pszKey, &hKey) != ERROR_SUCCESS)
        return FALSE;
    CAutoRegKey key(hKey);
    return RegReadKeyString(key.Get(), pszValueName, strOut);
}

// Asks the test filter, then opens or creates the key and sets one value; the
// system's error code, a denial by the filter counting as ERROR_ACCESS_DENIED.
LONG SetValue(HKEY hRoot, LPCTSTR pszKey, LPCTSTR pszValueName, DWORD dwType, const BYTE* pData,
              DWORD cbData)
{
    if (g_pfnWriteFilter && !g_pfnWriteFilter(hRoot, pszKey, pszValueName))
        return ERROR_ACCESS_DENIED;
    HKEY hKey = NULL;
    LONG nResult = ::RegCreateKeyA(hRoot, pszKey, &hKey);
    if (nResult != ERROR_SUCCESS)
        return nResult;
    CAutoRegKey key(hKey);
    return ::RegSetValueExA(key.Get(), pszValueName, 0, dwType, pData, cbData);
}

// Every value the programs write, written or not, goes to the diagnostic log.
void ReportValue(HKEY hRoot, LPCTSTR pszKey, LPCTSTR pszValueName, const CString& strData,
                 LONG nResult)
{
    LPCTSTR pszRoot = hRoot == HKEY_LOCAL_MACHINE ? "HKLM" : "HKCU";
    if (nResult == ERROR_SUCCESS)
        CRunLog::Write("registry value written: %s\\%s [%s] = %s", pszRoot, pszKey, pszValueName,
                       (LPCTSTR)strData);
    else
        CRunLog::Write("registry value not written: %s\\%s [%s] = %s: %s", pszRoot, pszKey,
                       pszValueName, (LPCTSTR)strData, (LPCTSTR)SystemErrorLine((DWORD)nResult));
}

BOOL WriteValue(HKEY hRoot, LPCTSTR pszKey, LPCTSTR pszValueName, DWORD dwType, const BYTE* pData,
                DWORD cbData)
{
    LONG nResult = SetValue(hRoot, pszKey, pszValueName, dwType, pData, cbData);
    if (CRunLog::IsOpen())
    {
        CString strData;
        if (dwType == REG_DWORD)
            strData.Format("dword %lu", (unsigned long)*(const DWORD*)pData);
        else
            strData.Format("\"%s\"", (LPCTSTR)pData);
        ReportValue(hRoot, pszKey, pszValueName, strData, nResult);
    }
    return nResult == ERROR_SUCCESS;
}

// REG_SZ with the NUL counted. A text that does not fit the buffer is
// refused as a whole: writing a cut text would silently lose data.
BOOL WriteString(HKEY hRoot, LPCTSTR pszKey, LPCTSTR pszValueName, LPCTSTR pszText)
{
    if (!pszText)
        pszText = "";
    size_t nLength = std::strlen(pszText);
    if (nLength >= REG_TEXT_BUFFER)
    {
        RUN_LOG("registry value not written: %s [%s]: its text of %u bytes is too long", pszKey,
                pszValueName, (unsigned)nLength);
        return FALSE;
    }
    return WriteValue(hRoot, pszKey, pszValueName, REG_SZ, (const BYTE*)pszText,
                      (DWORD)nLength + 1);
}
} // namespace

BOOL RegReadKeyString(HKEY hKey, LPCTSTR pszValueName, CString& strOut)
{
    strOut.Empty();
    char buffer[REG_TEXT_BUFFER];
    DWORD cbData = sizeof(buffer);
    DWORD dwType = 0;
    if (::RegQueryValueExA(hKey, pszValueName, NULL, &dwType, (LPBYTE)buffer, &cbData) !=
        ERROR_SUCCESS)
        return FALSE;
    // The data need not end with a NUL (binary data, or a string that fills the
    // buffer exactly): the text ends at the first NUL or at the data's end.
    if (cbData > sizeof(buffer))
        cbData = sizeof(buffer);
    const void* pNul = std::memchr(buffer, 0, cbData);
    strOut = CString(buffer, pNul ? (int)((const char*)pNul - buffer) : (int)cbData);
    return TRUE;
}

BOOL RegReadMachineString(LPCTSTR pszKey, LPCTSTR pszValueName, CString& strOut)
{
    return ReadString(HKEY_LOCAL_MACHINE, pszKey, pszValueName, strOut);
}

BOOL RegReadUserString(LPCTSTR pszKey, LPCTSTR pszValueName, CString& strOut)
{
    return ReadString(HKEY_CURRENT_USER, pszKey, pszValueName, strOut);
}

BOOL RegWriteMachineString(LPCTSTR pszKey, LPCTSTR pszValueName, LPCTSTR pszText)
{
    return WriteString(HKEY_LOCAL_MACHINE, pszKey, pszValueName, pszText);
}

BOOL RegWriteUserString(LPCTSTR pszKey, LPCTSTR pszValueName, LPCTSTR pszText)
{
    return WriteString(HKEY_CURRENT_USER, pszKey, pszValueName, pszText);
}

BOOL RegWriteMachineDword(LPCTSTR pszKey, LPCTSTR pszValueName, DWORD dwValue)
{
    return WriteValue(HKEY_LOCAL_MACHINE, pszKey, pszValueName, REG_DWORD, (const BYTE*)&dwValue,
                      sizeof(dwValue));
}

void SetRegWriteFilter(RegWriteFilter pfnFilter)
{
    g_pfnWriteFilter = pfnFilter;
}

BOOL RegCountSubKeys(HKEY hRoot, LPCTSTR pszKey, DWORD& nSubKeys)
{
    nSubKeys = 0;
    HKEY hKey = NULL;
    if (::RegOpenKeyA(hRoot, pszKey, &hKey) != ERROR_SUCCESS)
        return FALSE;
    CAutoRegKey key(hKey);
    return ::RegQueryInfoKeyA(key.Get(), NULL, NULL, NULL, &nSubKeys, NULL, NULL, NULL, NULL, NULL,
                              NULL, NULL) == ERROR_SUCCESS;
}
