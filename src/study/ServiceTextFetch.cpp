#include "study/ServiceTextFetch.h"

#include <QNetworkReply>
#include <QNetworkRequest>

ServiceTextFetch::ServiceTextFetch(QObject *parent)
    : QObject(parent)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &ServiceTextFetch::fail);
}

ServiceTextFetch::~ServiceTextFetch()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
    }
}

void ServiceTextFetch::start(const QUrl &url)
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
    }
    m_body.clear();
    m_failed = false;
    emit stateChanged(Resolving);
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(3);
    m_reply = m_manager.get(request);
    connect(m_reply, &QNetworkReply::socketStartedConnecting, this,
            [this] { emit stateChanged(Connecting); });
    connect(m_reply, &QNetworkReply::requestSent, this, [this] { emit stateChanged(RequestSent); });
    connect(m_reply, &QNetworkReply::metaDataChanged, this, [this] { emit stateChanged(Receiving); });
    connect(m_reply, &QNetworkReply::readyRead, this, &ServiceTextFetch::readBody);
    connect(m_reply, &QNetworkReply::finished, this, &ServiceTextFetch::replyFinished);
    m_timer.start(m_timeoutMs);
}

void ServiceTextFetch::readBody()
{
    if (!m_reply || m_failed)
        return;
    m_body += m_reply->read(MaxBody + 1 - m_body.size());
    if (m_body.size() > MaxBody)
        fail();
}

void ServiceTextFetch::fail()
{
    m_failed = true;
    if (m_reply)
        m_reply->abort(); // finishes the reply, which reports the failure
}

void ServiceTextFetch::replyFinished()
{
    m_timer.stop();
    if (!m_reply)
        return;
    readBody();
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool ok = !m_failed && reply->error() == QNetworkReply::NoError && status >= 200 && status < 300;
    reply->deleteLater();
    const QByteArray body = ok ? m_body : QByteArray();
    m_body.clear();
    emit stateChanged(ok ? ResponseCompleted : Error);
    emit finished(body);
}
