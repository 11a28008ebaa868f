#include "common/TestFixture.h"
#include "core/GlobalVars.h"
#include "platform/RichTextBox.h"
#include "platform/Twips.h"
#include "search/FormatToolbar.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextList>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

namespace {
// "plain bold": the first word plain, the second bold, and so on.
void fill(RichTextBox *rt, const QStringList &words)
{
    rt->clear();
    QTextCursor cursor(rt->document());
    for (const QString &word : words) {
        QTextCharFormat format;
        format.setFontWeight(word.startsWith(QLatin1String("bold")) ? QFont::Bold : QFont::Normal);
        format.setFontItalic(word.contains(QLatin1String("italic")));
        format.setFontUnderline(word.contains(QLatin1String("under")));
        cursor.insertText(word + QLatin1Char(' '), format);
    }
}

int indentTwips(const QTextBlock &block)
{
    return qRound(block.blockFormat().leftMargin() * Twips::perPixelX());
}
} // namespace

class TestFormatToolbar : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;
    std::unique_ptr<QWidget> m_window;
    RichTextBox *m_rt = nullptr;
    FormatToolbar *m_bar = nullptr;

    void select(int start, int length)
    {
        m_rt->setSelStart(start);
        m_rt->setSelLength(length);
    }
    bool allHave(int start, int end, bool (QTextCharFormat::*property)() const)
    {
        for (int position = start + 1; position <= end; ++position) {
            QTextCursor cursor(m_rt->document());
            cursor.setPosition(position);
            if (!(cursor.charFormat().*property)())
                return false;
        }
        return true;
    }

private slots:
    void init()
    {
        m_fx = std::make_unique<TestFixture>(false);
        m_window = std::make_unique<QWidget>();
        auto *layout = new QVBoxLayout(m_window.get());
        m_rt = new RichTextBox(m_window.get());
        m_bar = new FormatToolbar(m_rt, m_window.get());
        layout->addWidget(m_bar);
        layout->addWidget(m_rt);
        m_window->show();
    }
    void cleanup()
    {
        m_window.reset();
        m_fx.reset();
    }

    // A selection that is partly bold (italic, underlined) is set bold; a wholly bold
    // one loses it; the button follows the selection.
    void toggles_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("after");
        QTest::newRow("bold on plain") << QStringList{"plain", "words"} << "bold" << true;
        QTest::newRow("bold on mixed") << QStringList{"plain", "bold"} << "bold" << true;
        QTest::newRow("bold on bold") << QStringList{"bold", "boldtoo"} << "bold" << false;
        QTest::newRow("italic on mixed") << QStringList{"italic", "plain"} << "italic" << true;
        QTest::newRow("italic on italic") << QStringList{"italic", "italic"} << "italic" << false;
        QTest::newRow("underline on mixed") << QStringList{"plain", "under"} << "underline" << true;
    }
    void toggles()
    {
        QFETCH(QStringList, words);
        QFETCH(QString, button);
        QFETCH(bool, after);
        fill(m_rt, words);
        const int end = int(m_rt->Text().size()) - 1;
        select(0, end);
        QSignalSpy undo(m_bar, &FormatToolbar::undoAvailable);
        QToolButton *pressed = button == QLatin1String("bold")     ? m_bar->cmdBold
                               : button == QLatin1String("italic") ? m_bar->cmdItalic
                                                                   : m_bar->cmdUnderline;
        pressed->click();
        const auto property = button == QLatin1String("italic")      ? &QTextCharFormat::fontItalic
                              : button == QLatin1String("underline") ? &QTextCharFormat::fontUnderline
                                                                     : nullptr;
        if (property) {
            QCOMPARE(allHave(0, end, property), after);
        } else {
            QTextCursor cursor(m_rt->document());
            for (int position = 1; position <= end; ++position) {
                cursor.setPosition(position);
                QCOMPARE(cursor.charFormat().fontWeight() >= QFont::Bold, after);
            }
        }
        QCOMPARE(FormatToolbar::Pressed(pressed), after);
        QCOMPARE(undo.size(), 1);
        QVERIFY(m_fx->desk().messageBoxes().isEmpty());
        QVERIFY(m_rt->document()->isModified());
    }

    void indents_data()
    {
        QTest::addColumn<QList<int>>("before");
        QTest::addColumn<bool>("more");
        QTest::addColumn<QList<int>>("after");
        QTest::newRow("more") << QList<int>{0} << true << QList<int>{500};
        QTest::newRow("less") << QList<int>{1000} << false << QList<int>{500};
        QTest::newRow("less stops at 0") << QList<int>{300} << false << QList<int>{0};
        QTest::newRow("less at 0") << QList<int>{0} << false << QList<int>{0};
        QTest::newRow("each paragraph its own step") << QList<int>{0, 1000} << true << QList<int>{500, 1500};
        QTest::newRow("mixed, less") << QList<int>{0, 1000} << false << QList<int>{0, 500};
    }
    void indents()
    {
        QFETCH(QList<int>, before);
        QFETCH(bool, more);
        QFETCH(QList<int>, after);
        m_rt->setText(QStringLiteral("one\rtwo"));
        for (int i = 0; i < before.size(); ++i) {
            QTextBlockFormat format;
            format.setLeftMargin(before[i] / Twips::perPixelX());
            QTextCursor(m_rt->document()->findBlockByNumber(i)).setBlockFormat(format);
        }
        select(0, before.size() == 1 ? 1 : 6);
        (more ? m_bar->cmdIndentMore : m_bar->cmdIndentLess)->click();
        for (int i = 0; i < after.size(); ++i)
            QCOMPARE(indentTwips(m_rt->document()->findBlockByNumber(i)), after[i]);
    }

    void alignment_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("alignment");
        QTest::newRow("left") << "left" << int(Qt::AlignLeft);
        QTest::newRow("centre") << "centre" << int(Qt::AlignHCenter);
        QTest::newRow("right") << "right" << int(Qt::AlignRight);
    }
    void alignment()
    {
        QFETCH(QString, button);
        QFETCH(int, alignment);
        m_rt->setText(QStringLiteral("one\rtwo\rthree"));
        m_bar->cmdCentreJ->click(); // a pressed button before
        select(0, 5);
        m_bar->findChild<QToolButton *>(button)->click();
        for (int i = 0; i < 2; ++i)
            QCOMPARE(int(m_rt->document()->findBlockByNumber(i).blockFormat().alignment() &
                         Qt::AlignHorizontal_Mask),
                     alignment);
        QCOMPARE(FormatToolbar::Pressed(m_bar->cmdLeftJ), button == QLatin1String("left"));
        QCOMPARE(FormatToolbar::Pressed(m_bar->cmdCentreJ), button == QLatin1String("centre"));
        QCOMPARE(FormatToolbar::Pressed(m_bar->cmdRightJ), button == QLatin1String("right"));
    }

    // Bullets go on for a selection partly bulleted, off when all have them; the
    // selection stays.
    void bullets_data()
    {
        QTest::addColumn<QList<bool>>("before");
        QTest::addColumn<bool>("after");
        QTest::newRow("none") << QList<bool>{false, false} << true;
        QTest::newRow("mixed") << QList<bool>{true, false} << true;
        QTest::newRow("all") << QList<bool>{true, true} << false;
    }
    void bullets()
    {
        QFETCH(QList<bool>, before);
        QFETCH(bool, after);
        m_rt->setText(QStringLiteral("one\rtwo\rthree"));
        for (int i = 0; i < 2; ++i) {
            if (before[i]) {
                select(i * 4, 0);
                m_bar->cmdBullet->click();
            }
        }
        select(1, 5);
        m_bar->cmdBullet->click();
        QCOMPARE(m_rt->SelStart(), 1);
        QCOMPARE(m_rt->SelLength(), 5);
        const QTextList *first = m_rt->document()->findBlockByNumber(0).textList();
        QCOMPARE(first != nullptr, after);
        QCOMPARE(m_rt->document()->findBlockByNumber(1).textList(), first);
        QVERIFY(!m_rt->document()->findBlockByNumber(2).textList());
        QCOMPARE(FormatToolbar::Pressed(m_bar->cmdBullet), after);
        if (after)
            QVERIFY(indentTwips(m_rt->document()->findBlockByNumber(0)) >= 300);
    }

    void fontSize_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("size"); // 0: ignored
        QTest::newRow("number") << "14" << 14.0;
        QTest::newRow("with spaces") << " 20 " << 20.0;
        QTest::newRow("not a number") << "big" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("zero") << "0" << 0.0;
        QTest::newRow("too large") << "300" << 0.0;
    }
    void fontSize()
    {
        QFETCH(QString, typed);
        QFETCH(double, size);
        gBib1Fontsize = 12;
        m_rt->setText(QStringLiteral("words"));
        select(0, 5);
        m_bar->cboSize->setCurrentText(typed);
        m_bar->cboSize_Click();
        QTextCursor cursor(m_rt->document());
        cursor.setPosition(2);
        QCOMPARE(cursor.charFormat().fontPointSize(), size);
        QCOMPARE(int(gBib1Fontsize), size > 0 ? int(size) : 12);
        QVERIFY(m_fx->desk().messageBoxes().isEmpty());
    }

    void colours_data()
    {
        QTest::addColumn<bool>("text");
        QTest::addColumn<bool>("chosen");
        QTest::newRow("text colour") << true << true;
        QTest::newRow("text colour cancelled") << true << false;
        QTest::newRow("back colour") << false << true;
        QTest::newRow("back colour cancelled") << false << false;
    }
    void colours()
    {
        QFETCH(bool, text);
        QFETCH(bool, chosen);
        gBib1TC = 0;
        gBib1BC = 0xFFFFFF;
        m_rt->setText(QStringLiteral("words"));
        m_rt->document()->setModified(false);
        const QColor baseBefore = m_rt->palette().color(QPalette::Base);
        select(0, 5);
        m_fx->desk().colorAnswers.push_back(chosen ? std::optional<quint32>(0x0000C0) : std::nullopt);
        QSignalSpy undo(m_bar, &FormatToolbar::undoAvailable);
        (text ? m_bar->cmdFColuor : m_bar->cmdBColour)->click();
        QTextCursor cursor(m_rt->document());
        cursor.setPosition(2);
        const bool red = cursor.charFormat().foreground().color() == QColor(0xC0, 0, 0);
        QCOMPARE(red, text && chosen);
        QCOMPARE(gBib1TC, text && chosen ? 0x0000C0u : 0u);
        QCOMPARE(gBib1BC, !text && chosen ? 0x0000C0u : 0xFFFFFFu);
        QCOMPARE(m_rt->palette().color(QPalette::Base), !text && chosen ? QColor(0xC0, 0, 0) : baseBefore);
        QCOMPARE(undo.size(), chosen ? 1 : 0);
        QCOMPARE(m_rt->document()->isModified(), text && chosen);
        QVERIFY(m_fx->desk().messageBoxes().isEmpty());
    }

    void keys_data()
    {
        QTest::addColumn<bool>("down");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("shift");
        QTest::addColumn<int>("keyAfter");
        QTest::addColumn<QString>("effect");
        QTest::newRow("Ctrl+B") << true << int('B') << 2 << 0 << "bold";
        QTest::newRow("Ctrl+T") << true << int('T') << 2 << 0 << "italic";
        QTest::newRow("Ctrl+U") << true << int('U') << 2 << 0 << "underline";
        QTest::newRow("Ctrl+I passes") << true << int('I') << 2 << int('I') << "";
        QTest::newRow("Ctrl+Shift+B passes") << true << int('B') << 3 << int('B') << "";
        QTest::newRow("Ctrl+A") << true << int('A') << 2 << 0 << "selectAll";
        QTest::newRow("Ctrl+F") << true << int('F') << 2 << 0 << "find";
        QTest::newRow("Ctrl+W kept") << true << int('W') << 2 << int('W') << "wrap";
        QTest::newRow("F3 kept") << true << 114 << 0 << 114 << "findNext";
        QTest::newRow("Alt+C") << false << int('C') << 4 << int('C') << "centre";
        QTest::newRow("Alt+R") << false << int('R') << 4 << int('R') << "right";
        QTest::newRow("Alt+L") << false << int('L') << 4 << int('L') << "left";
        QTest::newRow("Alt+D") << false << int('D') << 4 << int('D') << "indent";
        QTest::newRow("Alt+S") << false << int('S') << 4 << int('S') << "outdent";
        QTest::newRow("Alt+O") << false << int('O') << 4 << int('O') << "bullet";
        QTest::newRow("Alt+C pressed") << true << int('C') << 4 << int('C') << "";
        QTest::newRow("Alt+Shift+C") << false << int('C') << 5 << int('C') << "";
    }
    void keys()
    {
        QFETCH(bool, down);
        QFETCH(int, key);
        QFETCH(int, shift);
        QFETCH(int, keyAfter);
        QFETCH(QString, effect);
        m_rt->setText(QStringLiteral("one\rtwo"));
        QTextBlockFormat indented;
        indented.setLeftMargin(1000 / Twips::perPixelX());
        indented.setAlignment(Qt::AlignJustify);
        QTextCursor(m_rt->document()).setBlockFormat(indented);
        select(0, 3);
        QStringList signalled;
        connect(m_bar, &FormatToolbar::findRequested, this, [&] { signalled << "find"; });
        connect(m_bar, &FormatToolbar::findNextRequested, this, [&] { signalled << "findNext"; });
        connect(m_bar, &FormatToolbar::selectAllRequested, this, [&] { signalled << "selectAll"; });
        connect(m_bar, &FormatToolbar::wrapTextRequested, this, [&] { signalled << "wrap"; });
        int keyCode = key;
        if (down)
            m_bar->Form_KeyDown(keyCode, shift);
        else
            m_bar->Form_KeyUp(keyCode, shift);
        QCOMPARE(keyCode, keyAfter);
        const QTextBlock block = m_rt->document()->begin();
        const Qt::Alignment alignment = block.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
        QStringList effects = signalled;
        QTextCursor at(m_rt->document());
        at.setPosition(2);
        if (at.charFormat().fontWeight() >= QFont::Bold)
            effects << "bold";
        if (at.charFormat().fontItalic())
            effects << "italic";
        if (at.charFormat().fontUnderline())
            effects << "underline";
        if (alignment == Qt::AlignHCenter)
            effects << "centre";
        if (alignment == Qt::AlignRight)
            effects << "right";
        if (alignment == Qt::AlignLeft)
            effects << "left";
        if (indentTwips(block) == 1500)
            effects << "indent";
        if (indentTwips(block) == 500)
            effects << "outdent";
        if (block.textList())
            effects << "bullet";
        QCOMPARE(effects.join(','), effect);
    }

    // Ctrl+A and Ctrl+F stay the pane's own keys while the window does not take them.
    void unclaimedWindowKeys()
    {
        for (int key : {int('A'), int('F')}) {
            int keyCode = key;
            m_bar->Form_KeyDown(keyCode, 2);
            QCOMPARE(keyCode, key);
        }
        m_rt->setText(QStringLiteral("all of it"));
        m_rt->setFocus();
        QTest::keyClick(m_rt, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(m_rt->SelLength(), 9);
    }

    // Real key events in the pane: Ctrl+B is swallowed, Alt+C centres on release and
    // types nothing.
    void paneKeys()
    {
        m_rt->setText(QStringLiteral("text"));
        m_rt->setFocus();
        select(0, 4);
        QTest::keyClick(m_rt, Qt::Key_B, Qt::ControlModifier);
        QTest::keyClick(m_rt, Qt::Key_C, Qt::AltModifier);
        QCOMPARE(m_rt->Text(), QStringLiteral("text"));
        QTextCursor at(m_rt->document());
        at.setPosition(2);
        QCOMPARE(at.charFormat().fontWeight(), int(QFont::Bold));
        QCOMPARE(m_rt->document()->begin().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                 Qt::AlignHCenter);
    }

    // The buttons and boxes show the selection: mixed is not pressed and no font.
    void updateButtons_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("sameFont");
        QTest::newRow("plain word") << 0 << 4 << false << true;
        QTest::newRow("bold word") << 6 << 4 << true << true;
        QTest::newRow("mixed") << 0 << 10 << false << false;
        QTest::newRow("caret in bold") << 8 << 0 << true << true;
    }
    void updateButtons()
    {
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(bool, bold);
        QFETCH(bool, sameFont);
        m_rt->setText(QString());
        QTextCursor cursor(m_rt->document());
        QTextCharFormat plain;
        plain.setFontFamilies({m_bar->cboFont->itemText(0)});
        plain.setFontPointSize(11);
        QTextCharFormat strong;
        strong.setFontWeight(QFont::Bold);
        strong.setFontFamilies({m_bar->cboFont->itemText(1)});
        strong.setFontPointSize(11);
        cursor.insertText(QStringLiteral("word, "), plain);
        cursor.insertText(QStringLiteral("bold"), strong);
        select(start, length);
        m_bar->UpdateButtons();
        QCOMPARE(FormatToolbar::Pressed(m_bar->cmdBold), bold);
        QCOMPARE(m_bar->cboFont->currentText().isEmpty(), !sameFont);
        QCOMPARE(m_bar->cboSize->currentText(), QStringLiteral("11"));
        QVERIFY(FormatToolbar::Pressed(m_bar->cmdLeftJ));
    }

    // A document written elsewhere names fonts this desktop lacks: the box names
    // the selection's font all the same, and a font chosen from the list still applies.
    void fontNotInstalledIsNamed_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("shown");
        QTest::newRow("word in the missing font") << 6 << 4 << MissingFont;
        QTest::newRow("caret in the missing font") << 8 << 0 << MissingFont;
        QTest::newRow("installed and missing font") << 0 << 10 << QString();
    }
    void fontNotInstalledIsNamed()
    {
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(QString, shown);
        QVERIFY(m_bar->cboFont->findText(MissingFont) < 0);
        m_rt->setText(QString());
        QTextCursor cursor(m_rt->document());
        QTextCharFormat installed;
        installed.setFontFamilies({m_bar->cboFont->itemText(0)});
        QTextCharFormat missing;
        missing.setFontFamilies({MissingFont});
        cursor.insertText(QStringLiteral("word, "), installed);
        cursor.insertText(QStringLiteral("else"), missing);
        select(start, length);
        m_bar->UpdateButtons();
        QCOMPARE(m_bar->cboFont->currentText(), shown);

        const QString chosen = m_bar->cboFont->itemText(1);
        m_bar->cboFont->setCurrentIndex(1);
        emit m_bar->cboFont->activated(1);
        QCOMPARE(gDefaultFont, chosen);
        select(6, 4);
        m_bar->UpdateButtons();
        QCOMPARE(m_bar->cboFont->currentText(), length > 0 ? chosen : MissingFont);
    }

    void defaultFontNotInstalledIsNamed()
    {
        gDefaultFont = MissingFont;
        FormatToolbar bar(m_rt, m_window.get());
        QCOMPARE(bar.cboFont->currentText(), MissingFont);
    }

private:
    static inline const QString MissingFont = QStringLiteral("Verbanox Missing Sans");
};

QTEST_MAIN(TestFormatToolbar)
#include "tst_formattoolbar.moc"
