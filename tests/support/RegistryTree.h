// Registry helpers for the Windows tests: fixture values, whether a key exists, a recursive delete,
// and a snapshot of a key tree that lists every key and value below it.
#pragma once
#include <windows.h>

#include <map>
#include <string>

// Snapshot entries: "path" -> "" for each key (the root itself is ""), and
// "path|value name" -> "<type>:<data bytes>" for each value.
typedef std::map<std::string, std::string> RegTree;

inline std::string RegEntry(DWORD dwType, const std::string& data)
{
    return std::to_string(dwType) + ":" + data;
}
// A string value as the programs must write it: the NUL is part of the data.
inline std::string SzEntry(const std::string& text)
{
    return RegEntry(REG_SZ, text + std::string(1, '\0'));
}
inline std::string DwordEntry(DWORD dw)
{
    return RegEntry(REG_DWORD, std::string((const char*)&dw, sizeof(dw)));
}

inline bool SetRegValue(HKEY hRoot, const std::string& key, const char* pszName, DWORD dwType,
                        const std::string& data)
{
    HKEY h = NULL;
    if (RegCreateKeyExA(hRoot, key.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &h, NULL) !=
        ERROR_SUCCESS)
        return false;
    bool ok = RegSetValueExA(h, pszName, 0, dwType, (const BYTE*)data.data(), (DWORD)data.size()) ==
              ERROR_SUCCESS;
    RegCloseKey(h);
    return ok;
}
inline bool SetRegText(HKEY hRoot, const std::string& key, const char* pszName,
                       const std::string& text)
{
    return SetRegValue(hRoot, key, pszName, REG_SZ, text + std::string(1, '\0'));
}
inline bool MakeRegKey(HKEY hRoot, const std::string& key)
{
    HKEY h = NULL;
    if (RegCreateKeyExA(hRoot, key.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &h, NULL) !=
        ERROR_SUCCESS)
        return false;
    RegCloseKey(h);
    return true;
}

// Whether the key can be opened for reading, in the given registry view
// (KEY_WOW64_32KEY, KEY_WOW64_64KEY, or 0 for the caller's own).
inline bool KeyExists(HKEY hRoot, const std::string& key, REGSAM samView = 0)
{
    HKEY h = NULL;
    if (RegOpenKeyExA(hRoot, key.c_str(), 0, KEY_READ | samView, &h) != ERROR_SUCCESS)
        return false;
    RegCloseKey(h);
    return true;
}

// Deletes the key and everything below it; true when it is gone.
inline bool DeleteRegTree(HKEY hRoot, const std::string& key)
{
    HKEY h = NULL;
    if (RegOpenKeyExA(hRoot, key.c_str(), 0, KEY_ALL_ACCESS, &h) != ERROR_SUCCESS)
        return true;
    char name[1024];
    DWORD cch = sizeof(name);
    bool ok = true;
    while (ok && RegEnumKeyExA(h, 0, name, &cch, NULL, NULL, NULL, NULL) == ERROR_SUCCESS)
    {
        ok = DeleteRegTree(h, name);
        cch = sizeof(name);
    }
    RegCloseKey(h);
    return ok && RegDeleteKeyA(hRoot, key.c_str()) == ERROR_SUCCESS;
}

inline void ReadRegTree(HKEY hRoot, const std::string& key, RegTree& tree,
                        const std::string& path = "")
{
    HKEY h = NULL;
    if (RegOpenKeyExA(hRoot, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return;
    tree[path] = "";
    static char name[16384];
    static BYTE data[65536];
    for (DWORD i = 0;; ++i)
    {
        DWORD cchName = sizeof(name), cbData = sizeof(data), dwType = 0;
        if (RegEnumValueA(h, i, name, &cchName, NULL, &dwType, data, &cbData) != ERROR_SUCCESS)
            break;
        tree[path + "|" + name] = RegEntry(dwType, std::string((const char*)data, cbData));
    }
    for (DWORD i = 0;; ++i)
    {
        DWORD cchName = sizeof(name);
        if (RegEnumKeyExA(h, i, name, &cchName, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        std::string child = name;
        ReadRegTree(h, child, tree, path.empty() ? child : path + "\\" + child);
    }
    RegCloseKey(h);
}

inline RegTree RegTreeOf(HKEY hRoot, const std::string& key)
{
    RegTree tree;
    ReadRegTree(hRoot, key, tree);
    return tree;
}
