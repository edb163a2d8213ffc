// The pattern preview control of the demonstration medium. It is a real
// self-registering module: DllRegisterServer records its class and program id
// under HKEY_CLASSES_ROOT with this file as the in-process server, and
// DllUnregisterServer removes them again. It serves no objects of its own.
#include <windows.h>
#include <olectl.h>

namespace
{
const char CLSID_TEXT[] = "{6B1F3C52-8E4A-4D7B-9C21-5A0E7D3F9B14}";
const char PROGID[] = "Mosaika.PatternView";
const char DESCRIPTION[] = "Mosaika Pattern View";

HMODULE g_hModule = NULL;

bool SetKeyValue(const char* pszKey, const char* pszName, const char* pszValue)
{
    HKEY hKey = NULL;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, pszKey, 0, NULL, 0, KEY_WRITE, NULL, &hKey, NULL) !=
        ERROR_SUCCESS)
        return false;
    LONG r =
        RegSetValueExA(hKey, pszName, 0, REG_SZ, (const BYTE*)pszValue, lstrlenA(pszValue) + 1);
    RegCloseKey(hKey);
    return r == ERROR_SUCCESS;
}

// Deletes a key and its sub-keys (the registry deletes only empty keys).
void DeleteTree(HKEY hRoot, const char* pszKey)
{
    HKEY hKey = NULL;
    if (RegOpenKeyExA(hRoot, pszKey, 0, KEY_READ | KEY_WRITE, &hKey) != ERROR_SUCCESS)
        return;
    char name[256];
    while (RegEnumKeyA(hKey, 0, name, sizeof(name)) == ERROR_SUCCESS)
        DeleteTree(hKey, name);
    RegCloseKey(hKey);
    RegDeleteKeyA(hRoot, pszKey);
}
} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID)
{
    if (dwReason == DLL_PROCESS_ATTACH)
        g_hModule = hInstance;
    return TRUE;
}

extern "C" HRESULT __stdcall DllRegisterServer()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(g_hModule, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return E_UNEXPECTED;
    char clsidKey[64] = "CLSID\\";
    lstrcatA(clsidKey, CLSID_TEXT);
    char key[128];
    bool ok = SetKeyValue(clsidKey, NULL, DESCRIPTION);
    lstrcpyA(key, clsidKey);
    lstrcatA(key, "\\InprocServer32");
    ok = ok && SetKeyValue(key, NULL, path) && SetKeyValue(key, "ThreadingModel", "Apartment");
    lstrcpyA(key, clsidKey);
    lstrcatA(key, "\\ProgID");
    ok = ok && SetKeyValue(key, NULL, PROGID);
    ok = ok && SetKeyValue(PROGID, NULL, DESCRIPTION);
    lstrcpyA(key, PROGID);
    lstrcatA(key, "\\CLSID");
    ok = ok && SetKeyValue(key, NULL, CLSID_TEXT);
    return ok ? S_OK : SELFREG_E_CLASS;
}

extern "C" HRESULT __stdcall DllUnregisterServer()
{
    char clsidKey[64] = "CLSID\\";
    lstrcatA(clsidKey, CLSID_TEXT);
    DeleteTree(HKEY_CLASSES_ROOT, clsidKey);
    DeleteTree(HKEY_CLASSES_ROOT, PROGID);
    return S_OK;
}

extern "C" HRESULT __stdcall DllCanUnloadNow()
{
    return S_OK;
}

extern "C" HRESULT __stdcall DllGetClassObject(REFCLSID, REFIID, LPVOID* ppv)
{
    if (ppv)
        *ppv = NULL;
    return CLASS_E_CLASSNOTAVAILABLE;
}
