#include "study/TLNotes.h"

#include "core/Bug_.h"
#include "core/GlobalVars.h"
#include "core/Registry_.h"
#include "mainwindow/MenuTargets.h"
#include "platform/DefaultInstance.h"
#include "platform/FileNames.h"
#include "platform/RichTextBox.h"
#include "platform/TextFile.h"
#include "platform/Twips.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QPushButton>

namespace {
const QString Heading = QStringLiteral("$$");
const QString CRLF = QStringLiteral("\r\n");

QString titleOf(const QString &line)
{
    return line.mid(2);
}

PaneLook notesLook()
{
    return {gBib1BC, gBib1TC, gBib1Fontsize > 0 ? gBib1Fontsize : 12, gDefaultFont};
}

// The notes file is plain text in the ANSI code page.
QStringList readLines(const QString &path)
{
    return TextReader::fromFile(FileNames::resolve(path)).readAllLines();
}
} // namespace

TLNotes::TLNotes()
{
    setWindowTitle(QStringLiteral("Translation Notes"));
    setAttribute(Qt::WA_DeleteOnClose, true);
    setAttribute(Qt::WA_QuitOnClose, false);
    Combo1 = new QComboBox(this);
    Combo1->setEditable(false);
    Combo1->setMinimumContentsLength(30);
    PrintPreview = new QPushButton(QStringLiteral("Print"), this);
    RT = new RichTextBox(this);
    RT->setLocked(true);
    connect(Combo1, &QComboBox::activated, this, [this] { Combo1_Click(); });
    connect(PrintPreview, &QPushButton::clicked, this, [this] { PrintPreview_Click(); });
    resize(640, 480);
    try {
        Form_Load();
    } catch (...) {
        gTLNotesOpen = false;
        throw;
    }
}

TLNotes::~TLNotes()
{
    gTLNotesOpen = false;
}

void TLNotes::Register()
{
    MenuTargets::Register(MenuTargets::TLNotes,
                          {[]() -> QWidget * { return &DefaultInstance<TLNotes>::get(); },
                           []() -> QWidget * { return DefaultInstance<TLNotes>::peek(); },
                           {}});
}

QString TLNotes::NotesFile()
{
    return gModuleFolder + QStringLiteral("TLNotes.txt");
}

QStringList TLNotes::ReadTitles(const QString &path)
{
    QStringList titles;
    for (const QString &line : readLines(path))
        if (line.contains(Heading))
            titles.append(titleOf(line));
    return titles;
}

std::optional<QString> TLNotes::ReadNote(const QString &path, const QString &title)
{
    const QStringList lines = readLines(path);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!lines[i].contains(Heading) || titleOf(lines[i]) != title)
            continue;
        QString note;
        for (qsizetype j = i + 1; j < lines.size() && !lines[j].contains(Heading); ++j)
            note += lines[j] + CRLF;
        return note;
    }
    return std::nullopt;
}

void TLNotes::Form_Load()
{
    gTLNotesOpen = true;
    RestoreFormPosition(QStringLiteral("ScreenTN"), this);
    m_pageLayout.Apply(*RT);
    const QStringList titles = ReadTitles(NotesFile());
    // The list keeps its titles in alphabetical order, as a sorted list box does.
    QStringList sorted = titles;
    std::stable_sort(sorted.begin(), sorted.end(), [](const QString &a, const QString &b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    Combo1->addItems(sorted);
    if (!titles.isEmpty())
        Combo1->setCurrentIndex(Combo1->findText(titles.first(), Qt::MatchExactly | Qt::MatchCaseSensitive));
    notesLook().ApplyTo(*RT);
    Combo1_Click();
}

void TLNotes::Combo1_Click()
{
    // A file that became unreadable since the load leaves the note shown.
    TrapErrors(QStringLiteral("TLNotes.Combo1_Click()"), [this] {
        std::optional<QString> note;
        if (Combo1->currentIndex() >= 0)
            note = ReadNote(NotesFile(), Combo1->currentText());
        // No topic of that title: the note shown stays, in the look of now.
        notesLook().ShowText(*RT, note ? *note : RT->Text());
        m_pageLayout.KeepOn(*RT);
        DoSetFocus();
    });
}

void TLNotes::DoSetFocus()
{
    IgnoreErrors([this] {
        if (RT->isEnabled() && RT->isVisible())
            RT->setFocus();
    });
}

void TLNotes::PrintPreview_Click()
{
    // The note prints as a document of its own, through the print preview: the
    // search workspace's document (and whatever the reader has in it) is left alone.
    TrapErrors(QStringLiteral("TLNotes.PrintPreview_Click()"), [this] {
        // Plain text in a pane's own default look, not in this window's colours.
        RichTextBox note;
        note.setText(RT->Text());
        // No owner: the refusal to print from a minimised window speaks of the
        // search window, which the note does not go through.
        MenuTargets::PreviewPane(note, nullptr);
    });
}

void TLNotes::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void TLNotes::Form_Resize()
{
    if (isMinimized())
        return;
    IgnoreErrors([this] {
        const int margin = Twips::toPixelsY(200);
        Combo1->move(8, 8);
        Combo1->resize(std::min(width() - PrintPreview->sizeHint().width() - 32, 420),
                       Combo1->sizeHint().height());
        PrintPreview->move(Combo1->x() + Combo1->width() + 16, 8);
        PrintPreview->resize(PrintPreview->sizeHint().width(), Combo1->height());
        const int top = Combo1->y() + Combo1->height() + margin;
        RT->setGeometry(0, top, width(), std::max(0, height() - top - margin));
    });
}

void TLNotes::closeEvent(QCloseEvent *event)
{
    IgnoreErrors([this] { SaveFormPosition(QStringLiteral("ScreenTN"), this); });
    gTLNotesOpen = false;
    event->accept();
}
