#pragma once
// The register's queries are written as Jet SQL texts; this is the one step
// that turns such a text into SQLite SQL with the same meaning:
//   SELECT TOP n ...            -> ... LIMIT n
//   Format(x,'YYYY/MM/DD')      -> strftime('%Y/%m/%d',x)
//   LTrim(x) / RTrim(x) / Trim(x) -> ltrim(x) / rtrim(x) / trim(x)
//   x LIKE 'a*b?'               -> x LIKE 'a%b_' ESCAPE '\' (literal % _ \ escaped)
// String literals are copied unchanged otherwise; BETWEEN, IS NULL, NOT and
// the operators pass as they are. Text comparison is case-insensitive through
// the NOCASE collation of the text columns and SQLite's LIKE.

#include <QString>

QString JetToSqlite(const QString &jetSql);
// A Jet LIKE pattern ("*" any run, "?" one character) as an SQLite LIKE
// pattern escaped with '\'.
QString JetLikeToSqlite(const QString &jetPattern);
