#include "AdvertisementProbe.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

TAdvertisementProbe::TAdvertisementProbe(const QUrl &url, QObject *parent)
    : QObject(parent)
    , m_url(url)
{
}

TAdvertisementProbe::~TAdvertisementProbe()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
    }
}

void TAdvertisementProbe::start()
{
    const QString scheme = m_url.scheme();
    if (!m_url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        QTimer::singleShot(0, this, [this] { emit finished(false); });
        return;
    }
    // Made here, not at construction: the network stack's thread is only needed once asked.
    if (!m_network)
        m_network = new QNetworkAccessManager(this);
    QNetworkRequest request(m_url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(MaxRedirects);
    request.setTransferTimeout(SilenceTimeoutMs);
    m_reply = m_network->get(request);
    // The status line is enough; the body is for the engine to fetch.
    connect(m_reply, &QNetworkReply::metaDataChanged, this, [this] {
        if (isSuccess())
            decide(true);
    });
    connect(m_reply, &QNetworkReply::finished, this,
        [this] { decide(m_reply->error() == QNetworkReply::NoError && isSuccess()); });
    // The silence timeout restarts with every byte; a server that trickles is cut off here.
    QTimer::singleShot(TotalTimeoutMs, m_reply, [this] { decide(false); });
}

bool TAdvertisementProbe::isSuccess() const
{
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    return status >= 200 && status < 300;
}

void TAdvertisementProbe::decide(bool answered)
{
    QNetworkReply *reply = m_reply;
    if (!reply)
        return;
    m_reply = nullptr;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
    emit finished(answered);
}
