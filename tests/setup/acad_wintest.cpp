#include "setup/AcadReleaseRegistration.h"
#include "common/RegistryValues.h"
#include "support/RegistryTree.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace
{
const std::string kInstall = "C:\\Program Files\\Quorvatek\\Tessora\\";
const std::string kEntry = kInstall + "HatchPat\\;";
const char kAutodesk[] = "SOFTWARE\\Autodesk";
const char kAcad[] = "Software\\Autodesk\\AutoCAD\\";

std::string ProductKey(const std::string& release, const std::string& product)
{
    return kAcad + release + "\\" + product;
}
std::string GeneralKey(const std::string& release, const std::string& product,
                       const std::string& profile)
{
    return ProductKey(release, product) + "\\Profiles\\" + profile + "\\General";
}
void Install(HKEY hRoot, const std::string& release, const std::string& product)
{
    ASSERT_TRUE(SetRegText(hRoot, kAcad + release, "CurVer", product));
}
void SetAcad(const std::string& release, const std::string& product, const std::string& profile,
             const std::string& text, DWORD dwType = REG_SZ)
{
    ASSERT_TRUE(SetRegValue(HKEY_CURRENT_USER, GeneralKey(release, product, profile), "ACAD",
                            dwType, text + std::string(1, '\0')));
}
std::string Acad(const std::string& release, const std::string& product, const std::string& profile)
{
    return RegTreeOf(HKEY_CURRENT_USER, GeneralKey(release, product, profile))["|ACAD"];
}

// The expected tree below "SOFTWARE\Autodesk": a key with all its parents, or a value.
void AddKey(RegTree& tree, const std::string& path)
{
    for (size_t pos = 0; (pos = path.find('\\', pos + 1)) != std::string::npos;)
        tree[path.substr(0, pos)] = "";
    tree[path] = "";
}
void AddValue(RegTree& tree, const std::string& key, const std::string& name,
              const std::string& entry)
{
    AddKey(tree, key);
    tree[key + "|" + name] = entry;
}
// Paths in a snapshot of "SOFTWARE\Autodesk" start below it.
std::string InTree(const std::string& key)
{
    return key.substr(std::string("Software\\Autodesk\\").size());
}

// Records every write the helpers are asked for, and refuses the ones chosen
// by value name, by root, or as the whole record.
std::vector<std::string> g_writes;
std::set<std::string> g_denied;
BOOL RecordWrite(HKEY hRoot, LPCTSTR pszKey, LPCTSTR pszValueName)
{
    std::string root = hRoot == HKEY_LOCAL_MACHINE ? "HKLM" : "HKCU";
    g_writes.push_back(root + " " + pszKey + "|" + pszValueName);
    return !g_denied.count(pszValueName) && !g_denied.count(root) &&
           !g_denied.count(g_writes.back());
}

class AcadRegistration : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Clean();
        g_writes.clear();
        g_denied.clear();
        SetRegWriteFilter(RecordWrite);
    }
    void TearDown() override
    {
        SetRegWriteFilter(NULL);
        Clean();
    }
    static void Clean()
    {
        ASSERT_TRUE(DeleteRegTree(HKEY_LOCAL_MACHINE, kAutodesk));
        ASSERT_TRUE(DeleteRegTree(HKEY_CURRENT_USER, kAutodesk));
    }
    static RegTree Machine() { return RegTreeOf(HKEY_LOCAL_MACHINE, kAutodesk); }
    static RegTree User() { return RegTreeOf(HKEY_CURRENT_USER, kAutodesk); }
};
} // namespace

TEST_F(AcadRegistration, ReleaseWithoutCurVerGetsNothing)
{
    SetAcad("R16.0", "ACAD-201:804", "Default", "D:\\Fonts");
    ASSERT_TRUE(MakeRegKey(HKEY_LOCAL_MACHINE, kAcad + std::string("R16.0")));
    const RegTree machine = Machine(), user = User();

    RegisterAcadReleases(kInstall.c_str());
    for (const AcadRelease& release : g_acadReleases)
    {
        CString strProduct = "stale";
        EXPECT_FALSE(FindAcadProduct(release, strProduct));
        EXPECT_TRUE(strProduct.IsEmpty());
        EXPECT_FALSE(RegisterAcadRelease(release, kInstall.c_str()));
    }
    EXPECT_TRUE(g_writes.empty());
    EXPECT_EQ(Machine(), machine);
    EXPECT_EQ(User(), user);
}

TEST_F(AcadRegistration, CurVerOfTheMachineWinsAndAnyTextCountsAsRead)
{
    Install(HKEY_CURRENT_USER, "R16.0", "ACAD-201:804");
    Install(HKEY_LOCAL_MACHINE, "R16.1", "Machine");
    Install(HKEY_CURRENT_USER, "R16.1", "User");
    Install(HKEY_LOCAL_MACHINE, "R16.2", " \xCC\xEE\x95\x5C ");
    ASSERT_TRUE(SetRegValue(HKEY_CURRENT_USER, kAcad + std::string("R17.0"), "CurVer", REG_DWORD,
                            std::string("ABC\0", 4)));
    const char* expected[] = {"", "ACAD-201:804", "Machine", " \xCC\xEE\x95\x5C ", "ABC", "", "",
                              ""};
    for (int i = 0; i < ACAD_RELEASE_COUNT; ++i)
    {
        CString strProduct;
        EXPECT_EQ(FindAcadProduct(g_acadReleases[i], strProduct), *expected[i] != '\0');
        EXPECT_STREQ(strProduct, expected[i]);
    }

    // A release found under the current user still gets its loader under the machine.
    SetRegWriteFilter(NULL);
    EXPECT_TRUE(RegisterAcadRelease(g_acadReleases[1], kInstall.c_str()));
    RegTree machine{{"", ""}};
    const std::string app =
        InTree(ProductKey("R16.0", "ACAD-201:804") + "\\Applications\\FillBoot");
    AddValue(machine, app, "LOADCTRLS", DwordEntry(2));
    AddValue(machine, app, "LOADER", SzEntry(kInstall + "Support\\2004-06\\Arx\\FillBoot.arx"));
    AddValue(machine, "AutoCAD\\R16.1", "CurVer", SzEntry("Machine"));
    AddValue(machine, "AutoCAD\\R16.2", "CurVer", SzEntry(" \xCC\xEE\x95\x5C "));
    EXPECT_EQ(Machine(), machine);
    EXPECT_EQ(User().count("AutoCAD\\R16.0\\ACAD-201:804"), 0u);
}

TEST_F(AcadRegistration, EveryRowWritesItsLoaderEntriesOnlyInTableOrder)
{
    const char* releases[] = {"R15.0", "R16.0", "R16.1", "R16.2",
                              "R17.0", "R17.1", "R17.2", "R18.0"};
    const char* folders[] = {"2000-02", "2004-06", "2004-06", "2004-06",
                             "2007-09", "2007-09", "2007-09", "2010-11"};
    RegTree expected{{"", ""}};
    std::vector<std::string> writes;
    for (int i = 0; i < 8; ++i)
    {
        Install(HKEY_LOCAL_MACHINE, releases[i], "ACAD-X");
        AddValue(expected, "AutoCAD\\" + std::string(releases[i]), "CurVer", SzEntry("ACAD-X"));
        const std::string key = ProductKey(releases[i], "ACAD-X");
        const std::string module = kInstall + "Support\\" + folders[i] + "\\Arx\\FillBoot.arx";
        const std::string app = key + "\\Applications\\FillBoot";
        AddValue(expected, InTree(app), "LOADCTRLS", DwordEntry(2));
        writes.push_back("HKLM " + app + "|LOADCTRLS");
        if (i > 0)
        {
            AddValue(expected, InTree(app), "LOADER", SzEntry(module));
            writes.push_back("HKLM " + app + "|LOADER");
            continue;
        }
        const std::string apps = key + "\\AutodeskApps\\FillBoot";
        AddValue(expected, InTree(app), "REGPATH", SzEntry("\\\\HKEY_LOCAL_MACHINE\\" + apps));
        AddValue(expected, InTree(apps + "\\Loader"), "MODULE", SzEntry(module));
        AddValue(expected, InTree(apps + "\\Name"), "FillBoot", SzEntry("FillBoot"));
        writes.push_back("HKLM " + app + "|REGPATH");
        writes.push_back("HKLM " + apps + "\\Loader|MODULE");
        writes.push_back("HKLM " + apps + "\\Name|FillBoot");
    }
    RegisterAcadReleases(kInstall.c_str());
    EXPECT_EQ(Machine(), expected);
    EXPECT_EQ(g_writes, writes);
    EXPECT_TRUE(User().empty());
}

TEST_F(AcadRegistration, EntryGoesInFrontOfEachCurrentUserProfileThatNeedsIt)
{
    Install(HKEY_LOCAL_MACHINE, "R16.2", "P");
    const std::string in = kInstall + "HatchPat";
    SetAcad("R16.2", "P", "<<Unnamed Profile>>", "D:\\Fonts;E:\\Lisp");
    // The default profile of the Chinese edition.
    SetAcad("R16.2", "P", "<<未命名配置>>", "D:\\Fonts");
    SetAcad("R16.2", "P", "Empty", "");
    SetAcad("R16.2", "P", "Holds", "D:\\Fonts;" + kEntry + "E:\\Lisp", REG_EXPAND_SZ);
    SetAcad("R16.2", "P", "Case", "c:\\program files\\quorvatek\\tessora\\hatchpat\\;");
    SetAcad("R16.2", "P", "NoBackslash", in + ";D:\\Fonts");
    SetAcad("R16.2", "P", "LastNoSemicolon", "D:\\Fonts;" + in + "\\");
    SetAcad("R16.2", "P", "Expand", "%ProgramFiles%\\Fonts", REG_EXPAND_SZ);
    SetAcad("R16.2", "P", "TooLong", std::string(2048, 'x'));
    SetAcad("R16.2", "P", "WouldExceed", std::string(2048 - kEntry.size(), 'x'));
    SetAcad("R16.2", "P", "JustFits", std::string(2047 - kEntry.size(), 'x'));
    ASSERT_TRUE(
        MakeRegKey(HKEY_CURRENT_USER, ProductKey("R16.2", "P") + "\\Profiles\\NoGeneral\\Editor"));
    ASSERT_TRUE(SetRegText(HKEY_CURRENT_USER, GeneralKey("R16.2", "P", "NoAcad"), "Other", "D:\\"));
    // Another product of the release, and the machine's keys, are not the user's profiles.
    SetAcad("R16.2", "Other", "Default", "D:\\Fonts");
    ASSERT_TRUE(
        SetRegText(HKEY_LOCAL_MACHINE, GeneralKey("R16.2", "P", "Default"), "ACAD", "D:\\Fonts"));
    RegTree user = User(), machine = Machine();

    SetRegWriteFilter(NULL);
    EXPECT_TRUE(RegisterAcadRelease(g_acadReleases[3], kInstall.c_str()));
    for (const char* profile : {"<<Unnamed Profile>>", "<<未命名配置>>", "Empty", "Case",
                                "NoBackslash", "LastNoSemicolon", "Expand", "JustFits"})
    {
        std::string& entry = user[InTree(GeneralKey("R16.2", "P", profile)) + "|ACAD"];
        entry = SzEntry(kEntry + entry.substr(2, entry.size() - 3));
    }
    EXPECT_EQ(User(), user);
    EXPECT_EQ(Acad("R16.2", "P", "Empty"), SzEntry(kEntry));
    EXPECT_EQ(Acad("R16.2", "P", "Expand"), SzEntry(kEntry + "%ProgramFiles%\\Fonts"));
    EXPECT_EQ(Acad("R16.2", "P", "JustFits").size(), 2u + 2048u);
    const std::string app = InTree(ProductKey("R16.2", "P") + "\\Applications\\FillBoot");
    AddValue(machine, app, "LOADCTRLS", DwordEntry(2));
    AddValue(machine, app, "LOADER", SzEntry(kInstall + "Support\\2004-06\\Arx\\FillBoot.arx"));
    EXPECT_EQ(Machine(), machine);

    // A second run finds the entry everywhere and writes no profile again.
    SetRegWriteFilter(RecordWrite);
    EXPECT_TRUE(RegisterAcadRelease(g_acadReleases[3], kInstall.c_str()));
    EXPECT_EQ(g_writes.size(), 2u);
    EXPECT_EQ(User(), user);
}

TEST_F(AcadRegistration, ProfileNameTooLongForTheBufferEndsTheWalk)
{
    Install(HKEY_LOCAL_MACHINE, "R17.0", "P");
    std::string longName = "B";
    for (int i = 0; i < 130; ++i)
        longName += "\xCC\xEE"; // 261 bytes, 131 characters
    for (const std::string& profile : {std::string("A1"), longName, std::string("C3")})
        SetAcad("R17.0", "P", profile, "D:\\Fonts");

    EXPECT_TRUE(RegisterAcadRelease(g_acadReleases[4], kInstall.c_str()));
    EXPECT_EQ(Acad("R17.0", "P", "A1"), SzEntry(kEntry + "D:\\Fonts"));
    EXPECT_EQ(Acad("R17.0", "P", longName), SzEntry("D:\\Fonts"));
    EXPECT_EQ(Acad("R17.0", "P", "C3"), SzEntry("D:\\Fonts"));
}

TEST_F(AcadRegistration, FailedWriteEndsOnlyThatReleaseAndKeepsWhatWasWritten)
{
    // Refused at each step of the AutodeskApps scheme, the steps before stay.
    const char* steps[] = {"LOADCTRLS", "REGPATH", "MODULE", "FillBoot"};
    for (int nFail = 0; nFail < 4; ++nFail)
    {
        Clean();
        Install(HKEY_LOCAL_MACHINE, "R15.0", "P");
        SetAcad("R15.0", "P", "Default", "D:\\Fonts");
        g_denied = {steps[nFail]};
        g_writes.clear();
        EXPECT_FALSE(RegisterAcadRelease(g_acadReleases[0], kInstall.c_str()));
        ASSERT_EQ(g_writes.size(), (size_t)nFail + 2)
            << steps[nFail]; // the profile, then the loader
        int nValues = 0;
        for (const auto& item : Machine())
            nValues +=
                item.first.find('|') != std::string::npos && item.first != "AutoCAD\\R15.0|CurVer";
        EXPECT_EQ(nValues, nFail) << steps[nFail];
        EXPECT_EQ(Acad("R15.0", "P", "Default"), SzEntry(kEntry + "D:\\Fonts"));
    }

    // Without write access to the machine's keys every release still gets its
    // support path; a release refused at its first step does not stop the next.
    Clean();
    for (const char* release : {"R16.0", "R16.1"})
    {
        Install(HKEY_CURRENT_USER, release, "P");
        SetAcad(release, "P", "Default", "D:\\Fonts");
    }
    g_denied = {"HKLM"};
    RegisterAcadReleases(kInstall.c_str());
    EXPECT_TRUE(Machine().empty());
    for (const char* release : {"R16.0", "R16.1"})
        EXPECT_EQ(Acad(release, "P", "Default"), SzEntry(kEntry + "D:\\Fonts")) << release;

    g_denied = {"HKLM " + ProductKey("R16.0", "P") + "\\Applications\\FillBoot|LOADCTRLS"};
    RegisterAcadReleases(kInstall.c_str());
    RegTree expected{{"", ""}};
    const std::string app = InTree(ProductKey("R16.1", "P") + "\\Applications\\FillBoot");
    AddValue(expected, app, "LOADCTRLS", DwordEntry(2));
    AddValue(expected, app, "LOADER", SzEntry(kInstall + "Support\\2004-06\\Arx\\FillBoot.arx"));
    EXPECT_EQ(Machine(), expected);
}
