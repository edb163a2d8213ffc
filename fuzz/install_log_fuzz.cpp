// Fuzz target of the install log's reader: whatever bytes "Uninstall.log"
// holds, every scan must stay inside the text and agree with a plain
// reference scan, and the removal lists must hold exactly what the reference
// finds (less the values that hold a NUL byte).
#include "common/CInstallLog.h"
#include "framework/mbcs.h"
#include "uninstall/RemovalPlan.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

#define FUZZ_CHECK(cond)                                                                           \
    do                                                                                             \
    {                                                                                              \
        if (!(cond))                                                                               \
            std::abort();                                                                          \
    } while (0)

namespace
{

// Character starts of the text, walked from its first byte: a lead byte
// takes the next byte with it unless that byte is a line feed.
std::vector<char> CharStarts(const char* s, int len)
{
    std::vector<char> starts((size_t)len + 1, 0);
    int i = 0;
    while (i < len)
    {
        starts[(size_t)i] = 1;
        i += (IsLeadByte((BYTE)s[i]) && i + 1 < len && s[i + 1] != '\n') ? 2 : 1;
    }
    return starts;
}

// For each offset, the first prefix match at or after it that begins on a
// character start (-1 when none): the reference answer of FindNext.
std::vector<int> NextMatches(const char* s, int len, const std::vector<char>& starts,
                             const char* prefix)
{
    int plen = (int)std::strlen(prefix);
    std::vector<int> next((size_t)len + 2, -1);
    for (int i = len; i >= 0; --i)
    {
        bool match =
            starts[(size_t)i] && i + plen <= len && std::memcmp(s + i, prefix, (size_t)plen) == 0;
        next[(size_t)i] = match ? i : next[(size_t)i + 1];
    }
    return next;
}

// One FindNext call from pos, checked against the reference.
void CheckFindNext(const CInstallLog& log, int kind, int pos, const std::vector<int>& next)
{
    const CString& text = log.GetText();
    int len = text.GetLength();
    LPCTSTR prefix = InstallLogPrefix(kind);
    int nPos = pos, nStart = 12345, nLength = 12345;
    BOOL found = log.FindNext(kind, nPos, nStart, nLength);
    int expected = (prefix && pos <= len) ? next[(size_t)(pos < 0 ? 0 : pos)] : -1;
    if (expected < 0)
    {
        FUZZ_CHECK(!found && nStart == -1 && nLength == 0 && nPos == pos);
        return;
    }
    FUZZ_CHECK(found);
    int plen = (int)std::strlen(prefix);
    FUZZ_CHECK(nStart == expected + plen);
    FUZZ_CHECK(nLength >= 0 && nStart + nLength <= len);
    // The value runs to the first line feed or to the end of the text.
    FUZZ_CHECK(std::memchr((const char*)text + nStart, '\n', (size_t)nLength) == nullptr);
    FUZZ_CHECK(nStart + nLength == len || text[nStart + nLength] == '\n');
    FUZZ_CHECK(nPos == nStart + nLength + 1);
}

// The values of the kind's entries that hold no NUL byte, read off the
// reference matches alone (each value runs to its line feed, the next match is
// looked for behind it): the expected removal list, built without FindNext.
std::vector<CString> ExpectedValues(const char* s, int len, const std::vector<int>& next, int plen)
{
    std::vector<CString> values;
    for (int pos = 0; pos <= len && next[(size_t)pos] >= 0;)
    {
        int start = next[(size_t)pos] + plen;
        int end = start;
        while (end < len && s[end] != '\n')
            ++end;
        bool hasNul = false;
        for (int i = start; i < end; ++i)
            hasNul = hasNul || s[i] == '\0';
        if (!hasNul)
            values.push_back(CString(s + start, end - start));
        pos = end + 1;
    }
    return values;
}

// The kinds to scan: each kind of the log, and the two next to them that are none.
std::vector<int> KindsToScan()
{
    std::vector<int> kinds;
    int highest = 0;
    for (const CInstallLogKind& kind : g_installLogKinds)
    {
        kinds.push_back(kind.m_nKind);
        highest = kind.m_nKind > highest ? kind.m_nKind : highest;
    }
    kinds.push_back(-1);
    kinds.push_back(highest + 1);
    return kinds;
}

bool SameValues(const CStringArray& list, const std::vector<CString>& values)
{
    if (list.GetSize() != (int)values.size())
        return false;
    for (int i = 0; i < list.GetSize(); ++i)
        if (!(list[i] == values[(size_t)i]))
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1 << 20)
        return 0;
    CInstallLog log;
    log.SetText(CString((const char*)data, (int)size));
    const CString& text = log.GetText();
    const char* s = text;
    int len = text.GetLength();
    FUZZ_CHECK(len == (int)size);
    std::vector<char> starts = CharStarts(s, len);

    std::map<int, std::vector<CString>> expected;
    for (int kind : KindsToScan())
    {
        LPCTSTR prefix = InstallLogPrefix(kind);
        std::vector<int> next = NextMatches(s, len, starts, prefix ? prefix : "");
        // Every start position for short texts, a spread of them for long ones
        // (a start inside a line, even on a trail byte, is a start like any
        // other), and the positions just outside the text.
        int step = len <= 48 ? 1 : len / 16;
        for (int pos = 0; pos <= len; pos += step)
            CheckFindNext(log, kind, pos, next);
        for (int pos : {-1, len - 1, len, len + 1, len + 1000})
            CheckFindNext(log, kind, pos, next);
        if (!prefix)
        {
            FUZZ_CHECK(log.CountEntries(kind) == 0);
            continue;
        }
        // The chained scan that Uninstall runs, position passed from call to call.
        int pos = 0, count = 0, start = 0, length = 0;
        for (;;)
        {
            int before = pos;
            CheckFindNext(log, kind, pos, next);
            if (!log.FindNext(kind, pos, start, length))
                break;
            FUZZ_CHECK(pos > before);
            ++count;
        }
        FUZZ_CHECK(log.CountEntries(kind) == count);
        expected[kind] = ExpectedValues(s, len, next, (int)std::strlen(prefix));
    }

    // The removal lists hold exactly the values the scans find that hold no
    // NUL, folders reversed, registry keys split at their first comma.
    for (const CInstallLogKind& kind : g_installLogKinds)
        FUZZ_CHECK(SameValues(ListLogValues(log, kind.m_nKind), expected[kind.m_nKind]));
    const std::vector<CString>& folderValues = expected[LOG_MADE_DIR];
    std::vector<CString> reversed(folderValues.rbegin(), folderValues.rend());
    FUZZ_CHECK(SameValues(ListFolderRemovals(log), reversed));
    std::vector<CRegKeyDeletion> deletions = ListRegKeyDeletions(log);
    size_t k = 0;
    for (const CString& value : expected[LOG_REGDB_KEY])
    {
        const void* comma = std::memchr((const char*)value, ',', (size_t)value.GetLength());
        if (!comma)
            continue;
        int at = (int)((const char*)comma - (const char*)value);
        FUZZ_CHECK(k < deletions.size());
        FUZZ_CHECK(deletions[k].m_hRoot == RegRootFromCode(value.Left(at)));
        FUZZ_CHECK(deletions[k].m_strSubKey == value.Mid(at + 1));
        ++k;
    }
    FUZZ_CHECK(k == deletions.size());

    // The split on the raw bytes as one value: nothing set without a comma.
    HKEY root = nullptr;
    CString subKey("unset");
    BOOL split = SplitRegKeyValue(text, root, subKey);
    bool hasComma = std::memchr(s, ',', (size_t)len) != nullptr;
    FUZZ_CHECK(split == (hasComma ? TRUE : FALSE));
    if (!split)
        FUZZ_CHECK(root == nullptr && subKey == CString("unset"));
    else
        FUZZ_CHECK(root == HKEY_CLASSES_ROOT || root == HKEY_CURRENT_USER ||
                   root == HKEY_LOCAL_MACHINE || root == HKEY_USERS || root == HKEY_CURRENT_CONFIG);
    return 0;
}
