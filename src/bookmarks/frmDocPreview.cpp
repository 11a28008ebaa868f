#include "bookmarks/frmDocPreview.h"

#include "controls/ImageList.h"
#include "core/Bug_.h"
#include "core/GlobalVars.h"
#include "core/MiscHelpers.h"
#include "core/MsgSupport.h"
#include "mainwindow/MenuTargets.h"
#include "mainwindow/WorkspaceDocument.h"
#include "platform/Desktop.h"
#include "platform/DocumentPrinter.h"
#include "platform/ModalOpener.h"
#include "platform/OleColor.h"
#include "platform/PageLayout.h"
#include "platform/PageLayoutCache.h"
#include "platform/RichTextBox.h"
#include "platform/Twips.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTextDocument>
#include <QToolButton>
#include <cmath>
#include <utility>

namespace {
const QStringList ZoomTexts = {QStringLiteral("150"), QStringLiteral("100"), QStringLiteral("75"),
                               QStringLiteral("50"), QStringLiteral("25")};
constexpr qint32 MsgPictureFailed = 12;
constexpr qint32 MsgWorkspaceMinimised = 13;
constexpr qint32 MsgNoRoomForText = 148;
constexpr qint32 MsgPrinterNotStarted = 149;

// The layout DocPreviewProc hands to the window it opens.
std::shared_ptr<const PageLayout> &pendingLayout()
{
    static std::shared_ptr<const PageLayout> layout;
    return layout;
}

QIcon zoomIcon(bool in)
{
    const QIcon themed = QIcon::fromTheme(in ? QStringLiteral("zoom-in") : QStringLiteral("zoom-out"));
    if (!themed.isNull())
        return themed;
    QPixmap picture(32, 32);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(2, 2);
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.setBrush(QColor(200, 225, 255));
    p.drawEllipse(QPointF(6.5, 6.5), 5, 5);
    p.setPen(QPen(QColor(120, 80, 30), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10.5, 10.5), QPointF(14.5, 14.5));
    p.setPen(QPen(QColor(40, 90, 170), 1.5));
    p.drawLine(QPointF(4, 6.5), QPointF(9, 6.5));
    if (in)
        p.drawLine(QPointF(6.5, 4), QPointF(6.5, 9));
    return QIcon(picture);
}

QToolButton *pictureButton(const QIcon &icon, const QString &tip, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setIcon(icon);
    button->setIconSize(QSize(16, 16));
    button->setToolTip(tip);
    button->setAutoRaise(true);
    return button;
}

void setBackground(QWidget *widget, quint32 colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, OleColor::toQColor(colour));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// The window unloads however its showing ends.
struct UnloadPreview
{
    UnloadPreview() = default;
    UnloadPreview(const UnloadPreview &) = delete;
    UnloadPreview &operator=(const UnloadPreview &) = delete;
    ~UnloadPreview()
    {
        DefaultInstance<frmDocPreview>::release();
        pendingLayout().reset();
    }
};

void noRoomForText()
{
    desktop().messageBox(GetMsg(0, MsgNoRoomForText), MsgBoxStyle::OKOnly | MsgBoxStyle::Exclamation,
                         QString());
}
} // namespace

frmDocPreview::frmDocPreview()
{
    setObjectName(QStringLiteral("frmDocPreview"));
    m_layout = std::move(pendingLayout());
    if (!m_layout) {
        const QTextDocument empty;
        m_layout = std::make_shared<const PageLayout>(empty, DocumentPrinter::printer(), PrintMargins());
    }
    buildControls();
    Form_Load();
}

frmDocPreview::~frmDocPreview() = default;

void frmDocPreview::buildControls()
{
    auto *bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("toolbar"));
    cmdPrint = pictureButton(ImageList::OwnPicture(5), QStringLiteral("Print"), bar);
    const QIcon themedPrint = QIcon::fromTheme(ImageList::ThemeName(5));
    if (!themedPrint.isNull())
        cmdPrint->setIcon(themedPrint);
    cmdZoomIn = pictureButton(zoomIcon(true), QStringLiteral("Zoom in"), bar);
    cmdZoomOut = pictureButton(zoomIcon(false), QStringLiteral("Zoom out"), bar);
    cboScale = new QComboBox(bar);
    cmdPrevPage = new QPushButton(QStringLiteral("<"), bar);
    cmdPrevPage->setToolTip(QStringLiteral("Prev page"));
    cmdNextPage = new QPushButton(QStringLiteral(">"), bar);
    cmdNextPage->setToolTip(QStringLiteral("Next page"));
    for (QPushButton *button : {cmdPrevPage, cmdNextPage})
        button->setFixedWidth(32);
    cboPageNo = new QComboBox(bar);
    cboPageNo->setMinimumContentsLength(4);
    txtTotalPages = new QLineEdit(bar);
    txtTotalPages->setReadOnly(true);
    txtTotalPages->setFixedWidth(130);
    cmdClose = new QPushButton(QStringLiteral("Close"), bar);
    cmdClose->setToolTip(QStringLiteral("Close Window"));

    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(4, 4, 4, 4);
    for (QWidget *w : std::initializer_list<QWidget *>{cmdPrint, cmdZoomIn, cmdZoomOut, cboScale, cmdPrevPage,
                                                       cmdNextPage, cboPageNo, txtTotalPages})
        row->addWidget(w);
    row->addStretch(1);
    row->addWidget(cmdClose);
    bar->setGeometry(0, 0, 800, bar->sizeHint().height());

    PicZ = new QWidget(this);
    PicZ->setObjectName(QStringLiteral("PicZ"));
    setBackground(PicZ, 0x8000000C);
    PicZ->move(0, bar->height());
    for (int i = 1; i <= 5; ++i) {
        Pic[i] = new QLabel(PicZ);
        Pic[i]->setObjectName(QStringLiteral("Pic%1").arg(i));
        Pic[i]->setFrameShape(QFrame::Box);
        Pic[i]->setLineWidth(1);
        setBackground(Pic[i], 0x80000005);
        Pic[i]->hide();
    }
    VScroll1 = new QScrollBar(Qt::Vertical, this);
    HScroll1 = new QScrollBar(Qt::Horizontal, this);

    connect(cboPageNo, &QComboBox::activated, this, [this] { cboPageNo_Click(); });
    connect(cboScale, &QComboBox::activated, this, [this] { cboScale_Click(); });
    connect(cmdPrevPage, &QPushButton::clicked, this, [this] { cmdPrevPage_Click(); });
    connect(cmdNextPage, &QPushButton::clicked, this, [this] { cmdNextPage_Click(); });
    connect(cmdZoomIn, &QToolButton::clicked, this, [this] { cmdZoomIn_Click(); });
    connect(cmdZoomOut, &QToolButton::clicked, this, [this] { cmdZoomOut_Click(); });
    connect(cmdPrint, &QToolButton::clicked, this, [this] { cmdPrint_Click(); });
    connect(cmdClose, &QPushButton::clicked, this, [this] { cmdClose_Click(); });
    // Only the picture shown moves; each keeps its own place when the zoom changes.
    connect(HScroll1, &QScrollBar::valueChanged, this, [this](int value) {
        if (ZoomIndex >= 1 && ZoomIndex <= 5)
            Pic[ZoomIndex]->move(-value, Pic[ZoomIndex]->y());
    });
    connect(VScroll1, &QScrollBar::valueChanged, this, [this](int value) {
        if (ZoomIndex >= 1 && ZoomIndex <= 5)
            Pic[ZoomIndex]->move(Pic[ZoomIndex]->x(), -value);
    });
    resize(820, 640);
}

void frmDocPreview::Form_Load()
{
    WaitCursor wait;
    setWindowTitle(GetMsg(1, 7, MiscHelpers::ProductTitle()));
    gPrintRequested = false;

    const QSizeF area = m_layout->printableArea();
    m_printableTwips = QSizeF(area.width() / m_layout->resolution() * Twips::PerInch,
                              area.height() / m_layout->resolution() * Twips::PerInch);
    for (int i = 1; i <= 5; ++i)
        Pic[i]->resize(ZoomPictureSize(i, m_printableTwips) + QSize(2, 2));

    PageCount = m_layout->pageCount();
    txtTotalPages->setText(QStringLiteral("Total %1 pages").arg(PageCount));
    cboPageNo->clear();
    for (int page = 1; page <= PageCount; ++page)
        cboPageNo->addItem(QString::number(page));
    cboPageNo->setCurrentIndex(0);
    UpdatePageButtons();

    for (QScrollBar *bar : {HScroll1, VScroll1}) {
        bar->setRange(0, 1000);
        bar->setSingleStep(20);
        bar->setPageStep(200);
    }
    cboScale->addItems(ZoomTexts);
    cboScale->setCurrentIndex(4);
    cboScale_Click();

    if (!FormPreviewPage(1))
        return;
    LayoutPages();
}

QSize frmDocPreview::ZoomPictureSize(int zoomIndex, const QSizeF &printableTwips)
{
    const double w = printableTwips.width();
    const double h = printableTwips.height();
    double tw = w, th = h;
    switch (zoomIndex) {
    case 1:
        tw = std::nearbyint(w * std::sqrt(1.5));
        th = std::nearbyint(h * std::sqrt(1.5));
        break;
    case 3:
    case 4:
    case 5: {
        const double percent = zoomIndex == 3 ? 75 : zoomIndex == 4 ? 50 : 25;
        tw = std::nearbyint(percent * w / 100);
        th = std::nearbyint(percent * h / 100);
        break;
    }
    default:
        break;
    }
    return QSize(Twips::toPixelsX(tw), Twips::toPixelsY(th));
}

// Every zoom picture is drawn from the page layout at its own scale, so each is
// as sharp as the screen allows; a zoom change then only shows another picture.
// Pending events run between the pictures, so a page chosen meanwhile does not
// draw inside this drawing: it is noted, and drawn in place of the rest of this one.
bool frmDocPreview::FormPreviewPage(int page)
{
    m_pendingPage = page;
    if (m_drawing)
        return false;
    const QScopedValueRollback<bool> drawing(m_drawing, true);
    WaitCursor wait;
    while (m_pendingPage > 0) {
        const int shown = std::exchange(m_pendingPage, 0);
        for (int i = 1; i <= 5 && m_pendingPage == 0; ++i) {
            QCoreApplication::processEvents();
            if (m_pendingPage == 0 && !ShowZoomedPages(shown, i))
                return false;
        }
    }
    return true;
}

bool frmDocPreview::ShowZoomedPages(int page, int zoomIndex)
{
    const QImage image = m_layout->pageImage(page, ZoomPictureSize(zoomIndex, m_printableTwips));
    if (image.isNull()) {
        desktop().messageBox(GetMsg(0, MsgPictureFailed, QString()), MsgBoxStyle::OKOnly, QString());
        return false;
    }
    Pic[zoomIndex]->setPixmap(QPixmap::fromImage(image));
    return true;
}

void frmDocPreview::LayoutPages()
{
    if (ZoomIndex < 1 || ZoomIndex > 5)
        return;
    for (int i = 1; i <= 5; ++i)
        Pic[i]->setVisible(i == ZoomIndex);
}

int frmDocPreview::ShownPageNumber() const
{
    return cboPageNo->currentText().toInt();
}

void frmDocPreview::UpdatePageButtons()
{
    const int page = ShownPageNumber();
    cmdPrevPage->setEnabled(PageCount != 1 && page != 1);
    cmdNextPage->setEnabled(PageCount != 1 && page != PageCount);
}

void frmDocPreview::UpdateZoomButtons()
{
    cmdZoomIn->setEnabled(ZoomIndex != 1);
    cmdZoomOut->setEnabled(ZoomIndex != 5);
}

void frmDocPreview::ShowPage(int page)
{
    UpdatePageButtons();
    if (!FormPreviewPage(page))
        return;
    LayoutPages();
}

void frmDocPreview::cboPageNo_Click()
{
    ShowPage(cboPageNo->currentIndex() + 1);
}

void frmDocPreview::cmdPrevPage_Click()
{
    if (PageCount == 1 || ShownPageNumber() <= 1)
        return;
    cboPageNo->setCurrentIndex(cboPageNo->currentIndex() - 1);
    cboPageNo_Click();
}

void frmDocPreview::cmdNextPage_Click()
{
    if (PageCount == 1 || ShownPageNumber() >= PageCount)
        return;
    cboPageNo->setCurrentIndex(cboPageNo->currentIndex() + 1);
    cboPageNo_Click();
}

void frmDocPreview::cboScale_Click()
{
    const int index = ZoomTexts.indexOf(cboScale->currentText());
    if (index >= 0)
        ZoomIndex = index + 1;
    UpdateZoomButtons();
    LayoutPages();
}

void frmDocPreview::cmdZoomIn_Click()
{
    if (ZoomIndex == 1)
        return;
    --ZoomIndex;
    cboScale->setCurrentIndex(ZoomIndex - 1);
    UpdateZoomButtons();
    LayoutPages();
}

void frmDocPreview::cmdZoomOut_Click()
{
    if (ZoomIndex == 5)
        return;
    ++ZoomIndex;
    cboScale->setCurrentIndex(ZoomIndex - 1);
    UpdateZoomButtons();
    LayoutPages();
}

void frmDocPreview::cmdPrint_Click()
{
    gPrintRequested = true;
    done(QDialog::Accepted);
}

void frmDocPreview::cmdClose_Click()
{
    done(QDialog::Rejected);
}

void frmDocPreview::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    if (isMinimized() || !PicZ)
        return;
    const int width = this->width();
    const int height = this->height();
    if (QWidget *bar = findChild<QWidget *>(QStringLiteral("toolbar")))
        bar->resize(width, bar->height());
    const int vw = VScroll1->sizeHint().width();
    const int hh = HScroll1->sizeHint().height();
    HScroll1->setGeometry(0, height - hh, std::max(0, width - vw), hh);
    VScroll1->setGeometry(width - vw, PicZ->y(), vw, std::max(0, height - PicZ->y() - hh));
    PicZ->resize(std::max(0, width - PicZ->x() - vw), std::max(0, height - PicZ->y() - hh));
}

void frmDocPreview::SetPrintMargins()
{
    const float factor = gCM_IN ? 1.0f : 1.0f / 25.4f;
    gPrintMarginLeft = gMarginLeft * factor;
    gPrintMarginRight = gMarginRight * factor;
    gPrintMarginTop = gTopMargin * factor;
    gPrintMarginBottom = gBottomMargin * factor;
    if (gFitToDesktop)
        gPrintMarginLeft = gPrintMarginRight = 0;
}

QMarginsF frmDocPreview::PrintMargins()
{
    return QMarginsF(gPrintMarginLeft, gPrintMarginTop, gPrintMarginRight, gPrintMarginBottom);
}

void frmDocPreview::DocPreviewProc()
{
    const WorkspaceDocument::Access &workspace = WorkspaceDocument::Get();
    RichTextBox *pane = workspace.pane();
    Assert(pane != nullptr, QStringLiteral("The search workspace has no document pane."));
    if (pane)
        DocPreviewProc(*pane, workspace.window ? workspace.window() : nullptr);
}

void frmDocPreview::DocPreviewProc(QTextEdit &pane, QWidget *owner)
{
    SetPrintMargins();
    PageLayoutCache layouts;
    {
        WaitCursor wait;
        pendingLayout() = layouts.layout(*pane.document(), DocumentPrinter::printer(), PrintMargins());
    }
    if (!pendingLayout()->isValid()) {
        pendingLayout().reset();
        noRoomForText();
        return;
    }
    gPrintRequested = false;
    {
        const UnloadPreview unload;
        ModalOpener<frmDocPreview>::show();
    }
    if (gPrintRequested)
        DocPrintProc(pane, owner, layouts);
}

void frmDocPreview::DocPrintProc()
{
    const WorkspaceDocument::Access &workspace = WorkspaceDocument::Get();
    if (RichTextBox *pane = workspace.pane())
        DocPrintProc(*pane, workspace.window ? workspace.window() : nullptr);
}

void frmDocPreview::DocPrintProc(QTextEdit &pane, QWidget *owner)
{
    PageLayoutCache layouts;
    DocPrintProc(pane, owner, layouts);
}

void frmDocPreview::DocPrintProc(QTextEdit &pane, QWidget *owner, PageLayoutCache &layouts)
{
    QCoreApplication::processEvents();
    QPrinter &printer = DocumentPrinter::printer();
    PrintDialogOptions options;
    options.title = QStringLiteral("Print");
    {
        WaitCursor wait;
        options.pageCount = layouts.layout(*pane.document(), printer, PrintMargins())->pageCount();
    }
    if (!desktop().printDialog(printer, options))
        return;
    if (owner && owner->isMinimized()) {
        desktop().messageBox(GetMsg(0, MsgWorkspaceMinimised, QString()), MsgBoxStyle::OKOnly, QString());
        return;
    }

    WaitCursor wait;
    const int printed = DocumentPrinter::printChosenPages(printer, pane, PrintMargins(), layouts);
    if (printed == DocumentPrinter::NoRoomForText) {
        noRoomForText();
    } else if (printed == DocumentPrinter::PrinterNotStarted) {
        const QString name =
            printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
        desktop().messageBox(GetMsg(0, MsgPrinterNotStarted, name),
                             MsgBoxStyle::OKOnly | MsgBoxStyle::Exclamation, QString());
    }
}

void frmDocPreview::Register()
{
    MenuTargets::Register(MenuTargets::PrintPreview, {{}, {}, [] { DocPreviewProc(); }});
    MenuTargets::RegisterPanePreview([](QTextEdit &pane, QWidget *owner) { DocPreviewProc(pane, owner); });
}

std::function<void()> frmDocPreview::setShowModal(std::function<void()> show)
{
    return ModalOpener<frmDocPreview>::replace(std::move(show));
}
