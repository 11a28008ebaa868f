#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

class QNetworkReply;

// Fetches one short web text without blocking the window: the body as bytes,
// or an empty body for any failure (no connection, an answer other than 2xx, a
// body over the cap, no answer within the time-out). Reports the transfer's
// progress as the transfer states 0 to 12 of the audio player's status line.
class ServiceTextFetch : public QObject
{
    Q_OBJECT

public:
    enum State {
        None = 0,
        Resolving = 1,
        Resolved = 2,
        Connecting = 3,
        Connected = 4,
        Requesting = 5,
        RequestSent = 6,
        Receiving = 7,
        ResponseReceived = 8,
        Disconnecting = 9,
        Disconnected = 10,
        Error = 11,
        ResponseCompleted = 12
    };
    static constexpr int DefaultTimeoutMs = 15000;
    static constexpr qint64 MaxBody = 64 * 1024;

    explicit ServiceTextFetch(QObject *parent = nullptr);
    ~ServiceTextFetch() override;

    // Starts a fetch; a fetch still running is abandoned first.
    void start(const QUrl &url);
    bool isRunning() const { return !m_reply.isNull(); }
    void setTimeout(int milliseconds) { m_timeoutMs = milliseconds; }

signals:
    void stateChanged(int state);
    void finished(const QByteArray &body);

private:
    void readBody();
    void replyFinished();
    void fail();

    QNetworkAccessManager m_manager;
    QPointer<QNetworkReply> m_reply;
    QTimer m_timer;
    QByteArray m_body;
    bool m_failed = false;
    int m_timeoutMs = DefaultTimeoutMs;
};
