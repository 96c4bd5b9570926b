#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <QVersionNumber>
#include <optional>

// The update notice served by the vendor host: a "version:" line, optional "link:" line,
// a blank line, then the message shown to the user.
struct UpdateNotice
{
    QVersionNumber version;
    QUrl link;
    QString message;

    // Anything that does not follow the format gives no notice.
    static std::optional<UpdateNotice> parse(const QByteArray &data);
};
