#pragma once

#include <QObject>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

// Asks for the advertisement page with a plain request before anything starts the web engine, whose
// processes cost several hundred MiB: a page that never answers is not worth them.
class TAdvertisementProbe : public QObject
{
    Q_OBJECT
public:
    // Silence before the first byte (connecting included) and the whole request.
    static constexpr int SilenceTimeoutMs = 5000;
    static constexpr int TotalTimeoutMs = 15000;
    static constexpr int MaxRedirects = 5;

    explicit TAdvertisementProbe(const QUrl &url, QObject *parent = nullptr);
    ~TAdvertisementProbe() override;

    void start();

signals:
    // Once per start: answered is true only for a success status after at most MaxRedirects.
    void finished(bool answered);

private:
    void decide(bool answered);
    bool isSuccess() const;

    QUrl m_url;
    QNetworkAccessManager *m_network = nullptr;
    QNetworkReply *m_reply = nullptr;
};
