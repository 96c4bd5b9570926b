#pragma once

#include <QObject>
#include <QPointer>
#include <QUrl>
#include <QVersionNumber>
#include <QWidget>

class QNetworkAccessManager;
class QNetworkReply;

// One asynchronous fetch of the update notice; tells the user only about a newer version.
class UpdateCheck : public QObject
{
    Q_OBJECT
public:
    static constexpr int DefaultTimeoutMs = 15000;
    static constexpr qint64 MaxNoticeBytes = 64 * 1024;
    static constexpr int MaxRedirects = 5;

    UpdateCheck(
        QWidget *window, const QUrl &noticeUrl, const QVersionNumber &ownVersion, QObject *parent = nullptr);
    ~UpdateCheck() override;

    void setTimeout(int ms) { m_timeoutMs = ms; }
    void start();

    // The notice window, while it is open.
    QWidget *noticeWindow() const { return m_noticeWindow; }

signals:
    // shown: a newer version was announced and the notice window opened.
    void finished(bool shown);

private:
    void onReadyRead();
    void onFinished();
    QUrl vendorPage() const;

    QPointer<QWidget> m_window;
    QUrl m_noticeUrl;
    QVersionNumber m_ownVersion;
    int m_timeoutMs = DefaultTimeoutMs;
    QNetworkAccessManager *m_network = nullptr;
    QNetworkReply *m_reply = nullptr;
    QByteArray m_data;
    bool m_tooLarge = false;
    QPointer<QWidget> m_noticeWindow;
};
