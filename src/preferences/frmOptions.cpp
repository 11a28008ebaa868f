#include "preferences/frmOptions.h"
#include "mainwindow/MenuTargets.h"
#include "preferences/BiblePrecedence.h"
#include "preferences/ColorSample.h"

#include "core/Bug_.h"
#include "core/GlobalVars.h"
#include "core/MiscHelpers.h"
#include "core/MsgSupport.h"
#include "core/Registry_.h"
#include "platform/ModalOpener.h"
#include "platform/OleColor.h"
#include "platform/VbConvert.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
constexpr quint32 ResetTextColor = OleColor::Sys::ButtonText; // 0x80000012
constexpr quint32 ResetBackColor = OleColor::Sys::ButtonFace; // 0x8000000F
constexpr int MinFontSize = Preferences::FontsizeRange.min;
constexpr int MaxFontSize = Preferences::FontsizeRange.max;
const QString ColorTip = QStringLiteral("Select Radio button then click to change selected item.");

QSlider *fontSlider(QWidget *parent)
{
    auto *slider = new QSlider(Qt::Horizontal, parent);
    slider->setRange(MinFontSize, MaxFontSize);
    slider->setTickPosition(QSlider::TicksBelow);
    return slider;
}

QLineEdit *fontSample(QWidget *parent)
{
    auto *sample = new QLineEdit(parent);
    sample->setReadOnly(true);
    sample->setFocusPolicy(Qt::NoFocus);
    sample->setMinimumHeight(56);
    return sample;
}

QPushButton *colorButton(const QString &text, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setToolTip(ColorTip);
    button->setAutoDefault(false);
    return button;
}

QLabel *heading(QWidget *parent)
{
    return new QLabel(QStringLiteral("Sample Text and Colors"), parent);
}
} // namespace

frmOptions::frmOptions()
{
    setAttribute(Qt::WA_DeleteOnClose, true);
    setAttribute(Qt::WA_QuitOnClose, false);
    TabStrip1 = new QTabWidget(this);
    frmSingleBib = buildSingleBiblePage();
    frmVerseByVerse = buildMultiBiblePage();
    frmPrecedence = new BiblePrecedence(this);
    frmMisc = buildMiscPage();
    TabStrip1->addTab(frmSingleBib, QStringLiteral("Advanced Search"));
    TabStrip1->addTab(frmVerseByVerse, QStringLiteral("Multi-Bible"));
    TabStrip1->addTab(frmPrecedence, QStringLiteral("Bible Precedence"));
    TabStrip1->addTab(frmMisc, QStringLiteral("Misc"));
    connect(TabStrip1, &QTabWidget::currentChanged, this, [this](int index) { TabStrip1_Click(index + 1); });

    cmdSave = new QPushButton(QStringLiteral("OK"), this);
    cmdSave->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setAutoDefault(false);
    connect(cmdSave, &QPushButton::clicked, this, [this] { cmdSave_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(TabStrip1, 1);
    layout->addLayout(buttons);
    resize(560, 380);

    FormLoad();
}

QFrame *frmOptions::buildSingleBiblePage()
{
    auto *page = new QFrame(this);
    TT = new ColorSample(page);
    TB = new ColorSample(page);
    OTT = new QRadioButton(QStringLiteral("&Text"), page);
    OTB = new QRadioButton(QStringLiteral("&Background"), page);
    auto *grid = new QGridLayout;
    grid->addWidget(heading(page), 0, 0, 1, 2);
    grid->addWidget(OTT, 1, 0);
    grid->addWidget(TT, 1, 1);
    grid->addWidget(OTB, 2, 0);
    grid->addWidget(TB, 2, 1);
    auto *group = new QButtonGroup(page);
    group->addButton(OTT, 1);
    group->addButton(OTB, 2);
    for (int i = 1; i <= 5; ++i) {
        TH.append(new ColorSample(page));
        OTH.append(new QRadioButton(QStringLiteral("Highlight &%1").arg(i), page));
        group->addButton(OTH.last(), i + 2);
        grid->addWidget(OTH.last(), i + 2, 0);
        grid->addWidget(TH.last(), i + 2, 1);
    }
    grid->setRowStretch(8, 1);
    connect(group, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on)
            m_singleTarget = id;
    });
    cmdColour = colorButton(QStringLiteral("Set &Color"), page);
    cmdResetColor = colorButton(QStringLiteral("&Reset to Default"), page);
    connect(cmdColour, &QPushButton::clicked, this, [this] { cmdColour_Click(); });
    connect(cmdResetColor, &QPushButton::clicked, this, [this] { cmdResetColor_Click(); });

    auto *limitLabel =
        new QLabel(QStringLiteral("&Maximum number of Highlighted Terms (100 - 35,000):"), page);
    limitLabel->setWordWrap(true);
    Text2 = new QLineEdit(page);
    limitLabel->setBuddy(Text2);
    Text2->installEventFilter(this);
    chkActiveUpd = new QCheckBox(QStringLiteral("&Active Update"), page);
    connect(chkActiveUpd, &QCheckBox::toggled, this, [](bool on) { gActiveUpdateBib1 = on; });
    Slider2Font = fontSlider(page);
    Tbox1Font = fontSample(page);
    connect(Slider2Font, &QSlider::valueChanged, this, [this](int size) { showFontSize(Tbox1Font, size); });

    auto *right = new QVBoxLayout;
    right->addWidget(cmdColour);
    right->addWidget(cmdResetColor);
    right->addSpacing(8);
    right->addWidget(limitLabel);
    right->addWidget(Text2);
    right->addWidget(chkActiveUpd);
    right->addStretch(1);
    right->addWidget(Slider2Font);
    right->addWidget(Tbox1Font);
    auto *layout = new QHBoxLayout(page);
    layout->addLayout(grid, 1);
    layout->addLayout(right, 1);
    return page;
}

QFrame *frmOptions::buildMultiBiblePage()
{
    auto *page = new QFrame(this);
    T2T = new ColorSample(page);
    T2B = new ColorSample(page);
    C2Fore = new QRadioButton(QStringLiteral("&Text"), page);
    C2Back = new QRadioButton(QStringLiteral("&Background"), page);
    auto *group = new QButtonGroup(page);
    group->addButton(C2Fore, 1);
    group->addButton(C2Back, 2);
    connect(group, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on)
            m_multiTarget = id;
    });
    cmdSetColorMulti = colorButton(QStringLiteral("Set &Color"), page);
    cmdResetColorMulti = colorButton(QStringLiteral("&Reset to Default"), page);
    connect(cmdSetColorMulti, &QPushButton::clicked, this, [this] { cmdSetColorMulti_Click(); });
    connect(cmdResetColorMulti, &QPushButton::clicked, this, [this] { cmdResetColorMulti_Click(); });
    Slider1Font = fontSlider(page);
    Tboxfont = fontSample(page);
    connect(Slider1Font, &QSlider::valueChanged, this, [this](int size) { showFontSize(Tboxfont, size); });

    auto *grid = new QGridLayout;
    grid->addWidget(heading(page), 0, 0, 1, 2);
    grid->addWidget(C2Fore, 1, 0);
    grid->addWidget(T2T, 1, 1);
    grid->addWidget(C2Back, 2, 0);
    grid->addWidget(T2B, 2, 1);
    grid->setRowStretch(3, 1);
    auto *right = new QVBoxLayout;
    right->addWidget(cmdSetColorMulti);
    right->addWidget(cmdResetColorMulti);
    right->addStretch(1);
    right->addWidget(Slider1Font);
    right->addWidget(Tboxfont);
    auto *layout = new QHBoxLayout(page);
    layout->addLayout(grid, 1);
    layout->addLayout(right, 1);
    return page;
}

QFrame *frmOptions::buildMiscPage()
{
    auto *page = new QFrame(this);
    chkSplash = new QCheckBox(QStringLiteral("&Show Splash Screen on Startup"), page);
    chkDeleteOnExit = new QCheckBox(QStringLiteral("&Delete Temporary Files on Exit"), page);
    connect(chkDeleteOnExit, &QCheckBox::toggled, this, [](bool on) { gDeleteTempFilesOnExit = on; });
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(chkSplash);
    layout->addWidget(chkDeleteOnExit);
    layout->addStretch(1);
    return page;
}

void frmOptions::FormLoad()
{
    // Each step on its own: a step that fails leaves the others done.
    IgnoreErrors([this] {
        // "1", "-1" and "True" all mean on, as start-up reads them; so does a missing key.
        const QString stored = GetString(QStringLiteral("ShowSplash"), QString());
        chkSplash->setChecked(VbConvert::toBoolean(stored).value_or(Preferences{}.showSplash));
    });
    IgnoreErrors([this] { setWindowTitle(GetMsg(1, 24, MiscHelpers::ProductTitle())); });
    Text2->setText(QString::number(gMaxCountSize));
    for (ColorSample *sample : TH)
        sample->setBackColor(gBib1BC);
    const QList<quint32> highlights{gBib1H1, gBib1H2, gBib1H3, gBib1H4, gBib1H5};
    for (int i = 0; i < TH.size(); ++i)
        TH[i]->setForeColor(highlights[i]);
    for (ColorSample *sample : {TT, TB}) {
        sample->setBackColor(gBib1BC);
        sample->setForeColor(gBib1TC);
    }
    for (ColorSample *sample : {T2T, T2B}) {
        sample->setForeColor(gBib2TC);
        sample->setBackColor(gBib2BC);
    }
    chkDeleteOnExit->setChecked(gDeleteTempFilesOnExit);
    Slider1Font->setValue(gBib2Fontsize);
    showFontSize(Tboxfont, gBib2Fontsize);
    Slider2Font->setValue(gBib1Fontsize);
    showFontSize(Tbox1Font, gBib1Fontsize);
    OTB->setChecked(true);
    C2Fore->setChecked(true);
    chkActiveUpd->setChecked(gActiveUpdateBib1);
    frmPrecedence->FillList();
}

void frmOptions::ShowModal()
{
    ModalOpener<frmOptions>::show();
}

void frmOptions::Register()
{
    MenuTargets::Register(MenuTargets::Options, {{}, {}, [] { ShowModal(); }});
}

std::function<void()> frmOptions::setShowModal(std::function<void()> show)
{
    return ModalOpener<frmOptions>::replace(std::move(show));
}

void frmOptions::TabStrip1_Click(int index)
{
    if (index == 3)
        frmPrecedence->LV->setFocus();
}

void frmOptions::showFontSize(QLineEdit *sample, int size)
{
    QFont font(gDefaultFont);
    font.setPointSize(size);
    sample->setFont(font);
    sample->setText(QStringLiteral("FontSize ") + QString::number(size) + QStringLiteral(" sample"));
}

void frmOptions::applySingleColor(quint32 color, bool resetting)
{
    if (m_singleTarget == 1) {
        TT->setForeColor(color);
        TB->setForeColor(color);
    } else if (m_singleTarget == 2) {
        for (ColorSample *sample : {TT, TB})
            sample->setBackColor(resetting ? ResetBackColor : color);
        for (ColorSample *sample : TH)
            sample->setBackColor(resetting ? ResetBackColor : color);
    } else if (m_singleTarget >= 3 && m_singleTarget <= 7) {
        TH[m_singleTarget - 3]->setForeColor(color);
    }
}

void frmOptions::applyMultiColor(quint32 color, bool resetting)
{
    for (ColorSample *sample : {T2T, T2B}) {
        if (m_multiTarget == 1)
            sample->setForeColor(color);
        else if (m_multiTarget == 2)
            sample->setBackColor(resetting ? ResetBackColor : color);
    }
}

void frmOptions::chooseColor(const QString &routine, void (frmOptions::*apply)(quint32, bool))
{
    TrapErrors(routine, [this, apply] {
        // The colour dialog starts from the colour last chosen in this opening.
        if (const std::optional<quint32> color = desktop().chooseColor(m_lastColor)) {
            m_lastColor = *color;
            (this->*apply)(*color, false);
        }
    });
}

void frmOptions::cmdColour_Click()
{
    chooseColor(QStringLiteral("frmOptions.cmdColour_Click()"), &frmOptions::applySingleColor);
}

void frmOptions::cmdSetColorMulti_Click()
{
    chooseColor(QStringLiteral("frmOptions.cmdSetColorMulti_Click()"), &frmOptions::applyMultiColor);
}

void frmOptions::cmdResetColor_Click()
{
    applySingleColor(ResetTextColor, true);
}

void frmOptions::cmdResetColorMulti_Click()
{
    applyMultiColor(ResetTextColor, true);
}

bool frmOptions::eventFilter(QObject *watched, QEvent *event)
{
    // Leaving the box for Cancel is no reason to complain about its text: Cancel drops it.
    if (watched == Text2 && event->type() == QEvent::FocusOut && !m_checkingLimit && isVisible() &&
        QApplication::focusWidget() != cmdCancel)
        Text2_LostFocus();
    return QDialog::eventFilter(watched, event);
}

bool frmOptions::Text2_LostFocus()
{
    // The message box takes the focus away again; that must not check twice.
    if (m_checkingLimit)
        return false;
    m_checkingLimit = true;
    if (Text2->text().trimmed().isEmpty())
        Text2->setText(QStringLiteral("0"));
    const std::optional<double> limit = VbConvert::toNumber(Text2->text());
    bool accepted = true;
    if (limit && *limit > MaxHighlights) {
        desktop().messageBox(GetMsg(0, 85, QString::number(MaxHighlights)), MsgBoxStyle::Exclamation,
                             QString());
        accepted = false;
    } else if (!limit || *limit < MinHighlights) {
        // Text that is no number is refused like one too small.
        desktop().messageBox(GetMsg(0, 86, QString::number(MinHighlights)), MsgBoxStyle::Exclamation,
                             QString());
        accepted = false;
    }
    if (!accepted)
        Text2->setFocus();
    m_checkingLimit = false;
    return accepted;
}

void frmOptions::cmdSave_Click()
{
    if (!Text2_LostFocus())
        return;
    DeferredErrors errors(QStringLiteral("frmOptions.cmdSave_Click()"));
    errors.step([this] { gMaxCountSize = VbConvert::toInt32(Text2->text()).value_or(gMaxCountSize); });
    gBib1TC = TT->foreColor();
    gBib1BC = TT->backColor();
    gBib1H1 = TH[0]->foreColor();
    gBib1H2 = TH[1]->foreColor();
    gBib1H3 = TH[2]->foreColor();
    gBib1H4 = TH[3]->foreColor();
    gBib1H5 = TH[4]->foreColor();
    gBib2TC = T2T->foreColor();
    gBib2BC = T2T->backColor();
    gBib2Fontsize = quint8(Tboxfont->font().pointSize());
    gBib1Fontsize = quint8(Tbox1Font->font().pointSize());
    gDeleteTempFilesOnExit = chkDeleteOnExit->isChecked();
    errors.step([this] { Registry_::StoreChoices([this] { storeSettings(); }); });
    errors.report();
    close();
}

void frmOptions::storeSettings()
{
    SaveString(QStringLiteral("ModulePath"), gModuleFolder, QStringLiteral("Module_Path"));
    Registry_::SaveLong(QStringLiteral("MAXCountSize"), gMaxCountSize);
    for (const ColourSetting &entry : ColourSettings)
        Registry_::SaveLong(QLatin1String(entry.key), qint32(gColours.*entry.member));
    SaveString(QStringLiteral("Bib2Fontsize"), QString::number(gBib2Fontsize));
    SaveString(QStringLiteral("Bib1Fontsize"), QString::number(gBib1Fontsize));
    // These switches are stored as the runtime writes True and False in numbers.
    const auto flag = [](bool on) { return on ? QStringLiteral("-1") : QStringLiteral("0"); };
    SaveString(QStringLiteral("ActiveUpdateBib1"), flag(gActiveUpdateBib1));
    SaveString(QStringLiteral("DeleteTempFilesOnExit"), flag(gDeleteTempFilesOnExit));
    SaveString(QStringLiteral("ShowSplash"),
               chkSplash->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
}

void frmOptions::cmdCancel_Click()
{
    close();
}
