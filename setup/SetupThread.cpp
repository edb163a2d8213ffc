// Setup's worker: copies the product folders and the files beside Setup into
// the install folder, records every change in the install log and writes the
// log at the end of a complete run.
#include "setup/SetupThread.h"
#include "common/PathRules.h"
#include "common/Product.h"
#include "common/SystemErrorText.h"
#include "framework/CFileFind.h"
#include "framework/CRunLog.h"
#include "framework/CWnd.h"
#include "framework/mbcs.h"

#include <vector>

IMPLEMENT_DYNCREATE(CSetupThread, CWinThread)

// The prompt for a product folder that cannot be found on the medium: the
// system's text for the error, then the folder searched.
static const char MISSING_FOLDER_PROMPT[] =
    "%s\n找不到安装文件的路径 %s，\n点击“重试”按钮试图重新查找该安装文件路径；\n"
    "点击“忽略”按钮将跳过该路径下的操作并继续执行；\n点击“取消”按钮将终止程序运行。";

// The prompt for a folder that cannot be created: the system's text, then the folder.
static const char CREATE_FOLDER_PROMPT[] =
    "%s\n不能创建文件夹 %s ，\n点击“重试”按钮试图重新创建文件夹；\n"
    "点击“取消”按钮将终止程序运行。";

// A folder name that does not fit a path buffer of MAX_PATH bytes is refused
// the way the platform refuses it, with ERROR_FILENAME_EXCED_RANGE, so the
// user sees the system's text for it.
static BOOL CreateFolder(const CString& strFolder)
{
    if (strFolder.GetLength() >= MAX_PATH)
    {
        ::SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return FALSE;
    }
    return ::CreateDirectoryA(strFolder, NULL);
}

// Copies over whatever is at the destination. A read-only file there (an
// earlier install from a CD, a user's own attribute) would make the copy fail,
// so that attribute alone is taken away first, and given back should the copy
// fail all the same.
static BOOL CopyOver(const CString& strSource, const CString& strDest)
{
    DWORD dwAttributes = ::GetFileAttributesA(strDest);
    BOOL bReadOnly = dwAttributes != INVALID_FILE_ATTRIBUTES &&
                     (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
                     (dwAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (bReadOnly)
    {
        DWORD dwWritable = dwAttributes & ~(DWORD)FILE_ATTRIBUTE_READONLY;
        ::SetFileAttributesA(strDest, dwWritable ? dwWritable : FILE_ATTRIBUTE_NORMAL);
    }
    if (::CopyFileA(strSource, strDest, FALSE))
        return TRUE;
    DWORD dwError = ::GetLastError();
    if (bReadOnly)
        ::SetFileAttributesA(strDest, dwAttributes);
    ::SetLastError(dwError);
    return FALSE;
}

CSetupThread::CSetupThread()
    : m_bStop(0), m_bUnattended(FALSE), m_bLogSaved(FALSE), m_bSkippedFolder(FALSE)
{
}

BOOL CSetupThread::Start(CWnd* pDialog, const CString& strSourceDir, const CString& strInstallDir,
                         BOOL bUnattended)
{
    m_pMainWnd = pDialog;
    m_strSourceDir = strSourceDir;
    m_strInstallDir = strInstallDir;
    m_bUnattended = bUnattended;
    // The dialog owns the worker as a member and waits for it before it goes.
    m_bAutoDelete = FALSE;
    return CreateThread(0, 0, NULL);
}

void CSetupThread::Notify(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pMainWnd)
        ::SendMessageA(m_pMainWnd->GetSafeHwnd(), message, wParam, lParam);
}

BOOL CSetupThread::InitInstance()
{
    return TRUE;
}

int CSetupThread::Run()
{
    CRunLog::Phase("worker starts");
    BOOL bComplete = TRUE;
    for (const char* name : g_pszProductFolders)
    {
        RUN_LOG("product folder %s: start", name);
        bComplete = CopyFolderTree(m_strSourceDir + name, m_strInstallDir + name);
        RUN_LOG("product folder %s: %s", name, bComplete ? "end" : "ended the run");
        if (!bComplete)
            break;
    }
    // Once the product folders are through the run always goes to its end;
    // a run ended by the user writes no log and tells the dialog nothing.
    if (bComplete)
    {
        CRunLog::Phase("product folders copied");
        CopyRootFiles();
        CRunLog::Phase("root files copied");
        RegisterControls();
        CRunLog::Phase("controls registered");
        RegisterProduct();
        CRunLog::Phase("product registered");
        m_bLogSaved = m_log.Save(m_strInstallDir);
        if (m_bLogSaved)
            RUN_LOG("install log saved: %s%s", (LPCTSTR)m_strInstallDir, INSTALL_LOG_NAME);
        else
            RUN_LOG("install log not saved: %s%s: %s", (LPCTSTR)m_strInstallDir, INSTALL_LOG_NAME,
                    (LPCTSTR)SystemErrorLine(::GetLastError()));
        CRunLog::Phase("log saved");
        Notify(UM_SETUP_DONE, 0, 0);
    }
    // Leave through the thread's own message loop. Peeking first gives the
    // thread its message queue, without which the quit could not be posted
    // and the loop would wait for ever.
    MSG msg;
    ::PeekMessageA(&msg, NULL, WM_USER, WM_USER, PM_NOREMOVE);
    ::PostThreadMessageA(m_nThreadID, WM_QUIT, 0, 0);
    return CWinThread::Run();
}

int CSetupThread::ExitInstance()
{
    return CWinThread::ExitInstance();
}

namespace
{
const char* AnswerName(int nAnswer)
{
    switch (nAnswer)
    {
    case IDRETRY:
        return "Retry";
    case IDIGNORE:
        return "Ignore";
    case IDABORT:
        return "Abort";
    case IDCANCEL:
        return "Cancel";
    default:
        return "none";
    }
}
} // namespace

int CSetupThread::Ask(LPCTSTR pszText, UINT nType)
{
    RUN_LOG("prompt: %s", pszText);
    int nAnswer = Prompt(pszText, nType);
    RUN_LOG("answer: %s%s", AnswerName(nAnswer), m_bUnattended ? " (unattended)" : "");
    return nAnswer;
}

int CSetupThread::Prompt(LPCTSTR pszText, UINT nType)
{
    if (m_bUnattended)
        return (nType & MB_TYPEMASK) == MB_ABORTRETRYIGNORE ? IDIGNORE : IDCANCEL;
    if (m_pMainWnd)
        return m_pMainWnd->MessageBox(pszText, NULL, nType);
    return ::MessageBoxA(NULL, pszText, NULL, nType);
}

BOOL CSetupThread::CopyFolderTree(LPCTSTR pszSource, LPCTSTR pszDest)
{
    CString source = pszSource;
    if (!PathEndsWith(source, '\\'))
        source += '\\';

    CFileFind finder;
    BOOL bFound = finder.FindFile(source + "*.*");
    BOOL bSkipped = FALSE;
    while (!bFound)
    {
        CString prompt;
        prompt.Format(MISSING_FOLDER_PROMPT, (LPCTSTR)SystemErrorText(::GetLastError()),
                      (LPCTSTR)source);
        int answer = Ask(prompt, MB_ABORTRETRYIGNORE | MB_ICONQUESTION);
        if (answer == IDRETRY)
            bFound = finder.FindFile(source + "*.*");
        else if (answer == IDIGNORE)
        {
            bSkipped = TRUE;
            m_bSkippedFolder = TRUE;
            break;
        }
        else
            return FALSE;
    }

    if (!MakeFolderPath(pszDest))
        return FALSE;
    if (bSkipped)
        return TRUE;

    BOOL bMore = TRUE;
    while (bMore)
    {
        bMore = finder.FindNextFile();
        if (finder.IsDots())
            continue;
        CString name = finder.GetFileName();
        CString entrySource = finder.GetFilePath();
        CString entryDest = JoinPath(pszDest, name);
        if (finder.IsDirectory())
        {
            if (!CopyFolderTree(entrySource, entryDest))
                return FALSE;
        }
        else
        {
            BOOL bCopied = CopyOver(entrySource, entryDest);
            ReportCopy(entrySource, entryDest, bCopied);
            if (bCopied)
            {
                // Files from a CD arrive read-only; the installed copy must not.
                ::SetFileAttributesA(entryDest, FILE_ATTRIBUTE_NORMAL);
                m_log.AddFileCopy(entryDest);
            }
        }
        Notify(UM_COPY_STEP, (WPARAM)(LPCTSTR)entrySource, (LPARAM)(LPCTSTR)entryDest);
        if (m_bStop)
            return FALSE;
    }
    return TRUE;
}

BOOL CSetupThread::MakeFolderPath(LPCTSTR pszPath)
{
    // Only the folder asked for is recorded, whether it exists or not.
    m_log.AddMadeDir(pszPath);

    CString path = pszPath;
    const char* p = path;
    int len = path.GetLength();
    // Each separator that starts a character closes a folder name, and so
    // does the end of the path unless a separator stands just before it.
    for (int i = 0; i <= len;)
    {
        BOOL bBoundary = i == len ? !PathEndsWithSeparator(path) : (p[i] == '\\' || p[i] == '/');
        int next = i < len ? MbsNext(p, len, i) : len + 1;
        // A leading separator or a drive such as "C:" names no folder to create.
        if (bBoundary && i > 0 && p[i - 1] != ':')
        {
            CString folder = path.Left(i);
            CFileFind finder;
            // An entry of that name, folder or file, is left as it is.
            if (!finder.FindFile(folder))
            {
                while (!CreateFolder(folder))
                {
                    CString prompt;
                    prompt.Format(CREATE_FOLDER_PROMPT, (LPCTSTR)SystemErrorText(::GetLastError()),
                                  (LPCTSTR)folder);
                    if (Ask(prompt, MB_RETRYCANCEL | MB_ICONQUESTION) != IDRETRY)
                        return FALSE;
                }
                RUN_LOG("folder made: %s", (LPCTSTR)folder);
            }
        }
        i = next;
    }
    return TRUE;
}

void CSetupThread::CopyRootFiles()
{
    CStringArray names;
    ListFiles(m_strSourceDir, "*.*", names);
    for (int i = 0; i < names.GetSize(); ++i)
    {
        const CString& name = names[i];
        if (name.CompareNoCase(SETUP_PROGRAM_NAME) == 0)
            continue;
        // A file that could not be copied is recorded all the same. A copy
        // gets normal attributes, as in the product folders: read-only from a
        // CD, the uninstaller and the text beside it could never be removed.
        CString source = m_strSourceDir + name;
        CString dest = m_strInstallDir + name;
        BOOL bCopied = CopyOver(source, dest);
        ReportCopy(source, dest, bCopied);
        if (bCopied)
            ::SetFileAttributesA(dest, FILE_ATTRIBUTE_NORMAL);
        m_log.AddFileCopy(dest);
    }
}

void CSetupThread::ReportCopy(LPCTSTR pszSource, LPCTSTR pszDest, BOOL bCopied)
{
    if (!CRunLog::IsOpen())
        return;
    // Read before anything else can change it.
    DWORD dwError = ::GetLastError();
    if (bCopied)
        CRunLog::Write("copied: %s", pszDest);
    else
        CRunLog::Write("not copied: %s from %s: %s", pszDest, pszSource,
                       (LPCTSTR)SystemErrorLine(dwError));
}

void CSetupThread::ListFiles(CString strFolder, CString strPattern, CStringArray& names)
{
    names.RemoveAll();
    // The current directory of any length, so that it can be put back whole.
    DWORD size = ::GetCurrentDirectoryA(0, NULL);
    std::vector<char> previous(size + 1, '\0');
    DWORD got = size ? ::GetCurrentDirectoryA((DWORD)previous.size(), previous.data()) : 0;
    // A folder that cannot be entered lists nothing, rather than the files of
    // whatever folder happens to be current.
    if (!::SetCurrentDirectoryA(strFolder))
        return;

    CFileFind finder;
    BOOL bMore = finder.FindFile(strPattern);
    while (bMore)
    {
        bMore = finder.FindNextFile();
        if (finder.IsDots() || finder.IsDirectory())
            continue;
        names.Add(finder.GetFileName());
    }
    finder.Close();
    if (got && got < previous.size())
        ::SetCurrentDirectoryA(previous.data());
}
