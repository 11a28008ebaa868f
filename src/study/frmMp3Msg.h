#pragma once

#include "study/Mp3ServiceText.h"

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;

// Shows the audio-Bible service's text: its message, whether downloads are
// available and where, a contact link and a hot link.
class frmMp3Msg : public QDialog
{
    Q_OBJECT

public:
    // Loads the window from the player's service text.
    frmMp3Msg();
    static void ShowModal();
    static std::function<void()> setShowModal(std::function<void()> show);

    // Fills the window from an unscrambled service text.
    void ShowServiceText(const QString &text);
    // Opens one of the three links; false when it is empty or not a web address.
    bool OpenLink(const QString &link);

    QString DownloadUrl;
    QString ContactLink;
    QString HotLink;

    QPlainTextEdit *txtMessage = nullptr;
    QWidget *Picture1 = nullptr;
    QLabel *lblMp3DownloadUrl = nullptr;
    QLineEdit *txtMp3DownloadUrl = nullptr;
    QLabel *lblContact = nullptr;
    QLineEdit *txtContact = nullptr;
    QLabel *lblHotLink = nullptr;
    QLineEdit *txtUrlHotLink = nullptr;
    QPushButton *cmdCancel = nullptr;
    QStatusBar *StatusBar1 = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void done(int result) override;

private:
    QString linkOf(QObject *box) const;
    QString hoverTextOf(QObject *box) const;
};
