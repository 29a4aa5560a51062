#pragma once
// A program folder with the model's system settings description, the day's
// log as text, and the boxes the generation posted.

#include "comm/OpLog.h"
#include "common/Cp932.h"
#include "common/ProcessValues.h"
#include "initsettings/InitialFile.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <QFileInfo>
#include <gtest/gtest.h>

struct InitFolder : ::testing::Test {
    TempDir dir;
    ScriptedPrompter prompts;
    QList<QStringList> boxes; // text, caption, type

    void SetUp() override
    {
        ProcessValues::setProgramFolder(dir.path());
        for (const char *d : {"Log", "Data/Sys"})
            dir.mkdir(d);
        describe("KT-100", "Version", "V1.23");
    }
    // The model's description; its first entry has the key and the default.
    void describe(const QString &model, const QString &key, const QString &version)
    {
        dir.write("Config/Sys/sysconfig_" + model + "_1.xml",
                  ("<DISP><section key=\"Version\" name=\"v\"><data><key>" + key +
                   "</key><name>n</name><default>" + version +
                   "</default><inputtype>7</inputtype><inputrule>0</inputrule></data></section></DISP>")
                      .toUtf8());
    }
    QString log() const
    {
        return Cp932::decode(dir.read("Log/" + QFileInfo(OpLog::todayFilePath()).fileName()));
    }
    BoxPoster poster()
    {
        return [this](const QString &text, const QString &caption, unsigned type) {
            boxes << QStringList{text, caption, QString::number(type)};
        };
    }
};
