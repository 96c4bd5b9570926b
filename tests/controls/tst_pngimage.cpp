#include "Picture.h"
#include "PlumaretError.h"
#include "nxGDIPlusAPI.h"
#include "nxGDIPlusClasses.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QPainter>
#include <QtEndian>
#include <QtTest>

namespace {

QByteArray pngBytes(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray formData(const QByteArray &className, const QByteArray &payload)
{
    return char(className.size()) + className + payload;
}

QImage rgba(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgba(200, 40 + x, 10 + y, (x + y) % 2 ? 255 : 128));
    return img;
}

// A 2 x 1 BMP of 24 or 32 bits per pixel, bottom-up.
QByteArray bmp(int bits, const QList<quint32> &bgra)
{
    const int stride = bits == 32 ? 8 : 8; // 2 * 3 bytes padded to 8
    QByteArray d(54 + stride, '\0');
    auto *b = reinterpret_cast<uchar *>(d.data());
    b[0] = 'B';
    b[1] = 'M';
    qToLittleEndian<quint32>(quint32(d.size()), b + 2);
    qToLittleEndian<quint32>(54, b + 10);
    qToLittleEndian<quint32>(40, b + 14);
    qToLittleEndian<qint32>(2, b + 18);
    qToLittleEndian<qint32>(1, b + 22);
    qToLittleEndian<quint16>(1, b + 26);
    qToLittleEndian<quint16>(quint16(bits), b + 28);
    for (int i = 0; i < 2; ++i) {
        const quint32 p = bgra[i];
        uchar *px = b + 54 + i * (bits / 8);
        px[0] = p & 0xFF;
        px[1] = (p >> 8) & 0xFF;
        px[2] = (p >> 16) & 0xFF;
        if (bits == 32)
            px[3] = p >> 24;
    }
    return d;
}

} // namespace

class tst_PngImage : public QObject
{
    Q_OBJECT
private slots:
    void storedPictureGivesItsSize()
    {
        TPicture picture;
        picture.readData(formData("TnxPNGImage", pngBytes(rgba(36, 40))));
        QVERIFY(!picture.isEmpty());
        QCOMPARE(picture.width(), 36);
        QCOMPARE(picture.height(), 40);
        QCOMPARE(picture.graphic()->className(), QStringLiteral("TnxPNGImage"));
        QCOMPARE(picture.toImage().format(), QImage::Format_ARGB32_Premultiplied);
    }

    void storedPictureRoundTrips()
    {
        TPicture picture;
        const QImage source = rgba(5, 4);
        picture.readData(formData("TnxPNGImage", pngBytes(source)));
        const QByteArray written = picture.writeData();
        QCOMPARE(written.left(12), QByteArray("\x0bTnxPNGImage"));
        QVERIFY(written.mid(12).startsWith("\x89PNG"));
        TPicture again;
        again.readData(written);
        QVERIFY(static_cast<TnxPNGImage *>(again.graphic())
                    ->SameImage(*static_cast<TnxPNGImage *>(picture.graphic())));
        QCOMPARE(again.toImage(), source.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }

    void shortStreams_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::newRow("nothing") << QByteArray();
        QTest::newRow("13 bytes") << QByteArray("\x89PNG\r\n\x1a\n12345");
    }
    void shortStreams()
    {
        QFETCH(QByteArray, payload);
        TPicture picture;
        picture.readData(formData("TnxPNGImage", payload));
        QVERIFY(picture.isEmpty());
        QCOMPARE(picture.width(), 0);
        QVERIFY(picture.writeData().size() == 12); // class name only: an empty image writes nothing
    }

    void brokenPngKeepsThePreviousImage()
    {
        TnxPNGImage image;
        QByteArray good = pngBytes(rgba(3, 3));
        QBuffer goodStream(&good);
        goodStream.open(QIODevice::ReadOnly);
        image.loadFromStream(goodStream);
        QByteArray bad = good.left(40);
        QBuffer badStream(&bad);
        badStream.open(QIODevice::ReadOnly);
        QVERIFY_THROWS_EXCEPTION(EPlumaretError, image.loadFromStream(badStream));
        QCOMPARE(image.width(), 3);
    }

    void bitmapStreams_data()
    {
        QTest::addColumn<int>("bits");
        QTest::addColumn<quint32>("pixel");
        QTest::addColumn<quint32>("expected"); // premultiplied ARGB
        QTest::newRow("24-bit is opaque") << 24 << 0x00102030u << 0xFF102030u;
        QTest::newRow("32-bit keeps alpha, bytes premultiplied") << 32 << 0x80402010u << 0x80402010u;
        QTest::newRow("32-bit colour above alpha is clamped") << 32 << 0x40FF2010u << 0x40402010u;
    }
    void bitmapStreams()
    {
        QFETCH(int, bits);
        QFETCH(quint32, pixel);
        QFETCH(quint32, expected);
        TPicture picture;
        picture.readData(formData("TnxPNGImage", bmp(bits, { pixel, pixel })));
        QCOMPARE(picture.width(), 2);
        QCOMPARE(picture.height(), 1);
        QCOMPARE(picture.toImage().pixel(1, 0), QRgb(expected));
    }

    void enlargedDrawingSource_data()
    {
        QTest::addColumn<QSize>("dest");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("enlarged uses one less") << QSize(20, 20) << QRect(0, 0, 9, 9);
        QTest::newRow("natural size uses all") << QSize(10, 10) << QRect(0, 0, 10, 10);
        QTest::newRow("wider only") << QSize(20, 10) << QRect(0, 0, 9, 10);
    }
    void enlargedDrawingSource()
    {
        QFETCH(QSize, dest);
        QFETCH(QRect, expected);
        QCOMPARE(TnxPNGImage::adjustedSource(QRect(QPoint(3, 4), dest), QRect(0, 0, 10, 10)), expected);
    }

    void enlargedDrawingNeverShowsTheLastColumn()
    {
        QImage img(10, 10, QImage::Format_ARGB32);
        img.fill(Qt::blue);
        for (int i = 0; i < 10; ++i) {
            img.setPixel(9, i, qRgb(255, 0, 0));
            img.setPixel(i, 9, qRgb(255, 0, 0));
        }
        TnxPNGImage png;
        png.assignBitmap(img);
        QImage canvas(20, 20, QImage::Format_RGB32);
        canvas.fill(Qt::white);
        QPainter p(&canvas);
        png.draw(p, QRect(0, 0, 20, 20));
        p.end();
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
                QCOMPARE(canvas.pixelColor(x, y), QColor(Qt::blue));
    }

    void drawBlendsAlphaAtItsPlace()
    {
        QImage img(2, 2, QImage::Format_ARGB32);
        img.fill(qRgba(0, 0, 0, 0));
        img.setPixel(0, 0, qRgba(255, 0, 0, 255));
        img.setPixel(1, 0, qRgba(0, 0, 255, 128));
        TnxPNGImage png;
        png.assignBitmap(img.convertToFormat(QImage::Format_ARGB32_Premultiplied));
        QImage canvas(6, 6, QImage::Format_RGB32);
        canvas.fill(Qt::white);
        QPainter p(&canvas);
        png.draw(p, QRect(3, 2, 2, 2));
        p.end();
        QCOMPARE(canvas.pixelColor(3, 2), QColor(255, 0, 0));
        const QColor half = canvas.pixelColor(4, 2);
        QVERIFY2(qAbs(half.red() - 127) <= 2 && half.blue() == 255, qPrintable(half.name()));
        QCOMPARE(canvas.pixelColor(3, 3), QColor(Qt::white));
        QCOMPARE(canvas.pixelColor(2, 2), QColor(Qt::white));
    }

    void copyIsIndependent()
    {
        TPicture a;
        a.readData(formData("TnxPNGImage", pngBytes(rgba(4, 4))));
        TPicture b;
        b.assign(a);
        a.clear();
        QCOMPARE(b.width(), 4);
        QVERIFY(a.isEmpty());
    }

    void sameImage_data()
    {
        QTest::addColumn<QSize>("a");
        QTest::addColumn<QSize>("b");
        QTest::addColumn<bool>("changePixel");
        QTest::addColumn<bool>("same");
        QTest::newRow("equal pixels") << QSize(3, 3) << QSize(3, 3) << false << true;
        QTest::newRow("one pixel differs") << QSize(3, 3) << QSize(3, 3) << true << false;
        QTest::newRow("sizes differ") << QSize(3, 3) << QSize(3, 4) << false << false;
        QTest::newRow("both empty") << QSize() << QSize() << false << true;
    }
    void sameImage()
    {
        QFETCH(QSize, a);
        QFETCH(QSize, b);
        QFETCH(bool, changePixel);
        QFETCH(bool, same);
        TnxPNGImage x, y;
        if (a.isValid())
            x.assignBitmap(rgba(a.width(), a.height()));
        if (b.isValid()) {
            QImage img = rgba(b.width(), b.height());
            if (changePixel)
                img.setPixel(1, 1, qRgba(1, 2, 3, 255));
            y.assignBitmap(img);
        }
        QCOMPARE(x.SameImage(y), same);
    }

    void clipboardGetsWhiteBehindTransparency()
    {
        QImage img(2, 1, QImage::Format_ARGB32_Premultiplied);
        img.setPixel(0, 0, qRgba(0, 0, 0, 0));
        img.setPixel(1, 0, qRgba(0, 255, 0, 255));
        TnxPNGImage png;
        png.assignBitmap(img);
        png.saveToClipboard();
        const QImage onClipboard = QGuiApplication::clipboard()->image();
        if (onClipboard.isNull())
            QSKIP("this platform plugin keeps no clipboard image");
        QCOMPARE(onClipboard.pixelColor(0, 0), QColor(Qt::white));
        QCOMPARE(onClipboard.pixelColor(1, 0), QColor(0, 255, 0));
        TnxPNGImage back;
        back.loadFromClipboard();
        QCOMPARE(back.width(), 2);
    }

    void missingImageSupportLeavesPicturesEmpty()
    {
        SetImageSupportDisabled(true);
        DoneImageClasses();
        TPicture picture;
        picture.readData(formData("TnxPNGImage", pngBytes(rgba(36, 40))));
        QVERIFY(picture.isEmpty());
        QVERIFY_THROWS_EXCEPTION(
            EPlumaretError, picture.loadFromFile(QFINDTESTDATA("tst_pngimage.cpp") + ".png"));
        SetImageSupportDisabled(false);
        InitImageClasses();
        picture.readData(formData("TnxPNGImage", pngBytes(rgba(36, 40))));
        QCOMPARE(picture.width(), 36);
    }

    void doubleResolutionFileMeasuresLogical()
    {
        QTemporaryDir dir;
        QVERIFY(rgba(4, 6).save(dir.filePath("p.png")));
        QVERIFY(rgba(8, 12).save(dir.filePath("p@2x.png")));
        TPicture one, two;
        one.loadFromFile(dir.filePath("p.png"), 1.0);
        two.loadFromFile(dir.filePath("p.png"), 2.0);
        QCOMPARE(QSize(one.width(), one.height()), QSize(4, 6));
        QCOMPARE(QSize(two.width(), two.height()), QSize(4, 6));
        QCOMPARE(two.toImage().size(), QSize(8, 12));
    }
};

QTEST_MAIN(tst_PngImage)
#include "tst_pngimage.moc"
