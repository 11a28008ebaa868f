#include "preferences/frmFontChooser.h"
#include "mainwindow/MenuTargets.h"

#include "controls/FontHelpers_.h"
#include "controls/ListboxImproved_.h"
#include "core/Registry_.h"
#include "platform/CodePage.h"
#include "platform/Seams.h"
#include "platform/VbConvert.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {
const QString CharSetMarker = QStringLiteral("~CharSet");
constexpr int SampleLength = 1024;
const QString AllFonts = QStringLiteral("All Fonts");

Seam<frmFontChooser::Enumerator> &enumerator()
{
    static Seam<frmFontChooser::Enumerator> enumerate{
        [] { FontHelpers_::EnumerateFonts(FontHelpers_::DEFAULT_CHARSET, QString()); }};
    return enumerate;
}

Seam<frmFontChooser::Shower> &shower()
{
    static Seam<frmFontChooser::Shower> show{[](frmFontChooser &form) { form.exec(); }};
    return show;
}

QString scriptName(int charSet)
{
    const QVariant name = FontHelpers_::CharSetNames.FindByKey(charSet);
    return name.isValid() ? name.toString() : QString::number(charSet);
}
} // namespace

QFont frmFontChooser::StdFont::toQFont() const
{
    QFont font(name);
    font.setPointSizeF(size);
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    font.setStrikeOut(strikethrough);
    return font;
}

frmFontChooser::frmFontChooser(const std::optional<StdFont> &font, const QString &sampleText)
    : m_sampleText(sampleText.left(SampleLength))
    , m_baseFont(font)
{
    if (font) {
        m_fontName = font->name;
        m_charSet = font->charSet;
        m_fontKey = m_fontName + CharSetMarker + QString::number(m_charSet);
    }
    setWindowTitle(QStringLiteral("Choose Font"));
    buildControls();
    FormLoad();
}

void frmFontChooser::buildControls()
{
    lblCharSet = new QLabel(QStringLiteral("Font &Character Set:"), this);
    lstCharSet = new QComboBox(this);
    lblCharSet->setBuddy(lstCharSet);
    lblFont = new QLabel(QStringLiteral("&Fonts Availabe in this Code Page:"), this);
    lstFonts = new ListboxImproved_(this);
    lstFonts->List1->setSortingEnabled(true);
    lblFont->setBuddy(lstFonts);
    lblSample = new QLabel(QStringLiteral("&Sample of Selected Font:"), this);
    txtSample = new QPlainTextEdit(this);
    lblSample->setBuddy(txtSample);
    btnOkay = new QPushButton(QStringLiteral("OK"), this);
    btnOkay->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnCancel->setAutoDefault(false);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(btnOkay);
    buttons->addWidget(btnCancel);
    buttons->addStretch(1);
    auto *grid = new QGridLayout(this);
    grid->addWidget(lblCharSet, 0, 0);
    grid->addWidget(lstCharSet, 1, 0);
    grid->addWidget(lblFont, 2, 0);
    grid->addWidget(lstFonts, 3, 0);
    grid->addWidget(lblSample, 2, 1);
    grid->addWidget(txtSample, 3, 1);
    grid->addLayout(buttons, 3, 2);
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    resize(720, 420);

    connect(lstCharSet, &QComboBox::currentIndexChanged, this, [this] { lstCharSet_Click(); });
    connect(lstFonts, &ListboxImproved_::Click, this, [this] { lstFonts_Click(); });
    connect(btnOkay, &QPushButton::clicked, this, [this] { btnOkay_Click(); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { btnCancel_Click(); });
}

void frmFontChooser::FormLoad()
{
    // Without a kept place the window opens at a size that shows whole face names.
    if (!RestoreFormPosition(QStringLiteral("FontChooser"), this))
        resize(720, 420);
    enumerator().get()();
    QList<std::pair<QString, int>> sets{{AllFonts, FontHelpers_::DEFAULT_CHARSET}};
    for (qint32 i = 0; i < FontHelpers_::CharSetNames.Count(); ++i) {
        const int charSet = FontHelpers_::CharSetNames.FindKeyByIndex(i).toInt();
        if (charSet != FontHelpers_::DEFAULT_CHARSET)
            sets.append({FontHelpers_::CharSetNames.FindValueByIndex(i).toString(), charSet});
    }
    std::stable_sort(sets.begin(), sets.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    {
        const QSignalBlocker blocker(lstCharSet);
        int selected = 0;
        for (int i = 0; i < sets.size(); ++i) {
            lstCharSet->addItem(sets[i].first, sets[i].second);
            if (sets[i].first != AllFonts && sets[i].second == m_charSet)
                selected = i;
        }
        lstCharSet->setCurrentIndex(selected);
    }
    FillFontList();
    txtSample->setPlainText(m_sampleText + QStringLiteral("\n") + CharacterLine());
}

QString frmFontChooser::CharacterLine()
{
    QByteArray codes(255, ' ');
    for (int p = 2; p <= 224; ++p)
        codes[p - 1] = char(p + 31);
    return CodePage::decode(codes, CodePage::SystemAnsi);
}

std::pair<QString, int> frmFontChooser::SplitFontKey(const QString &key)
{
    const qsizetype p = key.indexOf(CharSetMarker);
    if (p < 0)
        return {key, FontHelpers_::DEFAULT_CHARSET};
    const double value = std::nearbyint(VbConvert::val(key.mid(p + CharSetMarker.size())));
    const int charSet = value < 0 || value > 255 ? FontHelpers_::DEFAULT_CHARSET : int(value);
    return {key.left(p), charSet};
}

void frmFontChooser::FillFontList()
{
    lstFonts->Clear();
    const int wanted =
        lstCharSet->currentIndex() >= 0 ? lstCharSet->currentData().toInt() : FontHelpers_::DEFAULT_CHARSET;
    for (qint32 i = 0; i < FontHelpers_::FontKeys.Count(); ++i) {
        const QString key = FontHelpers_::FontKeys.Item(i).toString();
        const auto [name, charSet] = SplitFontKey(key);
        if (wanted != FontHelpers_::DEFAULT_CHARSET && charSet != wanted)
            continue;
        QString text = name;
        if (wanted == FontHelpers_::DEFAULT_CHARSET && charSet != FontHelpers_::DEFAULT_CHARSET)
            text += QStringLiteral("  (") + scriptName(charSet) + QLatin1Char(')');
        lstFonts->AddItem(text, key);
    }
}

frmFontChooser::StdFont frmFontChooser::MakeFont(const QString &key) const
{
    StdFont font;
    std::tie(font.name, font.charSet) = SplitFontKey(key);
    if (m_baseFont) {
        font.size = m_baseFont->size;
        font.bold = m_baseFont->bold;
        font.italic = m_baseFont->italic;
        font.strikethrough = m_baseFont->strikethrough;
        font.underline = m_baseFont->underline;
    }
    return font;
}

void frmFontChooser::selectGivenFace()
{
    for (qint32 i = 0; i < lstFonts->ListCount(); ++i) {
        if (lstFonts->ItemData(i).toString() == m_fontKey) {
            lstFonts->setListIndex(i);
            return;
        }
    }
}

std::optional<frmFontChooser::StdFont> frmFontChooser::ChooseFont(const std::optional<StdFont> &font,
                                                                  const QString &sampleText)
{
    frmFontChooser form(font, sampleText);
    if (font)
        form.selectGivenFace();
    shower().get()(form);
    const qint32 selected = form.lstFonts->ListIndex();
    if (selected < 0)
        return font;
    return form.MakeFont(form.lstFonts->ItemData(selected).toString());
}

QFont frmFontChooser::ChooseQFont(const QFont &font, const QString &sampleText, QWidget *)
{
    StdFont given{font.family(),
                  FontHelpers_::DEFAULT_CHARSET,
                  font.pointSizeF() > 0 ? font.pointSizeF() : 12,
                  font.bold(),
                  font.italic(),
                  font.underline(),
                  font.strikeOut()};
    const QList<FontHelpers_::FaceCharSet> sets = FontHelpers_::faceCharSets(font.family());
    if (!sets.isEmpty())
        given.charSet = sets.first().charSet;
    const std::optional<StdFont> chosen = ChooseFont(given, sampleText);
    return chosen && !(*chosen == given) ? chosen->toQFont() : font;
}

void frmFontChooser::Register()
{
    MenuTargets::RegisterFontChooser(&frmFontChooser::ChooseQFont);
}

frmFontChooser::Enumerator frmFontChooser::setEnumerator(Enumerator enumerate)
{
    return enumerator().replace(std::move(enumerate));
}

frmFontChooser::Shower frmFontChooser::setShowModal(Shower show)
{
    return shower().replace(std::move(show));
}

void frmFontChooser::lstCharSet_Click()
{
    FillFontList();
}

void frmFontChooser::lstFonts_Click()
{
    const qint32 selected = lstFonts->ListIndex();
    if (selected >= 0)
        txtSample->setFont(MakeFont(lstFonts->ItemData(selected).toString()).toQFont());
}

void frmFontChooser::btnOkay_Click()
{
    accept();
}

void frmFontChooser::btnCancel_Click()
{
    reject();
}

void frmFontChooser::reject()
{
    // Cancel and Esc return the given font.
    lstFonts->setListIndex(-1);
    QDialog::reject();
}

void frmFontChooser::closeEvent(QCloseEvent *event)
{
    // The close box counts as Cancel; only then is the position kept.
    lstFonts->setListIndex(-1);
    SaveFormPosition(QStringLiteral("FontChooser"), this);
    event->accept();
}
