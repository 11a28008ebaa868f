#include "bookmarks/PageSetup.h"

#include "core/Bug_.h"
#include "core/CheckedNumber.h"
#include "core/GlobalVars.h"
#include "core/MiscHelpers.h"
#include "core/MsgSupport.h"
#include "core/PageSettings.h"
#include "core/Registry_.h"
#include "mainwindow/MenuTargets.h"
#include "mainwindow/WorkspaceDocument.h"
#include "platform/Desktop.h"
#include "platform/DocumentPrinter.h"
#include "platform/ModalOpener.h"
#include "platform/RichTextBox.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPageLayout>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {
constexpr int LengthRefusedMsg = 154;
constexpr int LengthRangeMsg = 155;
constexpr int TooLittleRoomMsg = 248;

// The least room the text keeps between the side margins: an inch, or 25 mm in
// millimetres (the catalog's text states both). It holds a few words a line at
// the reading sizes; much narrower, the notes break into a letter or two a line.
// The pane lays the text out between the margins within the page width, as
// printing does within the paper's printable area with the same margins, so the
// room is measured the same way: width less the left and the right margin.
constexpr float LeastTextWidthInches = 1.0f;
constexpr float LeastTextWidthMillimetres = 25.0f;

float leastTextWidth()
{
    return gCM_IN ? LeastTextWidthInches : LeastTextWidthMillimetres;
}

QString withUnit(float length)
{
    return PageSettings::LengthText(length) + (gCM_IN ? QStringLiteral(" in") : QStringLiteral(" mm"));
}

// The width of the printer's paper (as the print dialog last set it) in the unit
// in force, rounded to an entry of the width list; none when the printer names no
// paper.
std::optional<float> paperWidth()
{
    const QPageLayout paper = DocumentPrinter::printer().pageLayout();
    const float width = float(paper.fullRect(gCM_IN ? QPageLayout::Inch : QPageLayout::Millimeter).width());
    if (!paper.isValid() || !(width > 0))
        return std::nullopt;
    const CheckedNumber::Range<float> offered = PageSettings::OfferedWidth();
    return std::clamp(PageSetup::RoundTo(width, gCM_IN ? 1 : 0), offered.min, offered.max);
}

QComboBox *lengthBox(QWidget *parent)
{
    auto *box = new QComboBox(parent);
    // The boxes take typing; a typed length is read when the dialog is confirmed.
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMaxVisibleItems(15);
    box->setMinimumContentsLength(6);
    return box;
}

void fill(QComboBox *box, const QStringList &entries, float value)
{
    box->clear();
    box->addItems(entries);
    box->setEditText(PageSettings::LengthText(value));
}

// The entries of a list: whole millimetres, or inches in tenths.
QStringList lengthEntries(CheckedNumber::Range<float> range, bool inches)
{
    QStringList entries;
    for (int i = int(range.min); i <= int(range.max); ++i) {
        if (!inches) {
            entries.append(QString::number(i));
            continue;
        }
        for (int j = 0; j <= 9; ++j)
            entries.append(QStringLiteral("%1.%2").arg(i).arg(j));
    }
    return entries;
}

float chosenLength(const QComboBox *box, float current)
{
    return PageSettings::ParseLength(box->currentText()).value_or(current);
}

// A length is taken when it lies between the first and the last entry of the
// box's list: the lengths the dialog offers in the unit shown.
bool withinList(const QComboBox *box, std::optional<float> length)
{
    const std::optional<float> low = PageSettings::ParseLength(box->itemText(0));
    const std::optional<float> high = PageSettings::ParseLength(box->itemText(box->count() - 1));
    return length && low && high && CheckedNumber::Range<float>{*low, *high}.contains(*length);
}

QString listRange(const QComboBox *box)
{
    return box->itemText(0) + QStringLiteral(" - ") + box->itemText(box->count() - 1);
}
} // namespace

PageSetup::PageSetup()
{
    setObjectName(QStringLiteral("PageSetup"));
    buildControls();
    Form_Load();
}

void PageSetup::buildControls()
{
    F1 = new QGroupBox(QStringLiteral("Unit of Measure"), this);
    optCM = new QRadioButton(QStringLiteral("Millimeters"), F1);
    optIN = new QRadioButton(QStringLiteral("Inches"), F1);
    optNone = new QRadioButton(QStringLiteral("Fit to Form"), F1);
    auto *units = new QVBoxLayout(F1);
    for (QRadioButton *option : {optCM, optIN, optNone})
        units->addWidget(option);

    cboWidth = lengthBox(this);
    cboLeft = lengthBox(this);
    cboRight = lengthBox(this);
    lblWidth = new QLabel(QStringLiteral("Page Width"), this);
    lblLeft = new QLabel(QStringLiteral("Left Margin"), this);
    lblRight = new QLabel(QStringLiteral("Right Margin"), this);
    chkAll = new QCheckBox(QStringLiteral("Apply to All Forms"), this);

    Frame1 = new QGroupBox(QStringLiteral("Printing Only"), this);
    cboTop = lengthBox(Frame1);
    cboBottom = lengthBox(Frame1);
    lblTop = new QLabel(QStringLiteral("Top Margin"), Frame1);
    lblBottom = new QLabel(QStringLiteral("Bottom Margin"), Frame1);
    auto *printing = new QGridLayout(Frame1);
    printing->addWidget(cboTop, 0, 0);
    printing->addWidget(lblTop, 0, 1);
    printing->addWidget(cboBottom, 1, 0);
    printing->addWidget(lblBottom, 1, 1);

    cmdINDEX = new QPushButton(QStringLiteral("OK"), this);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdINDEX->setDefault(true);

    auto *grid = new QGridLayout(this);
    auto *sizes = new QGridLayout;
    sizes->addWidget(cboWidth, 0, 0);
    sizes->addWidget(lblWidth, 0, 1);
    sizes->addWidget(cboLeft, 1, 0);
    sizes->addWidget(lblLeft, 1, 1);
    sizes->addWidget(cboRight, 2, 0);
    sizes->addWidget(lblRight, 2, 1);
    sizes->addWidget(chkAll, 3, 0, 1, 2);
    sizes->setColumnMinimumWidth(1, 130);
    auto *buttons = new QVBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdINDEX);
    buttons->addWidget(cmdCancel);
    grid->addWidget(F1, 0, 0);
    grid->addLayout(sizes, 0, 1);
    grid->addWidget(Frame1, 1, 0);
    grid->addLayout(buttons, 1, 1, Qt::AlignRight | Qt::AlignBottom);

    // An option's handler runs when it becomes selected, also from code.
    connect(optCM, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            optCM_Click();
    });
    connect(optIN, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            optIN_Click();
    });
    connect(optNone, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            optNone_Click();
    });
    connect(cboWidth, &QComboBox::activated, this, [this] { cboWidth_Click(); });
    connect(cboLeft, &QComboBox::activated, this, [this] { cboLeft_Click(); });
    connect(cboRight, &QComboBox::activated, this, [this] { cboRight_Click(); });
    connect(cboTop, &QComboBox::activated, this, [this] { cboTop_Click(); });
    connect(cboBottom, &QComboBox::activated, this, [this] { cboBottom_Click(); });
    connect(chkAll, &QCheckBox::toggled, this, [this] { chkAll_Click(); });
    connect(cmdINDEX, &QPushButton::clicked, this, [this] { cmdINDEX_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

void PageSetup::Form_Load()
{
    PageSettings::ReadPageSettings(false);
    m_opened = {gCM_IN, gWidthPage, gMarginLeft, gMarginRight, gTopMargin, gBottomMargin, gFitToDesktop};
    setWindowTitle(GetMsg(1, 19, MiscHelpers::ProductTitle()));
    (gCM_IN ? optIN : optCM)->setChecked(true);
    if (gFitToDesktop)
        optNone->setChecked(true);
    if (!gCM_IN) {
        gWidthPage = RoundTo(gWidthPage, 0);
        gMarginLeft = RoundTo(gMarginLeft, 0);
        gMarginRight = RoundTo(gMarginRight, 0);
    }
    chkAll->setChecked(gApplyToAllForms);
    if (!gFitToDesktop)
        OfferPaperWidth();
    FillCombos();
}

// A page width never set (0 on a first run) is no page: leaving "Fit to Form",
// the reader finds the width of the printer's paper in the box instead.
void PageSetup::OfferPaperWidth()
{
    if (PageSettings::OfferedWidth().contains(gWidthPage))
        return;
    if (const std::optional<float> width = paperWidth())
        gWidthPage = *width;
}

float PageSetup::RoundTo(float value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return float(std::nearbyint(double(value) * scale) / scale);
}

void PageSetup::FillCombos()
{
    const bool inches = gCM_IN;
    const QString unit = inches ? QStringLiteral(" Inch") : QStringLiteral(" mm");
    const QStringList widths = lengthEntries(PageSettings::OfferedWidth(), inches);
    const QStringList margins = lengthEntries(PageSettings::OfferedMargin(), inches);
    fill(cboWidth, widths, gWidthPage);
    fill(cboLeft, margins, gMarginLeft);
    fill(cboRight, margins, gMarginRight);
    fill(cboTop, margins, gTopMargin);
    fill(cboBottom, margins, gBottomMargin);
    lblWidth->setText(QStringLiteral("Page Width") + unit);
    lblLeft->setText(QStringLiteral("Left Margin") + unit);
    lblRight->setText(QStringLiteral("Right Margin") + unit);
    lblTop->setText(QStringLiteral("Top Margin") + unit);
    lblBottom->setText(QStringLiteral("Bottom Margin") + unit);
    if (optNone->isChecked()) {
        for (QLabel *label : {lblWidth, lblLeft, lblRight})
            label->setText(QStringLiteral("Ignored"));
    }
}

void PageSetup::setSideBoxesEnabled(bool enabled)
{
    for (QComboBox *box : {cboWidth, cboLeft, cboRight})
        box->setEnabled(enabled);
}

void PageSetup::optCM_Click()
{
    if (UnitReady)
        takeTypedLengths(false);
    setSideBoxesEnabled(true);
    const bool chosen = UnitReady;
    if (UnitReady && gCM_IN) {
        for (float *value : {&gWidthPage, &gMarginLeft, &gMarginRight, &gTopMargin, &gBottomMargin})
            *value = RoundTo(*value * 25.4f, 0);
    } else {
        UnitReady = true;
    }
    gCM_IN = false;
    if (chosen)
        OfferPaperWidth();
    FillCombos();
}

// Margins keep a tenth of an inch as the width does: whole inches would turn
// a margin of 10 mm into none.
void PageSetup::optIN_Click()
{
    if (UnitReady)
        takeTypedLengths(false);
    setSideBoxesEnabled(true);
    const bool chosen = UnitReady;
    if (UnitReady && !gCM_IN) {
        for (float *value : {&gWidthPage, &gMarginLeft, &gMarginRight, &gTopMargin, &gBottomMargin})
            *value = RoundTo(*value / 25.4f, 1);
    } else {
        UnitReady = true;
    }
    gCM_IN = true;
    if (chosen)
        OfferPaperWidth();
    FillCombos();
}

void PageSetup::optNone_Click()
{
    setSideBoxesEnabled(false);
    for (QLabel *label : {lblWidth, lblLeft, lblRight})
        label->setText(QStringLiteral("Ignored"));
}

void PageSetup::cboWidth_Click()
{
    gWidthPage = chosenLength(cboWidth, gWidthPage);
}
void PageSetup::cboLeft_Click()
{
    gMarginLeft = chosenLength(cboLeft, gMarginLeft);
}
void PageSetup::cboRight_Click()
{
    gMarginRight = chosenLength(cboRight, gMarginRight);
}
void PageSetup::cboTop_Click()
{
    gTopMargin = chosenLength(cboTop, gTopMargin);
}
void PageSetup::cboBottom_Click()
{
    gBottomMargin = chosenLength(cboBottom, gBottomMargin);
}

// The lengths typed into the boxes are taken where they are valid. A text that
// is no length of the box's list is refused with a message, the box shows the
// value it had before the typing and false is returned. A disabled box's text is
// not read. On OK (`everyBox`) a box that was not typed into is checked too: a
// width never set (0) must not become a page.
bool PageSetup::takeTypedLengths(bool everyBox)
{
    const std::pair<QComboBox *, float *> boxes[] = {{cboWidth, &gWidthPage},
                                                     {cboLeft, &gMarginLeft},
                                                     {cboRight, &gMarginRight},
                                                     {cboTop, &gTopMargin},
                                                     {cboBottom, &gBottomMargin}};
    for (const auto &[box, value] : boxes) {
        const QString typed = box->currentText().trimmed();
        if (!box->isEnabled()) {
            box->setEditText(PageSettings::LengthText(*value));
            continue;
        }
        if (!everyBox && typed == PageSettings::LengthText(*value))
            continue;
        const std::optional<float> length = PageSettings::ParseLength(typed);
        if (withinList(box, length)) {
            *value = *length;
            box->setEditText(PageSettings::LengthText(*value));
            continue;
        }
        // A length the box was given, not typed, has no earlier one to go back to.
        const QString range = GetMsg(0, LengthRangeMsg, listRange(box));
        desktop().messageBox(typed == PageSettings::LengthText(*value)
                                 ? range
                                 : GetMsg(0, LengthRefusedMsg, typed) + QStringLiteral("\r\n\r\n") + range,
                             MsgBoxStyle::Exclamation, QString());
        box->setEditText(PageSettings::LengthText(*value));
        box->setFocus();
        box->lineEdit()->selectAll();
        return false;
    }
    return true;
}

void PageSetup::chkAll_Click()
{
    gApplyToAllForms = chkAll->isChecked();
    Registry_::StoreChoices([] { PageSettings::SaveApplyToAllForms(); });
}

// Without "Fit to Form" the page width less the side margins must leave the
// text its least room; the reader is told the lengths and that least width.
bool PageSetup::leavesRoomForText()
{
    if (optNone->isChecked())
        return true;
    const float room = RoundTo(gWidthPage - gMarginLeft - gMarginRight, 2);
    if (room >= leastTextWidth())
        return true;
    const QString lengths = withUnit(gWidthPage) + QStringLiteral(" - ") + withUnit(gMarginLeft) +
                            QStringLiteral(" - ") + withUnit(gMarginRight) + QStringLiteral(" = ") +
                            withUnit(room);
    desktop().messageBox(GetMsg(0, TooLittleRoomMsg, lengths), MsgBoxStyle::Exclamation, QString());
    cboWidth->setFocus();
    cboWidth->lineEdit()->selectAll();
    return false;
}

void PageSetup::cmdINDEX_Click()
{
    if (takeTypedLengths(true) && leavesRoomForText())
        Form_Unload(0);
}

void PageSetup::cmdCancel_Click()
{
    Form_Unload(1);
}

void PageSetup::reject()
{
    cmdCancel_Click();
}

void PageSetup::closeEvent(QCloseEvent *event)
{
    if (!m_unloaded && !(takeTypedLengths(true) && leavesRoomForText())) {
        event->ignore();
        return;
    }
    Form_Unload(0);
    event->accept();
}

void PageSetup::restoreOpenedValues()
{
    gCM_IN = m_opened.cmIn;
    gWidthPage = m_opened.width;
    gMarginLeft = m_opened.left;
    gMarginRight = m_opened.right;
    gTopMargin = m_opened.top;
    gBottomMargin = m_opened.bottom;
    gFitToDesktop = m_opened.fit;
}

// OK saves and lays the pane out by the new values; Cancel leaves the settings
// as they were read, so the pane follows those (fit to window or not).
void PageSetup::Form_Unload(int cancel)
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    if (cancel == 0) {
        gFitToDesktop = optNone->isChecked();
        Registry_::StoreChoices([] {
            PageSettings::SavePageSettings();
            PageSettings::SaveFitToDesktop();
        });
    } else {
        restoreOpenedValues();
    }
    IgnoreErrors([&] { layOutPane(cancel); });
    hide();
    done(cancel == 0 ? QDialog::Accepted : QDialog::Rejected);
}

void PageSetup::layOutPane(int cancel)
{
    if (!WorkspaceDocument::IsRegistered())
        return;
    const WorkspaceDocument::Access &workspace = WorkspaceDocument::Get();
    RichTextBox *pane = workspace.pane();
    if (!pane)
        return;
    WithWholeTextSelected(*pane, [&] {
        if (cancel == 0) {
            const PageSettings::PaneLayout layout = PageSettings::PageLayoutOfSettings();
            pane->setRightMargin(layout.rightMargin);
            pane->setPageIndent(layout.indent);
        }
        if (gFitToDesktop) {
            pane->setRightMargin(0);
            pane->setPageIndent(0);
        } else if (workspace.enableWrapText) {
            workspace.enableWrapText();
        }
    });
}

void PageSetup::ShowModal()
{
    ModalOpener<PageSetup>::show();
    DefaultInstance<PageSetup>::release();
}

void PageSetup::Register()
{
    MenuTargets::Register(MenuTargets::PageSetup, {{}, {}, [] { ShowModal(); }});
}

std::function<void()> PageSetup::setShowModal(std::function<void()> show)
{
    return ModalOpener<PageSetup>::replace(std::move(show));
}
