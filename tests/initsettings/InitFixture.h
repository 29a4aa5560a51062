#pragma once
// A program folder with a Log and a Data tree, the day's log as text, and a
// version reader that stands for the model's settings description.

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
    QStringList readPaths;
    DescriptionVersion version{true, true, "V1.23"};

    void SetUp() override
    {
        ProcessValues::setProgramFolder(dir.path());
        for (const char *d : {"Log", "Data/Sys", "Config/Sys"})
            dir.mkdir(d);
        dir.write("Config/Sys/sysconfig_KT-100_1.xml", "<DISP/>");
    }
    QString log() const
    {
        return Cp932::decode(dir.read("Log/" + QFileInfo(OpLog::todayFilePath()).fileName()));
    }
    DescriptionVersionReader reader()
    {
        return [this](const QString &path) {
            readPaths << path;
            return version;
        };
    }
    BoxPoster poster()
    {
        return [this](const QString &text, const QString &caption, unsigned type) {
            boxes << QStringList{text, caption, QString::number(type)};
        };
    }
};
