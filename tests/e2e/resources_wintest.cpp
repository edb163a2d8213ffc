// The resources of the built programs, read back from the program files.
#include "driver/ProgramFacts.h"
#include "E2EPaths.h"

#include <gtest/gtest.h>
#include <vector>

namespace
{
// One control of an extended dialog template.
struct CTemplateItem
{
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    std::wstring cls;   // class name, or "#N" for a predefined class atom
    std::wstring title; // text, or "#N" for a resource ordinal
};

struct CTemplate
{
    DWORD style = 0;
    DWORD exStyle = 0;
    short cx = 0, cy = 0;
    std::wstring title;
    WORD pointSize = 0;
    std::wstring face;
    std::vector<CTemplateItem> items;
};

// Reads a string or an ordinal of a template (0xFFFF then the ordinal).
std::wstring ReadSzOrOrd(const WORD*& p)
{
    if (*p == 0xFFFF)
    {
        std::wstring s = L"#" + std::to_wstring(p[1]);
        p += 2;
        return s;
    }
    std::wstring s(reinterpret_cast<const wchar_t*>(p));
    p += s.size() + 1;
    return s;
}

const WORD* AlignDword(const WORD* p, const BYTE* base)
{
    size_t off = reinterpret_cast<const BYTE*>(p) - base;
    return reinterpret_cast<const WORD*>(base + ((off + 3) & ~size_t(3)));
}

bool ParseTemplate(const BYTE* base, CTemplate& t)
{
    const WORD* p = reinterpret_cast<const WORD*>(base);
    if (p[0] != 1 || p[1] != 0xFFFF)
        return false;
    const DWORD* d = reinterpret_cast<const DWORD*>(p + 2);
    t.exStyle = d[1];
    t.style = d[2];
    p = reinterpret_cast<const WORD*>(d + 3);
    WORD count = *p++;
    p += 2; // x, y
    t.cx = (short)*p++;
    t.cy = (short)*p++;
    ReadSzOrOrd(p); // menu
    ReadSzOrOrd(p); // class
    t.title = ReadSzOrOrd(p);
    if (t.style & DS_SETFONT)
    {
        t.pointSize = *p++;
        p += 2; // weight, italic and charset
        t.face = ReadSzOrOrd(p);
    }
    for (WORD i = 0; i < count; ++i)
    {
        p = AlignDword(p, base);
        const DWORD* item = reinterpret_cast<const DWORD*>(p);
        CTemplateItem it;
        it.exStyle = item[1];
        it.style = item[2];
        const short* rect = reinterpret_cast<const short*>(item + 3);
        it.x = rect[0];
        it.y = rect[1];
        it.cx = rect[2];
        it.cy = rect[3];
        it.id = *reinterpret_cast<const DWORD*>(rect + 4);
        p = reinterpret_cast<const WORD*>(rect + 6);
        it.cls = ReadSzOrOrd(p);
        it.title = ReadSzOrOrd(p);
        WORD extra = *p++;
        p = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(p) + extra);
        t.items.push_back(it);
    }
    return true;
}

class ProgramResources
{
public:
    explicit ProgramResources(const std::string& strProgram)
        : m_h(::LoadLibraryExA(strProgram.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE))
    {
    }
    ~ProgramResources()
    {
        if (m_h)
            ::FreeLibrary(m_h);
    }
    HMODULE Get() const { return m_h; }
    const BYTE* Find(LPCSTR type, int id, DWORD* pSize = nullptr) const
    {
        HRSRC r = ::FindResourceA(m_h, MAKEINTRESOURCEA(id), type);
        if (!r)
            return nullptr;
        if (pSize)
            *pSize = ::SizeofResource(m_h, r);
        return static_cast<const BYTE*>(::LockResource(::LoadResource(m_h, r)));
    }

private:
    HMODULE m_h;
};

// A template names a predefined class by its atom or by its name (any case).
bool IsClass(const std::wstring& cls, const wchar_t* pszAtom, const wchar_t* pszName)
{
    return cls == pszAtom || ::lstrcmpiW(cls.c_str(), pszName) == 0;
}

// UTF-16 of a code page 936 text (the literals of this file are CP936).
std::wstring Wide(const char* psz)
{
    int n = ::MultiByteToWideChar(936, 0, psz, -1, NULL, 0);
    std::wstring w((size_t)n, L'\0');
    ::MultiByteToWideChar(936, 0, psz, -1, &w[0], n);
    w.resize((size_t)n - 1);
    return w;
}
} // namespace

TEST(SetupResources, DialogTemplateIsExactlyAsDesigned)
{
    ProgramResources res(BuiltProgram("setup/Setup.exe"));
    ASSERT_NE(nullptr, res.Get());
    const BYTE* dlg = res.Find(RT_DIALOG, 102);
    ASSERT_NE(nullptr, dlg);
    CTemplate t;
    ASSERT_TRUE(ParseTemplate(dlg, t));
    EXPECT_EQ(0x90C000C0u, t.style);
    EXPECT_EQ(0x00040000u, t.exStyle);
    EXPECT_EQ(404, t.cx);
    EXPECT_EQ(315, t.cy);
    EXPECT_EQ(Wide(SETUP_WORKING_CAPTION), t.title);
    EXPECT_EQ(9, t.pointSize);
    EXPECT_EQ(Wide("宋体"), t.face);
    ASSERT_EQ(4u, t.items.size());

    const CTemplateItem& finish = t.items[0];
    EXPECT_EQ(1u, finish.id);
    EXPECT_TRUE(IsClass(finish.cls, L"#128", L"Button"));
    EXPECT_EQ(Wide("完成"), finish.title);
    EXPECT_EQ(0x50010000u, finish.style);
    EXPECT_EQ(346, finish.x);
    EXPECT_EQ(298, finish.y);
    EXPECT_EQ(48, finish.cx);
    EXPECT_EQ(14, finish.cy);

    const CTemplateItem& bar = t.items[1];
    EXPECT_EQ((DWORD)SETUP_BAR_ID, bar.id);
    EXPECT_EQ(0, ::lstrcmpiW(L"msctls_progress32", bar.cls.c_str()));
    EXPECT_EQ(L"Progress2", bar.title);
    EXPECT_EQ(0x50000001u, bar.style);
    EXPECT_EQ(0x220u, bar.exStyle);
    EXPECT_EQ(1, bar.x);
    EXPECT_EQ(300, bar.y);
    EXPECT_EQ(402, bar.cx);
    EXPECT_EQ(12, bar.cy);

    const CTemplateItem& picture = t.items[2];
    EXPECT_EQ(1005u, picture.id);
    EXPECT_TRUE(IsClass(picture.cls, L"#130", L"Static"));
    EXPECT_EQ(L"#137", picture.title);
    EXPECT_EQ(0x5000000Eu, picture.style);
    EXPECT_EQ(400, picture.cx);
    EXPECT_EQ(230, picture.cy);

    const CTemplateItem& hint = t.items[3];
    EXPECT_EQ((DWORD)SETUP_HINT_ID, hint.id);
    EXPECT_TRUE(IsClass(hint.cls, L"#130", L"Static"));
    EXPECT_EQ(Wide("激活命令方式: 点击AutoCAD状态栏上的[Mosaika] "), hint.title);
    EXPECT_EQ(0x50020000u, hint.style);
    EXPECT_EQ(12, hint.x);
    EXPECT_EQ(301, hint.y);
    EXPECT_EQ(308, hint.cx);
    EXPECT_EQ(10, hint.cy);
}

TEST(SetupResources, SplashIs607By446At24BitsAndIconHasTwo16ColourImages)
{
    ProgramResources res(BuiltProgram("setup/Setup.exe"));
    ASSERT_NE(nullptr, res.Get());
    const BYTE* bmp = res.Find(RT_BITMAP, 137);
    ASSERT_NE(nullptr, bmp);
    const BITMAPINFOHEADER* bih = reinterpret_cast<const BITMAPINFOHEADER*>(bmp);
    EXPECT_EQ(607, bih->biWidth);
    EXPECT_EQ(446, bih->biHeight);
    EXPECT_EQ(24, bih->biBitCount);

    DWORD size = 0;
    const BYTE* group = res.Find(RT_GROUP_ICON, 128, &size);
    ASSERT_NE(nullptr, group);
    const WORD* hdr = reinterpret_cast<const WORD*>(group);
    ASSERT_EQ(2, hdr[2]);
    // Each 14-byte entry: width, height, colour count, reserved, planes, bits...
    for (int i = 0; i < 2; ++i)
    {
        const BYTE* e = group + 6 + 14 * i;
        EXPECT_EQ(i == 0 ? 32 : 16, e[0]);
        EXPECT_EQ(e[0], e[1]);
        EXPECT_EQ(4, *reinterpret_cast<const WORD*>(e + 6)) << "bits per pixel";
    }
}

TEST(UninstallResources, DialogTemplateAndVersion)
{
    ProgramResources res(BuiltProgram("uninstall/Uninstall.exe"));
    ASSERT_NE(nullptr, res.Get());
    const BYTE* dlg = res.Find(RT_DIALOG, 102);
    ASSERT_NE(nullptr, dlg);
    CTemplate t;
    ASSERT_TRUE(ParseTemplate(dlg, t));
    EXPECT_EQ((DWORD)(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT),
              t.style);
    EXPECT_EQ((DWORD)WS_EX_APPWINDOW, t.exStyle);
    EXPECT_EQ(225, t.cx);
    EXPECT_EQ(115, t.cy);
    EXPECT_EQ(Wide(UNINSTALL_CAPTION), t.title);
    EXPECT_EQ(Wide("宋体"), t.face);
    ASSERT_EQ(9u, t.items.size());
    // Tab order, as designed: Cancel, bar, Finish, maker, line, thanks, group, status, done.
    const DWORD ids[9] = {2,
                          UNINSTALL_BAR_ID,
                          1,
                          0xFFFF,
                          0xFFFF,
                          1002, // Cancel to thanks
                          UNINSTALL_GROUP_ID,
                          UNINSTALL_STATUS_ID,
                          UNINSTALL_DONE_ID};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(ids[i], t.items[i].id & 0xFFFF) << "item " << i;
    EXPECT_EQ(Wide("取消"), t.items[0].title);
    EXPECT_EQ(Wide("完成"), t.items[2].title);
    EXPECT_TRUE(t.items[3].style & WS_DISABLED);
    EXPECT_EQ((DWORD)SS_ETCHEDHORZ, t.items[4].style & SS_TYPEMASK);
    EXPECT_EQ(Wide("谢谢使用 Mosaika Tessora V5.0"), t.items[5].title);
    EXPECT_EQ((DWORD)(BS_GROUPBOX | BS_FLAT), t.items[6].style & (BS_TYPEMASK | BS_FLAT));
    EXPECT_EQ((DWORD)WS_EX_TRANSPARENT, t.items[7].exStyle);
    EXPECT_EQ(Wide("卸载完成!"), t.items[8].title);

    DWORD size = 0;
    const BYTE* ver = res.Find(RT_VERSION, 1, &size);
    ASSERT_NE(nullptr, ver);
    std::vector<BYTE> copy(ver, ver + size);
    char* value = nullptr;
    UINT len = 0;
    ASSERT_TRUE(::VerQueryValueA(copy.data(), "\\StringFileInfo\\080404b0\\OriginalFilename",
                                 (void**)&value, &len));
    EXPECT_STREQ("Uninstall.EXE", value);
    ASSERT_TRUE(::VerQueryValueA(copy.data(), "\\StringFileInfo\\080404b0\\InternalName",
                                 (void**)&value, &len));
    EXPECT_STREQ("Uninstall", value);
    VS_FIXEDFILEINFO* fixed = nullptr;
    ASSERT_TRUE(::VerQueryValueA(copy.data(), "\\", (void**)&fixed, &len));
    EXPECT_EQ(0x00010000u, fixed->dwFileVersionMS);
    EXPECT_EQ(0x00000001u, fixed->dwFileVersionLS);
}
