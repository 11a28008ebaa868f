#include "common/PdfTools.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QByteArray run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit) {
        qWarning("%s did not run; poppler-utils must be installed (scripts/install-deps.sh)",
                 qPrintable(program));
        return QByteArray();
    }
    return process.readAllStandardOutput();
}

bool isDark(QRgb pixel)
{
    return qGray(pixel) < 128;
}
} // namespace

namespace PdfTools {

int pageCount(const QString &pdf)
{
    const QString info = QString::fromUtf8(run(QStringLiteral("pdfinfo"), {pdf}));
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption)
            .match(info);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

QString pageText(const QString &pdf, int page)
{
    return QString::fromUtf8(
        run(QStringLiteral("pdftotext"),
            {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"), QString::number(page),
             QStringLiteral("-layout"), pdf, QStringLiteral("-")}));
}

QString firstLine(const QString &pdf, int page)
{
    for (const QString &line : pageText(pdf, page).split(QLatin1Char('\n')))
        if (!line.trimmed().isEmpty())
            return line.trimmed();
    return QString();
}

QImage pageImage(const QString &pdf, int page, int dpi)
{
    QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("page"));
    run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-gray"), QStringLiteral("-singlefile"),
         QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"), QString::number(page), pdf,
         prefix});
    return QImage(prefix + QStringLiteral(".pgm"));
}

int firstDarkColumn(const QImage &image)
{
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (isDark(image.pixel(x, y)))
                return x;
    return -1;
}

int firstDarkRow(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (isDark(image.pixel(x, y)))
                return y;
    return -1;
}

int lastDarkRow(const QImage &image)
{
    for (int y = image.height() - 1; y >= 0; --y)
        for (int x = 0; x < image.width(); ++x)
            if (isDark(image.pixel(x, y)))
                return y;
    return -1;
}

void setUpPdfPrinter(QPrinter &printer, const QString &pdf)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setPageSize(QPageSize(QPageSize::Letter));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setFullPage(false);
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
    printer.setPrintRange(QPrinter::AllPages);
    printer.setFromTo(0, 0);
}

} // namespace PdfTools
