#pragma once
// Loads a settings description (an XML file per terminal model and file
// kind), checks it and the dependencies between its entries, reads the
// settings file and merges its values: everything the editor form needs
// before it opens. Every check that fails writes one error-log line (number
// 12) with its message and makes its step fail; the first failure ends the
// step.

#include "editor/SettingsDescription.h"
#include "editor/SettingsFile.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <memory>

// What the edit flow hands the loader (and, through it, the editor form).
struct LoaderInputs {
    QString descriptionPath;
    QString iniPath; // empty: a common file that doesn't exist yet
    QString title;
    QString modelName;
    QString termId; // for the log; empty for common files and the registration
    bool commonFile = false;
    bool systemFile = false;
    bool settingsFile = true; // clear for the firmware registration form
    bool showWriteToTerminal = false;
    QString okText = QCoreApplication::translate("LoaderInputs", "OK");
    QString cancelText = QCoreApplication::translate("LoaderInputs", "キャンセル");
    int height = 600;
    int width = 800;

    FileMode fileMode() const { return FileMode{settingsFile, commonFile}; }
};

class DescriptionLoader
{
public:
    explicit DescriptionLoader(LoaderInputs inputs = {});
    ~DescriptionLoader();

    LoaderInputs &inputs() { return m_inputs; }
    const LoaderInputs &inputs() const { return m_inputs; }
    // Where the error-log lines go (the daily log unless replaced; an empty
    // function drops them).
    void setErrorLog(EditorErrorLog log) { m_log = std::move(log); }

    // Reads the description file and walks it into the model.
    bool load();
    // The walk over a file's bytes.
    bool loadBytes(const QByteArray &bytes);
    // After the walk: limits normalised, parents and children linked.
    bool checkDependencies();
    // Reads the settings file and merges it into the model.
    bool readSettingsFile();

    enum class Prepared { Ready, DescriptionError, SettingsFileError };
    // load(), checkDependencies(), readSettingsFile(). A broken description
    // adds an error-log line with the description's path and shows the
    // description error box; an unreadable settings file logs error 10 for
    // the terminal and shows the settings-file error box.
    Prepared prepare();

    SettingsDescription &description() { return *m_desc; }
    const SettingsDescription &description() const { return *m_desc; }
    const SettingsFileImage &image() const { return m_image; }
    // The message of the last failed check; empty after a failure without
    // a message of its own.
    const QString &message() const { return m_message; }

    // The two error boxes, in the interface's language.
    static QString DescriptionErrorText();
    static QString DescriptionErrorCaption();
    static QString SettingsFileErrorText();
    static QString SettingsFileErrorCaption();

private:
    class Walk;
    class Check;
    void fail(const QString &message);

    LoaderInputs m_inputs;
    EditorErrorLog m_log;
    std::unique_ptr<SettingsDescription> m_desc;
    SettingsFileImage m_image;
    QString m_message;
};

// The fuzzing entry points: the walk and the dependency check over bytes
// (with the settings-file rule on the first entry when settingsFile is set),
// and the settings-file reader over bytes. Nothing is logged.
bool LoadDescriptionBytes(const QByteArray &bytes, bool settingsFile,
                          SettingsDescription *out = nullptr, QString *message = nullptr);
SettingsFileImage ReadSettingsBytes(const QByteArray &bytes);

// The version a system settings description gives a new terminal: the
// default of the first "data" element, whose "key" must be "Version".
struct DescriptionVersion {
    enum Status { Ok, LoadFailed, NoVersion } status = LoadFailed;
    QString version;
};
DescriptionVersion ReadDescriptionVersion(const QString &path);
