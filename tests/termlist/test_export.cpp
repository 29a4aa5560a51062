// The bytes of the list export: Japanese in every interface language.
#include "common/Cp932.h"
#include "termlist/ListExport.h"

#include "support/PseudoTranslator.h"

#include <gtest/gtest.h>

#include <optional>

TEST(ExportTest, BytesOfHeaderAndLines)
{
    TermEntry a;
    a.TermID = QStringLiteral("  101");
    a.IPAddr = QStringLiteral("010.000.000.005");
    a.Regist = 3;
    a.EntryDate = QDateTime(QDate(2016, 2, 29), QTime(9, 5));
    a.TermIDAlert = 1;
    TermEntry b;
    b.TermID = QStringLiteral("102");
    b.ResultKind = 13;
    b.ResultDate = QDateTime(QDate(2020, 1, 2), QTime(3, 4, 5));
    b.EntryDate = QDateTime(QDate(2020, 1, 2), QTime(23, 59));

    using V = ViewColumn;
    const std::vector<ViewColumn> columns{V::TermID,   V::IPAddr,    V::Result,    V::ResultDate,
                                          V::SipState, V::EntryDate, V::EntryTime, V::Alert};
    for (const bool translated : {false, true}) {
        std::optional<PseudoTranslator> english;
        if (translated)
            english.emplace();
        EXPECT_EQ(ListExport::build(columns, {a, b}),
                  Cp932::encode(QStringLiteral(
                      "端末ID,IPｱﾄﾞﾚｽ,処理結果,処理結果日時,SIPｻｰﾊﾞ登録状態,管理PC登録日付,"
                      "管理PC登録時刻,ｱﾗｰﾄ情報,\r\n"
                      "101,010.000.000.005,　－　,1899/12/30 00:00,未登録,2016/02/29,09:05,"
                      "端末ID異常 / IPｱﾄﾞﾚｽ正常,\r\n"
                      "102,,端末情報取得中,2020/01/02 03:04,未登録,2020/01/02,23:59,"
                      "端末ID正常 / IPｱﾄﾞﾚｽ正常,\r\n")))
            << translated;
        EXPECT_EQ(ListExport::build({V::Result}, {}),
                  Cp932::encode(QStringLiteral("処理結果,\r\n")));
        // The list itself speaks the interface's language.
        const QString shown =
            translated ? QStringLiteral("[端末情報取得中]") : QStringLiteral("端末情報取得中");
        EXPECT_EQ(ListColumns::cellText(V::Result, b), shown);
        EXPECT_EQ(ListColumns::headerText(V::Alert, ListCondInfo{}).startsWith(QLatin1Char('[')),
                  translated);
    }
}
