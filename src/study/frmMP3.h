#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <QWidget>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QStatusBar;
class ServiceTextFetch;

// The audio Bibles of the MP3 folder by language and book, played by the
// desktop's audio player; More... fetches the service's news about them.
class frmMP3 : public QWidget
{
    Q_OBJECT

public:
    frmMP3();
    ~frmMP3() override;
    static void Register();

    // The language folders of an MP3 folder, upper-cased and sorted.
    static QStringList ListLanguages(const QString &mp3Folder);
    // The "*.mp3" files of a language folder, upper-cased and sorted.
    static QStringList ListBooks(const QString &languageFolder);
    // The deployment's service address and key; the environment variables
    // VERBANOX_MP3_SERVICE_URL and VERBANOX_MP3_SERVICE_KEY, then the settings
    // "Mp3ServiceUrl" and "Mp3ServiceKey", override the built-in ones.
    static QUrl ServiceAddress();
    static QString ServiceKey();
    QString Decrypt(const QString &text) const;

    void cboLang_Click();
    void cmdPlay_Click();
    void cmdDownload_Click();
    void cmdHelp_Click();
    void Inet_StateChanged(int state);

    QString ServiceText;
    QString Mp3Folder;
    bool DownloadOnActivate = false;

    QLabel *lblLang = nullptr;
    QComboBox *cboLang = nullptr;
    QLabel *lblBooks = nullptr;
    QListWidget *listBooks = nullptr;
    QPushButton *cmdPlay = nullptr;
    QPushButton *cmdDownload = nullptr;
    QPushButton *cmdHelp = nullptr;
    QPushButton *cmdClose = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    ServiceTextFetch *Inet = nullptr;

signals:
    // A fetch has ended and its outcome is shown (tests wait for it).
    void downloadFinished();

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Load();
    void Form_Activate();
    void PlaySelected();
    void UpdateStatusBar(const QString &text);
    void ServiceTextArrived(const QByteArray &body);

    bool m_activated = false;
};
