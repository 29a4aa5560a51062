#include "setup/FirstStart.h"

#include "common/Cp932.h"
#include "common/IniFile.h"
#include "common/Prompter.h"
#include "common/SafeFile.h"
#include "setup/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QIODevice>
#include <QRegularExpression>

#include <sys/stat.h>

namespace
{

// The translation context of the first start's texts.
class Texts
{
    Q_DECLARE_TR_FUNCTIONS(FirstStart)
};

const QString kSet = QStringLiteral("ModelSet1");

bool hasControl(const QString &s)
{
    for (QChar c : s)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return true;
    return false;
}

} // namespace

QByteArray FtpAccountFileBytes(const FtpAccountAnswer &a)
{
    return Cp932::encode(QStringLiteral("[System]\r\nCount=1\r\n\r\n[ModelSet1]\r\nMODEL=%1\r\n"
                                        "ID=%2\r\nPW=%3\r\n")
                             .arg(a.model, a.user, a.password));
}

AnswerProblem CheckFtpAccountAnswer(const FtpAccountAnswer &a)
{
    const IniFile back = IniFile::fromBytes(FtpAccountFileBytes(a));
    const struct {
        AnswerProblem::Field field;
        const QString &value;
        const char *key;
        QString name;
    } fields[] = {
        {AnswerProblem::Model, a.model, "MODEL", Texts::tr("端末機種名")},
        {AnswerProblem::User, a.user, "ID", Texts::tr("FTPユーザー名")},
        {AnswerProblem::Password, a.password, "PW", Texts::tr("FTPパスワード")},
    };
    for (const auto &f : fields) {
        if (f.value.isEmpty())
            return {f.field, Texts::tr("%1を入力してください。").arg(f.name)};
        // Control characters would also reach the FTP commands.
        if (hasControl(f.value) || back.readString(kSet, QLatin1String(f.key)) != f.value)
            return {f.field,
                    Texts::tr("%1に使用できない文字があります。\n改行・制御文字、前後の空白、"
                              "前後を囲む引用符、Shift_JISにない文字は使えません。")
                        .arg(f.name)};
    }
    static const QRegularExpression pathChars(QStringLiteral("[/\\\\*?\\[\\]]"));
    if (a.model.contains(pathChars) || a.model == QLatin1String(".") ||
        a.model == QLatin1String(".."))
        return {
            AnswerProblem::Model,
            Texts::tr("端末機種名に / \\ * ? [ ] は使えません（設定ファイルの名前になります）。")};
    return {};
}

bool WriteFtpAccountFile(const QString &path, const FtpAccountAnswer &answer, QString *error)
{
    return SafeFile::write(path, FtpAccountFileBytes(answer), error, SafeFile::PrivateMode);
}

namespace FirstStartTexts
{
QString caption()
{
    return Texts::tr("初回起動 - FTPアカウントの設定");
}
QString intro(const QString &folder)
{
    return Texts::tr("プログラムフォルダを作成します：\n%1\n\n"
                     "端末のFTPアカウントを入力してください。入力した内容はプログラムフォルダの "
                     "Config/FTPauth.ini に保存されます（所有者だけが読めるファイルです）。")
        .arg(QDir::toNativeSeparators(QDir::cleanPath(folder)));
}
QString modelLabel()
{
    return Texts::tr("端末機種名(&M)");
}
QString userLabel()
{
    return Texts::tr("FTPユーザー名(&U)");
}
QString passwordLabel()
{
    return Texts::tr("FTPパスワード(&P)");
}
} // namespace FirstStartTexts

std::optional<FtpAccountAnswer> StreamAccountAsker::askAccount(const QString &folder)
{
    std::fprintf(m_out, "%s\n%s\n", FirstStartTexts::caption().toUtf8().constData(),
                 FirstStartTexts::intro(folder).toUtf8().constData());
    std::fflush(m_out);
    // Byte by byte: nothing past the answers is taken from the stream.
    auto readLine = [this]() -> std::optional<QString> {
        QByteArray line;
        char c = 0;
        while (m_in.getChar(&c) && c != '\n')
            line += c;
        if (line.isEmpty() && c != '\n')
            return std::nullopt;
        return QString::fromUtf8(line);
    };
    for (;;) {
        FtpAccountAnswer a;
        for (QString *field : {&a.model, &a.user, &a.password}) {
            const auto line = readLine();
            if (!line)
                return std::nullopt;
            *field = *line;
        }
        const AnswerProblem problem = CheckFtpAccountAnswer(a);
        if (problem.field == AnswerProblem::None)
            return a;
        AppMessageBox(1, 2, problem.text, FirstStartTexts::caption(), MsgType::IconWarning);
    }
}

namespace FirstStart
{

bool layOut(const QString &folder, const QString &samplesDir, const FtpAccountAnswer &answer,
            QString *error)
{
    if (const AnswerProblem p = CheckFtpAccountAnswer(answer); p.field != AnswerProblem::None) {
        if (error)
            *error = p.text;
        return false;
    }
    const QString accountFile = QDir(folder).filePath(QStringLiteral("Config/FTPauth.ini"));
    return ProgramFolder::layOut(folder, samplesDir, answer.model, error) &&
           (QFileInfo::exists(accountFile) || WriteFtpAccountFile(accountFile, answer, error));
}

int initCommand(const QStringList &args, const QString &exeDir, std::FILE *err)
{
    QString dir;
    std::optional<FtpAccountAnswer> account;
    for (const QString &a : args) {
        if (a.startsWith(QLatin1String(InitOption))) {
            dir = a.mid(int(qstrlen(InitOption)));
        } else if (a.startsWith(QLatin1String(AccountOption))) {
            const QString value = a.mid(int(qstrlen(AccountOption)));
            const qsizetype first = value.indexOf(QLatin1Char(','));
            const qsizetype second = first < 0 ? -1 : value.indexOf(QLatin1Char(','), first + 1);
            if (second < 0) {
                std::fprintf(err, "%s needs MODEL,USER,PASSWORD\n", AccountOption);
                return 2;
            }
            account = FtpAccountAnswer{value.left(first), value.mid(first + 1, second - first - 1),
                                       value.mid(second + 1)};
        }
    }
    if (dir.isEmpty()) {
        std::fprintf(err, "%s needs a folder\n", InitOption);
        return 2;
    }
    if (account) {
        if (const AnswerProblem p = CheckFtpAccountAnswer(*account);
            p.field != AnswerProblem::None) {
            std::fprintf(err, "%s\n", p.text.toUtf8().constData());
            return 2;
        }
    }
    QString error;
    const bool done = account ? layOut(dir, ProgramFolder::samplesFolder(exeDir), *account, &error)
                              : ProgramFolder::layOut(dir, ProgramFolder::samplesFolder(exeDir),
                                                      QString(), &error);
    if (!done) {
        std::fprintf(err, "%s\n", error.toUtf8().constData());
        return 1;
    }
    return 0;
}

QString failureText(const QString &error)
{
    return Texts::tr("プログラムフォルダを作成できませんでした。\n%1\nプログラムを終了します。")
        .arg(error);
}

} // namespace FirstStart

std::optional<unsigned> ExposedAccountFileMode(const QString &path)
{
    struct stat st {
    };
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    const unsigned mode = st.st_mode & 07777;
    if (mode & (S_IRGRP | S_IROTH))
        return mode;
    return std::nullopt;
}

QString ExposedAccountFileLogText(unsigned mode)
{
    // The daily log is Japanese, whatever the interface's language.
    return QStringLiteral(u"Config/FTPauth.iniを他のユーザーが読み取れる状態でした(%1)")
        .arg(mode, 4, 8, QLatin1Char('0'));
}

QString ExposedAccountFileStatusText(unsigned mode)
{
    return Texts::tr(
               "Config/FTPauth.ini（FTPパスワード）を他のユーザーが読み取れる状態でした（%1）。"
               "パスワードが漏れていないか確認してください。")
        .arg(mode, 4, 8, QLatin1Char('0'));
}
