#pragma once
// The tables of the register file: columns in order with their types, the
// statements that create a fresh file, and the ListCondInfo field bindings.

#include "register/ListCond.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <span>

namespace RegisterSchema
{

enum class ColType { Long, Text, DateTime };

struct Column {
    const char *name;
    ColType type;
    int width;                     // text columns only
    const char *initial = nullptr; // the default when not the type's own (0, '', NULL)
};

struct Table {
    const char *name;
    std::span<const Column> columns;
};

std::span<const Table> tables();
// A column's text in CREATE TABLE (and in ALTER TABLE ... ADD COLUMN).
QString columnDefinition(const Column &c);
// CREATE TABLE/INDEX statements and the rows a fresh file holds.
QStringList createStatements();
// The indexes of TermInfo ("IF NOT EXISTS": also run at every open).
QStringList indexStatements();
// The ALTER TABLE steps that bring a table whose first `present` columns are
// this version's up to the whole list (empty when nothing is missing).
QStringList addColumnStatements(const Table &table, std::size_t present);

// One ListCondInfo field: its column name and where it lives in the struct.
struct CondField {
    const char *name;
    ColType type;
    std::int32_t ListCondInfo::*integer;
    QString ListCondInfo::*text;
    QDateTime ListCondInfo::*date;
};
std::span<const CondField> condFields(); // ID first, then the 62 others in order

// Dates are stored as "YYYY-MM-DD HH:MM:SS" text in local time.
QString dateText(const QDateTime &dt);
QDateTime parseDate(const QString &text); // invalid for NULL/empty/garbage

} // namespace RegisterSchema
