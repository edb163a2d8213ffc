// A fresh folder under the system's temporary folder for one test, removed
// with everything in it when the test ends.
#pragma once
#include "framework/CString.h"

#include <windows.h>
#include <string>

class CTempFolder
{
public:
    CTempFolder()
    {
        static int s_nCount = 0;
        char temp[MAX_PATH];
        ::GetTempPathA(MAX_PATH, temp);
        CString name;
        name.Format("%sfwtest_%lu_%d", temp, ::GetCurrentProcessId(), ++s_nCount);
        ::CreateDirectoryA(name, NULL);
        m_strPath = name;
    }
    ~CTempFolder() { RemoveTree(m_strPath); }
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    // The folder, without a trailing backslash.
    const CString& Path() const { return m_strPath; }
    CString operator/(LPCTSTR name) const { return m_strPath + "\\" + name; }

    // Whole-file access without any translation.
    static void WriteBytes(LPCTSTR path, const std::string& bytes)
    {
        HANDLE h = ::CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        DWORD done = 0;
        if (h != INVALID_HANDLE_VALUE)
        {
            ::WriteFile(h, bytes.data(), (DWORD)bytes.size(), &done, NULL);
            ::CloseHandle(h);
        }
    }
    static std::string ReadBytes(LPCTSTR path)
    {
        std::string bytes;
        HANDLE h = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                 OPEN_EXISTING, 0, NULL);
        if (h == INVALID_HANDLE_VALUE)
            return bytes;
        char buf[4096];
        DWORD got = 0;
        while (::ReadFile(h, buf, sizeof buf, &got, NULL) && got > 0)
            bytes.append(buf, got);
        ::CloseHandle(h);
        return bytes;
    }

private:
    static void RemoveTree(const CString& folder)
    {
        WIN32_FIND_DATAA fd;
        HANDLE h = ::FindFirstFileA(folder + "\\*", &fd);
        if (h != INVALID_HANDLE_VALUE)
        {
            do
            {
                CString name(fd.cFileName);
                if (name == "." || name == "..")
                    continue;
                CString path = folder + "\\" + name;
                ::SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(path);
                else
                    ::DeleteFileA(path);
            } while (::FindNextFileA(h, &fd));
            ::FindClose(h);
        }
        ::RemoveDirectoryA(folder);
    }

    CString m_strPath;
};
