#pragma once
// A program folder with a Log and a Data tree, the model's system settings
// description, and the day's log as text.

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
    QList<QStringList> boxes; // text, caption, type of posted boxes

    void SetUp() override
    {
        ProcessValues::setProgramFolder(dir.path());
        for (const char *d : {"Log", "Data/Sys", "Config/Sys"})
            dir.mkdir(d);
        describe("KT-100", "Version", "V1.23");
    }
    // The model's one system settings description, its first entry keyed key.
    void describe(const QString &model, const QString &key, const QString &version)
    {
        dir.write("Config/Sys/sysconfig_" + model + "_1.xml",
                  ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<DISP>"
                   "<section key=\"Version\" name=\"v\"><data><key>" + key +
                   "</key><name>n</name><default>" + version +
                   "</default><inputtype>7</inputtype><inputrule>0</inputrule></data>"
                   "</section></DISP>\n")
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
