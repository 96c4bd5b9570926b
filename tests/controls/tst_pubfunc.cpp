#include "PubFunc.h"

#include <QApplication>
#include <QPainter>
#include <QtTest>

namespace {

QImage column(int h, QColor (*colorAt)(int))
{
    QImage img(1, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        img.setPixelColor(0, y, colorAt(y));
    return img;
}

QImage draw(const QImage &source, QSize size, THorzStretchType h, TVertStretchType v)
{
    QImage target(size, QImage::Format_RGB32);
    target.fill(Qt::black); // anything not painted stays black
    QPainter p(&target);
    DrawStretchBitmap(source, p, size, h, v);
    return target;
}

QImage numbered(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(10 * x, 10 * y, 200));
    return img;
}

} // namespace

class tst_PubFunc : public QObject
{
    Q_OBJECT
private slots:
    void colorBytes_data()
    {
        QTest::addColumn<qint64>("color");
        QTest::addColumn<QColor>("expected");
        QTest::newRow("toolbar top, red in low byte") << qint64(0x00FFF9F1) << QColor(0xF1, 0xF9, 0xFF);
        QTest::newRow("high byte ignored when not negative") << qint64(0x00010203) << QColor(3, 2, 1);
        const QPalette pal = QGuiApplication::palette();
        QTest::newRow("system 15 is the button face") << qint64(0xFF00000F) << pal.color(QPalette::Button);
        QTest::newRow("system 5 is the window background") << qint64(0xFF000005) << pal.color(QPalette::Base);
        QTest::newRow("system 13 is the highlight") << qint64(0xFF00000D) << pal.color(QPalette::Highlight);
        QTest::newRow("unknown system index is black") << qint64(0xFF000019) << QColor(0, 0, 0);
    }
    void colorBytes()
    {
        QFETCH(qint64, color);
        QFETCH(QColor, expected);
        std::uint8_t r = 1, g = 1, b = 1;
        ColorToRGBBytes(TColor(std::uint32_t(color)), r, g, b);
        QCOMPARE(QColor(r, g, b), QColor(expected.red(), expected.green(), expected.blue()));
    }

    void gradient_data()
    {
        QTest::addColumn<bool>("vertical");
        QTest::newRow("top to bottom") << true;
        QTest::newRow("left to right") << false;
    }
    void gradient()
    {
        QFETCH(bool, vertical);
        QImage img(40, 30, QImage::Format_RGB32);
        img.fill(Qt::black);
        QPainter p(&img);
        GradientFillRect(p, QRect(5, 5, 30, 20), 0x000000FF, 0x00FF0000, vertical);
        p.end();
        const QColor first = img.pixelColor(5, 5);
        const QColor last = vertical ? img.pixelColor(5, 24) : img.pixelColor(34, 5);
        const QColor across = vertical ? img.pixelColor(34, 5) : img.pixelColor(5, 24);
        QCOMPARE(first, QColor(255, 0, 0)); // start colour on the first row/column
        QVERIFY2(last.blue() > 230 && last.red() < 25, qPrintable(last.name()));
        QCOMPARE(across, first); // no change across the other direction
        QCOMPARE(img.pixelColor(4, 4), QColor(Qt::black)); // nothing outside the rectangle
        QCOMPARE(img.pixelColor(35, 25), QColor(Qt::black));
    }

    void namesBandRepeatsAcross()
    {
        // 1 x 50 band over 164 x 105, hstRight + vstNone.
        const QImage src = column(50, [](int y) { return QColor(y * 5, 100, 50); });
        const QImage out = draw(src, QSize(164, 105), hstRight, vstNone);
        for (int y = 0; y < 105; ++y)
            for (int x = 0; x < 164; x += 7)
                QCOMPARE(out.pixelColor(x, y), y < 50 ? src.pixelColor(0, y) : QColor(Qt::white));
        QCOMPARE(out.pixelColor(163, 49), src.pixelColor(0, 49));
    }

    void modeBarRowRepeatsDown()
    {
        QImage src(40, 1, QImage::Format_RGB32);
        for (int x = 0; x < 40; ++x)
            src.setPixel(x, 0, qRgb(x * 6, 200, 255 - x));
        const QImage out = draw(src, QSize(40, 416), hstNone, vstBottom);
        for (int y = 0; y < 416; ++y)
            for (int x = 0; x < 40; ++x)
                QCOMPARE(out.pixel(x, y), src.pixel(x, 0));
    }

    void middleColumnStretched()
    {
        const QImage src = numbered(10, 10);
        const QImage out = draw(src, QSize(30, 10), hstMiddle, vstNone);
        for (int y = 0; y < 10; ++y) {
            for (int x = 0; x < 30; ++x) {
                const int from = x < 5 ? x : (x < 25 ? 5 : x - 20);
                QCOMPARE(out.pixel(x, y), src.pixel(from, y));
            }
        }
    }

    void oddMiddleLeavesOneWhiteColumn()
    {
        const QImage src = numbered(5, 1); // m = 2; right part is 3 columns squeezed into 2
        const QImage out = draw(src, QSize(9, 1), hstMiddle, vstNone);
        QCOMPARE(out.pixel(0, 0), src.pixel(0, 0));
        QCOMPARE(out.pixel(1, 0), src.pixel(1, 0));
        for (int x = 2; x < 6; ++x)
            QCOMPARE(out.pixel(x, 0), src.pixel(2, 0));
        QCOMPARE(out.pixelColor(6, 0), QColor(Qt::white));
    }

    void bandModes_data()
    {
        QTest::addColumn<int>("horz");
        QTest::addColumn<int>("vert");
        QTest::addColumn<QPoint>("probe");
        QTest::addColumn<QPoint>("sourcePixel"); // (-1, -1): white
        QTest::newRow("hstLeft: first column at the left")
            << int(hstLeft) << int(vstNone) << QPoint(3, 2) << QPoint(0, 2);
        QTest::newRow("hstLeft: picture at the right")
            << int(hstLeft) << int(vstNone) << QPoint(12, 2) << QPoint(2, 2);
        QTest::newRow("hstAll: stretched") << int(hstAll) << int(vstNone) << QPoint(19, 0) << QPoint(9, 0);
        QTest::newRow("vstTop: first row at the top")
            << int(hstNone) << int(vstTop) << QPoint(4, 3) << QPoint(4, 0);
        QTest::newRow("vstTop: picture at the bottom")
            << int(hstNone) << int(vstTop) << QPoint(4, 19) << QPoint(4, 9);
        QTest::newRow("vstCenter: middle row repeated")
            << int(hstNone) << int(vstCenter) << QPoint(1, 12) << QPoint(1, 5);
        QTest::newRow("vstCenter: lower half at the bottom")
            << int(hstNone) << int(vstCenter) << QPoint(1, 16) << QPoint(1, 6);
        QTest::newRow("vstAll: stretched") << int(hstNone) << int(vstAll) << QPoint(0, 19) << QPoint(0, 9);
        QTest::newRow("hstNone + vstBottom: uncovered columns white")
            << int(hstNone) << int(vstBottom) << QPoint(15, 15) << QPoint(-1, -1);
    }
    void bandModes()
    {
        QFETCH(int, horz);
        QFETCH(int, vert);
        QFETCH(QPoint, probe);
        QFETCH(QPoint, sourcePixel);
        const QImage src = numbered(10, 10);
        const QImage out = draw(src, QSize(20, 20), THorzStretchType(horz), TVertStretchType(vert));
        const QRgb expected = sourcePixel.x() < 0 ? qRgb(255, 255, 255) : src.pixel(sourcePixel);
        QCOMPARE(QColor(out.pixel(probe)), QColor(expected));
    }

    void plainModePaintsOnlyTheSource()
    {
        const QImage src = numbered(10, 10);
        const QImage out = draw(src, QSize(20, 20), hstNone, vstNone);
        QCOMPARE(out.pixel(9, 9), src.pixel(9, 9));
        QCOMPARE(out.pixelColor(10, 10), QColor(Qt::black));
        QCOMPARE(out.pixelColor(15, 2), QColor(Qt::black));
    }

    void targetSmallerThanSourceDoesNotCrash()
    {
        const QImage src = numbered(10, 10);
        const QImage out = draw(src, QSize(4, 4), hstMiddle, vstCenter);
        // The halves overlap; the far corner still comes from the source's far corner and
        // nothing of the target is left unpainted.
        QCOMPARE(out.pixel(3, 3), src.pixel(9, 9));
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                QVERIFY(out.pixelColor(x, y) != QColor(Qt::black));
    }

    void doubleResolutionSourceStaysSharp()
    {
        QImage src(2, 2, QImage::Format_RGB32); // a 1 x 1 band at 2x: top row red, bottom row blue
        src.setPixel(0, 0, qRgb(255, 0, 0));
        src.setPixel(1, 0, qRgb(255, 0, 0));
        src.setPixel(0, 1, qRgb(0, 0, 255));
        src.setPixel(1, 1, qRgb(0, 0, 255));
        src.setDevicePixelRatio(2);
        QImage target(8, 8, QImage::Format_RGB32);
        target.setDevicePixelRatio(2);
        target.fill(Qt::black);
        QPainter p(&target);
        DrawStretchBitmap(src, p, QSize(4, 4), hstRight, vstNone);
        p.end();
        QCOMPARE(target.pixelColor(7, 0), QColor(255, 0, 0));
        QCOMPARE(target.pixelColor(7, 1), QColor(0, 0, 255));
        QCOMPARE(target.pixelColor(7, 2), QColor(Qt::white));
    }
};

QTEST_MAIN(tst_PubFunc)
#include "tst_pubfunc.moc"
