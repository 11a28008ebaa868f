#include "bookmarks/frmBookmarkAdd.h"

#include "core/BookmarkRecords.h"
#include "core/Bug_.h"
#include "core/DateFormatText.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"
#include "platform/DefaultInstance.h"
#include "platform/Desktop.h"
#include "platform/HelpService.h"
#include "platform/ModalOpener.h"
#include "platform/TextFile.h"
#include "platform/VbConvert.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

namespace {
QString dialogSource()
{
    return QStringLiteral("Verbanox.frmBookmarkAdd");
}
} // namespace

frmBookmarkAdd::frmBookmarkAdd()
{
    setObjectName(QStringLiteral("frmBookmarkAdd"));
    buildControls();
}

void frmBookmarkAdd::buildControls()
{
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    HelpService::setHelpContext(this, HelpContext);
    tTitle = new QLineEdit(this);
    tDate = new QLineEdit(this);
    tCategory = new QLineEdit(this);
    tCategory->setToolTip(QStringLiteral("You decide. E.g \"Prophecy\", \"Jesus Teachings\" etc."));
    tTitle->setMinimumWidth(320);

    Frame1 = new QGroupBox(QStringLiteral("Bible Reference"), this);
    cboBook = new QComboBox(Frame1);
    cboBook->setEditable(true);
    cboBook->setInsertPolicy(QComboBox::NoInsert);
    cboBook->setMinimumContentsLength(8);
    tChapter = new QLineEdit(Frame1);
    tVerse = new QLineEdit(Frame1);
    for (QLineEdit *box : {tChapter, tVerse})
        box->setMaximumWidth(80);
    auto *reference = new QFormLayout(Frame1);
    reference->addRow(QStringLiteral("Book"), cboBook);
    reference->addRow(QStringLiteral("Chapter"), tChapter);
    reference->addRow(QStringLiteral("Verse"), tVerse);

    auto *fields = new QFormLayout;
    fields->addRow(QStringLiteral("Bookmark Title"), tTitle);
    fields->addRow(QStringLiteral("Date Added"), tDate);
    fields->addRow(QStringLiteral("Category"), tCategory);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdHelp = new QPushButton(QStringLiteral("Help"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton *button : {cmdOK, cmdCancel, cmdHelp})
        buttons->addWidget(button);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(Frame1);
    layout->addLayout(buttons);

    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    connect(cmdHelp, &QPushButton::clicked, this, [this] { cmdHelp_Click(); });
}

frmBookmarkAdd &frmBookmarkAdd::Instance()
{
    return DefaultInstance<frmBookmarkAdd>::get();
}

void frmBookmarkAdd::ShowModal()
{
    ModalOpener<frmBookmarkAdd>::show();
}

// --- Properties ----------------------------------------------------------------

QString frmBookmarkAdd::sTitle() const
{
    return tTitle->text();
}

void frmBookmarkAdd::setSTitle(const QString &title)
{
    tTitle->setText(title);
}

QString frmBookmarkAdd::sDate() const
{
    return tDate->text();
}

void frmBookmarkAdd::setSDate(const QString &date)
{
    tDate->setText(date);
}

QString frmBookmarkAdd::sCategory() const
{
    return tCategory->text();
}

void frmBookmarkAdd::setSCategory(const QString &category)
{
    tCategory->setText(category);
}

QString frmBookmarkAdd::FormatNumberPart(const QString &text)
{
    const std::optional<double> number = VbConvert::toNumber(text);
    if (!number || !std::isfinite(*number) || std::abs(*number) >= 1e15)
        return text;
    const long long whole = std::llround(*number);
    const QString digits = QString::number(std::abs(whole)).rightJustified(3, QLatin1Char('0'));
    return whole < 0 ? QLatin1Char('-') + digits : digits;
}

QString frmBookmarkAdd::sBookChVs() const
{
    return cboBook->currentText() + QLatin1Char(' ') + FormatNumberPart(tChapter->text()) + QLatin1Char(':') +
           FormatNumberPart(tVerse->text());
}

void frmBookmarkAdd::setSBookChVs(const QString &reference)
{
    const qsizetype blank = reference.indexOf(QLatin1Char(' '));
    if (blank < 0)
        raiseError(RtErr::InvalidProcedureCall, dialogSource(),
                   QStringLiteral("The Bible reference \"%1\" has no blank after the book.").arg(reference));
    cboBook->setEditText(reference.left(blank));
    const QString rest = reference.mid(blank + 1);
    const qsizetype colon = rest.indexOf(QLatin1Char(':'));
    if (colon < 0)
        raiseError(RtErr::InvalidProcedureCall, dialogSource(),
                   QStringLiteral("The Bible reference \"%1\" has no \":\" between chapter and verse.")
                       .arg(reference));
    tChapter->setText(rest.left(colon));
    tVerse->setText(rest.mid(colon + 1));
}

QString frmBookmarkAdd::MakeFN(int ownRow) const
{
    return BookmarkRecords::Instance().UniqueFileName(BookmarkRecords::FileNameFromTitle(sTitle()), ownRow);
}

QStringList frmBookmarkAdd::BookTokens()
{
    QStringList tokens;
    // The core keeps this file whole; a line without its two Tabs names no book.
    const QStringList lines =
        TextReader::fromFile(gSysDefsFolder + QStringLiteral("books.txt")).readAllLines();
    for (const QString &line : lines) {
        const QStringList parts = line.split(QLatin1Char('\t'));
        if (parts.size() < 3)
            continue;
        tokens.append(parts[1].toUpper().replace(QLatin1Char(' '), QLatin1Char('_')));
    }
    return tokens;
}

// --- Events --------------------------------------------------------------------

void frmBookmarkAdd::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Only OK confirms the boxes, however the showing ends.
    m_cancelled = true;
    Form_Activate();
}

void frmBookmarkAdd::Form_Activate()
{
    tTitle->setFocus();
    if (m_adding)
        tDate->setText(DateFormatText::Format(desktop().now(), gDateFormat));
    if (!cboBook->currentText().isEmpty())
        return;
    TrapErrors(QStringLiteral("frmBookmarkAdd.Form_Activate()"), [this] {
        const QStringList tokens = BookTokens();
        cboBook->clear();
        cboBook->addItems(tokens);
        cboBook->setEditText(tokens.value(0));
    });
}

void frmBookmarkAdd::cmdOK_Click()
{
    m_cancelled = false;
    done(QDialog::Accepted);
}

void frmBookmarkAdd::cmdCancel_Click()
{
    m_cancelled = true;
    done(QDialog::Rejected);
}

void frmBookmarkAdd::reject()
{
    cmdCancel_Click();
}

void frmBookmarkAdd::closeEvent(QCloseEvent *event)
{
    m_cancelled = true;
    QDialog::closeEvent(event);
}

// As F1 does: the program's help viewer, which says itself why a file did not open.
void frmBookmarkAdd::cmdHelp_Click()
{
    TrapErrors(QStringLiteral("frmBookmarkAdd.cmdHelp_Click()"), [] { HelpService::showHelp(HelpContext); });
}
