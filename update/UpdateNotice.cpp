#include "UpdateNotice.h"

#include <QStringDecoder>
#include <QStringList>

namespace {

constexpr qsizetype MaxMessageLength = 2000;

QString decode(const QByteArray &data, bool *ok)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(data);
    if (!utf8.hasError()) {
        *ok = true;
        return text;
    }
    QStringDecoder gb18030("GB18030");
    text = gb18030.decode(data);
    *ok = !gb18030.hasError();
    return text;
}

} // namespace

std::optional<UpdateNotice> UpdateNotice::parse(const QByteArray &data)
{
    if (data.contains('\0'))
        return std::nullopt;
    bool ok = false;
    QString text = decode(data, &ok);
    if (!ok)
        return std::nullopt;
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));

    UpdateNotice notice;
    const QStringList lines = text.split(QLatin1Char('\n'));
    qsizetype i = 0;
    for (; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty())
            break;
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        if (colon < 0)
            return std::nullopt;
        const QString key = line.left(colon).trimmed().toLower();
        const QString value = line.mid(colon + 1).trimmed();
        if (key == QLatin1String("version")) {
            qsizetype suffix = 0;
            notice.version = QVersionNumber::fromString(value, &suffix);
            if (notice.version.isNull() || suffix != value.size())
                return std::nullopt;
        } else if (key == QLatin1String("link")) {
            notice.link = QUrl(value, QUrl::StrictMode);
            const QString scheme = notice.link.scheme();
            if (!notice.link.isValid()
                || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
                return std::nullopt;
        }
        // Unknown keys are left for later versions of the format.
    }
    if (notice.version.isNull())
        return std::nullopt;
    notice.message = lines.mid(i + 1).join(QLatin1Char('\n')).trimmed();
    if (notice.message.isEmpty() || notice.message.size() > MaxMessageLength)
        return std::nullopt;
    return notice;
}
