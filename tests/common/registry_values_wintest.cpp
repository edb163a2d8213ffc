#include "common/RegistryValues.h"
#include "support/RegistryTree.h"

#include <gtest/gtest.h>

namespace
{
const char kKey[] = "Software\\Quorvatek Registry Test";

class RegistryHelpers : public ::testing::Test
{
protected:
    void SetUp() override { Clean(); }
    void TearDown() override
    {
        SetRegWriteFilter(NULL);
        Clean();
    }
    static void Clean()
    {
        ASSERT_TRUE(DeleteRegTree(HKEY_LOCAL_MACHINE, kKey));
        ASSERT_TRUE(DeleteRegTree(HKEY_CURRENT_USER, kKey));
    }
};

std::string Sub(const char* pszSub)
{
    return std::string(kKey) + "\\" + pszSub;
}
} // namespace

TEST_F(RegistryHelpers, StringsAreWrittenAsSzWithTheirNulAndCreateMissingKeys)
{
    // CP936 text whose second character has 0x5C as its trail byte.
    const std::string text = "C:\\\xCC\xEE\x95\x5C\\x";
    const std::string long2047(2047, 'w');
    EXPECT_TRUE(RegWriteMachineString(Sub("A\\B").c_str(), "Text", text.c_str()));
    EXPECT_TRUE(RegWriteUserString(Sub("C\\D").c_str(), "Long", long2047.c_str()));
    EXPECT_TRUE(RegWriteUserString(Sub("C\\D").c_str(), "Empty", ""));
    EXPECT_EQ(RegTreeOf(HKEY_LOCAL_MACHINE, kKey),
              (RegTree{{"", ""}, {"A", ""}, {"A\\B", ""}, {"A\\B|Text", SzEntry(text)}}));
    EXPECT_EQ(RegTreeOf(HKEY_CURRENT_USER, kKey), (RegTree{{"", ""},
                                                           {"C", ""},
                                                           {"C\\D", ""},
                                                           {"C\\D|Long", SzEntry(long2047)},
                                                           {"C\\D|Empty", SzEntry("")}}));

    CString strRead;
    EXPECT_TRUE(RegReadMachineString(Sub("A\\B").c_str(), "Text", strRead));
    EXPECT_EQ(std::string(strRead), text);
    EXPECT_TRUE(RegReadUserString(Sub("C\\D").c_str(), "Long", strRead));
    EXPECT_EQ(std::string(strRead), long2047);
}

TEST_F(RegistryHelpers, TextTooLongForTheBufferIsRefusedNotCut)
{
    const std::string long2048(2048, 'w');
    EXPECT_FALSE(RegWriteMachineString(Sub("A").c_str(), "Long", long2048.c_str()));
    EXPECT_FALSE(RegWriteUserString(Sub("A").c_str(), "Long", long2048.c_str()));
    EXPECT_TRUE(RegTreeOf(HKEY_LOCAL_MACHINE, kKey).empty());
    EXPECT_TRUE(RegTreeOf(HKEY_CURRENT_USER, kKey).empty());
}

TEST_F(RegistryHelpers, ReadTakesAnyTypeUpToTheFirstNulWithinTheData)
{
    struct Case
    {
        const char* name;
        DWORD type;
        std::string data;
        std::string expected;
    } cases[] = {
        {"Dword", REG_DWORD, std::string("ABC\0", 4), "ABC"},
        {"Binary", REG_BINARY, std::string("ab\0cd", 5), "ab"},
        {"Expand", REG_EXPAND_SZ, std::string("%SystemRoot%\\x\0", 15), "%SystemRoot%\\x"},
        {"Multi", REG_MULTI_SZ, std::string("one\0two\0\0", 9), "one"},
        {"Full2047", REG_SZ, std::string(2047, 'f') + '\0', std::string(2047, 'f')},
        // Data that fills the buffer without a NUL is taken up to its end only.
        {"FullNoNul", REG_BINARY, std::string(2048, 'b'), std::string(2048, 'b')},
    };
    for (const Case& c : cases)
    {
        ASSERT_TRUE(SetRegValue(HKEY_CURRENT_USER, kKey, c.name, c.type, c.data));
        CString strRead = "stale";
        EXPECT_TRUE(RegReadUserString(kKey, c.name, strRead)) << c.name;
        EXPECT_EQ(std::string(strRead), c.expected) << c.name;
    }
}

TEST_F(RegistryHelpers, FailedReadsEmptyTheText)
{
    ASSERT_TRUE(SetRegText(HKEY_LOCAL_MACHINE, kKey, "Long", std::string(2048, 'x')));
    ASSERT_TRUE(
        SetRegValue(HKEY_LOCAL_MACHINE, kKey, "Bin2049", REG_BINARY, std::string(2049, 'x')));
    CString strRead;
    for (const char* pszName : {"Long", "Bin2049", "Missing"})
    {
        strRead = "stale";
        EXPECT_FALSE(RegReadMachineString(kKey, pszName, strRead)) << pszName;
        EXPECT_TRUE(strRead.IsEmpty()) << pszName;
    }
    strRead = "stale";
    EXPECT_FALSE(RegReadUserString(Sub("Missing").c_str(), "V", strRead));
    EXPECT_TRUE(strRead.IsEmpty());
}

namespace
{
std::string g_strFilterCalls;
BOOL DenyValueB(HKEY hRoot, LPCTSTR pszKey, LPCTSTR pszValueName)
{
    g_strFilterCalls += std::string(hRoot == HKEY_LOCAL_MACHINE ? "HKLM " : "HKCU ") + pszKey +
                        "|" + pszValueName + ";";
    return std::string(pszValueName) != "B";
}
} // namespace

TEST_F(RegistryHelpers, WriteFilterMakesAWriteFailWithoutTouchingTheRegistry)
{
    g_strFilterCalls.clear();
    SetRegWriteFilter(DenyValueB);
    EXPECT_TRUE(RegWriteMachineDword(Sub("K").c_str(), "A", 1));
    EXPECT_FALSE(RegWriteMachineString(Sub("K").c_str(), "B", "b"));
    EXPECT_FALSE(RegWriteUserString(Sub("K").c_str(), "B", "b"));
    EXPECT_TRUE(RegWriteUserString(Sub("K").c_str(), "C", "c"));
    EXPECT_EQ(g_strFilterCalls, "HKLM " + Sub("K") + "|A;HKLM " + Sub("K") + "|B;HKCU " + Sub("K") +
                                    "|B;HKCU " + Sub("K") + "|C;");
    EXPECT_EQ(RegTreeOf(HKEY_LOCAL_MACHINE, kKey),
              (RegTree{{"", ""}, {"K", ""}, {"K|A", DwordEntry(1)}}));
    EXPECT_EQ(RegTreeOf(HKEY_CURRENT_USER, kKey),
              (RegTree{{"", ""}, {"K", ""}, {"K|C", SzEntry("c")}}));
}
