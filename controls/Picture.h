// Container owning at most one graphic; stored window data names the graphic's class.
#pragma once

#include "Graphic.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

class TPicture
{
public:
    using Factory = std::function<std::unique_ptr<TGraphic>()>;

    TPicture() = default;
    TPicture(const TPicture &) = delete;
    TPicture &operator=(const TPicture &) = delete;
    TPicture(TPicture &&) = default;
    TPicture &operator=(TPicture &&) = default;

    TGraphic *graphic() const { return m_graphic.get(); }
    // Takes ownership; fires OnChange.
    void setGraphic(std::unique_ptr<TGraphic> graphic);
    // Copies the other picture's graphic (a clone); an empty source empties this one.
    void assign(const TPicture &other);
    void clear() { setGraphic(nullptr); }

    bool isEmpty() const { return !m_graphic || m_graphic->empty(); }
    int width() const { return m_graphic ? m_graphic->width() : 0; }
    int height() const { return m_graphic ? m_graphic->height() : 0; }
    QImage toImage() const { return m_graphic ? m_graphic->toImage() : QImage(); }
    void draw(QPainter &canvas, const QRect &dest) const;

    // Stored form: one length byte, the class name in 8-bit characters, then the graphic's data
    // up to the end. An unknown class leaves the picture empty without an error.
    void readData(const QByteArray &data);
    QByteArray writeData() const;

    // Chooses the graphic class by the file's extension; "name@2x.ext" is preferred when
    // devicePixelRatio > 1 and that file exists. Throws EPlumaretError when the file is unreadable.
    void loadFromFile(const QString &fileName, qreal devicePixelRatio = 1.0);

    std::function<void()> OnChange;

    static void registerClass(const QString &className, Factory factory);
    static void unregisterClass(const QString &className);
    static bool isClassRegistered(const QString &className);
    static void registerFileFormat(
        const QString &extension, const QString &description, const QString &className);
    static void unregisterFileFormat(const QString &extension);

private:
    std::unique_ptr<TGraphic> m_graphic;
};
