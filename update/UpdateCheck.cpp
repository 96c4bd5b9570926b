#include "UpdateCheck.h"

#include "UpdateNotice.h"
#include "UpdateNoticeWindow.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace {
const char VendorPagePath[] = "/201071910.html";
}

UpdateCheck::UpdateCheck(
    QWidget *window, const QUrl &noticeUrl, const QVersionNumber &ownVersion, QObject *parent)
    : QObject(parent)
    , m_window(window)
    , m_noticeUrl(noticeUrl)
    , m_ownVersion(ownVersion)
    , m_network(new QNetworkAccessManager(this))
{
}

UpdateCheck::~UpdateCheck()
{
    if (m_reply)
        m_reply->abort();
}

void UpdateCheck::start()
{
    const QString scheme = m_noticeUrl.scheme();
    if (!m_noticeUrl.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        QTimer::singleShot(0, this, [this] { emit finished(false); });
        return;
    }
    QNetworkRequest request(m_noticeUrl);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(MaxRedirects);
    request.setTransferTimeout(m_timeoutMs);
    request.setHeader(
        QNetworkRequest::UserAgentHeader, QByteArrayLiteral("Plumaret-Update/" PLUMARET_VERSION));
    m_reply = m_network->get(request);
    connect(m_reply, &QNetworkReply::readyRead, this, &UpdateCheck::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &UpdateCheck::onFinished);
    // The transfer timeout only notices silence; a server that trickles bytes is cut off here.
    QTimer::singleShot(m_timeoutMs, m_reply, [reply = m_reply] { reply->abort(); });
}

void UpdateCheck::onReadyRead()
{
    const qint64 announced = m_reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
    if (announced > MaxNoticeBytes || m_data.size() + m_reply->bytesAvailable() > MaxNoticeBytes) {
        m_tooLarge = true;
        m_reply->abort();
        return;
    }
    m_data += m_reply->readAll();
}

void UpdateCheck::onFinished()
{
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    reply->deleteLater();
    if (reply->error() != QNetworkReply::NoError || m_tooLarge) {
        emit finished(false);
        return;
    }
    m_data += reply->readAll();
    const std::optional<UpdateNotice> notice = UpdateNotice::parse(m_data.left(MaxNoticeBytes + 1));
    if (m_data.size() > MaxNoticeBytes || !notice || notice->version <= m_ownVersion) {
        emit finished(false);
        return;
    }
    auto *window
        = new UpdateNoticeWindow(*notice, notice->link.isEmpty() ? vendorPage() : notice->link, m_window);
    m_noticeWindow = window;
    window->show();
    emit finished(true);
}

QUrl UpdateCheck::vendorPage() const
{
    QUrl page;
    page.setScheme(m_noticeUrl.scheme());
    page.setHost(m_noticeUrl.host());
    page.setPort(m_noticeUrl.port());
    page.setPath(QLatin1String(VendorPagePath));
    return page;
}
