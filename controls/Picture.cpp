#include "Picture.h"

#include "PlumaretError.h"
#include "nxGDIPlusClasses.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QMap>

namespace {

struct Registry
{
    QMap<QString, TPicture::Factory> classes;
    QMap<QString, QString> fileFormats; // upper-case extension -> class name
    QMap<QString, QString> descriptions;
};

Registry &registry()
{
    static Registry r;
    // The image classes register themselves on first use rather than from a static initialiser,
    // which the linker may drop from a static library. The flag is set first because the
    // registration comes back here.
    static bool started = false;
    if (!started) {
        started = true;
        InitImageClasses();
    }
    return r;
}

} // namespace

void TPicture::setGraphic(std::unique_ptr<TGraphic> graphic)
{
    m_graphic = std::move(graphic);
    if (OnChange)
        OnChange();
}

void TPicture::assign(const TPicture &other)
{
    if (&other == this)
        return;
    setGraphic(other.m_graphic ? other.m_graphic->clone() : nullptr);
}

void TPicture::draw(QPainter &canvas, const QRect &dest) const
{
    if (m_graphic)
        m_graphic->draw(canvas, dest);
}

void TPicture::readData(const QByteArray &data)
{
    if (data.isEmpty()) {
        clear();
        return;
    }
    const int nameLength = quint8(data.at(0));
    if (data.size() < 1 + nameLength)
        throw EPlumaretError(QStringLiteral("Picture data is truncated: %1 of %2 bytes of the class name")
                                 .arg(data.size() - 1)
                                 .arg(nameLength));
    const QString name = QString::fromLatin1(data.constData() + 1, nameLength);
    const auto it = registry().classes.constFind(name);
    if (it == registry().classes.constEnd()) {
        clear();
        return;
    }
    std::unique_ptr<TGraphic> graphic = (*it)();
    QByteArray rest = data.mid(1 + nameLength);
    QBuffer buffer(&rest);
    buffer.open(QIODevice::ReadOnly);
    graphic->loadFromStream(buffer);
    setGraphic(std::move(graphic));
}

QByteArray TPicture::writeData() const
{
    if (!m_graphic)
        return {};
    const QByteArray name = m_graphic->className().toLatin1();
    QByteArray data;
    data.append(char(quint8(name.size())));
    data.append(name);
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly | QIODevice::Append);
    m_graphic->saveToStream(buffer);
    return data;
}

void TPicture::loadFromFile(const QString &fileName, qreal devicePixelRatio)
{
    const QFileInfo info(fileName);
    const QString extension = info.suffix().toUpper();
    const auto format = registry().fileFormats.constFind(extension);
    if (format == registry().fileFormats.constEnd())
        throw EPlumaretError(QStringLiteral("Unknown picture file extension (.%1)").arg(info.suffix()));

    QString path = fileName;
    qreal ratio = 1.0;
    if (devicePixelRatio > 1.0) {
        const QString hiRes = info.path() + QLatin1Char('/') + info.completeBaseName()
            + QStringLiteral("@2x.") + info.suffix();
        if (QFile::exists(hiRes)) {
            path = hiRes;
            ratio = 2.0;
        }
    }

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EPlumaretError(QStringLiteral("Cannot open %1: %2").arg(path, file.errorString()));

    std::unique_ptr<TGraphic> graphic = registry().classes.value(*format)();
    graphic->loadFromStream(file);
    if (ratio != 1.0) {
        if (auto *png = dynamic_cast<TnxPNGImage *>(graphic.get()))
            png->setDevicePixelRatio(ratio);
    }
    setGraphic(std::move(graphic));
}

void TPicture::registerClass(const QString &className, Factory factory)
{
    registry().classes.insert(className, std::move(factory));
}

void TPicture::unregisterClass(const QString &className)
{
    registry().classes.remove(className);
}

bool TPicture::isClassRegistered(const QString &className)
{
    return registry().classes.contains(className);
}

void TPicture::registerFileFormat(
    const QString &extension, const QString &description, const QString &className)
{
    registry().fileFormats.insert(extension.toUpper(), className);
    registry().descriptions.insert(extension.toUpper(), description);
}

void TPicture::unregisterFileFormat(const QString &extension)
{
    registry().fileFormats.remove(extension.toUpper());
    registry().descriptions.remove(extension.toUpper());
}
