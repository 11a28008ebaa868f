#include "preferences/LanguageE.h"
#include "mainwindow/MenuTargets.h"

#include "core/BibleBookNames.h"
#include "core/Bug_.h"
#include "core/FileFunctions_.h"
#include "core/GlobalNotifier.h"
#include "core/GlobalVars.h"
#include "core/MiscHelpers.h"
#include "core/MsgSupport.h"
#include "core/Registry_.h"
#include "platform/CodePage.h"
#include "platform/FileNames.h"
#include "platform/HelpService.h"
#include "platform/ModalOpener.h"
#include "platform/TextFile.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
enum Column { ColNumber, ColReference, ColLongName, ColShortName };
const QString PlaceholderLong = QStringLiteral("Double Click to Edit.");
const QString PlaceholderShort = QStringLiteral("Short Name.");
constexpr int YesNoNoDefault = MsgBoxStyle::YesNo | MsgBoxStyle::Question | MsgBoxStyle::DefaultButton2;
// Catalog text: lines of a book-name file without Tabs.
constexpr int LinesWithoutTabsMsg = 277;

QString sysDefs(const QString &fileName)
{
    return FileNames::resolve(gSysDefsFolder + fileName);
}

// A name is one field of a Tab-separated line: Tabs and line breaks become blanks.
QString cleanName(QString name)
{
    for (QChar &c : name)
        if (c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            c = QLatin1Char(' ');
    return name;
}

// The language of a book-name file: the text between the first "_" and the first ".".
QString languageOf(const QString &fileName)
{
    const qsizetype start = fileName.indexOf(QLatin1Char('_')) + 1;
    const qsizetype end = fileName.indexOf(QLatin1Char('.'), start);
    return fileName.mid(start, end < 0 ? -1 : end - start);
}

// The book-name file of a language as it is named on disk (the shipped ones are
// "books_ENGLISH.txt", and an older editor made "BOOKS_<LANG>.txt"); a language
// that has none yet gets "books_<LANG>.txt", the name the list is made from.
QString bookFileOf(const QString &language)
{
    return QFileInfo(sysDefs(QStringLiteral("books_") + language + QStringLiteral(".txt"))).fileName();
}
} // namespace

LanguageE::LanguageE()
{
    setAttribute(Qt::WA_DeleteOnClose, true);
    setAttribute(Qt::WA_QuitOnClose, false);
    buildControls();
    FormLoad();
}

void LanguageE::buildControls()
{
    Frame2 = new QGroupBox(this);
    lbl = new QLabel(Frame2);
    LV = new QTreeWidget(Frame2);
    LV->setColumnCount(4);
    LV->setRootIsDecorated(false);
    LV->setUniformRowHeights(true);
    LV->setAllColumnsShowFocus(true);
    LV->installEventFilter(this);
    connect(LV, &QTreeWidget::itemDoubleClicked, this, [this] { LV_DblClick(); });
    auto *gridLayout = new QVBoxLayout(Frame2);
    gridLayout->addWidget(lbl);
    gridLayout->addWidget(LV, 1);

    Frame1 = new QGroupBox(this);
    lbla = new QLabel(Frame1);
    LSel = new QListWidget(Frame1);
    LSel->setSortingEnabled(true);
    // A language loads once for each choice: when the selection moves (click or
    // arrow keys) or when the chosen entry is clicked again, so that a cancelled
    // new language can be asked for once more. Activation adds nothing, as a
    // single-click desktop would otherwise ask twice.
    connect(LSel, &QListWidget::itemSelectionChanged, this, [this] { LSel_Click(); });
    connect(LSel, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        if (item == m_clickedChosen)
            LSel_Click();
    });
    LSel->viewport()->installEventFilter(this);
    cDefault = new QPushButton(Frame1);
    cSave = new QPushButton(Frame1);
    auto *languageButtons = new QHBoxLayout;
    languageButtons->addWidget(cDefault);
    languageButtons->addWidget(cSave);
    // At least the window's usual width, wider when a language's button captions need it.
    Frame1->setMinimumWidth(230);
    Frame1->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    auto *languageLayout = new QVBoxLayout(Frame1);
    languageLayout->addWidget(lbla);
    languageLayout->addWidget(LSel, 1);
    languageLayout->addLayout(languageButtons);

    cDisaster = new QPushButton(this);
    Command4 = new QPushButton(this);
    cQuit = new QPushButton(this);
    for (QPushButton *button : {cDefault, cSave, cDisaster, Command4, cQuit})
        button->setAutoDefault(false);
    connect(cDefault, &QPushButton::clicked, this, [this] { cDefault_Click(); });
    connect(cSave, &QPushButton::clicked, this, [this] { cSave_Click(); });
    connect(cDisaster, &QPushButton::clicked, this, [this] { cDisaster_Click(); });
    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(cQuit, &QPushButton::clicked, this, [this] { cQuit_Click(); });

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(Command4);
    bottom->addStretch(1);
    bottom->addWidget(cQuit);
    auto *right = new QVBoxLayout;
    right->addWidget(Frame1, 1);
    right->addWidget(cDisaster);
    right->addLayout(bottom);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(Frame2, 1);
    layout->addLayout(right);
    resize(800, 540);
}

void LanguageE::FormLoad()
{
    lbl->clear();
    for (int row = 1; row <= BookCount; ++row)
        new QTreeWidgetItem(LV, {QString::number(row)});
    QStringList languages;
    for (const QString &file : FileNames::listFiles(gSysDefsFolder, QStringLiteral("books_*.txt")))
        if (!languages.contains(languageOf(file), Qt::CaseInsensitive))
            languages.append(languageOf(file));
    languages.append(CreateNewLanguage);
    LSel->addItems(languages);
    // Rows the reference file lacks stay without a reference name; the window
    // still gets its captions.
    const QString reference = sysDefs(QStringLiteral("ref.txt"));
    BibleBookNames::FileStep(reference, false, [&] {
        TextReader reader = TextReader::fromFile(reference, CodePage::SystemAnsi);
        for (int row = 0; row < BookCount; ++row)
            LV->topLevelItem(row)->setText(ColReference, reader.readLine().section(QLatin1Char('\t'), -1));
    });
    International();
    LV->setColumnWidth(ColNumber, 36);
    LV->setColumnWidth(ColReference, 140);
    LV->setColumnWidth(ColLongName, 160);
}

void LanguageE::ShowModal()
{
    ModalOpener<LanguageE>::show();
}

void LanguageE::Register()
{
    MenuTargets::Register(MenuTargets::LanguageEditor, {{}, {}, [] { ShowModal(); }});
}

std::function<void()> LanguageE::setShowModal(std::function<void()> show)
{
    return ModalOpener<LanguageE>::replace(std::move(show));
}

void LanguageE::International()
{
    setWindowTitle(GetMsg(1, 13, MiscHelpers::ProductTitle()));
    lbla->setText(GetMsg(1, 168));
    cDefault->setText(GetMsg(1, 161));
    cSave->setText(GetMsg(1, 162));
    cDisaster->setText(GetMsg(1, 163));
    Command4->setText(GetMsg(1, 164));
    cQuit->setText(GetMsg(1, 165));
    Frame2->setTitle(GetMsg(1, 166));
    Frame1->setTitle(GetMsg(1, 167));
    LV->setHeaderLabels({GetMsg(1, 186), GetMsg(1, 187), GetMsg(1, 188), GetMsg(1, 189)});
    if (!lbl->text().isEmpty())
        lbl->setText(GetMsg(1, 191, m_bookFile));
}

void LanguageE::GetLang(const QString &language)
{
    const bool known = FileFunctions_::FileExists(gMsgFolder + language + QStringLiteral("_FRM.mes"));
    gLanguage = known ? language : Preferences{}.language;
    Registry_::StoreChoices([] { SaveString(QStringLiteral("L"), gLanguage + QLatin1Char('_')); });
    if (known)
        return;
    desktop().messageBox(GetMsg(0, 101, language), MsgBoxStyle::Information, windowTitle());
}

void LanguageE::LSel_Click()
{
    TrapErrors(QStringLiteral("LanguageE.LSel_Click()"), [this] {
        const QList<QListWidgetItem *> chosen = LSel->selectedItems();
        if (chosen.isEmpty())
            return;
        if (m_modified) {
            if (desktop().messageBox(GetMsg(0, 36), YesNoNoDefault, QStringLiteral("Discard?")) !=
                MsgBoxResult::Yes)
                return;
            m_modified = false;
        }
        const QString language = chosen.first()->text();
        LV->headerItem()->setText(ColLongName, GetMsg(1, 190, language));
        lbl->setText(GetMsg(1, 191, language));
        m_bookFile = bookFileOf(language);
        // No name of the language shown before may stay behind.
        for (int row = 0; row < BookCount; ++row) {
            LV->topLevelItem(row)->setText(ColLongName, QString());
            LV->topLevelItem(row)->setText(ColShortName, QString());
        }
        if (language == CreateNewLanguage) {
            createLanguage();
            return;
        }
        const QString path = sysDefs(m_bookFile);
        // A file that cannot be read is not loaded, so that Save cannot write blanks over it.
        if (!BibleBookNames::FileStep(path, false, [&] { loadLanguage(path); }))
            m_bookFile.clear();
    });
}

void LanguageE::loadLanguage(const QString &path)
{
    TextReader reader = TextReader::fromFile(path, CodePage::SystemAnsi);
    QStringList withoutTabs;
    for (int row = 0; row < BookCount && !reader.atEnd(); ++row) {
        const QString line = reader.readLine();
        QTreeWidgetItem *item = LV->topLevelItem(row);
        if (!line.contains(QLatin1Char('\t'))) {
            // Shown whole as the long name, where the reader sees it and a Save keeps it.
            item->setText(ColLongName, line);
            withoutTabs.append(QString::number(reader.lineNumber()) + QStringLiteral(": ") + line);
            continue;
        }
        item->setText(ColShortName, line.section(QLatin1Char('\t'), 1, 1));
        item->setText(ColLongName, line.section(QLatin1Char('\t'), 2));
    }
    if (!withoutTabs.isEmpty())
        desktop().messageBox(MsgSupport::GetMsgListing(LinesWithoutTabsMsg, path, withoutTabs),
                             MsgBoxStyle::Exclamation, QString());
}

void LanguageE::createLanguage()
{
    lbl->clear();
    m_bookFile.clear();
    const QString name = desktop()
                             .inputBox(GetMsg(0, 40), QStringLiteral("Language"), QString())
                             .value_or(QString())
                             .toUpper();
    if (name.isEmpty())
        return;
    for (const QChar c : name) {
        if (c < QLatin1Char('A') || c > QLatin1Char('Z')) {
            desktop().messageBox(GetMsg(0, 37, QString(c)), MsgBoxStyle::OKOnly, QString());
            return;
        }
    }
    const QString fileName = bookFileOf(name);
    if (FileNames::existsIgnoringCase(gSysDefsFolder + fileName)) {
        desktop().messageBox(GetMsg(0, 38, name), MsgBoxStyle::Exclamation,
                             QStringLiteral("Error ") + MiscHelpers::ProductTitle());
        return;
    }
    for (int row = 0; row < BookCount; ++row) {
        LV->topLevelItem(row)->setText(ColLongName, PlaceholderLong);
        LV->topLevelItem(row)->setText(ColShortName, PlaceholderShort);
    }
    lbl->setText(QStringLiteral("Create New Index: ") + name);
    LV->headerItem()->setText(ColLongName, QStringLiteral("Book to Edit: ") + name);
    LSel->addItem(name);
    m_bookFile = fileName;
    cSave_Click();
}

void LanguageE::LV_DblClick()
{
    TrapErrors(QStringLiteral("LanguageE.LV_DblClick()"), [this] {
        if (m_bookFile.isEmpty()) {
            desktop().messageBox(GetMsg(0, 39), MsgBoxStyle::Information, QString());
            return;
        }
        m_modified = true;
        QTreeWidgetItem *item = LV->currentItem();
        if (!item)
            return;
        const QString longName = item->text(ColLongName);
        const QString typedLong = cleanName(
            desktop().inputBox(GetMsg(1, 192, longName), GetMsg(1, 193), longName).value_or(QString()));
        if (!typedLong.isEmpty())
            item->setText(ColLongName, typedLong);
        const QString shortName = item->text(ColShortName);
        const QString proposal = shortName == PlaceholderShort ? item->text(ColLongName).left(3) : shortName;
        const QString typedShort = cleanName(
            desktop().inputBox(GetMsg(1, 194, shortName), GetMsg(1, 195), proposal).value_or(QString()));
        if (!typedShort.isEmpty())
            item->setText(ColShortName, typedShort);
    });
}

bool LanguageE::writeGrid(const QString &fileName) const
{
    QStringList lines;
    for (int row = 0; row < LV->topLevelItemCount(); ++row) {
        const QTreeWidgetItem *item = LV->topLevelItem(row);
        lines.append(QString::number(row + 1) + QLatin1Char('\t') + cleanName(item->text(ColShortName)) +
                     QLatin1Char('\t') + cleanName(item->text(ColLongName)));
    }
    const QString path = sysDefs(fileName);
    return BibleBookNames::FileStep(path, true, [&] {
        TextFiles::writeAtomically(path, TextFiles::encodeLinesWhole(lines, CodePage::SystemAnsi));
    });
}

void LanguageE::cSave_Click()
{
    Save();
}

bool LanguageE::Save()
{
    bool saved = false;
    TrapErrors(QStringLiteral("LanguageE.cSave_Click()"), [&] {
        if (m_bookFile.isEmpty()) {
            desktop().messageBox(GetMsg(0, 31), MsgBoxStyle::Information, QString());
            return;
        }
        // Told before asking to replace a file that could not be replaced.
        if (const QString fault = FileFunctions_::FolderWriteFault(gSysDefsFolder); !fault.isEmpty()) {
            Bug_::ReportReadOnlyProgramFolder(gSysDefsFolder, fault);
            return;
        }
        if (FileNames::existsIgnoringCase(gSysDefsFolder + m_bookFile) &&
            desktop().messageBox(GetMsg(0, 33, m_bookFile), YesNoNoDefault, QStringLiteral("Overwrite?")) ==
                MsgBoxResult::No)
            return;
        if (!writeGrid(m_bookFile))
            return;
        saved = true;
        desktop().messageBox(GetMsg(0, 34, m_bookFile), MsgBoxStyle::OKOnly, QString());
        if (gNotifier)
            gNotifier->NotifyOfEvent(GlobalNotifier::InternationalChanged);
        International();
        m_modified = false;
    });
    return saved;
}

void LanguageE::cDefault_Click()
{
    TrapErrors(QStringLiteral("LanguageE.cDefault_Click()"), [this] {
        if (m_bookFile.isEmpty()) {
            desktop().messageBox(GetMsg(0, 31), MsgBoxStyle::Information, QString());
            return;
        }
        // The active names, in the file the program reads them from.
        if (!writeGrid(QStringLiteral("Books.txt")))
            return;
        m_modified = false;
        GetLang(languageOf(m_bookFile));
        if (gNotifier)
            gNotifier->NotifyOfEvent(GlobalNotifier::InternationalChanged);
        International();
        desktop().messageBox(GetMsg(0, 32), MsgBoxStyle::OKOnly, QString());
    });
}

void LanguageE::cDisaster_Click()
{
    TrapErrors(QStringLiteral("LanguageE.cDisaster_Click()"), [this] {
        if (desktop().messageBox(GetMsg(0, 28), YesNoNoDefault, QStringLiteral("Disaster Recovery")) !=
            MsgBoxResult::Yes) {
            desktop().messageBox(GetMsg(0, 29), MsgBoxStyle::OKOnly, QString());
            return;
        }
        if (!BibleBookNames::RestoreFromReference())
            return;
        if (gNotifier)
            gNotifier->NotifyOfEvent(GlobalNotifier::InternationalChanged);
        desktop().messageBox(GetMsg(0, 30), MsgBoxStyle::Information, QString());
    });
}

void LanguageE::Command4_Click()
{
    // The program's help viewer, which says itself why a file did not open.
    TrapErrors(QStringLiteral("LanguageE.Command4_Click()"), [] { HelpService::showHelp(); });
}

void LanguageE::cQuit_Click()
{
    close();
}

void LanguageE::closeEvent(QCloseEvent *event)
{
    if (Form_Unload())
        event->accept();
    else
        event->ignore();
}

void LanguageE::reject()
{
    // Esc closes without a close event; the unsaved edits are asked about all the same.
    if (Form_Unload())
        QDialog::reject();
}

bool LanguageE::Form_Unload()
{
    // Edits that were to be saved first and were not stay, and so does the window.
    if (m_modified &&
        desktop().messageBox(GetMsg(0, 35), YesNoNoDefault,
                             QStringLiteral("Not Saved ") + MiscHelpers::ProductTitle()) ==
            MsgBoxResult::No &&
        !Save())
        return false;
    m_modified = false;
    return true;
}

void LanguageE::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F1) {
        Command4_Click();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool LanguageE::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == LSel->viewport() && event->type() == QEvent::MouseButtonPress) {
        QListWidgetItem *item = LSel->itemAt(static_cast<QMouseEvent *>(event)->position().toPoint());
        m_clickedChosen = item && item->isSelected() ? item : nullptr;
    }
    if (watched == LV && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool plain =
            (key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) == 0;
        if (plain &&
            (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Space)) {
            LV_DblClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
