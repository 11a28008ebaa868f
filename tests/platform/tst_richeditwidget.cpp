#include "abi/VxHelpersAbi.h"
#include "platform/RichEditWidget.h"
#include "platform/TextDocument.h"
#include "platform/TextFont.h"
#include "platform/TextRange.h"
#include "platform/TextSelection.h"
#include "platform/Tom.h"
#include "platform/Twips.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QMetaType>
#include <QMimeData>
#include <QPointer>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QtTest>

namespace {
// Creates the window the way the helper library does: by class name only.
QObject *createByClassName(QWidget *host)
{
    const QMetaObject *windowClass = QMetaType::fromName(VxAbi::RichEditClassName).metaObject();
    if (!windowClass)
        return nullptr;
    return windowClass->newInstance(Q_ARG(QWidget *, host));
}

QColor renderedBackground(RichEditWidget &editor)
{
    QCoreApplication::processEvents();
    const QImage image = editor.viewport()->grab().toImage();
    return image.pixelColor(image.width() - 3, image.height() - 3);
}

int linesOfFirstParagraph(RichEditWidget &editor)
{
    const QTextBlock block = editor.document()->firstBlock();
    editor.document()->documentLayout()->blockBoundingRect(block); // lays the block out
    return block.layout()->lineCount();
}

qreal widestLineOfFirstParagraph(RichEditWidget &editor)
{
    const QTextBlock block = editor.document()->firstBlock();
    editor.document()->documentLayout()->blockBoundingRect(block);
    qreal widest = 0;
    for (int i = 0; i < block.layout()->lineCount(); ++i)
        widest = qMax(widest, block.layout()->lineAt(i).naturalTextWidth());
    return widest;
}
} // namespace

class TestRichEditWidget : public QObject
{
    Q_OBJECT

private slots:
    void registeredUnderWindowClassName();
    void createdByClassNameAsALibraryDoes();
    void oleInterfaceGivesTheDocument();
    void eventMaskProperty();
    void backgroundColour_data();
    void backgroundColour();
    void systemBackgroundFollowsThePalette();
    void wrapWidth_data();
    void wrapWidth();
    void pastesRtfWithItsFormatting();
    void copyOffersRtf();
    void pastesPlainText();
};

void TestRichEditWidget::registeredUnderWindowClassName()
{
    QVERIFY(!QMetaType::fromName(VxAbi::RichEditClassName).isValid());
    RichEditWidget::registerClass();
    RichEditWidget::registerClass(); // harmless twice
    const QMetaType type = QMetaType::fromName(VxAbi::RichEditClassName);
    QVERIFY(type.isValid());
    QVERIFY(type.metaObject());
    QCOMPARE(type.metaObject(), &RichEditWidget::staticMetaObject);
}

void TestRichEditWidget::createdByClassNameAsALibraryDoes()
{
    RichEditWidget::registerClass();
    auto host = std::make_unique<QWidget>();
    QPointer<QObject> made = createByClassName(host.get());
    QVERIFY(made);
    auto *editor = qobject_cast<RichEditWidget *>(made.data());
    QVERIFY(editor);
    QCOMPARE(editor->parentWidget(), host.get());
    QCOMPARE(editor->objectName(), QStringLiteral("VerbanoxDisplay"));
    QCOMPARE(editor->windowTitle(), QStringLiteral("VerbanoxDisplay"));
    QVERIFY(editor->acceptRichText());
    QVERIFY(!editor->isReadOnly());
    // Owned by its host.
    host.reset();
    QVERIFY(!made);
}

void TestRichEditWidget::oleInterfaceGivesTheDocument()
{
    RichEditWidget::registerClass();
    QWidget host;
    QObject *made = createByClassName(&host);
    QVERIFY(made);

    QObject *interface = nullptr;
    QVERIFY(QMetaObject::invokeMethod(made, "oleInterface", Qt::DirectConnection,
                                      Q_RETURN_ARG(QObject *, interface)));
    auto *document = qobject_cast<TextDocument *>(interface);
    QVERIFY(document);
    auto *editor = qobject_cast<RichEditWidget *>(made);
    QCOMPARE(document, editor->textDocument());
    QCOMPARE(editor->oleInterface(), interface);
    QCOMPARE(document->view(), editor);
    QCOMPARE(document->document(), editor->document());

    document->Range(0, 0x7FFFFFFF)->setText(QStringLiteral("In the beginning"));
    QCOMPARE(editor->toPlainText(), QStringLiteral("In the beginning"));
    document->Selection()->SetRange(7, 16);
    QCOMPARE(editor->textCursor().selectedText(), QStringLiteral("beginning"));
}

void TestRichEditWidget::eventMaskProperty()
{
    RichEditWidget editor;
    QCOMPARE(editor.property("eventMask").toUInt(), 0u);
    const quint32 mask =
        VxAbi::ENM_CHANGE | VxAbi::ENM_KEYEVENTS | VxAbi::ENM_MOUSEEVENTS | VxAbi::ENM_SELCHANGE;
    QCOMPARE(mask, 0xB0001u);
    QVERIFY(editor.setProperty("eventMask", QVariant::fromValue<quint32>(mask)));
    QCOMPARE(editor.eventMask(), mask);
    QCOMPARE(editor.property("eventMask").toUInt(), mask);
    editor.setEventMask(VxAbi::ENM_CHANGE);
    QCOMPARE(editor.property("eventMask").toUInt(), quint32(VxAbi::ENM_CHANGE));
}

void TestRichEditWidget::backgroundColour_data()
{
    QTest::addColumn<quint32>("colour");
    QTest::addColumn<QColor>("expected");

    QTest::newRow("red") << quint32(0x0000FF) << QColor(255, 0, 0);
    QTest::newRow("green") << quint32(0x00FF00) << QColor(0, 255, 0);
    QTest::newRow("blue") << quint32(0xFF0000) << QColor(0, 0, 255);
    QTest::newRow("mixed") << quint32(0x336699) << QColor(0x99, 0x66, 0x33);
}

void TestRichEditWidget::backgroundColour()
{
    QFETCH(quint32, colour);
    QFETCH(QColor, expected);
    RichEditWidget editor;
    editor.resize(200, 100);
    const QColor system = renderedBackground(editor);
    QVERIFY(system != expected);

    editor.setBackgroundColor(colour, false);
    QCOMPARE(editor.backgroundColor(), expected);
    QCOMPARE(renderedBackground(editor), expected);

    // The system colour again, whatever colour comes with it.
    editor.setBackgroundColor(colour, true);
    QCOMPARE(renderedBackground(editor), system);
    QCOMPARE(editor.backgroundColor(), QApplication::palette(&editor).color(QPalette::Base));
}

void TestRichEditWidget::systemBackgroundFollowsThePalette()
{
    RichEditWidget editor;
    editor.resize(200, 100);
    editor.setBackgroundColor(0x0000FF, false);
    editor.setBackgroundColor(0, true);
    const QPalette saved = QApplication::palette();
    QPalette changed = saved;
    changed.setColor(QPalette::Base, QColor(250, 240, 10));
    QApplication::setPalette(changed);
    const QColor after = renderedBackground(editor);
    QApplication::setPalette(saved);
    QCOMPARE(after, QColor(250, 240, 10));

    // A colour of its own does not follow.
    editor.setBackgroundColor(0x00FF00, false);
    QApplication::setPalette(changed);
    const QColor own = renderedBackground(editor);
    QApplication::setPalette(saved);
    QCOMPARE(own, QColor(0, 255, 0));
}

void TestRichEditWidget::wrapWidth_data()
{
    QTest::addColumn<int>("twips");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("storedTwips");
    QTest::addColumn<bool>("wraps");
    QTest::addColumn<bool>("scrollsSideways");

    QTest::newRow("0: at the pane's edge") << 0 << int(QTextEdit::WidgetWidth) << 0 << true << false;
    QTest::newRow("negative: at the pane's edge") << -5 << int(QTextEdit::WidgetWidth) << 0 << true << false;
    QTest::newRow("one inch") << 1440 << int(QTextEdit::FixedPixelWidth) << 1440 << true << false;
    QTest::newRow("wider than the pane") << 14400 << int(QTextEdit::FixedPixelWidth) << 14400 << true << true;
    QTest::newRow("very large: no wrapping") << 128000 << int(QTextEdit::NoWrap) << 128000 << false << true;
    QTest::newRow("threshold") << RichEditWidget::NoWrapTwips << int(QTextEdit::NoWrap)
                               << RichEditWidget::NoWrapTwips << false << true;
}

void TestRichEditWidget::wrapWidth()
{
    QFETCH(int, twips);
    QFETCH(int, mode);
    QFETCH(bool, wraps);
    QFETCH(bool, scrollsSideways);

    RichEditWidget editor;
    editor.resize(400, 300);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    QString longParagraph;
    for (int i = 0; i < 120; ++i)
        longParagraph += QStringLiteral("word%1 ").arg(i);
    editor.textDocument()->Range(0, 0x7FFFFFFF)->setText(longParagraph);

    // Start from another mode so that each row really switches.
    editor.setWrapWidth(twips == 0 ? 1440 : 0);
    editor.setWrapWidth(twips);
    QCOMPARE(int(editor.lineWrapMode()), mode);
    QTEST(editor.wrapWidth(), "storedTwips");
    QCoreApplication::processEvents();

    const int lines = linesOfFirstParagraph(editor);
    QVERIFY2(wraps ? lines > 1 : lines == 1, qPrintable(QString::number(lines)));
    if (mode == QTextEdit::FixedPixelWidth) {
        const int pixels = Twips::toPixelsX(twips);
        QCOMPARE(editor.lineWrapColumnOrWidth(), pixels);
        QVERIFY(widestLineOfFirstParagraph(editor) <= pixels);
    } else if (mode == QTextEdit::WidgetWidth) {
        QVERIFY(widestLineOfFirstParagraph(editor) <= editor.viewport()->width());
    }
    QTRY_COMPARE(editor.horizontalScrollBar()->maximum() > 0, scrollsSideways);
}

void TestRichEditWidget::pastesRtfWithItsFormatting()
{
    RichEditWidget editor;
    editor.textDocument()->Range(0, 0x7FFFFFFF)->setText(QStringLiteral("[]"));
    editor.textDocument()->Selection()->SetRange(1, 1);
    auto *mime = new QMimeData;
    mime->setData(QStringLiteral("text/rtf"), "{\\rtf1\\ansi {\\b bold} plain}");
    mime->setText(QStringLiteral("should not be used"));
    QApplication::clipboard()->setMimeData(mime);

    QVERIFY(editor.canPaste());
    editor.paste();
    auto *document = editor.textDocument();
    QCOMPARE(document->Range(0, 0x7FFFFFFF)->Text(), QStringLiteral("[bold plain]\r"));
    QCOMPARE(document->Range(1, 5)->Font()->Bold(), Tom::tomTrue);
    QCOMPARE(document->Range(6, 11)->Font()->Bold(), Tom::tomFalse);
    QCOMPARE(editor.textCursor().position(), 11);
}

void TestRichEditWidget::copyOffersRtf()
{
    RichEditWidget source;
    auto *document = source.textDocument();
    document->Range(0, 0x7FFFFFFF)->setText(QStringLiteral("Hello world"));
    document->Range(6, 11)->Font()->setItalic(Tom::tomTrue);
    document->Selection()->SetRange(4, 11);
    source.copy();

    const QMimeData *copied = QApplication::clipboard()->mimeData();
    QVERIFY(copied);
    QVERIFY(copied->hasFormat(QStringLiteral("text/rtf")));
    QVERIFY(copied->data(QStringLiteral("text/rtf")).startsWith("{\\rtf"));
    QCOMPARE(copied->text(), QStringLiteral("o world"));

    RichEditWidget target;
    target.paste();
    QCOMPARE(target.textDocument()->Range(0, 0x7FFFFFFF)->Text(), QStringLiteral("o world\r"));
    QCOMPARE(target.textDocument()->Range(2, 7)->Font()->Italic(), Tom::tomTrue);
    QCOMPARE(target.textDocument()->Range(0, 1)->Font()->Italic(), Tom::tomFalse);
}

void TestRichEditWidget::pastesPlainText()
{
    RichEditWidget editor;
    QApplication::clipboard()->setText(QStringLiteral("just text"));
    editor.paste();
    QCOMPARE(editor.toPlainText(), QStringLiteral("just text"));
}

QTEST_MAIN(TestRichEditWidget)
#include "tst_richeditwidget.moc"
