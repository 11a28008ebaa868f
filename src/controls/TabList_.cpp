#include "controls/TabList_.h"

#include "abi/VirtualKeys.h"
#include "controls/FlatButton_.h"
#include "controls/WinApi_.h"
#include "core/Bug_.h"
#include "core/VariantHelpers_.h"
#include "platform/OleColor.h"
#include "platform/Twips.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr qint32 InitialUpperBound = 50;
constexpr int ScrollButtonTwips = 255;
constexpr int ArrowPointSize = 7;
constexpr int FocusHolderTwips = -1000;

FlatButton_ *makeScrollButton(QWidget *parent, const QString &arrow)
{
    auto *button = new FlatButton_(parent);
    button->ClickOnMouseDown = true;
    button->ClickOnMouseHold = true;
    button->setCaption(arrow);
    QFont arrowFont = button->font();
    arrowFont.setPointSize(ArrowPointSize);
    button->setFont(arrowFont);
    button->resize(Twips::toPixelsX(ScrollButtonTwips), Twips::toPixelsY(ScrollButtonTwips));
    // Scrolling leaves the keyboard focus (and so the current row) where it is.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}
} // namespace

TabList_::TabList_(QWidget *parent)
    : QWidget(parent)
    , m_captions(InitialUpperBound + 1)
    , m_data(InitialUpperBound + 1)
{
    btnDown = makeScrollButton(this, QStringLiteral("\u25B2"));
    btnUp = makeScrollButton(this, QStringLiteral("\u25BC"));
    connect(btnDown, &FlatButton_::Click, this, &TabList_::btnDown_Click);
    connect(btnUp, &FlatButton_::Click, this, &TabList_::btnUp_Click);

    // The focus holder is reached through the list (its focus proxy), never by
    // itself, so Tab stops once on the list.
    pixFocus = new QWidget(this);
    pixFocus->setFocusPolicy(Qt::ClickFocus);
    pixFocus->setGeometry(Twips::toPixelsX(FocusHolderTwips), Twips::toPixelsY(FocusHolderTwips), 1, 1);
    pixFocus->installEventFilter(this);
    setFocusProxy(pixFocus);
    // Tab reaches the list; a click on it does not take the focus.
    setFocusPolicy(Qt::TabFocus);
    setAutoFillBackground(true);
    UpdateScrollButtons();
}

TabList_::~TabList_() = default;

void TabList_::Clear()
{
    m_currentIndex = -1;
    m_committedIndex = -1;
    m_topIndex = 0;
    m_hasFocus = false;
    for (qint32 i = 0; i < m_count; ++i) {
        m_captions[i] = QString();
        m_data[i] = QVariant();
    }
    m_count = 0;
    UpdateScrollButtons();
    RepaintAll();
}

void TabList_::setSelectedItem(qint32 i)
{
    if (i >= m_count)
        return;
    moveCurrent(i < 0 ? -1 : i);
    CommitSelection();
}

QString TabList_::CaptionOfSelected() const
{
    return Captions(m_committedIndex);
}

void TabList_::setCaptionOfSelected(const QString &sNew)
{
    if (m_committedIndex >= 0)
        m_captions[m_committedIndex] = sNew;
}

QString TabList_::Captions(qint32 i) const
{
    return i >= 0 && i < m_count ? m_captions[i] : QString();
}

void TabList_::setCaptions(qint32 i, const QString &sNew)
{
    if (i < 0 || i >= m_count)
        return;
    m_captions[i] = sNew;
    RepaintAll();
}

QVariant TabList_::DatumOfSelected() const
{
    return Data(m_committedIndex);
}

void TabList_::setDatumOfSelected(const QVariant &vNew)
{
    if (m_committedIndex >= 0)
        VariantHelpers_::AssignVariant(m_data[m_committedIndex], vNew);
}

void TabList_::SelectDatum(const QVariant &datum)
{
    for (qint32 i = 0; i < m_count; ++i) {
        if (VariantHelpers_::VariantEquals(m_data[i], datum)) {
            setSelectedItem(i);
            return;
        }
    }
    if (m_count >= 1)
        setSelectedItem(0);
}

QVariant TabList_::Data(qint32 i) const
{
    return i >= 0 && i < m_count ? m_data[i] : QVariant();
}

void TabList_::setData(qint32 i, const QVariant &vNew)
{
    if (i >= 0 && i < m_count)
        VariantHelpers_::AssignVariant(m_data[i], vNew);
}

void TabList_::ensureCapacity()
{
    if (m_count < UpperBound())
        return;
    const qsizetype size = qsizetype(UpperBound()) * 2 + 1;
    m_captions.resize(size);
    m_data.resize(size);
}

QVariant TabList_::AddItem(const QString &sCaption, const QVariant &vData, qint32 index)
{
    ensureCapacity();
    index = qBound(0, index, m_count);
    for (qint32 j = m_count - 1; j >= index; --j) {
        m_captions[j + 1] = m_captions[j];
        m_data[j + 1] = m_data[j];
    }
    m_captions[index] = sCaption;
    VariantHelpers_::AssignVariant(m_data[index], vData);
    ++m_count;
    // The rows that were chosen keep their items.
    if (m_currentIndex >= index)
        ++m_currentIndex;
    if (m_committedIndex >= index)
        ++m_committedIndex;
    RepaintAll();
    UpdateScrollButtons();
    return QVariant(index);
}

void TabList_::RemoveItem(qint32 index)
{
    if (index < 0 || index >= m_count)
        return;
    // The slot at the count is always there and empty, so the last item takes it.
    for (qint32 j = index; j < m_count; ++j) {
        m_captions[j] = m_captions[j + 1];
        m_data[j] = m_data[j + 1];
    }
    --m_count;

    const bool committedRemoved = m_committedIndex == index;
    if (committedRemoved)
        m_committedIndex = -1;
    else if (m_committedIndex > index)
        --m_committedIndex;
    if (m_currentIndex == index)
        m_currentIndex = m_committedIndex;
    else if (m_currentIndex > index)
        --m_currentIndex;
    // Keep the first row on an item, so the list never scrolls past its end.
    m_topIndex = qMax(0, qMin(m_topIndex, m_count - 1));

    RepaintAll();
    UpdateScrollButtons();
    if (committedRemoved)
        emit Click();
}

void TabList_::Refresh()
{
    repaint();
}

int TabList_::RowHeight() const
{
    return fontMetrics().height() + 8;
}

int TabList_::VisibleRows() const
{
    return height() / RowHeight();
}

void TabList_::CommitSelection()
{
    if (m_currentIndex == m_committedIndex)
        return;
    InvalidateSelectionRows();
    m_committedIndex = m_currentIndex;
    InvalidateSelectionRows();
    emit Click();
}

void TabList_::RevertToCommitted()
{
    moveCurrent(m_committedIndex);
}

void TabList_::moveCurrent(qint32 row)
{
    InvalidateSelectionRows();
    m_currentIndex = row;
    InvalidateSelectionRows();
}

void TabList_::InvalidateSelectionRows()
{
    InvalidateRow(m_currentIndex);
    InvalidateRow(m_committedIndex);
}

void TabList_::InvalidateRow(qint32 row)
{
    const int rowHeight = RowHeight();
    WinApi_::InvalidateRectangle(this, 0, (row - m_topIndex) * rowHeight, width(), rowHeight,
                                 Twips::ScaleMode::Pixels);
}

void TabList_::RepaintAll()
{
    WinApi_::InvalidateWholeWindow(this);
}

void TabList_::UpdateScrollButtons()
{
    btnDown->setVisible(m_topIndex != 0);
    btnUp->setVisible(m_count - m_topIndex > VisibleRows());
}

void TabList_::ScrollBack()
{
    --m_topIndex;
    UpdateScrollButtons();
    RepaintAll();
}

void TabList_::ScrollForward()
{
    ++m_topIndex;
    UpdateScrollButtons();
    RepaintAll();
}

void TabList_::btnDown_Click()
{
    DeferredErrors errors(QStringLiteral("TabList_.btnDown_Click()"));
    errors.step([this] { ScrollBack(); });
}

void TabList_::btnUp_Click()
{
    DeferredErrors errors(QStringLiteral("TabList_.btnUp_Click()"));
    errors.step([this] { ScrollForward(); });
}

void TabList_::pixFocus_KeyDown(int &KeyCode, int &Shift)
{
    DeferredErrors errors(QStringLiteral("TabList_.pixFocus_KeyDown()"));
    if (KeyCode == VK::Escape) {
        RevertToCommitted();
        return;
    }
    if (KeyCode == VkApps) {
        errors.step([this] { CommitSelection(); });
        errors.step([this] { emit ContextMenu(); });
        return;
    }
    // Moves stay within the items: on an empty list there is nothing to move to.
    if (m_count == 0)
        return;
    switch (KeyCode) {
    case VK::End:
        moveCurrent(m_count - 1);
        break;
    case VK::Home:
        moveCurrent(0);
        break;
    case VK::Up:
        if (Shift == ShiftMask::Ctrl)
            moveCurrent(m_topIndex);
        else
            moveCurrent(qMax(0, m_currentIndex - 1));
        break;
    case VK::Down:
        moveCurrent(qMin(m_count - 1, m_currentIndex + 1));
        break;
    default:
        break;
    }
}

void TabList_::pixFocus_KeyPress(int &KeyAscii)
{
    DeferredErrors errors(QStringLiteral("TabList_.pixFocus_KeyPress()"));
    if (KeyAscii != '\r' && KeyAscii != ' ')
        return;
    if (m_currentIndex >= 0 && m_currentIndex == m_committedIndex)
        errors.step([this] { emit OpenTabChosenAgain(); });
    else
        errors.step([this] { CommitSelection(); });
}

// One key press as the two events the list handles: the key, then its character.
bool TabList_::pixFocus_Key(QKeyEvent *event)
{
    int keyCode = event->key() == Qt::Key_Menu ? VkApps : VirtualKeys::fromEvent(event);
    int shift = VirtualKeys::shiftMask(event->modifiers());
    const int handledKey = keyCode;
    pixFocus_KeyDown(keyCode, shift);
    int keyAscii = event->text().size() == 1 ? event->text().at(0).unicode() : 0;
    if (keyAscii != 0)
        pixFocus_KeyPress(keyAscii);
    switch (handledKey) {
    case VK::Escape:
    case VK::End:
    case VK::Home:
    case VK::Up:
    case VK::Down:
    case VK::Return:
    case VK::Space:
    case VkApps:
        return true;
    default:
        return false;
    }
}

void TabList_::pixFocus_GotFocus()
{
    m_hasFocus = true;
    InvalidateSelectionRows();
}

void TabList_::pixFocus_LostFocus()
{
    m_hasFocus = false;
    CommitSelection();
    InvalidateSelectionRows();
}

bool TabList_::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != pixFocus)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn:
        IgnoreErrors([this] { pixFocus_GotFocus(); });
        break;
    case QEvent::FocusOut:
        IgnoreErrors([this] { pixFocus_LostFocus(); });
        break;
    case QEvent::KeyPress:
        return pixFocus_Key(static_cast<QKeyEvent *>(event));
    default:
        break;
    }
    return false;
}

void TabList_::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    DeferredErrors errors(QStringLiteral("TabList_.UserControl_MouseDown()"));
    const QPointF at = event->position();
    if (at.x() < 0 || at.x() > width() || at.y() < 0 || at.y() > height())
        return;
    if (VirtualKeys::shiftMask(event->modifiers()) != 0)
        return;
    const qint32 row = m_topIndex + qint32(at.y() / RowHeight());
    if (row >= m_count || row == m_committedIndex) {
        RevertToCommitted();
        if (row < m_count && event->button() == Qt::LeftButton)
            errors.step([this] { emit OpenTabChosenAgain(); });
    } else {
        moveCurrent(row);
        errors.step([this] { CommitSelection(); });
    }
    if (event->button() == Qt::RightButton)
        errors.step([this] { emit ContextMenu(); });
}

void TabList_::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    IgnoreErrors([this] {
        const int right = width() - 2;
        btnDown->move(right - btnDown->width(), 1);
        btnUp->move(right - btnUp->width(), height() - btnUp->height() - 1);
        UpdateScrollButtons();
    });
}

void TabList_::paintEvent(QPaintEvent *)
{
    IgnoreErrors([this] {
        QPainter painter(this);
        const int rowHeight = RowHeight();
        int y = 0;
        for (qint32 i = m_topIndex; i < m_count; ++i) {
            paintRow(painter, i, y);
            y += rowHeight;
        }
        // Below the last tab: the empty strip, with the edge that runs down to the pane.
        const QColor shadow = OleColor::toQColor(OleColor::Sys::ButtonShadow);
        painter.fillRect(QRect(0, y, width(), height() - y), shadow);
        painter.setPen(OleColor::toQColor(OleColor::Sys::ButtonHighlight));
        painter.drawLine(width() - 1, y, width() - 1, height() - 1);
    });
}

void TabList_::paintRow(QPainter &painter, qint32 i, int y)
{
    const int rowHeight = RowHeight();
    const int w = width();
    const int bottom = y + rowHeight - 1;
    const QColor highlight = OleColor::toQColor(OleColor::Sys::ButtonHighlight);
    const QColor shadow = OleColor::toQColor(OleColor::Sys::ButtonShadow);

    painter.fillRect(QRect(1, y + 1, w - 2, rowHeight - 2), palette().color(QPalette::Window));

    const bool current = i == m_currentIndex;
    const int textTop = y + (rowHeight - fontMetrics().height()) / 2 - (current ? 1 : 0);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(current ? 5 : 8, textTop + fontMetrics().ascent(), m_captions[i]);

    if (i == m_committedIndex) {
        // The open tab: no right edge, so it joins what lies beside the list.
        painter.setPen(highlight);
        painter.drawLine(0, y, w - 1, y);
        painter.drawLine(0, y + 1, 0, bottom - 1);
        painter.setPen(Qt::black);
        painter.drawLine(0, bottom, w - 2, bottom);
    } else {
        painter.setPen(shadow);
        painter.drawLine(0, y, w - 1, y);
        painter.fillRect(QRect(0, y, 4, rowHeight), shadow);
        painter.setPen(OleColor::toQColor(OleColor::Sys::ButtonFace));
        painter.drawLine(w - 2, y, w - 2, bottom);
        painter.setPen(highlight);
        painter.drawLine(w - 1, y, w - 1, bottom);
    }
    if (m_hasFocus && current)
        WinApi_::DrawFocusRectangle(&painter, 3, y + 3, w - 6, rowHeight - 6, Twips::ScaleMode::Pixels);
}
