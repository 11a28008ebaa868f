#include "controls/ImageList.h"

#include "platform/RuntimeError.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {
constexpr qint32 IndexOutOfBounds = 35600;

// Names from the freedesktop naming scheme; the Bible pictures have no standard
// counterpart apart from the dictionary.
const char *const ThemeNames[ImageList::Count] = {
    "document-new",
    "document-open",
    "document-save",
    "document-print-preview",
    "document-print",
    "document-page-setup",
    "edit-cut",
    "edit-copy",
    "edit-paste",
    "edit-undo",
    "edit-delete",
    "edit-find",
    "",
    "",
    "",
    "accessories-dictionary",
    "",
};

const QColor Outline(60, 60, 60);
const QColor Paper(255, 255, 255);
const QColor Accent(40, 90, 170);

// A page with a folded corner, in the 16-unit drawing square.
void page(QPainter &p, const QRectF &r)
{
    QPainterPath path;
    const qreal fold = r.width() * 0.35;
    path.moveTo(r.topLeft());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.bottomRight());
    path.lineTo(r.bottomLeft());
    path.closeSubpath();
    p.setBrush(Paper);
    p.setPen(QPen(Outline, 1));
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
    p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
}

void textLines(QPainter &p, qreal left, qreal right, qreal top, int lines)
{
    p.setPen(QPen(QColor(150, 150, 150), 1));
    for (int i = 0; i < lines; ++i)
        p.drawLine(QPointF(left, top + 2 * i), QPointF(right, top + 2 * i));
}

void magnifier(QPainter &p, const QPointF &centre, qreal radius)
{
    p.setPen(QPen(Outline, 1.5));
    p.setBrush(QColor(200, 225, 255));
    p.drawEllipse(centre, radius, radius);
    p.setPen(QPen(QColor(120, 80, 30), 2.5, Qt::SolidLine, Qt::RoundCap));
    const qreal d = radius * 0.72;
    p.drawLine(centre + QPointF(d, d), centre + QPointF(d + 4, d + 4));
}

void book(QPainter &p, const QRectF &r, const QColor &cover)
{
    p.setPen(QPen(Outline, 1));
    p.setBrush(cover);
    p.drawRoundedRect(r, 1, 1);
    p.setBrush(Paper);
    p.drawRect(QRectF(r.left() + 2, r.bottom() - 2, r.width() - 2, 2));
}

void draw(QPainter &p, int number)
{
    switch (number) {
    case 1: // new
        page(p, QRectF(3.5, 1.5, 9, 13));
        p.setPen(QPen(QColor(230, 170, 0), 1.5));
        p.drawLine(QPointF(12, 9), QPointF(12, 15));
        p.drawLine(QPointF(9, 12), QPointF(15, 12));
        break;
    case 2: // open
        p.setPen(QPen(Outline, 1));
        p.setBrush(QColor(230, 190, 80));
        p.drawRect(QRectF(1.5, 4.5, 12, 9));
        p.setBrush(QColor(250, 215, 110));
        p.drawPolygon(
            QPolygonF({QPointF(3.5, 7.5), QPointF(15, 7.5), QPointF(13, 13.5), QPointF(1.5, 13.5)}));
        break;
    case 3: // save
        p.setPen(QPen(Outline, 1));
        p.setBrush(Accent);
        p.drawRect(QRectF(1.5, 1.5, 13, 13));
        p.setBrush(Paper);
        p.drawRect(QRectF(4, 1.5, 8, 5));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(4, 9.5, 8, 5));
        break;
    case 4: // print preview
        page(p, QRectF(2.5, 1.5, 9, 12));
        textLines(p, 4, 9, 5, 3);
        magnifier(p, QPointF(9.5, 9.5), 3);
        break;
    case 5: // print
        p.setPen(QPen(Outline, 1));
        p.setBrush(Paper);
        p.drawRect(QRectF(4.5, 1.5, 7, 5));
        p.setBrush(QColor(170, 170, 170));
        p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1, 1);
        p.setBrush(Paper);
        p.drawRect(QRectF(4.5, 10.5, 7, 4));
        break;
    case 6: // page setup
        page(p, QRectF(3.5, 1.5, 9, 13));
        p.setPen(QPen(Accent, 1, Qt::DotLine));
        p.drawRect(QRectF(5, 4.5, 5, 8));
        break;
    case 7: // cut
        p.setPen(QPen(Outline, 1.5));
        p.drawLine(QPointF(4, 1), QPointF(11, 11));
        p.drawLine(QPointF(12, 1), QPointF(5, 11));
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(200, 40, 40), 1.5));
        p.drawEllipse(QPointF(4, 12.5), 2.3, 2.3);
        p.drawEllipse(QPointF(12, 12.5), 2.3, 2.3);
        break;
    case 8: // copy
        page(p, QRectF(1.5, 1.5, 8, 10));
        page(p, QRectF(6.5, 4.5, 8, 10));
        textLines(p, 8, 12, 9, 3);
        break;
    case 9: // paste
        p.setPen(QPen(Outline, 1));
        p.setBrush(QColor(200, 150, 90));
        p.drawRoundedRect(QRectF(1.5, 2.5, 10, 12), 1, 1);
        p.setBrush(QColor(170, 170, 170));
        p.drawRect(QRectF(4.5, 1.5, 4, 2));
        page(p, QRectF(6.5, 6.5, 8, 8));
        break;
    case 10: { // undo
        QPainterPath arc;
        arc.moveTo(4, 7);
        arc.cubicTo(7, 2, 15, 4, 13, 12);
        p.setPen(QPen(Accent, 2, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(arc);
        p.setBrush(Accent);
        p.setPen(Qt::NoPen);
        p.drawPolygon(QPolygonF({QPointF(1, 4), QPointF(7, 3.5), QPointF(4, 10)}));
        break;
    }
    case 11: // delete
        p.setPen(QPen(QColor(200, 30, 30), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
        p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
        break;
    case 12: // find
        magnifier(p, QPointF(6.5, 6.5), 4.5);
        break;
    case 13: // find next
        magnifier(p, QPointF(5.5, 5.5), 4);
        p.setBrush(QColor(30, 140, 40));
        p.setPen(Qt::NoPen);
        p.drawPolygon(QPolygonF({QPointF(10, 9), QPointF(16, 12.5), QPointF(10, 16)}));
        break;
    case 14: // multi Bible: two columns side by side
        for (qreal left : {1.5, 8.5}) {
            p.setPen(QPen(Outline, 1));
            p.setBrush(Paper);
            p.drawRect(QRectF(left, 2.5, 6, 11));
            textLines(p, left + 1.5, left + 4.5, 5, 4);
        }
        break;
    case 15: // names: a person
        p.setPen(QPen(Outline, 1));
        p.setBrush(QColor(240, 200, 160));
        p.drawEllipse(QPointF(8, 5), 3, 3);
        p.setBrush(Accent);
        p.drawChord(QRectF(2.5, 9, 11, 12), 0, 180 * 16);
        break;
    case 16: // dictionary: a book with a letter
        book(p, QRectF(2.5, 1.5, 11, 13), QColor(150, 40, 40));
        p.setPen(QPen(Paper, 1.5));
        p.drawLine(QPointF(5.5, 10), QPointF(8, 3.5));
        p.drawLine(QPointF(8, 3.5), QPointF(10.5, 10));
        p.drawLine(QPointF(6.5, 8), QPointF(9.5, 8));
        break;
    case 17: // commentary: a book with a pen
        book(p, QRectF(1.5, 2.5, 10, 12), QColor(40, 110, 60));
        p.setPen(QPen(QColor(230, 170, 0), 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(14.5, 1.5), QPointF(8, 9));
        p.setPen(QPen(Outline, 1));
        p.drawLine(QPointF(8, 9), QPointF(7, 10.5));
        break;
    default:
        break;
    }
}

QPixmap rendered(int number, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.scale(size / 16.0, size / 16.0);
    draw(p, number);
    return pixmap;
}
} // namespace

ImageList::ImageList()
{
    m_pictures.reserve(Count);
    m_fromTheme.reserve(Count);
    for (int number = 1; number <= Count; ++number) {
        const QString name = ThemeName(number);
        const bool themed = !name.isEmpty() && QIcon::hasThemeIcon(name);
        m_fromTheme.append(themed);
        m_pictures.append(themed ? QIcon::fromTheme(name) : OwnPicture(number));
    }
}

void ImageList::CheckNumber(int number)
{
    if (number < 1 || number > Count)
        raiseError(IndexOutOfBounds, QStringLiteral("ImageList"), QStringLiteral("Index out of bounds"));
}

QIcon ImageList::ListImages(int number) const
{
    CheckNumber(number);
    return m_pictures.at(number - 1);
}

bool ImageList::FromTheme(int number) const
{
    CheckNumber(number);
    return m_fromTheme.at(number - 1);
}

QString ImageList::ThemeName(int number)
{
    if (number < 1 || number > Count)
        return QString();
    return QString::fromLatin1(ThemeNames[number - 1]);
}

QIcon ImageList::OwnPicture(int number)
{
    CheckNumber(number);
    QIcon icon;
    for (int size : {16, 24, 32})
        icon.addPixmap(rendered(number, size));
    return icon;
}
