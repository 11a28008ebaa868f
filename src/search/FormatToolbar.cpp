#include "search/FormatToolbar.h"

#include "controls/TextFit.h"
#include "core/Bug_.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"
#include "platform/Desktop.h"
#include "platform/ParagraphIndents.h"
#include "platform/RichTextBox.h"
#include "platform/Twips.h"

#include <QComboBox>
#include <QEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMetaMethod>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextList>
#include <QToolButton>
#include <cmath>
#include <optional>

namespace {
constexpr int KeyF3 = 114;

enum CharProperty { Bold, Italic, Underline };

bool hasProperty(const QTextCharFormat &format, int property)
{
    switch (property) {
    case Bold:
        return format.fontWeight() >= QFont::DemiBold;
    case Italic:
        return format.fontItalic();
    default:
        return format.fontUnderline();
    }
}

void setCharProperty(QTextCharFormat &format, int property, bool on)
{
    switch (property) {
    case Bold:
        format.setFontWeight(on ? QFont::Bold : QFont::Normal);
        break;
    case Italic:
        format.setFontItalic(on);
        break;
    default:
        format.setFontUnderline(on);
        break;
    }
}

// The character formats of the selection, or the caret's format without one.
QList<QTextCharFormat> selectionFormats(const QTextEdit *edit)
{
    const QTextCursor cursor = edit->textCursor();
    if (!cursor.hasSelection())
        return {edit->currentCharFormat()};
    return SelectedFragmentFormats(cursor);
}

// Whether every part of the selection has the property: a mixed selection has not.
bool selectionHas(const QTextEdit *edit, int property)
{
    const QList<QTextCharFormat> formats = selectionFormats(edit);
    return std::all_of(formats.cbegin(), formats.cend(),
                       [property](const QTextCharFormat &f) { return hasProperty(f, property); });
}

// The value all formats of the selection share, or nothing when they differ.
template <typename F> auto commonValue(const QList<QTextCharFormat> &formats, F &&value)
{
    std::optional<decltype(value(formats.first()))> common;
    for (const QTextCharFormat &format : formats) {
        const auto v = value(format);
        if (common && *common != v)
            return decltype(common)();
        common = v;
    }
    return common;
}

QList<QTextBlock> selectedBlocks(const QTextEdit *edit)
{
    const QTextCursor cursor = edit->textCursor();
    QList<QTextBlock> blocks;
    const QTextBlock last = edit->document()->findBlock(cursor.selectionEnd());
    for (QTextBlock block = edit->document()->findBlock(cursor.selectionStart()); block.isValid();
         block = block.next()) {
        blocks.append(block);
        if (block == last)
            break;
    }
    return blocks;
}

const char *themeName(const QString &picture)
{
    static const QHash<QString, const char *> names = {
        {QStringLiteral("bold"), "format-text-bold"},
        {QStringLiteral("italic"), "format-text-italic"},
        {QStringLiteral("underline"), "format-text-underline"},
        {QStringLiteral("left"), "format-justify-left"},
        {QStringLiteral("centre"), "format-justify-center"},
        {QStringLiteral("right"), "format-justify-right"},
        {QStringLiteral("indentless"), "format-indent-less"},
        {QStringLiteral("indentmore"), "format-indent-more"},
        {QStringLiteral("bullet"), "format-list-unordered"},
    };
    return names.value(picture, nullptr);
}

void drawLetter(QPainter &p, const QString &letter, bool bold, bool italic, bool underline)
{
    QFont font(QStringLiteral("Serif"));
    font.setPixelSize(13);
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    p.setFont(font);
    p.setPen(QColor(40, 40, 40));
    p.drawText(QRectF(0, 0, 16, 15), Qt::AlignCenter, letter);
}

void drawLines(QPainter &p, const QList<std::pair<qreal, qreal>> &lines)
{
    p.setPen(QPen(QColor(50, 50, 50), 1.4));
    qreal y = 3;
    for (const auto &[left, right] : lines) {
        p.drawLine(QPointF(left, y), QPointF(right, y));
        y += 3;
    }
}

void drawArrow(QPainter &p, bool right)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 90, 170));
    if (right)
        p.drawPolygon(QPolygonF({QPointF(1, 5), QPointF(5, 8), QPointF(1, 11)}));
    else
        p.drawPolygon(QPolygonF({QPointF(5, 5), QPointF(1, 8), QPointF(5, 11)}));
}

void drawPicture(QPainter &p, const QString &name)
{
    if (name == QLatin1String("bold")) {
        drawLetter(p, QStringLiteral("B"), true, false, false);
    } else if (name == QLatin1String("italic")) {
        drawLetter(p, QStringLiteral("I"), false, true, false);
    } else if (name == QLatin1String("underline")) {
        drawLetter(p, QStringLiteral("U"), false, false, true);
    } else if (name == QLatin1String("left")) {
        drawLines(p, {{2, 14}, {2, 10}, {2, 14}, {2, 9}});
    } else if (name == QLatin1String("centre")) {
        drawLines(p, {{2, 14}, {4, 12}, {2, 14}, {5, 11}});
    } else if (name == QLatin1String("right")) {
        drawLines(p, {{2, 14}, {6, 14}, {2, 14}, {7, 14}});
    } else if (name == QLatin1String("indentmore") || name == QLatin1String("indentless")) {
        drawLines(p, {{2, 14}, {7, 14}, {7, 14}, {2, 14}});
        drawArrow(p, name == QLatin1String("indentmore"));
    } else if (name == QLatin1String("bullet")) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 40, 40));
        for (qreal y : {3.5, 8.0, 12.5})
            p.drawEllipse(QPointF(3, y), 1.6, 1.6);
        p.setPen(QPen(QColor(50, 50, 50), 1.4));
        for (qreal y : {3.5, 8.0, 12.5})
            p.drawLine(QPointF(6.5, y), QPointF(14.5, y));
    } else if (name == QLatin1String("forecolour")) {
        drawLetter(p, QStringLiteral("A"), true, false, false);
        p.fillRect(QRectF(2, 13, 12, 3), QColor(200, 30, 30));
    } else if (name == QLatin1String("backcolour")) {
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.setBrush(QColor(255, 230, 90));
        p.drawRect(QRectF(2.5, 2.5, 11, 11));
        p.setPen(QPen(QColor(60, 60, 60), 1.2));
        p.drawLine(QPointF(5, 6), QPointF(11, 6));
        p.drawLine(QPointF(5, 9), QPointF(11, 9));
    }
}
} // namespace

FormatToolbar::FormatToolbar(RichTextBox *rt, QWidget *parent)
    : QWidget(parent)
    , m_rt(rt)
    , m_viewport(rt->viewport())
{
    CreateControls();
    m_rt->installEventFilter(this);
    m_viewport->installEventFilter(this);
}

QIcon FormatToolbar::OwnPicture(const QString &name)
{
    QIcon icon;
    for (int size : {16, 24, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setRenderHint(QPainter::TextAntialiasing, true);
        p.scale(size / 16.0, size / 16.0);
        drawPicture(p, name);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QIcon FormatToolbar::Picture(const QString &name)
{
    const char *theme = themeName(name);
    if (theme && QIcon::hasThemeIcon(QLatin1String(theme)))
        return QIcon::fromTheme(QLatin1String(theme));
    return OwnPicture(name);
}

QToolButton *FormatToolbar::AddButton(const QString &picture, void (FormatToolbar::*handler)())
{
    auto *button = new QToolButton(this);
    button->setIcon(Picture(picture));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setObjectName(picture);
    layout()->addWidget(button);
    connect(button, &QToolButton::clicked, this, handler);
    return button;
}

void FormatToolbar::CreateControls()
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(2, 1, 2, 1);
    row->setSpacing(1);
    cboFont = new QComboBox(this);
    // Editable, so that it can name a font of the document that this desktop lacks.
    cboFont->setEditable(true);
    cboFont->setInsertPolicy(QComboBox::NoInsert);
    cboFont->addItems(QFontDatabase::families());
    TextFit::OpenWholeEntries(cboFont);
    cboFont->setCurrentText(gDefaultFont);
    cboFont->setMinimumContentsLength(14);
    cboFont->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    row->addWidget(cboFont);
    cboSize = new QComboBox(this);
    cboSize->setEditable(true);
    cboSize->setInsertPolicy(QComboBox::NoInsert);
    for (int size = 3; size <= 72; ++size)
        cboSize->addItem(QString::number(size));
    cboSize->setCurrentText(QString::number(gBib1Fontsize));
    cboSize->setMinimumContentsLength(3);
    cboSize->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    row->addWidget(cboSize);
    connect(cboFont, &QComboBox::activated, this, &FormatToolbar::cboFont_Click);
    connect(cboSize, &QComboBox::activated, this, &FormatToolbar::cboSize_Click);
    connect(cboSize->lineEdit(), &QLineEdit::returnPressed, this, &FormatToolbar::cboSize_Click);
    row->addSpacing(6);
    cmdBold = AddButton(QStringLiteral("bold"), &FormatToolbar::cmdBold_Click);
    cmdItalic = AddButton(QStringLiteral("italic"), &FormatToolbar::cmdItalic_Click);
    cmdUnderline = AddButton(QStringLiteral("underline"), &FormatToolbar::cmdUnderline_Click);
    cmdFColuor = AddButton(QStringLiteral("forecolour"), &FormatToolbar::cmdFColuor_Click);
    cmdBColour = AddButton(QStringLiteral("backcolour"), &FormatToolbar::cmdBColour_Click);
    row->addSpacing(6);
    cmdLeftJ = AddButton(QStringLiteral("left"), &FormatToolbar::cmdLeftJ_Click);
    cmdCentreJ = AddButton(QStringLiteral("centre"), &FormatToolbar::cmdCentreJ_Click);
    cmdRightJ = AddButton(QStringLiteral("right"), &FormatToolbar::cmdRightJ_Click);
    row->addSpacing(6);
    cmdBullet = AddButton(QStringLiteral("bullet"), &FormatToolbar::cmdBullet_Click);
    cmdIndentLess = AddButton(QStringLiteral("indentless"), &FormatToolbar::cmdIndentLess_Click);
    cmdIndentMore = AddButton(QStringLiteral("indentmore"), &FormatToolbar::cmdIndentMore_Click);
    row->addStretch(1);
    for (QToolButton *toggle : {cmdBold, cmdItalic, cmdUnderline, cmdLeftJ, cmdCentreJ, cmdRightJ, cmdBullet})
        toggle->setCheckable(true);
}

bool FormatToolbar::Pressed(const QToolButton *button)
{
    return button->isChecked();
}

void FormatToolbar::DoSetFocus()
{
    if (m_rt->isEnabled() && m_rt->isVisible())
        m_rt->setFocus();
}

// A mixed selection is set on; the button then shows the selection's new state.
void FormatToolbar::Toggle(QToolButton *button, int property, const QString &routine)
{
    TrapErrors(routine, [&] {
        const bool on = !selectionHas(m_rt, property);
        QTextCharFormat format;
        setCharProperty(format, property, on);
        m_rt->mergeCurrentCharFormat(format);
        button->setChecked(on);
        DoSetFocus();
        emit undoAvailable();
    });
}

void FormatToolbar::cmdBold_Click()
{
    Toggle(cmdBold, Bold, QStringLiteral("AdvancedSearch.cmdBold_Click()"));
}

void FormatToolbar::cmdItalic_Click()
{
    Toggle(cmdItalic, Italic, QStringLiteral("AdvancedSearch.cmdItalic_Click()"));
}

void FormatToolbar::cmdUnderline_Click()
{
    Toggle(cmdUnderline, Underline, QStringLiteral("AdvancedSearch.cmdUnderline_Click()"));
}

// Bullets on the selected paragraphs, or off when they all have them; the
// selection stays where it was.
void FormatToolbar::cmdBullet_Click()
{
    TrapErrors(QStringLiteral("AdvancedSearch.cmdBullet_Click()"), [this] {
        const QList<QTextBlock> blocks = selectedBlocks(m_rt);
        const bool allBulleted = std::all_of(blocks.cbegin(), blocks.cend(), [](const QTextBlock &b) {
            return b.textList() && b.textList()->format().style() == QTextListFormat::ListDisc;
        });
        QTextCursor cursor = m_rt->textCursor();
        cursor.beginEditBlock();
        // The bullet hangs in room of its own left of the text, where the text
        // stood; without the bullet the text goes back there.
        const auto moveText = [](const QTextBlock &block, qreal by) {
            QTextBlockFormat indent;
            indent.setLeftMargin(std::max<qreal>(0, block.blockFormat().leftMargin() + by));
            QTextCursor(block).mergeBlockFormat(indent);
        };
        if (allBulleted) {
            for (const QTextBlock &block : blocks) {
                const qreal room = ParagraphIndents::markerRoom(block);
                block.textList()->remove(block);
                moveText(block, -room);
            }
        } else {
            QList<qreal> roomBefore;
            for (const QTextBlock &block : blocks)
                roomBefore.append(ParagraphIndents::markerRoom(block));
            QTextListFormat format;
            format.setStyle(QTextListFormat::ListDisc);
            format.setIndent(0);
            QTextList *list = QTextCursor(blocks.first()).createList(format);
            for (qsizetype i = 0; i < blocks.size(); ++i) {
                if (blocks[i].textList() != list)
                    list->add(blocks[i]);
                moveText(blocks[i], ParagraphIndents::markerRoom(blocks[i]) - roomBefore[i]);
            }
        }
        cursor.endEditBlock();
        cmdBullet->setChecked(!allBulleted);
        DoSetFocus();
        emit undoAvailable();
    });
}

void FormatToolbar::ChangeIndent(float twips)
{
    QTextCursor cursor = m_rt->textCursor();
    cursor.beginEditBlock();
    for (const QTextBlock &block : selectedBlocks(m_rt)) {
        const double now = block.blockFormat().leftMargin() * Twips::perPixelX();
        QTextBlockFormat format;
        // The text never starts left of the page's margin.
        format.setLeftMargin(std::max(0.0, now + twips) / Twips::perPixelX());
        QTextCursor(block).mergeBlockFormat(format);
    }
    cursor.endEditBlock();
    DoSetFocus();
    emit undoAvailable();
}

void FormatToolbar::cmdIndentMore_Click()
{
    TrapErrors(QStringLiteral("AdvancedSearch.cmdIndentMore_Click()"), [this] { ChangeIndent(IndentStep); });
}

void FormatToolbar::cmdIndentLess_Click()
{
    TrapErrors(QStringLiteral("AdvancedSearch.cmdIndentLess_Click()"), [this] { ChangeIndent(-IndentStep); });
}

void FormatToolbar::DoJustify(int alignment)
{
    TrapErrors(QStringLiteral("AdvancedSearch.DoJustify()"), [&] {
        QTextBlockFormat format;
        format.setAlignment(alignment == AlignRight    ? Qt::AlignRight
                            : alignment == AlignCentre ? Qt::AlignHCenter
                                                       : Qt::AlignLeft);
        m_rt->textCursor().mergeBlockFormat(format);
        cmdLeftJ->setChecked(alignment == AlignLeft);
        cmdCentreJ->setChecked(alignment == AlignCentre);
        cmdRightJ->setChecked(alignment == AlignRight);
        DoSetFocus();
        emit undoAvailable();
    });
}

void FormatToolbar::cmdLeftJ_Click()
{
    DoJustify(AlignLeft);
}

void FormatToolbar::cmdCentreJ_Click()
{
    DoJustify(AlignCentre);
}

void FormatToolbar::cmdRightJ_Click()
{
    DoJustify(AlignRight);
}

// A cancelled colour dialog changes nothing.
void FormatToolbar::cmdFColuor_Click()
{
    TrapErrors(QStringLiteral("AdvancedSearch.cmdFColuor_Click()"), [this] {
        const std::optional<quint32> colour = desktop().chooseColor(gBib1TC);
        if (!colour)
            return;
        gBib1TC = *colour;
        m_rt->setSelColor(gBib1TC);
        emit undoAvailable();
    });
}

void FormatToolbar::cmdBColour_Click()
{
    TrapErrors(QStringLiteral("AdvancedSearch.cmdbColour_Click()"), [this] {
        const std::optional<quint32> colour = desktop().chooseColor(gBib1BC);
        if (!colour)
            return;
        gBib1BC = *colour;
        m_rt->setBackColor(gBib1BC);
        emit undoAvailable();
    });
}

void FormatToolbar::cboFont_Click()
{
    TrapErrors(QStringLiteral("AdvancedSearch.cboFont_Click()"), [this] {
        if (cboFont->currentText().isEmpty())
            return;
        gDefaultFont = cboFont->currentText();
        QTextCharFormat format;
        format.setFontFamilies({gDefaultFont});
        m_rt->mergeCurrentCharFormat(format);
        DoSetFocus();
    });
}

// A size that is no whole number of points from 1 to 255 is ignored.
void FormatToolbar::cboSize_Click()
{
    TrapErrors(QStringLiteral("AdvancedSearch.cboSize_Click()"), [this] {
        bool ok = false;
        const double size = cboSize->currentText().trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(size) || std::lround(size) < 1 || std::lround(size) > 255)
            return;
        gBib1Fontsize = quint8(std::lround(size));
        QTextCharFormat format;
        format.setFontPointSize(gBib1Fontsize);
        m_rt->mergeCurrentCharFormat(format);
        emit undoAvailable();
    });
}

void FormatToolbar::International()
{
    const std::pair<QToolButton *, int> tips[] = {
        {cmdBColour, 37},    {cmdFColuor, 38},    {cmdBold, 39},    {cmdItalic, 40},
        {cmdUnderline, 41},  {cmdLeftJ, 42},      {cmdCentreJ, 43}, {cmdRightJ, 44},
        {cmdIndentLess, 45}, {cmdIndentMore, 46}, {cmdBullet, 47},
    };
    for (const auto &[button, id] : tips)
        button->setToolTip(GetMsg(1, id));
}

void FormatToolbar::UpdateButtons()
{
    IgnoreErrors([this] {
        cmdBold->setChecked(selectionHas(m_rt, Bold));
        cmdItalic->setChecked(selectionHas(m_rt, Italic));
        cmdUnderline->setChecked(selectionHas(m_rt, Underline));
        const QTextBlock block = m_rt->document()->findBlock(m_rt->textCursor().selectionStart());
        const Qt::Alignment alignment = block.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
        cmdLeftJ->setChecked(!(alignment & (Qt::AlignRight | Qt::AlignHCenter)));
        cmdCentreJ->setChecked(alignment & Qt::AlignHCenter);
        cmdRightJ->setChecked(alignment & Qt::AlignRight);
        cmdBullet->setChecked(block.textList() != nullptr);
        const QList<QTextCharFormat> formats = selectionFormats(m_rt);
        const auto size = commonValue(formats, [this](const QTextCharFormat &f) {
            return f.fontPointSize() > 0 ? f.fontPointSize() : m_rt->document()->defaultFont().pointSizeF();
        });
        cboSize->setCurrentText(size ? QString::number(*size) : QString());
        const auto family = commonValue(formats, [this](const QTextCharFormat &f) {
            const QStringList families = f.fontFamilies().toStringList();
            return families.isEmpty() ? m_rt->document()->defaultFont().family() : families.first();
        });
        const int index = family ? cboFont->findText(*family) : -1;
        cboFont->setCurrentIndex(index);
        if (index < 0)
            cboFont->setCurrentText(family.value_or(QString()));
    });
}

// A window command's key is taken only when the window listens for it; otherwise
// the pane keeps its own meaning of the key (Ctrl+A selects all there too).
void FormatToolbar::Form_KeyDown(int &keyCode, int shift)
{
    const auto listened = [this](auto signal) { return isSignalConnected(QMetaMethod::fromSignal(signal)); };
    TrapErrors(QStringLiteral("AdvancedSearch.Form_KeyDown()"), [&] {
        if (shift == 0 && keyCode == KeyF3) {
            emit findNextRequested();
            return;
        }
        if (shift != 2)
            return;
        switch (keyCode) {
        case 'A':
            if (!listened(&FormatToolbar::selectAllRequested))
                return;
            emit selectAllRequested();
            break;
        case 'B':
            cmdBold_Click();
            break;
        case 'F':
            if (!listened(&FormatToolbar::findRequested))
                return;
            emit findRequested();
            break;
        case 'T':
            cmdItalic_Click();
            break;
        case 'U':
            cmdUnderline_Click();
            break;
        case 'W':
            emit wrapTextRequested();
            return; // the pane sees Ctrl+W as well
        default:
            return;
        }
        keyCode = 0;
    });
}

void FormatToolbar::Form_KeyUp(int &keyCode, int shift)
{
    TrapErrors(QStringLiteral("AdvancedSearch.Form_KeyUp()"), [&] {
        if (shift != 4)
            return;
        switch (keyCode) {
        case 'C':
            cmdCentreJ_Click();
            break;
        case 'D':
            cmdIndentMore_Click();
            break;
        case 'L':
            cmdLeftJ_Click();
            break;
        case 'O':
            cmdBullet_Click();
            break;
        case 'R':
            cmdRightJ_Click();
            break;
        case 'S':
            cmdIndentLess_Click();
            break;
        default:
            break;
        }
    });
}

// The pane's keys. The Alt letters of the formats win over a mnemonic of the same
// letter elsewhere in the window while the pane has the focus.
bool FormatToolbar::eventFilter(QObject *watched, QEvent *event)
{
    // A click or an arrow key may move the caret onto other formats.
    if (watched == m_viewport) {
        if (event->type() == QEvent::MouseButtonRelease)
            UpdateButtons();
        return false;
    }
    if (watched != m_rt)
        return QWidget::eventFilter(watched, event);
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if (type == QEvent::KeyRelease && !key->isAutoRepeat() &&
        (key->key() == Qt::Key_Left || key->key() == Qt::Key_Up || key->key() == Qt::Key_Right ||
         key->key() == Qt::Key_Down))
        UpdateButtons();
    const Qt::KeyboardModifiers mods = key->modifiers();
    const int shift = (mods & Qt::ShiftModifier ? 1 : 0) | (mods & Qt::ControlModifier ? 2 : 0) |
                      (mods & Qt::AltModifier ? 4 : 0);
    int keyCode = key->key() >= Qt::Key_A && key->key() <= Qt::Key_Z ? key->key()
                  : key->key() == Qt::Key_F3                         ? KeyF3
                                                                     : 0;
    if (keyCode == 0)
        return false;
    const bool altFormat = shift == 4 && QByteArray("CDLORS").contains(char(keyCode));
    if (type == QEvent::ShortcutOverride) {
        if (altFormat)
            event->accept();
        return false;
    }
    if (type == QEvent::KeyPress) {
        // The Alt letters act when the key is released; the pane takes no text from them.
        if (altFormat)
            return true;
        Form_KeyDown(keyCode, shift);
        return keyCode == 0;
    }
    if (!key->isAutoRepeat())
        Form_KeyUp(keyCode, shift);
    return false;
}
