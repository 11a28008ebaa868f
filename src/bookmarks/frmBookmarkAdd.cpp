#include "bookmarks/frmBookmarkAdd.h"

#include "core/BookmarkRecords.h"
#include "core/Bug_.h"
#include "core/DateFormatText.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"
#include "core/Translation.h"
#include "core/TranslationHelpers.h"
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
// Catalog texts of a reference that names no chapter and verse of a book.
constexpr int NotABookMsg = 156;
constexpr int NotAChapterMsg = 157;
constexpr int NotAVerseMsg = 158;
// Where Bible 0 cannot count them: the Bible's longest book and chapter.
constexpr int MostChapters = 150;
constexpr int MostVerses = 176;

QString dialogSource()
{
    return QStringLiteral("Verbanox.frmBookmarkAdd");
}

// A chapter or verse as typed: digits alone, blanks around them allowed.
std::optional<int> wholeNumber(const QString &text)
{
    const QString digits = text.trimmed();
    if (digits.isEmpty() || digits.size() > 4)
        return std::nullopt;
    for (const QChar c : digits)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    return digits.toInt();
}

// Chapters of a book, or verses of one of its chapters (chapter > 0), as Bible 0's
// chapter index counts them, like the comparison's lists; 0 when it cannot.
int countOfBible0(int book, int chapter)
{
    int count = 0;
    if (book <= 66 && gBibles.Count() > 0)
        IgnoreErrors([&] {
            if (const auto bible = GetTranslation(0))
                count = chapter > 0 ? bible->GetNumVerses(qint16(book), qint16(chapter))
                                    : bible->GetNumChapters(qint16(book));
        });
    return count;
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
    // The list adds nothing for an empty title: a reference refused on an
    // earlier try, still in the boxes, is not checked for a bookmark never made.
    const bool addsNothing = m_adding && sTitle().isEmpty();
    if (!addsNothing && !ReferenceIsValid())
        return;
    m_cancelled = false;
    done(QDialog::Accepted);
}

// The book is one of the list (its token is put in the box), the chapter one of
// the book and the verse one of the chapter; otherwise the user is told and the
// caret put in the box to correct.
bool frmBookmarkAdd::ReferenceIsValid()
{
    QStringList tokens;
    for (int i = 0; i < cboBook->count(); ++i)
        tokens.append(cboBook->itemText(i));
    if (tokens.isEmpty())
        IgnoreErrors([&tokens] { tokens = BookTokens(); });
    const QString typed = cboBook->currentText().trimmed();
    qsizetype index = tokens.size() - 1;
    while (index >= 0 && tokens[index].compare(typed, Qt::CaseInsensitive) != 0)
        --index;
    if (index < 0 && !tokens.isEmpty())
        return refuse(cboBook, NotABookMsg, typed);
    if (index >= 0)
        cboBook->setEditText(tokens[index]);
    const int book = int(index) + 1;
    const int chapters = book > 0 ? countOfBible0(book, 0) : 0;
    const std::optional<int> chapter = wholeNumber(tChapter->text());
    const int mostChapters = chapters > 0 ? chapters : MostChapters;
    if (!chapter || *chapter < 1 || *chapter > mostChapters)
        return refuse(tChapter, NotAChapterMsg, QString::number(mostChapters));
    const int verses = chapters > 0 ? countOfBible0(book, *chapter) : 0;
    const std::optional<int> verse = wholeNumber(tVerse->text());
    const int mostVerses = verses > 0 ? verses : MostVerses;
    if (!verse || *verse < 1 || *verse > mostVerses)
        return refuse(tVerse, NotAVerseMsg, QString::number(mostVerses));
    return true;
}

bool frmBookmarkAdd::refuse(QWidget *box, int message, const QString &argument)
{
    desktop().messageBox(GetMsg(0, message, argument), MsgBoxStyle::Exclamation, QString());
    box->setFocus();
    if (auto *line = qobject_cast<QLineEdit *>(box))
        line->selectAll();
    return false;
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
