// Terminal file paths from IDs that arrive over UDP: only safe IDs name
// files, and only paths inside the program folder are taken.
#include "common/ProcessValues.h"
#include "common/TerminalPaths.h"

#include <gtest/gtest.h>

TEST(TerminalPaths, OnlySafeIdsNameFiles)
{
    for (const char16_t *ok : {u"1001", u"a.b", u"テスト端末", u"id with blank"})
        EXPECT_TRUE(TerminalPaths::isSafeId(ok));
    for (const QString &bad :
         {QString(), QStringLiteral("../x"), QStringLiteral("x.."), QStringLiteral("a/b"),
          QStringLiteral("a\\b"), QStringLiteral("tab\there"), QString(QChar(0x7f)),
          QString(QChar(0)) + "1001"}) {
        SCOPED_TRACE(bad.toStdString());
        EXPECT_FALSE(TerminalPaths::isSafeId(bad));
        EXPECT_TRUE(TerminalPaths::allRelative(bad).isEmpty());
    }
    // The program folder always ends in a slash, its dots resolved.
    ProcessValues::setProgramFolder(QStringLiteral("/srv/x/../kel"));
    EXPECT_EQ(ProcessValues::programFolder(), QStringLiteral("/srv/kel/"));
    EXPECT_EQ(TerminalPaths::allRelative("1001"),
              (QStringList{"Data/Sys/kel_sys1001.ini", "Data/User/kel_user1001.ini",
                           "Data/Dial/kel_dial1001.csv"}));
    EXPECT_EQ(TerminalPaths::absolute(TerminalPaths::Kind::PhoneBook, "7"),
              "/srv/kel/Data/Dial/kel_dial7.csv");
    ProcessValues::setProgramFolder(QStringLiteral("./"));

    // Inside once dots are resolved; not a longer sibling, the folder itself
    // or a relative path.
    EXPECT_TRUE(TerminalPaths::isInside("/srv/kel/Data/./Sys/x.ini", "/srv/kel/"));
    for (const char *outside : {"/srv/kel/Data/Sys/kel_sys/../../../../etc/passwd",
                                "/srv/kel2/x.ini", "/srv/kel", "Data/Sys/x.ini"})
        EXPECT_FALSE(TerminalPaths::isInside(outside, "/srv/kel")) << outside;
}
