#include "common/DsnAttributes.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <string>

TEST(DsnAttributes, SixPairsSeparatedByNulAndEndedByTwo)
{
    // "填充图案" in code page 936; the literal is converted at compile time.
    CString list =
        MakeDsnAttributes("C:\\Program Files\\Quorvatek\\Tessora\\" DSN_DATABASE_SUBPATH);
    std::string bytes((LPCTSTR)list, (size_t)list.GetLength());
    const std::string expected = std::string("DSN=SwatchDepot") + '\0' + "Quorvatek=Mosaika" +
                                 '\0' +
                                 "DBQ=C:\\Program Files\\Quorvatek\\Tessora\\Database\\"
                                 "\xCC\xEE\xB3\xE4\xCD\xBC\xB0\xB8.mdb" +
                                 '\0' + "FIL=MS Access" + '\0' + "UID=Quorvatek" + '\0' +
                                 "PWD=Quorvatek40617295358" + '\0' + '\0';
    EXPECT_EQ(expected, bytes);
}

TEST(DsnAttributes, PathWithPercentAndControlBytesIsTakenAsItStands)
{
    CString list = MakeDsnAttributes("\\%s%d\\Database\\x.mdb");
    std::string bytes((LPCTSTR)list, (size_t)list.GetLength());
    EXPECT_NE(std::string::npos, bytes.find(std::string("DBQ=\\%s%d\\Database\\x.mdb") + '\0'));
    EXPECT_EQ(6, (int)std::count(bytes.begin(), bytes.end(), '\0') - 1);
}
