#include "preferences/BiblePrecedence.h"

#include "core/Bug_.h"
#include "core/FileFunctions_.h"
#include "core/GlobalNotifier.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"
#include "core/VerbanoxRoutines.h"
#include "platform/OleColor.h"
#include "platform/VbConvert.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSignalBlocker>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

namespace {
const QString Available = QStringLiteral("AVAILABLE");
const QString Disabled = QStringLiteral("BIBLE DISABLED");
const QString NotAvailable = QStringLiteral("NOT AVAILABLE");
constexpr int CheckedRole = Qt::UserRole;

// Messages of this page about the list of modules that cannot be read or written.
constexpr int ListUnreadableMsg = 286;
constexpr int ListUnwritableMsg = 287;

QString translationsPath()
{
    return gSysDefsFolder + QStringLiteral("Translations.txt");
}

QString rowNumberText(int number)
{
    return QString::number(number).rightJustified(2, QLatin1Char('0'));
}

bool isChecked(const QTreeWidgetItem *item)
{
    return item->checkState(BiblePrecedence::ColName) == Qt::Checked;
}

// Numbers compare as numbers, so that row 100 follows row 99.
bool lessThan(const QString &a, const QString &b, int column)
{
    if (column == BiblePrecedence::ColNumber || column == BiblePrecedence::ColCodePage) {
        const std::optional<double> x = VbConvert::toNumber(a), y = VbConvert::toNumber(b);
        if (x && y)
            return *x < *y;
    }
    return a < b;
}
} // namespace

BiblePrecedence::BiblePrecedence(QWidget *parent)
    : QWidget(parent)
{
    lblPrecedence = new QLabel(this);
    lblPrecedence->setText(QStringLiteral("1. Select a Bible from list and change precedence by ") +
                           QStringLiteral("using UP and DOWN arrow keys.") + QStringLiteral("\r\n") +
                           QStringLiteral("2. Uncheck the Check Boxes of ") +
                           QStringLiteral("Bibles you do not wish to see."));
    LV = new QTreeWidget(this);
    LV->setColumnCount(ColumnCount);
    LV->setHeaderLabels({QStringLiteral("Bible Name"), QStringLiteral("#"), QStringLiteral("File Name"),
                         QStringLiteral("Status"), QStringLiteral("Code Page")});
    LV->setRootIsDecorated(false);
    LV->setUniformRowHeights(true);
    LV->setAllColumnsShowFocus(true);
    LV->header()->setSectionsClickable(true);
    LV->header()->setSortIndicatorShown(false);
    cmdUp = new QToolButton(this);
    cmdUp->setArrowType(Qt::UpArrow);
    CmdDown = new QToolButton(this);
    CmdDown->setArrowType(Qt::DownArrow);

    auto *arrows = new QVBoxLayout;
    arrows->addStretch(1);
    arrows->addWidget(cmdUp);
    arrows->addWidget(CmdDown);
    arrows->addStretch(1);
    auto *row = new QHBoxLayout;
    row->addWidget(LV, 1);
    row->addLayout(arrows);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblPrecedence);
    layout->addLayout(row, 1);

    connect(cmdUp, &QToolButton::clicked, this, [this] { cmdUp_Click(); });
    connect(CmdDown, &QToolButton::clicked, this, [this] { CmdDown_Click(); });
    connect(LV->header(), &QHeaderView::sectionClicked, this, [this](int column) { LV_ColumnClick(column); });
    connect(LV, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem *item, int column) {
        // Only the user's changes of a check box count; texts set from code don't.
        if (column == ColName && isChecked(item) != item->data(ColName, CheckedRole).toBool())
            LV_ItemCheck(item);
    });
}

QString BiblePrecedence::StatusText(bool fileExists, bool enabled)
{
    if (!fileExists)
        return NotAvailable;
    return enabled ? Available : Disabled;
}

void BiblePrecedence::FillList()
{
    const QSignalBlocker blocker(LV);
    LV->clear();
    m_toldReadOnly = false;
    QList<TranslationsFile::BibleRecord> records;
    try {
        records = TranslationsFile::ReadBibles(translationsPath());
    } catch (const RuntimeError &e) {
        Bug_::ReportFileFault(ListUnreadableMsg, translationsPath(), e.description());
        return;
    }
    int number = 0;
    for (const TranslationsFile::BibleRecord &record : records)
        addRow(++number, record);
    for (int column = 0; column < ColumnCount; ++column)
        LV->resizeColumnToContents(column);
    if (LV->topLevelItemCount() > 0)
        LV->setCurrentItem(LV->topLevelItem(0));
}

void BiblePrecedence::addRow(int number, const TranslationsFile::BibleRecord &record)
{
    auto *item = new QTreeWidgetItem(LV);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setText(ColName, record.displayName);
    item->setCheckState(ColName, record.enabled ? Qt::Checked : Qt::Unchecked);
    item->setData(ColName, CheckedRole, record.enabled);
    item->setText(ColNumber, rowNumberText(number));
    item->setText(ColFile, record.baseName);
    item->setText(ColCodePage, QString::number(record.codePage));
    setStatus(item, moduleFileExists(item));
}

bool BiblePrecedence::moduleFileExists(const QTreeWidgetItem *item) const
{
    return FileFunctions_::FileExists(gBibleFolder + item->text(ColFile) + QStringLiteral(".txt"));
}

void BiblePrecedence::setStatus(QTreeWidgetItem *item, bool fileExists)
{
    const QSignalBlocker blocker(LV);
    item->setText(ColStatus, StatusText(fileExists, isChecked(item)));
    const QColor text =
        fileExists ? LV->palette().color(QPalette::Text) : OleColor::toQColor(OleColor::Sys::GrayText);
    for (int column = 0; column < ColumnCount; ++column)
        item->setForeground(column, text);
}

void BiblePrecedence::LV_ItemCheck(QTreeWidgetItem *item)
{
    TrapErrors(QStringLiteral("frmOptions.LV_ItemCheck()"), [&] {
        // Judged on the list as it is after the change: at least one enabled Bible
        // whose file is there must remain.
        bool bibleLeft = false;
        for (int i = 0; i < LV->topLevelItemCount() && !bibleLeft; ++i)
            bibleLeft = isChecked(LV->topLevelItem(i)) && moduleFileExists(LV->topLevelItem(i));
        if (!bibleLeft) {
            desktop().messageBox(GetMsg(0, 84), MsgBoxStyle::Exclamation, QString());
            const QSignalBlocker blocker(LV);
            item->setCheckState(ColName,
                                item->data(ColName, CheckedRole).toBool() ? Qt::Checked : Qt::Unchecked);
            return;
        }
        {
            const QSignalBlocker blocker(LV);
            item->setData(ColName, CheckedRole, isChecked(item));
        }
        for (int i = 0; i < LV->topLevelItemCount(); ++i)
            setStatus(LV->topLevelItem(i), moduleFileExists(LV->topLevelItem(i)));
        SaveTranslationOrder();
    });
}

void BiblePrecedence::cmdUp_Click()
{
    TrapErrors(QStringLiteral("frmOptions.cmdUp_Click()"), [this] { move(-1); });
}

void BiblePrecedence::CmdDown_Click()
{
    TrapErrors(QStringLiteral("frmOptions.CmdDown_Click()"), [this] { move(+1); });
}

void BiblePrecedence::move(int direction)
{
    QTreeWidgetItem *selected = LV->currentItem();
    if (selected && !isChecked(selected)) {
        desktop().messageBox(GetMsg(0, 87), MsgBoxStyle::OKOnly, QString());
    } else if (selected) {
        const int row = LV->indexOfTopLevelItem(selected);
        if (QTreeWidgetItem *other = LV->topLevelItem(row + direction)) {
            const QSignalBlocker blocker(LV);
            const QString mine = selected->text(ColNumber);
            selected->setText(ColNumber, rowNumberText(int(VbConvert::val(other->text(ColNumber)))));
            other->setText(ColNumber, rowNumberText(int(VbConvert::val(mine))));
        }
    }
    reorderRows(ColNumber, true);
    LV->setFocus();
    SaveTranslationOrder();
}

void BiblePrecedence::LV_ColumnClick(int column)
{
    TrapErrors(QStringLiteral("frmOptions.LV_ColumnClick()"), [&] {
        m_sortAscending = !m_sortAscending;
        reorderRows(column, m_sortAscending);
        renumber();
        SaveTranslationOrder();
    });
}

void BiblePrecedence::reorderRows(int column, bool ascending)
{
    const QSignalBlocker blocker(LV);
    QTreeWidgetItem *selected = LV->currentItem();
    QList<QTreeWidgetItem *> rows;
    while (LV->topLevelItemCount() > 0)
        rows.append(LV->takeTopLevelItem(0));
    std::stable_sort(rows.begin(), rows.end(), [&](const QTreeWidgetItem *a, const QTreeWidgetItem *b) {
        return ascending ? lessThan(a->text(column), b->text(column), column)
                         : lessThan(b->text(column), a->text(column), column);
    });
    LV->addTopLevelItems(rows);
    if (selected)
        LV->setCurrentItem(selected);
}

void BiblePrecedence::renumber()
{
    const QSignalBlocker blocker(LV);
    for (int i = 0; i < LV->topLevelItemCount(); ++i)
        LV->topLevelItem(i)->setText(ColNumber, rowNumberText(i + 1));
}

void BiblePrecedence::SaveTranslationOrder()
{
    QList<TranslationsFile::BibleRecord> bibles;
    for (int i = 0; i < LV->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = LV->topLevelItem(i);
        bibles.append({item->text(ColName), item->text(ColFile), isChecked(item),
                       VbConvert::toInt32(item->text(ColCodePage)).value_or(0)});
    }
    // The rows stay as the reader arranged them; the file keeps its order.
    if (const QString fault = FileFunctions_::FolderWriteFault(gSysDefsFolder); !fault.isEmpty()) {
        if (!std::exchange(m_toldReadOnly, true))
            Bug_::ReportReadOnlyProgramFolder(gSysDefsFolder, fault);
        return;
    }
    try {
        TranslationsFile::WriteBibles(translationsPath(), bibles);
    } catch (const RuntimeError &e) {
        Bug_::ReportFileFault(ListUnwritableMsg, translationsPath(), e.description());
        return;
    }
    VerbanoxRoutines::LoadTranslationsList();
    if (gNotifier)
        gNotifier->NotifyOfEvent(GlobalNotifier::TranslationsAvailListChanged);
}
