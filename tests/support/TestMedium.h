// Test helpers for the Windows tests: the scratch folder that cleans up after
// itself, in which a test builds a distribution medium (or any other folder
// tree) with the files, contents and attributes it needs, and a reader that
// gives back a whole folder tree for comparison. Paths are ANSI (code page 936
// under the test prefix), so names with double-byte characters work as they
// do in the programs.
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <vector>

// One file or folder of a tree, as found on disk.
struct CTreeEntry
{
    bool bFolder = false;
    std::string strContent; // a file's bytes
    DWORD dwAttributes = 0; // as GetFileAttributesA reports them
};

// Relative path (backslash-separated, as written in the test) -> entry.
typedef std::map<std::string, CTreeEntry> CTree;

// The Windows form of a Unix path of the build (TESSORA_BUILD_DIR and the like):
// the drive Z: that Wine maps to the Unix root, and backslashes.
inline std::string WinePath(const std::string& strUnixPath)
{
    std::string path = "Z:" + strUnixPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

// The attributes that a program gave a file, as far as the platform shows
// them: Wine reports every file as archived whatever was set, so that bit
// says nothing there; a file with none of the other bits is a normal file.
inline DWORD GivenAttributes(DWORD dwReported)
{
    static const bool wine =
        ::GetProcAddress(::GetModuleHandleA("ntdll"), "wine_get_version") != NULL;
    if (dwReported == INVALID_FILE_ATTRIBUTES)
        return dwReported;
    if (wine)
        dwReported &= ~(DWORD)FILE_ATTRIBUTE_ARCHIVE;
    return dwReported ? dwReported : (DWORD)FILE_ATTRIBUTE_NORMAL;
}

// Offset of the last backslash that starts a character (a trail byte 0x5C is
// not one), or npos.
inline size_t LastBackslash(const std::string& strPath)
{
    size_t found = std::string::npos;
    for (size_t i = 0; i < strPath.size(); ++i)
    {
        if (::IsDBCSLeadByte((BYTE)strPath[i]))
            ++i;
        else if (strPath[i] == '\\')
            found = i;
    }
    return found;
}

inline std::string ReadFileBytes(const std::string& strPath)
{
    std::string bytes;
    HANDLE h = ::CreateFileA(strPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             NULL, OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return bytes;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(h, buffer, sizeof(buffer), &got, NULL) && got)
        bytes.append(buffer, got);
    ::CloseHandle(h);
    return bytes;
}

inline bool WriteFileBytes(const std::string& strPath, const std::string& strBytes)
{
    HANDLE h = ::CreateFileA(strPath.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD put = 0;
    BOOL ok = ::WriteFile(h, strBytes.data(), (DWORD)strBytes.size(), &put, NULL);
    ::CloseHandle(h);
    return ok && put == strBytes.size();
}

// Creates every missing folder of a path (backslash-separated, absolute). The
// walk goes by characters, so a trail byte 0x5C is not taken for a separator.
inline void MakeFolders(const std::string& strPath)
{
    for (size_t i = 0; i <= strPath.size(); ++i)
    {
        if (i < strPath.size() && ::IsDBCSLeadByte((BYTE)strPath[i]))
        {
            ++i;
            continue;
        }
        if ((i == strPath.size() || strPath[i] == '\\') && i > 0 && strPath[i - 1] != ':')
            ::CreateDirectoryA(strPath.substr(0, i).c_str(), NULL);
    }
}

// Deletes a folder tree whatever the attributes of its files.
inline void RemoveTree(const std::string& strFolder)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = ::FindFirstFileA((strFolder + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE)
    {
        do
        {
            std::string name = fd.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = strFolder + "\\" + name;
            ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                ::DeleteFileA(path.c_str());
        } while (::FindNextFileA(h, &fd));
        ::FindClose(h);
    }
    ::SetFileAttributesA(strFolder.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::RemoveDirectoryA(strFolder.c_str());
}

// Every file and folder below a folder, by relative path.
inline void ReadTreeInto(const std::string& strFolder, const std::string& strPrefix, CTree& tree)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = ::FindFirstFileA((strFolder + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do
    {
        std::string name = fd.cFileName;
        if (name == "." || name == "..")
            continue;
        std::string path = strFolder + "\\" + name;
        CTreeEntry& entry = tree[strPrefix + name];
        entry.bFolder = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entry.dwAttributes = ::GetFileAttributesA(path.c_str());
        if (entry.bFolder)
            ReadTreeInto(path, strPrefix + name + "\\", tree);
        else
            entry.strContent = ReadFileBytes(path);
    } while (::FindNextFileA(h, &fd));
    ::FindClose(h);
}

inline CTree ReadTree(const std::string& strFolder)
{
    CTree tree;
    std::string folder = strFolder;
    if (!folder.empty() && LastBackslash(folder) == folder.size() - 1 && folder.size() > 3)
        folder.pop_back();
    ReadTreeInto(folder, "", tree);
    return tree;
}

// One line per entry (path, kind, attributes as given, the start of the
// content and its length), so that two trees compare as text and a difference
// shows as the lines that differ.
inline std::string DescribeTree(const CTree& tree)
{
    std::string text;
    for (const auto& item : tree)
        text += item.first + (item.second.bFolder ? " <dir> " : " <file> ") +
                std::to_string(GivenAttributes(item.second.dwAttributes)) + " " +
                item.second.strContent.substr(0, 64) + " (" +
                std::to_string(item.second.strContent.size()) + ")\n";
    return text;
}

// The paths of the expected tree that the actual tree lacks or holds as
// another kind or with other content (attributes are not compared): empty
// when every expected entry is there as it is.
inline std::vector<std::string> EntriesNotAlike(const CTree& expected, const CTree& actual)
{
    std::vector<std::string> differ;
    for (const auto& item : expected)
    {
        auto it = actual.find(item.first);
        if (it == actual.end() || it->second.bFolder != item.second.bFolder ||
            it->second.strContent != item.second.strContent)
            differ.push_back(item.first);
    }
    return differ;
}

// The lines of a text written in text mode (CR LF line ends); a last line
// without its end counts too.
inline std::vector<std::string> TextLines(const std::string& strText)
{
    std::vector<std::string> lines;
    for (size_t at = 0; at < strText.size();)
    {
        size_t end = strText.find("\r\n", at);
        if (end == std::string::npos)
            end = strText.size();
        lines.push_back(strText.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

// A fresh folder below the temporary folder, removed with everything in it
// when the object goes. Root() ends with a backslash.
class CTestMedium
{
public:
    explicit CTestMedium(const char* pszTag = "medium")
    {
        char temp[MAX_PATH];
        DWORD n = ::GetTempPathA(MAX_PATH, temp);
        std::string base(temp, n);
        if (base.empty() || base.back() != '\\')
            base += '\\';
        static LONG s_nCounter = 0;
        for (;;)
        {
            m_strRoot = base + "tessora-" + pszTag + "-" + std::to_string(::GetCurrentProcessId()) +
                        "-" + std::to_string(::InterlockedIncrement(&s_nCounter));
            if (::CreateDirectoryA(m_strRoot.c_str(), NULL))
                break;
        }
        m_strRoot += '\\';
    }
    ~CTestMedium() { RemoveTree(Folder()); }
    CTestMedium(const CTestMedium&) = delete;
    CTestMedium& operator=(const CTestMedium&) = delete;

    const std::string& Root() const { return m_strRoot; }
    // The folder without the trailing backslash.
    std::string Folder() const { return m_strRoot.substr(0, m_strRoot.size() - 1); }
    std::string Path(const std::string& strRelative) const { return m_strRoot + strRelative; }

    // A folder (and the folders above it).
    void AddFolder(const std::string& strRelative) { MakeFolders(Path(strRelative)); }

    // A file with its content and attributes; the folders above it are made.
    void AddFile(const std::string& strRelative, const std::string& strContent,
                 DWORD dwAttributes = FILE_ATTRIBUTE_NORMAL)
    {
        std::string path = Path(strRelative);
        size_t cut = LastBackslash(path);
        if (cut != std::string::npos)
            MakeFolders(path.substr(0, cut));
        WriteFileBytes(path, strContent);
        ::SetFileAttributesA(path.c_str(), dwAttributes);
    }

    CTree Read(const std::string& strRelative = "") const
    {
        return ReadTree(strRelative.empty() ? m_strRoot : Path(strRelative));
    }

private:
    std::string m_strRoot;
};
