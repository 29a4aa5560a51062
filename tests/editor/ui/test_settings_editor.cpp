// The settings editor dialog offscreen: its rows and the form's rules wired.
#include "editor/EditorTestSupport.h"

#include "common/Cp932.h"
#include "common/ProcessValues.h"
#include "editor/ui/Ipv4Edit.h"
#include "editor/ui/SettingsEditorDialog.h"
#include "editor/ui/SettingsPage.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace EditorTest;
using namespace Qt::StringLiterals;

namespace
{

// The simulator's system settings file of terminal 1001 (CP932, CR LF).
QByteArray sampleSystemFile()
{
    QByteArray t = repoFile("samples/termsim/kel_sys.ini");
    t.replace("{terminal_id}", "1001").replace("{address}", "127.0.0.2");
    return Cp932::encode(QString::fromUtf8(t.replace("\r\n", "\n").replace("\n", "\r\n")));
}

// The sample system description with terminal 1001's file, and a dialog over it.
struct Editor {
    TempDir dir;
    DescriptionLoader loader;
    std::unique_ptr<SettingsEditorDialog> dialog;

    Editor()
    {
        ProcessValues::setProgramFolder(dir.path());
        LoaderInputs &in = loader.inputs();
        in.modelName = "KT-100";
        in.systemFile = in.settingsFile = true;
        in.showWriteToTerminal = true;
        dir.write("Data/Sys/kel_sys1001.ini", sampleSystemFile());
        in.iniPath = dir.file("Data/Sys/kel_sys1001.ini");
        in.descriptionPath = KEL_SOURCE_DIR "/samples/Config/Sys/sysconfig_KT-100_1.xml";
        loader.setErrorLog({});
        EXPECT_EQ(loader.prepare(), DescriptionLoader::Prepared::Ready);
        dialog = std::make_unique<SettingsEditorDialog>(&loader.description(), loader.inputs());
        EXPECT_TRUE(dialog->buildForm());
        dialog->show();
        QApplication::processEvents();
    }
    int index(const QString &key) const { return keyIndex(loader.description(), key); }
    template <class W> W *input(const QString &key) const
    {
        return qobject_cast<W *>(dialog->input(index(key)));
    }
};

} // namespace

TEST(SettingsEditorDialog, RowsOfEveryInputTypeAndTheirGroups)
{
    Editor ed;
    SettingsEditorDialog &d = *ed.dialog;
    EXPECT_EQ(std::pair(d.size(), d.tabs()->count()), std::pair(QSize(800, 600), 6));
    // Every kind of input; TimeZone (type 6) and DebugLevel (dispflg 1) have no row.
    EXPECT_TRUE(ed.input<QComboBox>("Language") && ed.input<Ipv4Edit>("LogServer"));
    EXPECT_EQ(ed.input<QLineEdit>("AdminPassword")->echoMode(), QLineEdit::Password);
    EXPECT_EQ(ed.input<QLabel>("Model")->text(), "KT-100");
    EXPECT_FALSE(d.input(ed.index("TimeZone")) || d.input(ed.index("DebugLevel")));

    EXPECT_EQ(d.label(ed.index("SipAddress"))->text(), u"* SIPアドレス（電話番号）"_s); // required
    // IpMode 1 (DHCP): the static address rows are disabled together.
    const int ip = ed.index("IpAddress");
    auto *mode = ed.input<QComboBox>("IpMode");
    mode->setCurrentIndex(0);
    emit mode->activated(0);
    EXPECT_FALSE(d.label(ip)->isEnabled() || d.input(ip)->isEnabled() ||
                 d.explanation(ip)->isEnabled());
}

TEST(SettingsEditorDialog, InvalidInputIsPutBackAndSavingShowsWhatIsMissing)
{
    Editor ed;
    SettingsEditorDialog &d = *ed.dialog;
    auto *port = ed.input<QLineEdit>("SipPort");
    // Five digits fit the limit of 1..65535, a sixth is refused while typing.
    d.tabs()->setCurrentIndex(1);
    port->setFocus();
    port->selectAll();
    QTest::keyClicks(port, "123456");
    EXPECT_EQ(port->text(), "12345");
    port->setText("+5");
    // Another tab takes the focus: value, tab and focus come back; no list opens meanwhile.
    d.tabs()->setCurrentIndex(4);
    ed.input<QComboBox>("Language")->showPopup();
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    QApplication::processEvents();
    EXPECT_EQ(port->text(), "5060");
    EXPECT_EQ(d.tabs()->currentIndex(), 1);
    EXPECT_EQ(QApplication::focusWidget(), port);

    auto *sip = ed.input<QLineEdit>("SipAddress");
    sip->setText("");
    sip->setFocus(Qt::MouseFocusReason); // left as a click elsewhere leaves it
    port->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    d.okButton()->click();
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.messageBox()->toPlainText(),
              u"SIP設定 SIPアドレス（電話番号）が入力されていません。\n"_s);
    // Enter in the edit saves with the typed value.
    sip->setFocus();
    sip->setText("2001");
    d.writeBox()->setChecked(true);
    QTest::keyClick(sip, Qt::Key_Return);
    EXPECT_FALSE(d.isVisible());
    EXPECT_TRUE(d.saved() && d.writeToTerminal());
    EXPECT_EQ(ed.dir.read("Data/Sys/kel_sys1001.ini"),
              sampleSystemFile().replace("SipAddress=1001", "SipAddress=2001"));
}
