#include "mainwindow/Splash.h"

#include "core/Bug_.h"
#include "core/FileFunctions_.h"
#include "core/GlobalVars.h"
#include "core/MiscHelpers.h"
#include "core/MsgSupport.h"
#include "platform/AppInfo.h"
#include "platform/DefaultInstance.h"
#include "platform/Desktop.h"
#include "platform/ModalOpener.h"
#include "platform/Seams.h"
#include "platform/TextFile.h"
#include "platform/Twips.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace {
const QString CRLF = QStringLiteral("\r\n");
const QString ContactEmailAddress = QStringLiteral("contact@verbanox.org");

// The window's sizes in twips.
constexpr double Edge = 240;
constexpr double PictureSize = 960;
constexpr double TextLeft = 1440;
// Wide enough for the 66 characters a verse line is reckoned to hold, in most fonts.
constexpr double TextWidth = 8400;
constexpr double WindowWidth = TextLeft + TextWidth + Edge;
constexpr double ScriptureTop = Edge;
constexpr double NameHeight = 1080;
constexpr double BottomMargin = 100;
constexpr double TwipsPerVerseLine = 370;
constexpr double CharactersPerVerseLine = 66;
constexpr double TitlePointSize = 24;
constexpr int TickMilliseconds = 100;

const QColor Background(0xFB, 0xF8, 0xEE);
const QColor Ink(0x3A, 0x2E, 0x22);
const QColor TitleColour(0x8B, 0x1A, 0x1A);

double defaultRandom()
{
    return QRandomGenerator::global()->generateDouble();
}

Seam<std::function<double()>> &randomSource()
{
    static Seam<std::function<double()>> random{defaultRandom};
    return random;
}

double rnd()
{
    const double value = randomSource().get()();
    return std::clamp(value, 0.0, std::nextafter(1.0, 0.0));
}

// A step of the given length whose sign follows a random number; one exactly in
// the middle goes forward, so that the title never stands still.
double randomDirection(double length)
{
    return rnd() < 0.5 ? -length : length;
}

QString versionNumbers()
{
    return QStringLiteral("%1.%2.%3")
        .arg(AppInfo::versionMajor())
        .arg(AppInfo::versionMinor())
        .arg(AppInfo::versionRevision());
}

// The fixed picture: an open book.
QPixmap openBookPicture(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 64.0, size / 64.0);

    QPainterPath cover;
    cover.moveTo(4, 18);
    cover.lineTo(32, 22);
    cover.lineTo(60, 18);
    cover.lineTo(60, 52);
    cover.lineTo(32, 56);
    cover.lineTo(4, 52);
    cover.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(TitleColour);
    painter.drawPath(cover);

    painter.setPen(QPen(Ink, 1.2));
    painter.setBrush(QColor(0xFF, 0xFD, 0xF6));
    // The two pages mirror each other about the spine at x = 32.
    for (const int side : {-1, 1}) {
        const auto x = [side](double fromSpine) { return 32 + side * fromSpine; };
        QPainterPath page;
        page.moveTo(32, 20);
        page.cubicTo(x(8), 14, x(18), 13, x(25), 15);
        page.lineTo(x(25), 49);
        page.cubicTo(x(18), 47, x(8), 48, 32, 53);
        page.closeSubpath();
        painter.drawPath(page);
    }

    painter.setPen(QPen(QColor(0xA8, 0x9C, 0x88), 1));
    for (int line = 0; line < 5; ++line) {
        const double y = 22 + line * 5.5;
        painter.drawLine(QPointF(11, y), QPointF(28, y + 2));
        painter.drawLine(QPointF(36, y + 2), QPointF(53, y));
    }
    // A ribbon marks the page.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xD4, 0xA0, 0x17));
    painter.drawPolygon(
        QPolygonF({QPointF(44, 17), QPointF(48, 17), QPointF(48, 40), QPointF(46, 37), QPointF(44, 40)}));
    return pixmap;
}
} // namespace

Splash::Splash()
{
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    // The window unloads when it closes; the next opening picks another verse.
    setAttribute(Qt::WA_DeleteOnClose, true);
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(MiscHelpers::ProductTitle());
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Background);
    colours.setColor(QPalette::WindowText, Ink);
    setPalette(colours);
    setAutoFillBackground(true);

    Image1 = new QLabel(this);
    Image1->setGeometry(Twips::rectToPixels(Edge, Edge, PictureSize, PictureSize));
    Image1->setPixmap(openBookPicture(Image1->width()));

    lblScripture = new QLabel(this);
    lblScripture->setTextFormat(Qt::PlainText);
    lblScripture->setWordWrap(true);
    lblScripture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont verseFont(QStringLiteral("serif"), 10);
    verseFont.setItalic(true);
    lblScripture->setFont(verseFont);

    lblName = new QLabel(this);
    lblName->setTextFormat(Qt::PlainText);
    lblName->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont nameFont = lblName->font();
    nameFont.setPointSizeF(8.5);
    lblName->setFont(nameFont);

    lblVerbanox = new QLabel(this);
    lblVerbanox->setTextFormat(Qt::PlainText);
    lblVerbanox->setText(MiscHelpers::ProductTitle());
    lblVerbanox->setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette titleColours = lblVerbanox->palette();
    titleColours.setColor(QPalette::WindowText, TitleColour);
    lblVerbanox->setPalette(titleColours);
    QFont titleFont(QStringLiteral("serif"), int(TitlePointSize));
    titleFont.setBold(true);
    lblVerbanox->setFont(titleFont);
    lblVerbanox->adjustSize();

    Timer1 = new QTimer(this);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });

    Form_Load();
}

void Splash::ShowModal()
{
    ModalOpener<Splash>::show();
}

std::function<void()> Splash::setShowModal(std::function<void()> show)
{
    return ModalOpener<Splash>::replace(std::move(show));
}

std::function<double()> Splash::setRandomSource(std::function<double()> random)
{
    return randomSource().replace(std::move(random));
}

double Splash::innerWidthTwips() const
{
    return Twips::fromPixelsX(width());
}

double Splash::innerHeightTwips() const
{
    return Twips::fromPixelsY(height());
}

void Splash::Form_Load()
{
    // Nothing here may keep the splash from showing: errors are ignored step by step.
    IgnoreErrors([this] { loadVerse(); });
    IgnoreErrors([this] {
        lblName->setText(GetMsg(0, 99, versionNumbers()) + CRLF + GetMsg(0, 91) + CRLF +
                         QStringLiteral("Website - ") + MiscHelpers::WebSiteAddress() + CRLF +
                         QStringLiteral("Email - ") + ContactEmailAddress);
    });
    IgnoreErrors([this] { layOut(); });
    Timer1->setInterval(TickMilliseconds);
    IgnoreErrors([this] { startTitle(); });
    // Measured as time elapsed, so that a window opened just before midnight closes too.
    m_openedAt = desktop().now();
    Timer1->start();
}

void Splash::loadVerse()
{
    const QString path = gMsgFolder + gFavVersesFile;
    QStringList verses;
    if (!gFavVersesFile.isEmpty() && FileFunctions_::FileExists(path)) {
        TextReader reader = TextReader::fromFile(path);
        while (!reader.atEnd()) {
            const QString line = reader.readLine().trimmed();
            // A blank line is no verse; picking it would show an empty window.
            if (!line.isEmpty())
                verses.append(line);
        }
    }
    if (verses.isEmpty()) {
        lblScripture->setText(GetMsg(0, 88));
        return;
    }
    const auto count = verses.size();
    const auto n = std::min<qsizetype>(qsizetype(std::floor(double(count) * rnd() + 1)), count);
    lblScripture->setText(verses.at(n - 1));
}

void Splash::layOut()
{
    const double lines = std::max(2.0, double(lblScripture->text().size()) / CharactersPerVerseLine);
    const double scriptureHeight = lines * TwipsPerVerseLine;
    lblScripture->setGeometry(Twips::rectToPixels(TextLeft, ScriptureTop, TextWidth, scriptureHeight));
    const double nameTop = ScriptureTop + scriptureHeight;
    lblName->setGeometry(Twips::rectToPixels(TextLeft, nameTop, TextWidth, NameHeight));
    setFixedSize(Twips::toPixelsX(WindowWidth), Twips::toPixelsY(nameTop + NameHeight + BottomMargin));
}

void Splash::startTitle()
{
    m_dx = randomDirection(TitleStep);
    m_dy = randomDirection(TitleStep);
    m_x = rnd() * (innerWidthTwips() - Twips::fromPixelsX(lblVerbanox->width()));
    m_y = rnd() * innerHeightTwips();
    m_sizeStep = 0.5F;
    setTitleSize(1);
    moveTitle();
}

void Splash::setTitleSize(float points)
{
    m_fontSize = points;
    QFont font = lblVerbanox->font();
    font.setPointSizeF(points);
    lblVerbanox->setFont(font);
    lblVerbanox->adjustSize();
}

void Splash::moveTitle()
{
    lblVerbanox->move(Twips::toPixelsX(m_x), Twips::toPixelsY(m_y));
    lblVerbanox->raise();
}

void Splash::Timer1_Timer()
{
    IgnoreErrors([this] {
        m_x += m_dx;
        m_y += m_dy;
        if (m_x < 1)
            m_dx = std::abs(m_dx);
        if (m_y < 1)
            m_dy = std::abs(m_dy);
        if (m_x >= innerWidthTwips() - Twips::fromPixelsX(lblVerbanox->width()))
            m_dx = -std::abs(m_dx);
        if (m_y >= innerHeightTwips() - Twips::fromPixelsY(lblVerbanox->height()))
            m_dy = -std::abs(m_dy);

        float size = m_fontSize + m_sizeStep;
        if (size < MinTitleSize)
            m_sizeStep = 0.5F;
        if (size >= MaxTitleSize)
            m_sizeStep = -1;
        setTitleSize(size);
        moveTitle();
    });

    const QDateTime now = desktop().now();
    // A clock set back would otherwise keep the window open for as long.
    if (now < m_openedAt)
        m_openedAt = now;
    if (m_openedAt.msecsTo(now) >= LifetimeMilliseconds) {
        Timer1->stop();
        close();
    }
}

void Splash::Form_KeyPress(int keyAscii)
{
    if (keyAscii == 13 || keyAscii == 27) {
        Timer1->stop();
        close();
    }
}

void Splash::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Form_KeyPress(13);
        break;
    case Qt::Key_Escape:
        Form_KeyPress(27);
        break;
    default:
        QDialog::keyPressEvent(event);
    }
}

void Splash::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    // Without a frame of its own the window needs an edge.
    QPainter painter(this);
    painter.setPen(QPen(TitleColour, 1));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
