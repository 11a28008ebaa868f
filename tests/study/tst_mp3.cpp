#include "common/TestFixture.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"
#include "platform/DefaultInstance.h"
#include "study/Mp3ServiceText.h"
#include "study/ServiceTextFetch.h"
#include "study/frmMP3.h"
#include "study/frmMp3Msg.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

namespace {
const QString Key = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0");

QString reversed(const QString &s)
{
    QString out;
    for (auto it = s.crbegin(); it != s.crend(); ++it)
        out += *it;
    return out;
}

// A one-shot web server on 127.0.0.1 that answers every request the same way.
class LocalService : public QObject
{
public:
    enum Mode { Body, NotFound, Stall, Drop };
    Mode mode = Body;
    QByteArray body;
    QStringList paths;
    QTcpServer server;

    LocalService()
    {
        QVERIFY(server.listen(QHostAddress::LocalHost));
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = server.nextPendingConnection()) {
                socket->setParent(this);
                if (mode == Drop) {
                    socket->abort();
                    continue;
                }
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
            }
        });
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/sw/url.txt").arg(server.serverPort()); }

private:
    void answer(QTcpSocket *socket)
    {
        const QByteArray request = socket->readAll();
        paths << QString::fromLatin1(request.split(' ').value(1));
        if (mode == Stall)
            return;
        const QByteArray status = mode == NotFound ? "404 Not Found" : "200 OK";
        socket->write("HTTP/1.1 " + status + "\r\nContent-Type: text/plain\r\nContent-Length: " +
                      QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
    }
};
} // namespace

class TestMp3 : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;
    int m_messagesShown = 0;
    QString m_shownTitle;

    TestDesktop &desk() { return m_fx->desk(); }
    void makeLanguage(const QString &language, const QStringList &files)
    {
        QDir().mkpath(gModuleFolder + QStringLiteral("MP3/") + language);
        for (const QString &file : files)
            m_fx->writeFile(QStringLiteral("Modules/MP3/") + language + QLatin1Char('/') + file, "ID3");
    }
    frmMP3 &player() { return DefaultInstance<frmMP3>::get(); }

private slots:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpFolders();
        qputenv("VERBANOX_MP3_SERVICE_KEY", Key.toLatin1());
        m_messagesShown = 0;
        frmMp3Msg::setShowModal([this] {
            ++m_messagesShown;
            frmMp3Msg message;
            m_shownTitle = message.windowTitle();
        });
    }
    void cleanup()
    {
        DefaultInstance<frmMP3>::release();
        qunsetenv("VERBANOX_MP3_SERVICE_URL");
        qunsetenv("VERBANOX_MP3_SERVICE_KEY");
        m_fx.reset();
    }

    void decrypt_data()
    {
        QTest::addColumn<QString>("digits"); // after the extra character, before reversing
        QTest::addColumn<QString>("plain");
        // 'H' ^ 'A' = 9, 'i' ^ 'B' = 43, 65 ^ 'C' = 2
        QTest::newRow("3n") << "009043"
                            << "Hi";
        QTest::newRow("3n+1: the last digit is ignored") << "0090435"
                                                         << "Hi";
        QTest::newRow("3n+2: a two-digit group") << "00904365" << QStringLiteral("Hi") + QChar(2);
        QTest::newRow("a group without a number reads as 0")
            << "x12009" << QStringLiteral("A") + QChar(9 ^ 'B');
        QTest::newRow("nothing") << ""
                                 << "";
    }
    void decrypt()
    {
        QFETCH(QString, digits);
        QFETCH(QString, plain);
        QCOMPARE(Mp3ServiceText::Decrypt(reversed(QStringLiteral("7") + digits), Key), plain);
    }

    void theKeyWrapsAfter27()
    {
        QString digits;
        for (int i = 0; i < 30; ++i)
            digits += QStringLiteral("%1").arg('a' ^ Key[i % 27].unicode(), 3, 10, QLatin1Char('0'));
        QCOMPARE(Mp3ServiceText::Decrypt(reversed(QStringLiteral("9") + digits), Key),
                 QString(30, QLatin1Char('a')));
        const QString plain = QStringLiteral("OK\thttp://example.org/dl caf\u00e9 \u201cquoted\u201d");
        QCOMPARE(Mp3ServiceText::Decrypt(Mp3ServiceText::Encrypt(plain, Key), Key), plain);
    }

    void groupOverByteRaises()
    {
        QCOMPARE(raisedErrorNumber([] { Mp3ServiceText::Decrypt(reversed(QStringLiteral("7999")), Key); }),
                 6);
    }

    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("contact");
        QTest::addColumn<QString>("contactLink");
        QTest::addColumn<QString>("hot");
        QTest::addColumn<QString>("hotLink");
        QTest::newRow("all fields")
            << "OK\thttp://d.example/\t<<News>>Body\thttp://c.example/ Write\thttp://h.example/ Look" << true
            << "News"
            << "Body"
            << "Write"
            << "http://c.example/"
            << "Look"
            << "http://h.example/";
        QTest::newRow("ok in lower case") << "ok\tx" << false << ""
                                          << ""
                                          << ""
                                          << ""
                                          << ""
                                          << "";
        QTest::newRow("OK with a blank") << "OK \tx" << false << ""
                                         << ""
                                         << ""
                                         << ""
                                         << ""
                                         << "";
        QTest::newRow("<< without >>") << "OK\tu\t<<Half title" << true << ""
                                       << "<<Half title"
                                       << ""
                                       << ""
                                       << ""
                                       << "";
        QTest::newRow(">> at the end") << "OK\tu\t<<T>>" << true << "T"
                                       << ""
                                       << ""
                                       << ""
                                       << ""
                                       << "";
        QTest::newRow("contact without a blank") << "OK\tu\tm\tmailme" << true << ""
                                                 << "m"
                                                 << "mailme"
                                                 << ""
                                                 << ""
                                                 << "";
        QTest::newRow("tab in the hot link") << "OK\tu\tm\tc\thttp://h/ a\tb" << true << ""
                                             << "m"
                                             << "c"
                                             << ""
                                             << "a\tb"
                                             << "http://h/";
        QTest::newRow("still scrambled") << "123456789" << false << ""
                                         << ""
                                         << ""
                                         << ""
                                         << ""
                                         << "";
    }
    void parse()
    {
        QFETCH(QString, text);
        const Mp3ServiceText::Message m = Mp3ServiceText::Parse(text);
        QTEST(m.serviceOk, "ok");
        QTEST(m.title, "title");
        QTEST(m.message, "message");
        QTEST(m.contactText, "contact");
        QTEST(m.contactLink, "contactLink");
        QTEST(m.hotText, "hot");
        QTEST(m.hotLink, "hotLink");
    }

    void titleMarkersInTheWrongOrderKeepTheCaption()
    {
        const Mp3ServiceText::Message m = Mp3ServiceText::Parse(QStringLiteral("OK\tu\tA>>B<<C"));
        QVERIFY(!m.hasTitle);
        QCOMPARE(m.message, QStringLiteral("B<<C"));
        QVERIFY(Mp3ServiceText::Parse(QStringLiteral("OK\tu\t<<>>m")).hasTitle);
    }

    void safeLinks_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<bool>("safe");
        QTest::newRow("http") << "http://example.org/page" << true;
        QTest::newRow("https") << "https://example.org" << true;
        QTest::newRow("javascript") << "javascript:alert(1)" << false;
        QTest::newRow("file") << "file:///etc/passwd" << false;
        QTest::newRow("no host") << "http:///path" << false;
        QTest::newRow("no scheme") << "www.example.org" << false;
        QTest::newRow("scheme only") << "http:example.org" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("blank inside") << "http://exa mple.org" << false;
    }
    void safeLinks()
    {
        QFETCH(QString, link);
        QTEST(Mp3ServiceText::IsSafeLink(link), "safe");
    }

    void listsAndCount()
    {
        makeLanguage(QStringLiteral("english"), {QStringLiteral("genesis.mp3"), QStringLiteral("notes.txt"),
                                                 QStringLiteral("Exodus.MP3")});
        makeLanguage(QStringLiteral("Afrikaans"), {});
        m_fx->writeFile(QStringLiteral("Modules/MP3/loose.mp3"), "ID3");
        frmMP3 &window = player();
        QCOMPARE(window.windowTitle(), GetMsg(1, 16));
        QCOMPARE(window.cboLang->count(), 2);
        QCOMPARE(window.cboLang->itemText(0), QStringLiteral("AFRIKAANS"));
        QCOMPARE(window.listBooks->count(), 0);
        QCOMPARE(window.StatusBar1->currentMessage(), QStringLiteral("You have 0 books installed!"));
        window.cboLang->setCurrentIndex(1);
        QCOMPARE(window.listBooks->count(), 2);
        QCOMPARE(window.listBooks->item(0)->text(), QStringLiteral("EXODUS.MP3"));
        QCOMPARE(window.listBooks->item(1)->text(), QStringLiteral("GENESIS.MP3"));
        QCOMPARE(window.StatusBar1->currentMessage(), QStringLiteral("You have 2 books installed!"));
        QVERIFY(desk().messageBoxes().isEmpty());
    }

    void playHandsTheRealFileToTheDesktop()
    {
        makeLanguage(QStringLiteral("english"), {QStringLiteral("genesis.mp3")});
        frmMP3 &window = player();
        window.listBooks->setCurrentRow(0);
        window.cmdPlay->click();
        QCOMPARE(desk().openedFiles, QStringList{gModuleFolder + QStringLiteral("MP3/english/genesis.mp3")});

        // No book chosen: the folder is refused by the audio opener.
        window.listBooks->setCurrentRow(-1);
        window.cmdPlay->click();
        QCOMPARE(desk().openedFiles.size(), 1);
        QCOMPARE(desk().messageBoxes().size(), 1);

        // A listed file that has gone is not handed on.
        QVERIFY(QFile::remove(gModuleFolder + QStringLiteral("MP3/english/genesis.mp3")));
        window.listBooks->setCurrentRow(0);
        window.cmdPlay->click();
        QCOMPARE(desk().openedFiles.size(), 1);
        QCOMPARE(desk().messageBoxes().size(), 2);
        QVERIFY(desk().lastMessage().contains(QStringLiteral("GENESIS.MP3")));
    }

    void playWithNoPlayerSaysSo()
    {
        makeLanguage(QStringLiteral("english"), {QStringLiteral("genesis.mp3")});
        desk().canOpen = false;
        frmMP3 &window = player();
        window.listBooks->setCurrentRow(0);
        window.cmdPlay->click();
        const QString file = gModuleFolder + QStringLiteral("MP3/english/genesis.mp3");
        QCOMPARE(desk().openedFiles, QStringList{file});
        QCOMPARE(desk().messageBoxes().size(), 1);
        QCOMPARE(desk().lastMessage(), GetMsg(0, 291, file));
        // Once a player is set up, Play plays.
        desk().canOpen = true;
        window.cmdPlay->click();
        QCOMPARE(desk().openedFiles, (QStringList{file, file}));
        QCOMPARE(desk().messageBoxes().size(), 1);
    }

    void service_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("shown");
        const QByteArray good =
            Mp3ServiceText::Encrypt(QStringLiteral("OK\thttp://d.example/\t<<Audio news>>New Bibles"), Key)
                .toLatin1();
        QTest::newRow("a body") << int(LocalService::Body) << good << true;
        QTest::newRow("an empty body") << int(LocalService::Body) << QByteArray() << false;
        QTest::newRow("404") << int(LocalService::NotFound) << good << false;
        QTest::newRow("a stall") << int(LocalService::Stall) << good << false;
        QTest::newRow("a dropped connection") << int(LocalService::Drop) << good << false;
        QTest::newRow("a body over the cap")
            << int(LocalService::Body) << QByteArray(70 * 1024, '1') << false;
        QTest::newRow("an unscramblable body") << int(LocalService::Body) << QByteArray("9998") << true;
    }
    void service()
    {
        QFETCH(int, mode);
        QFETCH(QByteArray, body);
        QFETCH(bool, shown);
        LocalService service;
        service.mode = LocalService::Mode(mode);
        service.body = body;
        qputenv("VERBANOX_MP3_SERVICE_URL", service.url().toLatin1());
        makeLanguage(QStringLiteral("english"), {});
        frmMP3 &window = player();
        window.Inet->setTimeout(500);
        QSignalSpy done(&window, &frmMP3::downloadFinished);
        window.cmdDownload->click();
        QVERIFY(!window.cmdDownload->isEnabled());
        QVERIFY(done.wait(5000));
        QVERIFY(window.cmdDownload->isEnabled());
        QCOMPARE(m_messagesShown, shown ? 1 : 0);
        if (mode != LocalService::Drop)
            QCOMPARE(service.paths, QStringList{QStringLiteral("/sw/url.txt")});
        if (!shown) {
            QCOMPARE(window.ServiceText, QStringLiteral("ERROR"));
            QCOMPARE(window.StatusBar1->currentMessage(),
                     QStringLiteral("There was an error connecting to the site."));
        } else if (body == "9998") {
            QCOMPARE(window.ServiceText, QStringLiteral("9998"));
        } else {
            QCOMPARE(window.ServiceText, QStringLiteral("OK\thttp://d.example/\t<<Audio news>>New Bibles"));
            QCOMPARE(m_shownTitle, QStringLiteral("Audio news"));
            QCOMPARE(window.StatusBar1->currentMessage(), QString());
        }
    }

    void transferStates()
    {
        makeLanguage(QStringLiteral("english"), {});
        frmMP3 &window = player();
        for (int state = 0; state <= 12; ++state) {
            window.Inet_StateChanged(state);
            QCOMPARE(window.StatusBar1->currentMessage(), GetMsg(0, 15 + state));
        }
        window.Inet_StateChanged(13);
        QCOMPARE(window.StatusBar1->currentMessage(), QString());
    }

    void noFolderAsksAndFetchesAtTheFirstActivationOnly()
    {
        LocalService service;
        service.mode = LocalService::NotFound;
        qputenv("VERBANOX_MP3_SERVICE_URL", service.url().toLatin1());
        desk().messageBoxAnswers = {MsgBoxResult::Yes};
        frmMP3 &window = player();
        QCOMPARE(desk().messageBoxes().size(), 1);
        QCOMPARE(desk().messageBoxes()[0].text, GetMsg(0, 14));
        QCOMPARE(desk().messageBoxes()[0].style, MsgBoxStyle::YesNo | MsgBoxStyle::Question);
        QCOMPARE(window.cboLang->count(), 0);
        QVERIFY(window.DownloadOnActivate);
        QSignalSpy done(&window, &frmMP3::downloadFinished);
        QEvent activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(&window, &activate);
        QVERIFY(done.wait(5000));
        QCoreApplication::sendEvent(&window, &activate);
        QTest::qWait(100);
        QCOMPARE(service.paths.size(), 1);
        QVERIFY(!window.DownloadOnActivate);
    }

    void messageWindowLinks()
    {
        frmMp3Msg message;
        message.ShowServiceText(
            QStringLiteral("OK\thttps://dl.example/mp3\t<b>bold</b> text\tjavascript:alert(1) "
                           "Contact\thttps://hot.example/x Hot"));
        QCOMPARE(message.txtMessage->toPlainText(), QStringLiteral("<b>bold</b> text"));
        QCOMPARE(message.txtMp3DownloadUrl->text(), QStringLiteral("Download MP3 Bibles here"));
        QVERIFY(message.txtMp3DownloadUrl->isEnabled());
        QTest::mouseClick(message.txtMp3DownloadUrl, Qt::LeftButton);
        QCOMPARE(desk().openedUrls, QStringList{QStringLiteral("https://dl.example/mp3")});
        // A malicious contact link is refused.
        QTest::mouseClick(message.txtContact, Qt::LeftButton);
        QCOMPARE(desk().openedUrls.size(), 1);
        QVERIFY(message.StatusBar1->currentMessage().contains(QStringLiteral("javascript:alert(1)")));
        // Space in the hot-link box opens the hot link, as a click does.
        QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
        QCoreApplication::sendEvent(message.txtUrlHotLink, &space);
        QCOMPARE(desk().openedUrls.last(), QStringLiteral("https://hot.example/x"));

        // A link written without "http://" is completed, as the desktop opens it.
        message.ShowServiceText(QStringLiteral("OK\twww.example.org/mp3\tm\tHTTPS://help.example Help"));
        QTest::mouseClick(message.txtMp3DownloadUrl, Qt::LeftButton);
        QCOMPARE(desk().openedUrls.last(), QStringLiteral("http://www.example.org/mp3"));
        QTest::mouseClick(message.txtContact, Qt::LeftButton);
        QCOMPARE(desk().openedUrls.last(), QStringLiteral("HTTPS://help.example"));
        QCOMPARE(desk().openedUrls.size(), 4);

        // A contact field without a blank is all text and no link.
        message.ShowServiceText(QStringLiteral("OK\tu\tm\tmailme"));
        QCOMPARE(message.txtContact->text(), QStringLiteral("mailme"));
        QVERIFY(!message.OpenLink(message.ContactLink));
        QCOMPARE(message.StatusBar1->currentMessage(), GetMsg(0, 285));

        message.ShowServiceText(QStringLiteral("maintenance\thttps://dl.example/mp3"));
        QVERIFY(!message.txtMp3DownloadUrl->isEnabled());
        QCOMPARE(message.txtMp3DownloadUrl->text(),
                 QStringLiteral("We are busy with site maintenance. Sorry, please try later"));
    }
};

QTEST_MAIN(TestMp3)
#include "tst_mp3.moc"
