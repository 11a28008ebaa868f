#include "platform/Desktop.h"
#include "platform/QtDesktop.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTextDocument>
#include <QTimer>
#include <QtTest>
#include <functional>

// The desktop of the running program, driven headless: each modal box is
// inspected and answered by a timer while it is open.
class tst_QtDesktop : public QObject
{
    Q_OBJECT

private slots:
    void textIsShownAsItStands();
    void buttonsDefaultAndAnswer();
    void escapeAnswersCancel();

private:
    // Runs `inspect` on the message box once it is open.
    void whenBoxOpens(std::function<void(QMessageBox *)> inspect)
    {
        auto *timer = new QTimer(this);
        timer->setInterval(10);
        connect(timer, &QTimer::timeout, this, [timer, inspect] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            timer->stop();
            timer->deleteLater();
            inspect(box);
        });
        timer->start();
    }

    QtDesktop m_desktop;
};

void tst_QtDesktop::textIsShownAsItStands()
{
    // A message whose first line looks like markup (a file name, a text from a
    // data file) is still shown character for character, line breaks included.
    const QString text = QStringLiteral("<b>Psalm</b> 23.mp3\r\n\r\nsecond line");
    QVERIFY(Qt::mightBeRichText(text)); // shown as markup unless told otherwise
    QString shown;
    Qt::TextFormat format = Qt::AutoText;
    whenBoxOpens([&](QMessageBox *box) {
        format = box->textFormat();
        shown = box->text();
        box->button(QMessageBox::Ok)->click();
    });
    QCOMPARE(m_desktop.messageBox(text, MsgBoxStyle::Exclamation, QStringLiteral("Title")), MsgBoxResult::OK);
    QCOMPARE(format, Qt::PlainText);
    QCOMPARE(shown, text);
}

void tst_QtDesktop::buttonsDefaultAndAnswer()
{
    QString title;
    QAbstractButton *defaultButton = nullptr;
    QAbstractButton *no = nullptr;
    QAbstractButton *yes = nullptr;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    whenBoxOpens([&](QMessageBox *box) {
        title = box->windowTitle();
        icon = box->icon();
        defaultButton = box->defaultButton();
        no = box->button(QMessageBox::No);
        yes = box->button(QMessageBox::Yes);
        if (yes)
            yes->click();
        else
            box->done(0);
    });
    const int answer = m_desktop.messageBox(
        QStringLiteral("Go on?"), MsgBoxStyle::YesNo | MsgBoxStyle::Question | MsgBoxStyle::DefaultButton2,
        QString());
    QVERIFY(yes);
    QCOMPARE(answer, MsgBoxResult::Yes);
    QCOMPARE(title, QStringLiteral("Verbanox")); // an empty title shows the application title
    QCOMPARE(icon, QMessageBox::Question);
    QVERIFY(no);
    QCOMPARE(defaultButton, no);
}

void tst_QtDesktop::escapeAnswersCancel()
{
    whenBoxOpens([](QMessageBox *box) { QTest::keyClick(box, Qt::Key_Escape); });
    QCOMPARE(m_desktop.messageBox(QStringLiteral("Save?"), MsgBoxStyle::YesNoCancel, QString()),
             MsgBoxResult::Cancel);
}

QTEST_MAIN(tst_QtDesktop)
#include "tst_qtdesktop.moc"
