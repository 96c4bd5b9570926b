#include "PaintPanel.h"
#include "nxGDIPlusClasses.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

TPicture picture(QSize size, QColor color)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(color);
    auto png = std::make_unique<TnxPNGImage>();
    png->assignBitmap(img);
    TPicture p;
    p.setGraphic(std::move(png));
    return p;
}

// Renders over black, so that whatever the panel leaves unpainted stays black.
QImage shot(TPaintPanel &panel)
{
    QImage img(panel.size(), QImage::Format_RGB32);
    img.fill(Qt::black);
    panel.render(&img, QPoint(), QRegion(), QWidget::RenderFlags());
    return img;
}

} // namespace

class tst_PaintPanel : public QObject
{
    Q_OBJECT
private slots:
    void autoSizeNeedsAPicture()
    {
        TPaintPanel panel;
        panel.resize(100, 100);
        panel.setAutoWidth(true);
        QVERIFY(!panel.autoWidth());
        panel.setPicture(picture({ 40, 1 }, Qt::blue));
        panel.setAutoWidth(true);
        QVERIFY(panel.autoWidth());
        QCOMPARE(panel.width(), 40);
        panel.setAutoHeight(true);
        QCOMPARE(panel.height(), 1);
        panel.setPicture(picture({ 30, 20 }, Qt::blue)); // a new picture resizes through the listener
        QCOMPARE(panel.size(), QSize(30, 20));
    }

    void background_data()
    {
        QTest::addColumn<bool>("withPicture");
        QTest::addColumn<int>("vert");
        QTest::addColumn<bool>("parentBackground");
        QTest::addColumn<QColor>("inside");
        QTest::addColumn<QColor>("outside");
        QTest::newRow("plain picture paints only itself")
            << true << int(vstNone) << true << QColor(Qt::blue) << QColor(Qt::black);
        QTest::newRow("stretched picture fills, rest white")
            << true << int(vstTop) << true << QColor(Qt::blue) << QColor(Qt::blue);
        QTest::newRow("no picture, own colour")
            << false << int(vstNone) << false << QColor(0x11, 0x22, 0x33) << QColor(0x11, 0x22, 0x33);
        QTest::newRow("no picture, parent background")
            << false << int(vstNone) << true << QColor(Qt::black) << QColor(Qt::black);
    }
    void background()
    {
        QFETCH(bool, withPicture);
        QFETCH(int, vert);
        QFETCH(bool, parentBackground);
        QFETCH(QColor, inside);
        QFETCH(QColor, outside);
        TPaintPanel panel;
        panel.resize(50, 40);
        if (withPicture)
            panel.setPicture(picture({ 10, 10 }, Qt::blue));
        panel.setPicVertStretch(TVertStretchType(vert));
        panel.setParentBackground(parentBackground);
        panel.setColor(0x00332211);
        const QImage img = shot(panel);
        QCOMPARE(img.pixelColor(5, 5), inside);
        QCOMPARE(img.pixelColor(5, 35), outside);
        if (vert != vstNone)
            QCOMPARE(img.pixelColor(30, 35), QColor(Qt::white)); // beyond the picture's columns
    }

    void bevel_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<QPoint>("drawn");
        QTest::addColumn<QPoint>("notDrawn");
        QTest::newRow("width 1 on the outer pixels") << 1 << QPoint(0, 0) << QPoint(1, 1);
        QTest::newRow("width 2 starts one pixel in") << 2 << QPoint(1, 1) << QPoint(0, 0);
    }
    void bevel()
    {
        QFETCH(int, width);
        QFETCH(QPoint, drawn);
        QFETCH(QPoint, notDrawn);
        TPaintPanel panel;
        panel.resize(20, 20);
        panel.setParentBackground(false);
        panel.setColor(0x00FFFFFF);
        panel.setBevelColor(0x000000FF);
        panel.setBevelWidth(width);
        panel.setBevelStyle(bsSingle);
        const QImage img = shot(panel);
        QCOMPARE(img.pixelColor(drawn), QColor(Qt::red));
        QCOMPARE(img.pixelColor(notDrawn), QColor(Qt::white));
        QCOMPARE(img.pixelColor(19, 19), QColor(Qt::red));
    }

    void captionOverThePictureAndOnPaintLast()
    {
        TPaintPanel panel;
        panel.resize(60, 30);
        panel.setPicture(picture({ 1, 1 }, Qt::white));
        panel.setPicHorzStretch(hstAll);
        panel.setPicVertStretch(vstAll);
        panel.setCaption(QStringLiteral("██"));
        QList<bool> seen;
        const auto img0 = [](QPainter *p) { return p->isActive(); };
        connect(&panel, &TPaintPanel::painted, this, [&](QPainter *p) {
            seen << img0(p);
            p->fillRect(0, 0, 2, 2, Qt::green);
        });
        const QImage img = shot(panel);
        QCOMPARE(seen, QList<bool> { true });
        QCOMPARE(img.pixelColor(0, 0), QColor(Qt::green));
        bool dark = false;
        for (int x = 0; x < 60 && !dark; ++x)
            dark = img.pixelColor(x, 15).lightness() < 100;
        QVERIFY(dark);
    }
};

QTEST_MAIN(tst_PaintPanel)
#include "tst_paintpanel.moc"
