#pragma once
// A catalogue that translates every text into a recognisable other language
// ("[source]"), so that tests can tell texts for windows from texts for files
// without the real catalogue.

#include <QCoreApplication>
#include <QTranslator>

class PseudoTranslator : public QTranslator
{
public:
    PseudoTranslator() { QCoreApplication::installTranslator(this); }
    ~PseudoTranslator() override { QCoreApplication::removeTranslator(this); }
    bool isEmpty() const override { return false; }
    QString translate(const char *, const char *source, const char *, int) const override
    {
        return QLatin1Char('[') + QString::fromUtf8(source) + QLatin1Char(']');
    }
};
