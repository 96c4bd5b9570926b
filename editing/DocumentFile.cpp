#include "DocumentFile.h"

#include "PlumaretError.h"
#include "RtfReader.h"
#include "RtfWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextDocument>

namespace {

QString nativeName(const QString &fileName)
{
    return QDir::toNativeSeparators(QFileInfo(fileName).absoluteFilePath());
}

EPlumaretError cannotCreate(const QString &fileName, const QString &reason)
{
    return EPlumaretError(QStringLiteral("Cannot create file \"%1\". %2").arg(nativeName(fileName), reason));
}

// An existing file the user may write, in a folder where the user may make no new file.
bool WritableOnlyInPlace(const QString &fileName)
{
    const QFileInfo file(fileName);
    return file.isFile() && file.isWritable() && !QFileInfo(file.absolutePath()).isWritable();
}

} // namespace

QString FileExtension(const QString &fileName)
{
    const QString last = fileName.mid(fileName.lastIndexOf(u'/') + 1);
    const qsizetype dot = last.lastIndexOf(u'.');
    return dot < 0 ? QString() : last.mid(dot);
}

bool IsPlainTextName(const QString &fileName)
{
    return FileExtension(fileName).compare(QLatin1String(".txt"), Qt::CaseInsensitive) == 0;
}

QString DocumentPlainText(const QTextDocument *doc)
{
    QString text;
    text.reserve(doc->characterCount());
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        if (b != doc->begin())
            text += u'\n';
        for (const QChar c : b.text()) {
            if (c == QChar::LineSeparator)
                text += u'\n';
            else if (c != QChar::ObjectReplacementCharacter)
                text += c;
        }
    }
    return text;
}

TTextEncoding LoadDocumentFile(const QString &fileName, QTextDocument *doc)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EPlumaretError(
            QStringLiteral("Cannot open file \"%1\". %2").arg(nativeName(fileName), file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EPlumaretError(QStringLiteral("Failed to Load Stream"));

    TTextEncoding encoding = TTextEncoding::teGB18030;
    if (!IsPlainTextName(fileName) && LooksLikeRtf(bytes)) {
        ReadRtf(bytes, doc);
    } else {
        const TPlainText plain = DecodePlainText(bytes);
        doc->setPlainText(plain.text);
        encoding = plain.encoding;
    }
    doc->setModified(false);
    return encoding;
}

void SaveDocumentFile(const QString &fileName, const QTextDocument *doc, TTextEncoding encoding)
{
    bool ok = true;
    const QByteArray bytes
        = IsPlainTextName(fileName) ? EncodePlainText(DocumentPlainText(doc), encoding, &ok) : WriteRtf(doc);
    if (!ok)
        throw EPlumaretError(QStringLiteral("Failed to Save Stream"));

    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) && WritableOnlyInPlace(fileName)) {
        // No temporary file can be made beside it, but the file itself is the user's to write.
        QFile direct(fileName);
        if (!direct.open(QIODevice::WriteOnly | QIODevice::Truncate) || direct.write(bytes) != bytes.size()
            || !direct.flush())
            throw cannotCreate(fileName, direct.errorString());
        return;
    }
    auto fail = [&]() {
        const QString reason = file.errorString();
        file.cancelWriting();
        return cannotCreate(fileName, reason);
    };
    if (!file.isOpen())
        throw fail();
    if (file.write(bytes) != bytes.size())
        throw fail();
    if (!file.commit()) // a full disk often shows only here, when the data is flushed
        throw fail();
}
