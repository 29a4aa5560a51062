#pragma once
// The English catalogue as the tests read it (translations/*.ts), and the
// rendering of a program text into English through it.

#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <optional>

struct CatalogueEntry {
    QString context;
    QString source;
    QString comment;
    bool numerus = false;
    QStringList translations; // one, or the plural forms
    QString state;            // the translation's type attribute ("" when finished)
};

class Catalogue
{
public:
    // The program's English catalogue in the source tree.
    static const Catalogue &english();
    static Catalogue read(const QString &tsPath);

    QList<CatalogueEntry> entries;

    // A text the program showed, rendered in English: the entry whose source
    // it is (its %1.. and %n holding any value), with those values put into
    // the translation. Nothing when no entry's source gives the text.
    std::optional<QString> render(const QString &text) const;

private:
    struct Pattern {
        QRegularExpression re;
        QStringList markers; // "%1".., "%n" in the order the source holds them
        const CatalogueEntry *entry;
        int literal = 0; // characters besides the placeholders
    };
    mutable QList<Pattern> m_patterns;
};

// Whether a text holds kana, kanji or Japanese punctuation and full-width forms.
bool HasJapanese(const QString &text);

// The placeholders (%1..%99, %n, %Ln) a text holds, sorted.
QStringList Placeholders(const QString &text);
