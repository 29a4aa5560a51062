#include "schedule/ui/ScheduleDetailDialog.h"

#include "common/Prompter.h"
#include "common/ui/ScreenFit.h"
#include "schedule/ScheduleFiles.h"
#include "termlist/ui/TermIdInputDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Schedule;

namespace
{

QLineEdit *numberEdit(QWidget *parent, int chars)
{
    auto *e = new QLineEdit(parent);
    e->setMaxLength(chars);
    e->setFixedWidth(e->fontMetrics().horizontalAdvance(QLatin1Char('0')) * (chars + 1) + 14);
    return e;
}

// A label after (or before) an input that names it for screen readers.
QLabel *unit(const char *text, QWidget *parent, QWidget *input = nullptr)
{
    auto *label = new QLabel(CScheduleDetailDialog::tr(text), parent);
    label->setBuddy(input);
    return label;
}

int lineCount(const QString &text)
{
    return int(text.count(QLatin1Char('\n'))) + 1;
}

void showError(int code, const QString &file = QString())
{
    const QString text = formErrorText(code, file);
    // A file name needs the room of the wide box.
    AppMessageBox(code == FormError::FileName ? 2 : 1, lineCount(text), text, formErrorCaption(),
                  MsgType::IconWarning);
}

} // namespace

CScheduleDetailDialog::CScheduleDetailDialog(ScheduleBook &book, int number,
                                             ITerminalLookup &lookup, QWidget *parent)
    : QDialog(parent), m_book(book), m_number(number), m_lookup(lookup)
{
    setWindowTitle(tr("スケジュール設定詳細（スケジュール%1）").arg(number));
    const QString settingsFilter =
        tr("設定ファイル (*.ini);;CSVファイル (*.csv);;全てのファイル (*.*)");
    const QString programFilter = tr("プログラムファイル (*.s)");

    // --- targets
    auto *targetGroup = new QGroupBox(tr("対象端末一覧"), this);
    targetList = new QTableWidget(targetGroup);
    targetList->setColumnCount(4);
    targetList->setHorizontalHeaderLabels(
        {tr("端末ID"), tr("IPアドレス"), tr("MACアドレス"), tr("機器名称")});
    const int widths[] = {70, 120, 120, 210};
    for (int c = 0; c < 4; ++c)
        targetList->setColumnWidth(c, widths[c]);
    targetList->verticalHeader()->hide();
    targetList->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    targetList->setSelectionBehavior(QAbstractItemView::SelectRows);
    targetList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    targetList->setMinimumWidth(70 + 120 + 120 + 210 + 24);
    addTarget = new QPushButton(tr("追加"), targetGroup);
    removeTarget = new QPushButton(tr("削除"), targetGroup);
    auto *targetButtons = new QHBoxLayout;
    targetButtons->addStretch();
    targetButtons->addWidget(addTarget);
    targetButtons->addWidget(removeTarget);
    auto *targetBox = new QVBoxLayout(targetGroup);
    targetBox->addWidget(targetList, 1);
    targetBox->addLayout(targetButtons);

    // --- timing
    auto *timingGroup = new QGroupBox(tr("実行日時"), this);
    m_timing = new QButtonGroup(this);
    const char *timingTexts[] = {
        QT_TR_NOOP("指定日時に実行する"), QT_TR_NOOP("毎週指定曜日に実行する"),
        QT_TR_NOOP("毎月指定日に実行する"), QT_TR_NOOP("別のスケジュール終了後に実行する")};
    for (int i = 0; i < 4; ++i) {
        timingButtons[std::size_t(i)] = new QRadioButton(tr(timingTexts[i]), timingGroup);
        m_timing->addButton(timingButtons[std::size_t(i)], i);
    }
    yearEdit = numberEdit(timingGroup, 4);
    monthEdit = numberEdit(timingGroup, 2);
    dayEdit = numberEdit(timingGroup, 2);
    hourEdit = numberEdit(timingGroup, 2);
    minuteEdit = numberEdit(timingGroup, 2);
    auto *appointedRow = new QHBoxLayout;
    appointedRow->addSpacing(20);
    for (auto [edit, text] : {std::pair{yearEdit, QT_TR_NOOP("年")},
                              {monthEdit, QT_TR_NOOP("月")},
                              {dayEdit, QT_TR_NOOP("日")},
                              {hourEdit, QT_TR_NOOP("時")},
                              {minuteEdit, QT_TR_NOOP("分")}}) {
        appointedRow->addWidget(edit);
        appointedRow->addWidget(unit(text, timingGroup, edit));
    }
    appointedRow->addStretch();

    const char *dayNames[] = {
        QT_TRANSLATE_NOOP("Weekday", "日"), QT_TRANSLATE_NOOP("Weekday", "月"),
        QT_TRANSLATE_NOOP("Weekday", "火"), QT_TRANSLATE_NOOP("Weekday", "水"),
        QT_TRANSLATE_NOOP("Weekday", "木"), QT_TRANSLATE_NOOP("Weekday", "金"),
        QT_TRANSLATE_NOOP("Weekday", "土")};
    auto *weekRow = new QHBoxLayout;
    weekRow->addSpacing(20);
    for (std::size_t i = 0; i < 7; ++i) {
        weekdayBoxes[i] =
            new QCheckBox(QCoreApplication::translate("Weekday", dayNames[i]), timingGroup);
        weekRow->addWidget(weekdayBoxes[i]);
    }
    weekRow->addStretch();
    weekHourEdit = numberEdit(timingGroup, 2);
    weekMinuteEdit = numberEdit(timingGroup, 2);
    auto *weekTimeRow = new QHBoxLayout;
    weekTimeRow->addSpacing(20);
    weekTimeRow->addWidget(unit(QT_TR_NOOP("実行時間"), timingGroup));
    weekTimeRow->addWidget(weekHourEdit);
    weekTimeRow->addWidget(unit(QT_TR_NOOP("時"), timingGroup, weekHourEdit));
    weekTimeRow->addWidget(weekMinuteEdit);
    weekTimeRow->addWidget(unit(QT_TR_NOOP("分"), timingGroup, weekMinuteEdit));
    weekTimeRow->addStretch();

    monthDayEdit = numberEdit(timingGroup, 2);
    monthHourEdit = numberEdit(timingGroup, 2);
    monthMinuteEdit = numberEdit(timingGroup, 2);
    auto *monthRow = new QHBoxLayout;
    monthRow->addSpacing(20);
    for (auto [edit, text] : {std::pair{monthDayEdit, QT_TR_NOOP("日")},
                              {monthHourEdit, QT_TR_NOOP("時")},
                              {monthMinuteEdit, QT_TR_NOOP("分")}}) {
        monthRow->addWidget(edit);
        monthRow->addWidget(unit(text, timingGroup, edit));
    }
    monthRow->addStretch();

    otherCombo = new QComboBox(timingGroup);
    for (int n = 1; n <= Count; ++n)
        if (n != number)
            otherCombo->addItem(
                tr("スケジュール%1終了後に実行する").arg(QString::asprintf("%2d", n)), n);
    otherCombo->setAccessibleName(timingButtons[3]->text());
    auto *afterGroup = new QGroupBox(tr("直前のスケジュール実行結果による動作"), timingGroup);
    m_afterOther = new QButtonGroup(this);
    auto *afterBox = new QVBoxLayout(afterGroup);
    const char *afterTexts[] = {QT_TR_NOOP("処理が成功した端末のみ対象として実行"),
                                QT_TR_NOOP("全ての端末を対象として実行"),
                                QT_TR_NOOP("失敗した端末がある場合は実行しない")};
    for (int i = 0; i < 3; ++i) {
        afterOtherButtons[std::size_t(i)] = new QRadioButton(tr(afterTexts[i]), afterGroup);
        m_afterOther->addButton(afterOtherButtons[std::size_t(i)], i);
        afterBox->addWidget(afterOtherButtons[std::size_t(i)]);
    }
    waitEdit = numberEdit(timingGroup, 2);
    auto *waitRow = new QHBoxLayout;
    waitRow->addWidget(
        unit(QT_TR_NOOP("スケジュール実行までのウェイト時間（1～10分）"), timingGroup, waitEdit));
    waitRow->addWidget(waitEdit);
    waitRow->addStretch();
    auto *otherBox = new QVBoxLayout;
    otherBox->setContentsMargins(20, 0, 0, 0);
    otherBox->addWidget(otherCombo);
    otherBox->addWidget(afterGroup);
    otherBox->addLayout(waitRow);

    auto *timingBox = new QVBoxLayout(timingGroup);
    timingBox->addWidget(timingButtons[0]);
    timingBox->addLayout(appointedRow);
    timingBox->addWidget(timingButtons[1]);
    timingBox->addLayout(weekRow);
    timingBox->addLayout(weekTimeRow);
    timingBox->addWidget(timingButtons[2]);
    timingBox->addLayout(monthRow);
    timingBox->addWidget(timingButtons[3]);
    timingBox->addLayout(otherBox);

    // --- lateness
    auto *beginGroup =
        new QGroupBox(tr("他のスケジュール実行等で指定日時に実行できなかった場合の動作"), this);
    beginCombo = new QComboBox(beginGroup);
    beginCombo->addItems(
        {tr("常に実行する"), tr("指定の時間以内であれば実行する"), tr("実行しない")});
    beginCombo->setAccessibleName(beginGroup->title());
    permEdit = numberEdit(beginGroup, 3);
    auto *beginRow = new QHBoxLayout(beginGroup);
    beginRow->addWidget(beginCombo);
    beginRow->addSpacing(12);
    beginRow->addWidget(permEdit);
    beginRow->addWidget(
        unit(QT_TR_NOOP("分以内であれば実行する（1～240分）"), beginGroup, permEdit));
    beginRow->addStretch();

    // --- operation
    auto *processGroup = new QGroupBox(tr("実行処理の選択"), this);
    m_process = new QButtonGroup(this);
    auto *processBox = new QVBoxLayout(processGroup);
    const char *processTexts[] = {
        QT_TR_NOOP("ファームウェアの書き込みを行う"), QT_TR_NOOP("設定ファイルの書き込みを行う"),
        QT_TR_NOOP("設定ファイルの読み込みを行う"), QT_TR_NOOP("端末を再起動する")};
    for (int i = 0; i < 4; ++i) {
        processButtons[std::size_t(i)] = new QRadioButton(tr(processTexts[i]), processGroup);
        m_process->addButton(processButtons[std::size_t(i)], i);
        processBox->addWidget(processButtons[std::size_t(i)]);
    }
    processBox->addStretch();

    tabs = new QTabWidget(this);
    // All three page titles in full: the tab bar sets the width.
    tabs->setUsesScrollButtons(false);
    const auto fileRow = [this](QGridLayout *grid, int row, QWidget *page, QLineEdit *&edit,
                                const QString &start, const QString &filter) {
        edit = new QLineEdit(page);
        edit->setMaxLength(255);
        edit->setMinimumWidth(300);
        auto *browse = new QPushButton(QStringLiteral("..."), page);
        browse->setFixedWidth(32);
        connect(browse, &QPushButton::clicked, this,
                [this, edit, start, filter] { chooseFile(edit, start, filter); });
        grid->addWidget(edit, row, 1);
        grid->addWidget(browse, row, 2);
    };
    auto *firmPage = new QWidget;
    auto *firmGrid = new QGridLayout(firmPage);
    firmBoot = new QCheckBox(tr("ファームウェア（ブート）を書き込む"), firmPage);
    firmAppl = new QCheckBox(tr("ファームウェア（アプリ）を書き込む"), firmPage);
    firmOther = new QCheckBox(tr("ファームウェア（任意）を書き込む"), firmPage);
    firmGrid->addWidget(firmBoot, 0, 0, 1, 3);
    fileRow(firmGrid, 1, firmPage, firmBootFile, QStringLiteral("Boot/*.s"), programFilter);
    firmBootFile->setAccessibleName(firmBoot->text());
    firmGrid->addWidget(firmAppl, 2, 0, 1, 3);
    fileRow(firmGrid, 3, firmPage, firmApplFile, QStringLiteral("Apli/*.s"), programFilter);
    firmApplFile->setAccessibleName(firmAppl->text());
    firmGrid->addWidget(firmOther, 4, 0, 1, 3);
    fileRow(firmGrid, 5, firmPage, firmOtherFile, QStringLiteral("*.s"), programFilter);
    firmOtherFile->setAccessibleName(firmOther->text());
    firmGrid->setColumnMinimumWidth(0, 20);
    firmGrid->setRowStretch(6, 1);
    tabs->addTab(firmPage, tr("ファームウェア書き込み設定"));

    auto *writePage = new QWidget;
    auto *writeGrid = new QGridLayout(writePage);
    sysWrite = new QCheckBox(tr("システム設定ファイルを書き込む"), writePage);
    userWrite = new QCheckBox(tr("ユーザ設定ファイルを書き込む"), writePage);
    dialWrite = new QCheckBox(tr("電話帳(短縮ダイヤル)設定ファイルを書き込む"), writePage);
    otherWrite = new QCheckBox(tr("任意のファイルを書き込む"), writePage);
    writeGrid->addWidget(sysWrite, 0, 0, 1, 3);
    writeGrid->addWidget(userWrite, 1, 0, 1, 3);
    writeGrid->addWidget(dialWrite, 2, 0, 1, 3);
    writeGrid->addWidget(otherWrite, 3, 0, 1, 3);
    QLineEdit **others[] = {&otherFile1, &otherFile2, &otherFile3};
    for (int i = 0; i < 3; ++i) {
        auto *label = new QLabel(tr("ファイル%1").arg(i + 1), writePage);
        writeGrid->addWidget(label, 4 + i, 0);
        fileRow(writeGrid, 4 + i, writePage, *others[i], QStringLiteral("*.ini"), settingsFilter);
        label->setBuddy(*others[i]);
    }
    writeGrid->setRowStretch(7, 1);
    tabs->addTab(writePage, tr("設定ファイル書き込み設定"));

    auto *readPage = new QWidget;
    auto *readBox = new QVBoxLayout(readPage);
    sysRead = new QCheckBox(tr("システム設定ファイルを読み込む"), readPage);
    userRead = new QCheckBox(tr("ユーザ設定ファイルを読み込む"), readPage);
    dialRead = new QCheckBox(tr("電話帳(短縮ダイヤル)設定ファイルを読み込む"), readPage);
    readBox->addWidget(sysRead);
    readBox->addWidget(userRead);
    readBox->addWidget(dialRead);
    readBox->addStretch();
    tabs->addTab(readPage, tr("設定ファイル読み込み設定"));

    auto *rebootGroup = new QGroupBox(tr("再起動設定"), this);
    rebootBox = new QCheckBox(tr("スケジュール実行後、端末を再起動する"), rebootGroup);
    auto *rebootRow = new QHBoxLayout(rebootGroup);
    rebootRow->addWidget(rebootBox);

    saveButton = new QPushButton(tr("設定"), this);
    cancelButton = new QPushButton(tr("ｷｬﾝｾﾙ"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(rebootGroup, 1);
    buttons->addStretch();
    buttons->addWidget(saveButton, 0, Qt::AlignBottom);
    buttons->addWidget(cancelButton, 0, Qt::AlignBottom);

    // The fields scroll when the screen is too low for them; 設定 and
    // ｷｬﾝｾﾙ stay in sight.
    auto *fields = new QWidget;
    auto *grid = new QGridLayout(fields);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(targetGroup, 0, 0);
    grid->addWidget(timingGroup, 0, 1);
    grid->addWidget(beginGroup, 1, 0, 1, 2);
    grid->addWidget(processGroup, 2, 0);
    grid->addWidget(tabs, 2, 1);
    auto *top = new QVBoxLayout(this);
    top->addWidget(ScreenFit::scrollable(fields, this), 1);
    top->addLayout(buttons);

    // --- contents
    book.load(number);
    const ScheduleRecord &r = book.at(number);
    setForm(ScheduleForm::from(r.settings, r.valid));
    for (ScheduleTarget t : r.targets) {
        if (t.ipAddress.isEmpty())
            if (const auto found = m_lookup.findByTermId(t.termId))
                t = ScheduleTarget{t.termId, found->ipAddress, found->macAddress,
                                   found->machineName};
        appendRow(t);
    }

    saveButton->setDefault(true);
    connect(m_timing, &QButtonGroup::idToggled, this, [this] { updateEnabled(); });
    connect(beginCombo, &QComboBox::currentIndexChanged, this, [this] { updateEnabled(); });
    connect(m_process, &QButtonGroup::idClicked, tabs, [this](int id) {
        if (id < tabs->count())
            tabs->setCurrentIndex(id);
    });
    connect(addTarget, &QPushButton::clicked, this, &CScheduleDetailDialog::onAddTarget);
    connect(removeTarget, &QPushButton::clicked, this, &CScheduleDetailDialog::onRemoveTargets);
    connect(saveButton, &QPushButton::clicked, this, &CScheduleDetailDialog::onSave);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    updateEnabled();
    ScreenFit::resizeToFit(this);
}

void CScheduleDetailDialog::setForm(const ScheduleForm &f)
{
    if (f.timing >= 0 && f.timing < 4)
        timingButtons[std::size_t(f.timing)]->setChecked(true);
    yearEdit->setText(f.year);
    monthEdit->setText(f.month);
    dayEdit->setText(f.day);
    hourEdit->setText(f.hour);
    minuteEdit->setText(f.minute);
    for (std::size_t i = 0; i < 7; ++i)
        weekdayBoxes[i]->setChecked(f.weekdays[i]);
    weekHourEdit->setText(f.weekHour);
    weekMinuteEdit->setText(f.weekMinute);
    monthDayEdit->setText(f.monthDay);
    monthHourEdit->setText(f.monthHour);
    monthMinuteEdit->setText(f.monthMinute);
    const int other = otherCombo->findData(f.otherSchedule);
    otherCombo->setCurrentIndex(other < 0 ? 0 : other);
    afterOtherButtons[std::size_t(std::clamp(f.afterOtherMode, 0, 2))]->setChecked(true);
    waitEdit->setText(f.waitTime);
    beginCombo->setCurrentIndex(std::clamp(f.beginMode, 0, 2));
    permEdit->setText(f.beginPermTime);
    if (f.processKind >= 0 && f.processKind < 4) {
        processButtons[std::size_t(f.processKind)]->setChecked(true);
        tabs->setCurrentIndex(std::min(f.processKind, 2));
    }
    firmBoot->setChecked(f.firmBoot);
    firmAppl->setChecked(f.firmAppl);
    firmOther->setChecked(f.firmOther);
    firmBootFile->setText(f.firmBootFile);
    firmApplFile->setText(f.firmApplFile);
    firmOtherFile->setText(f.firmOtherFile);
    sysWrite->setChecked(f.sysWrite);
    userWrite->setChecked(f.userWrite);
    dialWrite->setChecked(f.dialWrite);
    otherWrite->setChecked(f.otherWrite);
    otherFile1->setText(f.otherFile1);
    otherFile2->setText(f.otherFile2);
    otherFile3->setText(f.otherFile3);
    sysRead->setChecked(f.sysRead);
    userRead->setChecked(f.userRead);
    dialRead->setChecked(f.dialRead);
    rebootBox->setChecked(f.termReboot);
}

ScheduleForm CScheduleDetailDialog::form() const
{
    ScheduleForm f;
    f.timing = std::max(0, m_timing->checkedId());
    f.year = yearEdit->text();
    f.month = monthEdit->text();
    f.day = dayEdit->text();
    f.hour = hourEdit->text();
    f.minute = minuteEdit->text();
    for (std::size_t i = 0; i < 7; ++i)
        f.weekdays[i] = weekdayBoxes[i]->isChecked();
    f.weekHour = weekHourEdit->text();
    f.weekMinute = weekMinuteEdit->text();
    f.monthDay = monthDayEdit->text();
    f.monthHour = monthHourEdit->text();
    f.monthMinute = monthMinuteEdit->text();
    f.otherSchedule = otherCombo->currentData().toInt();
    f.afterOtherMode = std::max(0, m_afterOther->checkedId());
    f.waitTime = waitEdit->text();
    f.beginMode = beginCombo->currentIndex();
    f.beginPermTime = permEdit->text();
    f.processKind = std::max(0, m_process->checkedId());
    f.firmBoot = firmBoot->isChecked();
    f.firmAppl = firmAppl->isChecked();
    f.firmOther = firmOther->isChecked();
    f.firmBootFile = firmBootFile->text();
    f.firmApplFile = firmApplFile->text();
    f.firmOtherFile = firmOtherFile->text();
    f.sysWrite = sysWrite->isChecked();
    f.userWrite = userWrite->isChecked();
    f.dialWrite = dialWrite->isChecked();
    f.otherWrite = otherWrite->isChecked();
    f.otherFile1 = otherFile1->text();
    f.otherFile2 = otherFile2->text();
    f.otherFile3 = otherFile3->text();
    f.sysRead = sysRead->isChecked();
    f.userRead = userRead->isChecked();
    f.dialRead = dialRead->isChecked();
    f.termReboot = rebootBox->isChecked();
    return f;
}

void CScheduleDetailDialog::updateEnabled()
{
    const int timing = m_timing->checkedId();
    for (QWidget *w : {static_cast<QWidget *>(yearEdit), static_cast<QWidget *>(monthEdit),
                       static_cast<QWidget *>(dayEdit), static_cast<QWidget *>(hourEdit),
                       static_cast<QWidget *>(minuteEdit)})
        w->setEnabled(timing == Timing::Appointed);
    for (QCheckBox *b : weekdayBoxes)
        b->setEnabled(timing == Timing::Weekly);
    weekHourEdit->setEnabled(timing == Timing::Weekly);
    weekMinuteEdit->setEnabled(timing == Timing::Weekly);
    monthDayEdit->setEnabled(timing == Timing::Monthly);
    monthHourEdit->setEnabled(timing == Timing::Monthly);
    monthMinuteEdit->setEnabled(timing == Timing::Monthly);
    otherCombo->setEnabled(timing == Timing::AfterOther);
    for (QRadioButton *b : afterOtherButtons)
        b->setEnabled(timing == Timing::AfterOther);
    waitEdit->setEnabled(timing == Timing::AfterOther);
    beginCombo->setEnabled(timing != Timing::AfterOther);
    permEdit->setEnabled(timing != Timing::AfterOther &&
                         beginCombo->currentIndex() == Begin::WithinPermitted);
}

QList<ScheduleTarget> CScheduleDetailDialog::targetRows() const
{
    QList<ScheduleTarget> rows;
    const auto cell = [this](int r, int c) {
        const QTableWidgetItem *i = targetList->item(r, c);
        return i ? i->text() : QString();
    };
    for (int r = 0; r < targetList->rowCount(); ++r)
        rows.append({cell(r, 0), cell(r, 1), cell(r, 2), cell(r, 3)});
    return rows;
}

void CScheduleDetailDialog::appendRow(const ScheduleTarget &t)
{
    const int r = targetList->rowCount();
    targetList->insertRow(r);
    const QString cells[] = {t.termId, t.ipAddress, t.macAddress, t.machineName};
    for (int c = 0; c < 4; ++c)
        targetList->setItem(r, c, new QTableWidgetItem(cells[c]));
}

void CScheduleDetailDialog::onAddTarget()
{
    const QString id = runTermIdInputDialog(this);
    if (id.isEmpty())
        return;
    if (!isAllowedTermId(id))
        return showError(FormError::TermIdChars);
    const auto found = m_lookup.findByTermId(id);
    if (!found)
        return showError(FormError::UnknownTerminal);
    appendRow(*found);
}

void CScheduleDetailDialog::onRemoveTargets()
{
    QList<int> selected;
    for (const QModelIndex &i : targetList->selectionModel()->selectedRows())
        selected.append(i.row());
    if (selected.isEmpty())
        return;
    const int answer =
        AppMessageBox(370, 2, tr("選択されている対象端末を削除します。\nよろしいですか？"),
                      tr("対象端末削除確認"), MsgType::IconQuestion | MsgType::YesNo);
    if (answer != MsgResult::Yes)
        return;
    std::sort(selected.begin(), selected.end(), std::greater<int>());
    for (int r : selected)
        targetList->removeRow(r);
}

QWidget *CScheduleDetailDialog::fieldOf(int code) const
{
    switch (code) {
    case FormError::Year:
        return yearEdit;
    case FormError::Date:
        return monthEdit;
    case FormError::Day:
        return dayEdit;
    case FormError::Hour:
        return hourEdit;
    case FormError::Minute:
        return minuteEdit;
    case FormError::Weekday:
        return weekdayBoxes[0];
    case FormError::WeekHour:
        return weekHourEdit;
    case FormError::WeekMinute:
        return weekMinuteEdit;
    case FormError::MonthDay:
        return monthDayEdit;
    case FormError::MonthHour:
        return monthHourEdit;
    case FormError::MonthMinute:
        return monthMinuteEdit;
    case FormError::PermTime:
        return permEdit;
    case FormError::WaitTime:
        return waitEdit;
    case FormError::OtherTaken:
        return otherCombo;
    default:
        return nullptr;
    }
}

void CScheduleDetailDialog::onSave()
{
    const FormCheck check = checkForm(form(), m_number, m_book);
    if (check.code != FormError::None) {
        showError(check.code, check.file);
        QWidget *field = fieldOf(check.code);
        if (check.code == FormError::FileName)
            for (QLineEdit *e :
                 {firmBootFile, firmApplFile, firmOtherFile, otherFile1, otherFile2, otherFile3})
                if (!field && e->text() == check.file)
                    field = e;
        if (field)
            field->setFocus();
        return;
    }
    const ScheduleRecord &r = m_book.at(m_number);
    if (ScheduleFiles::writeSettings(r.settingsPath, check.settings, targetRows())) {
        // An edited schedule shows "未実施" until it runs again; its counts stay.
        ScheduleResult result;
        if (ScheduleFiles::readResult(r.resultPath, result) && result.Status != 0) {
            result.Status = 0;
            ScheduleFiles::writeResult(r.resultPath, result);
        }
    } else {
        AppMessageBox(1, 1, tr("スケジュール設定ファイルを書き込めませんでした。"), windowTitle(),
                      MsgType::IconError);
    }
    m_book.load(m_number);
    accept();
}

void CScheduleDetailDialog::chooseFile(QLineEdit *edit, const QString &start,
                                       const QString &filter)
{
    const QString file = prompter().openFileName(tr("開く"), m_book.folder() + start, filter);
    if (file.isEmpty())
        return;
    // The schedule file would keep a corrupted name that no run finds.
    if (!isStorableFileName(file)) {
        showError(FormError::FileName, file);
        return;
    }
    edit->setText(file);
}
