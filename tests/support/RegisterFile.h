#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <gtest/gtest.h>

#include <vector>

// Every row of the last statement, run on a register file no object holds open.
inline std::vector<QVariantList> onFile(const QString &path, const QStringList &statements)
{
    std::vector<QVariantList> rows;
    {
        QSqlDatabase c = QSqlDatabase::addDatabase("QSQLITE", "onFile");
        c.setDatabaseName(path);
        EXPECT_TRUE(c.open());
        QSqlQuery q(c);
        for (const QString &sql : statements) {
            EXPECT_TRUE(q.exec(sql)) << sql.toStdString();
            for (rows.clear(); q.next();) {
                QVariantList &row = rows.emplace_back();
                for (int i = 0; i < q.record().count(); ++i)
                    row << q.value(i);
            }
        }
    }
    QSqlDatabase::removeDatabase("onFile");
    return rows;
}
