#include "study/frmMP3.h"
#include "study/Mp3ServiceText.h"
#include "study/ServiceTextFetch.h"
#include "study/frmMp3Msg.h"

#include "core/Bug_.h"
#include "core/GlobalVars.h"
#include "core/MiscHelpers.h"
#include "core/MsgSupport.h"
#include "core/Registry_.h"
#include "core/UrlHelpers_.h"
#include "mainwindow/MainMenu.h"
#include "mainwindow/MenuTargets.h"
#include "platform/CodePage.h"
#include "platform/DefaultInstance.h"
#include "platform/Desktop.h"
#include "platform/FileNames.h"
#include "platform/HelpService.h"
#include "platform/SettingsStore.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>

namespace {
constexpr int CaptionId = 16;
constexpr int NoMp3FolderMsg = 14;
constexpr int FirstStateMsg = 15;
constexpr int AudioFileMissingMsg = 282;
// The built-in key of the service's scrambling; a deployment may set its own.
const QString BuiltInKey = QStringLiteral("Vx7#qLm2!Rt9$Kp4&Wz6*Hn3%Jd");

QString overridden(const char *variable, const QString &settingKey, const QString &fallback)
{
    const QString fromEnvironment = qEnvironmentVariable(variable);
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return SettingsStore::instance().value(QStringLiteral("Settings"), settingKey, fallback);
}

QStringList sortedUpper(QStringList names)
{
    for (QString &name : names)
        name = name.toUpper();
    std::sort(names.begin(), names.end());
    return names;
}
} // namespace

frmMP3::frmMP3()
{
    setAttribute(Qt::WA_DeleteOnClose, true);
    setAttribute(Qt::WA_QuitOnClose, false);
    lblLang = new QLabel(QStringLiteral(" Available &Translations"), this);
    cboLang = new QComboBox(this);
    lblLang->setBuddy(cboLang);
    lblBooks = new QLabel(QStringLiteral(" Available &Books"), this);
    listBooks = new QListWidget(this);
    lblBooks->setBuddy(listBooks);
    cmdPlay = new QPushButton(QStringLiteral("&Play"), this);
    cmdDownload = new QPushButton(QStringLiteral("&More..."), this);
    cmdDownload->setToolTip(QStringLiteral("Click here to download more files from the Website"));
    cmdHelp = new QPushButton(QStringLiteral("&Help"), this);
    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setSizeGripEnabled(false);
    Inet = new ServiceTextFetch(this);

    auto *layout = new QGridLayout(this);
    layout->addWidget(lblLang, 0, 0);
    layout->addWidget(cboLang, 1, 0);
    layout->addWidget(cmdDownload, 1, 1);
    layout->addWidget(lblBooks, 2, 0);
    layout->addWidget(cmdPlay, 2, 1);
    layout->addWidget(listBooks, 3, 0, 3, 1);
    layout->setRowStretch(3, 1);
    layout->addWidget(cmdHelp, 4, 1);
    layout->addWidget(cmdClose, 5, 1);
    layout->addWidget(StatusBar1, 6, 0, 1, 2);

    connect(cboLang, &QComboBox::currentIndexChanged, this, [this] { cboLang_Click(); });
    connect(listBooks, &QListWidget::itemDoubleClicked, this, [this] { PlaySelected(); });
    connect(cmdPlay, &QPushButton::clicked, this, [this] { cmdPlay_Click(); });
    connect(cmdDownload, &QPushButton::clicked, this, [this] { cmdDownload_Click(); });
    connect(cmdHelp, &QPushButton::clicked, this, [this] { cmdHelp_Click(); });
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    connect(Inet, &ServiceTextFetch::stateChanged, this, &frmMP3::Inet_StateChanged);
    connect(Inet, &ServiceTextFetch::finished, this, &frmMP3::ServiceTextArrived);
    resize(460, 400);
    Form_Load();
}

frmMP3::~frmMP3() = default;

void frmMP3::Register()
{
    MenuTargets::Register(MenuTargets::MP3, {[]() -> QWidget * { return &DefaultInstance<frmMP3>::get(); },
                                             []() -> QWidget * { return DefaultInstance<frmMP3>::peek(); },
                                             {}});
}

QStringList frmMP3::ListLanguages(const QString &mp3Folder)
{
    return sortedUpper(QDir(mp3Folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot));
}

QStringList frmMP3::ListBooks(const QString &languageFolder)
{
    QStringList books;
    for (const QString &name : QDir(languageFolder).entryList(QDir::Files))
        if (name.endsWith(QLatin1String(".mp3"), Qt::CaseInsensitive))
            books.append(name);
    return sortedUpper(books);
}

QUrl frmMP3::ServiceAddress()
{
    return QUrl(overridden("VERBANOX_MP3_SERVICE_URL", QStringLiteral("Mp3ServiceUrl"),
                           MiscHelpers::WebSiteAddress() + QStringLiteral("sw/url.txt")));
}

QString frmMP3::ServiceKey()
{
    return overridden("VERBANOX_MP3_SERVICE_KEY", QStringLiteral("Mp3ServiceKey"), BuiltInKey);
}

QString frmMP3::Decrypt(const QString &text) const
{
    return Mp3ServiceText::Decrypt(text, ServiceKey());
}

void frmMP3::Form_Load()
{
    IgnoreErrors([this] { RestoreFormPosition(QStringLiteral("Mp3Player"), this); });
    Mp3Folder = gModuleFolder + QStringLiteral("MP3/");
    setWindowTitle(GetMsg(1, CaptionId));
    const QString folder = FileNames::resolve(Mp3Folder);
    if (QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty()) {
        const int answer = desktop().messageBox(GetMsg(0, NoMp3FolderMsg),
                                                MsgBoxStyle::YesNo | MsgBoxStyle::Question, windowTitle());
        DownloadOnActivate = answer == MsgBoxResult::Yes;
    }
    cboLang->addItems(ListLanguages(folder));
    IgnoreErrors([this] {
        if (cboLang->count() > 0) {
            cboLang->setCurrentIndex(0);
            cboLang_Click();
        }
    });
}

void frmMP3::cboLang_Click()
{
    IgnoreErrors([this] {
        listBooks->clear();
        const QStringList books =
            ListBooks(FileNames::resolve(Mp3Folder + cboLang->currentText() + QLatin1Char('/')));
        listBooks->addItems(books);
        UpdateStatusBar(QStringLiteral("You have ") + QString::number(books.size()) +
                        QStringLiteral(" books installed!"));
    });
}

void frmMP3::cmdPlay_Click()
{
    PlaySelected();
}

void frmMP3::PlaySelected()
{
    IgnoreErrors([this] {
        QListWidgetItem *book = listBooks->currentItem();
        const QString shown =
            Mp3Folder + cboLang->currentText() + QLatin1Char('/') + (book ? book->text() : QString());
        // The names are shown upper-cased; the file on disk keeps its own case.
        const QString path = FileNames::resolve(shown);
        if (book && !QFileInfo(path).isFile()) {
            desktop().messageBox(GetMsg(0, AudioFileMissingMsg, shown), MsgBoxStyle::Exclamation,
                                 windowTitle());
            return;
        }
        PlayAudioFile(book ? path : shown, gMainForm);
    });
}

void frmMP3::cmdDownload_Click()
{
    IgnoreErrors([this] {
        // The fetch runs in the background; More... waits for it to end.
        cmdDownload->setEnabled(false);
        Inet->start(ServiceAddress());
    });
}

void frmMP3::ServiceTextArrived(const QByteArray &body)
{
    cmdDownload->setEnabled(true);
    if (body.isEmpty()) {
        ServiceText = QStringLiteral("ERROR");
        UpdateStatusBar(QStringLiteral("There was an error connecting to the site."));
        emit downloadFinished();
        return;
    }
    ServiceText = CodePage::decode(body, 1252);
    // A text that does not unscramble is shown as fetched; the message window
    // then finds no "OK" status in it.
    IgnoreErrors([this] { ServiceText = Decrypt(ServiceText); });
    UpdateStatusBar(QString());
    emit downloadFinished();
    IgnoreErrors([] { frmMp3Msg::ShowModal(); });
}

void frmMP3::cmdHelp_Click()
{
    HelpService::showHelp();
}

void frmMP3::Inet_StateChanged(int state)
{
    if (state < 0 || state > 12) {
        Assert(false, QStringLiteral("False, missing state message!"));
        UpdateStatusBar(QString());
        return;
    }
    UpdateStatusBar(GetMsg(0, FirstStateMsg + state));
    StatusBar1->repaint();
}

void frmMP3::UpdateStatusBar(const QString &text)
{
    StatusBar1->showMessage(text);
}

bool frmMP3::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return QWidget::event(event);
}

void frmMP3::Form_Activate()
{
    if (m_activated)
        return;
    m_activated = true;
    if (DownloadOnActivate) {
        DownloadOnActivate = false;
        cmdDownload_Click();
    }
}

void frmMP3::closeEvent(QCloseEvent *event)
{
    IgnoreErrors([this] { SaveFormPosition(QStringLiteral("Mp3Player"), this); });
    event->accept();
}
