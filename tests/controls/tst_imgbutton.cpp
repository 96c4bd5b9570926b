#include "ImgButton.h"
#include "nxGDIPlusClasses.h"

#include <QPainter>
#include <QSignalSpy>
#include <QtTest>

namespace {

void setSolid(TPicture &picture, QSize size, QColor color)
{
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(color);
    auto png = std::make_unique<TnxPNGImage>();
    png->assignBitmap(img);
    picture.setGraphic(std::move(png));
}

TPicture solid(QSize size, QColor color)
{
    TPicture p;
    setSolid(p, size, color);
    return p;
}

// The window's look: 36 x 40, no caption, offsets 0, three pictures.
TImgCheckButton *modeButton(QWidget *parent, int top)
{
    auto *b = new TImgCheckButton(parent);
    b->setGeometry(4, top, 36, 40);
    b->setOnEnterOffset(0);
    b->setOnDownOffset(0);
    b->setImgNormal(solid({ 36, 40 }, Qt::red));
    b->setImgEnter(solid({ 36, 40 }, Qt::green));
    b->setImgCheck(solid({ 36, 40 }, Qt::blue));
    return b;
}

QColor shown(QWidget *w, QPoint at = QPoint(0, 0))
{
    QImage img(w->size(), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::white);
    w->render(&img, QPoint(), QRegion(), QWidget::RenderFlags());
    return img.pixelColor(at);
}

void enter(QWidget *w)
{
    QEnterEvent e(QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)), w->mapToGlobal(QPointF(5, 5)));
    QCoreApplication::sendEvent(w, &e);
}

void leave(QWidget *w)
{
    QEvent e(QEvent::Leave);
    QCoreApplication::sendEvent(w, &e);
}

class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

} // namespace

class tst_ImgButton : public QObject
{
    Q_OBJECT
private slots:
    void layout_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QPoint>("image");
        QTest::addColumn<QPoint>("text");
        QTest::newRow("top") << int(iclImgTop) << int(istNormal) << "x" << QPoint(24, 7) << QPoint(20, 41);
        QTest::newRow("top, hovered moves up-left")
            << int(iclImgTop) << int(istEnter) << "x" << QPoint(23, 6) << QPoint(19, 40);
        QTest::newRow("top, pressed moves down-right")
            << int(iclImgTop) << int(istDown) << "x" << QPoint(25, 8) << QPoint(21, 42);
        QTest::newRow("center overlaps")
            << int(iclImgCenter) << int(istNormal) << "x" << QPoint(24, 14) << QPoint(20, 24);
        QTest::newRow("left") << int(iclImgLeft) << int(istNormal) << "x" << QPoint(3, 14) << QPoint(37, 24);
        QTest::newRow("right") << int(iclImgRight) << int(istNormal) << "x" << QPoint(45, 14)
                               << QPoint(3, 24);
        QTest::newRow("bottom") << int(iclImgBottom) << int(istNormal) << "x" << QPoint(24, 21)
                                << QPoint(20, 7);
        QTest::newRow("no caption, no gap")
            << int(iclImgTop) << int(istNormal) << "" << QPoint(24, 14) << QPoint(40, 46);
    }
    void layout()
    {
        QFETCH(int, layout);
        QFETCH(int, state);
        QFETCH(QString, caption);
        QFETCH(QPoint, image);
        QFETCH(QPoint, text);
        const TImgPlacement at = TImgControl::placement({ 80, 60 }, { 32, 32 }, { 40, 12 },
            !caption.isEmpty(), 2, TImgControlLayout(layout), TImgState(state), 1, 1);
        QCOMPARE(at.image, image);
        QCOMPARE(at.caption, text);
    }

    void negativeHalvesTruncateTowardZero()
    {
        // W - iw = -3 halves to -1.
        QCOMPARE(
            TImgControl::placement({ 5, 5 }, { 8, 8 }, {}, false, 2, iclImgCenter, istNormal, 1, 1).image,
            QPoint(-1, -1));
        // Only the low 16 bits of Spacing count: 0x10002 is a gap of 2.
        QCOMPARE(TImgControl::placement(
                     { 80, 60 }, { 32, 32 }, { 40, 12 }, true, 0x10002, iclImgTop, istNormal, 1, 1)
                     .image,
            QPoint(24, 7));
    }

    void modeButtonLooks()
    {
        QWidget bar;
        bar.resize(40, 200);
        TImgCheckButton *b = modeButton(&bar, 31);
        QCOMPARE(shown(b), QColor(Qt::red));
        QCOMPARE(shown(b, { 35, 39 }), QColor(Qt::red)); // drawn at (0, 0), full size
        enter(b);
        QCOMPARE(b->state(), istEnter);
        QCOMPARE(shown(b), QColor(Qt::green));
        QTest::mousePress(b, Qt::LeftButton, {}, { 5, 5 });
        QCOMPARE(b->state(), istDown);
        QCOMPARE(shown(b), QColor(Qt::red)); // no ImgDown: the copy of ImgNormal
    }

    void fallbacksAreCopiesTakenAtFirstPaint()
    {
        QWidget parent;
        auto *b = new TImgControl(&parent);
        b->resize(36, 40);
        b->setOnEnterOffset(0);
        b->setImgNormal(solid({ 36, 40 }, Qt::red));
        QCOMPARE(shown(b), QColor(Qt::red));
        b->setImgNormal(solid({ 36, 40 }, Qt::yellow));
        QCOMPARE(shown(b), QColor(Qt::yellow));
        enter(b);
        QCOMPARE(shown(b), QColor(Qt::red));
        b->setEnabled(false);
        QCOMPARE(shown(b), QColor(Qt::red));
    }

    void checkedWithoutPictureDrawsNothing()
    {
        QWidget parent;
        auto *b = new TImgCheckButton(&parent);
        b->resize(80, 60);
        b->setCaption("自动");
        b->setImgNormal(solid({ 10, 10 }, Qt::red));
        b->setChecked(true);
        QImage img(b->size(), QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::white);
        b->render(&img, QPoint(), QRegion(), QWidget::RenderFlags());
        QImage white(b->size(), QImage::Format_ARGB32_Premultiplied);
        white.fill(Qt::white);
        QCOMPARE(img, white);
    }

    void clickRunsBeforeTheCheck()
    {
        QWidget bar;
        bar.resize(40, 200);
        TImgCheckButton *first = modeButton(&bar, 31);
        TImgCheckButton *second = modeButton(&bar, 77);
        TImgCheckButton *third = modeButton(&bar, 123);
        first->setChecked(true);
        QList<bool> checkedDuringClick;
        connect(second, &TImgCheckButton::clicked, this, [&] { checkedDuringClick << second->isChecked(); });
        QTest::mouseClick(second, Qt::LeftButton, {}, { 5, 5 });
        QCOMPARE(checkedDuringClick, QList<bool> { false });
        QVERIFY(second->isChecked());
        QCOMPARE(second->state(), istCheck);
        QVERIFY(!first->isChecked());
        QCOMPARE(first->state(), istNormal);
        QVERIFY(!third->isChecked());
        QCOMPARE(shown(second), QColor(Qt::blue));
    }

    void clickOnCheckedButtonKeepsIt()
    {
        QWidget bar;
        TImgCheckButton *b = modeButton(&bar, 0);
        b->setChecked(true);
        QSignalSpy clicks(b, &TImgCheckButton::clicked);
        QTest::mousePress(b, Qt::LeftButton, {}, { 5, 5 });
        QCOMPARE(b->state(), istCheck); // no pressed look
        QTest::mouseRelease(b, Qt::LeftButton, {}, { 5, 5 });
        QCOMPARE(clicks.count(), 1);
        QVERIFY(b->isChecked());
        QCOMPARE(b->state(), istCheck);
    }

    void groupsAndParentsAreSeparate_data()
    {
        QTest::addColumn<int>("otherGroup");
        QTest::addColumn<bool>("otherParent");
        QTest::addColumn<bool>("otherStaysChecked");
        QTest::newRow("same group, same parent") << 0 << false << false;
        QTest::newRow("other group") << 1 << false << true;
        QTest::newRow("other parent") << 0 << true << true;
    }
    void groupsAndParentsAreSeparate()
    {
        QFETCH(int, otherGroup);
        QFETCH(bool, otherParent);
        QFETCH(bool, otherStaysChecked);
        QWidget a, b;
        TImgCheckButton *one = modeButton(&a, 0);
        TImgCheckButton *other = modeButton(otherParent ? &b : &a, 50);
        other->setCheckGroup(otherGroup);
        other->setChecked(true);
        one->setChecked(true);
        QCOMPARE(other->isChecked(), otherStaysChecked);
        one->setChecked(false);
        QVERIFY(!one->isChecked()); // unchecking the only checked button leaves none
    }

    void dragOffAndBack_data()
    {
        QTest::addColumn<QPoint>("releaseAt");
        QTest::addColumn<int>("clicks");
        QTest::addColumn<int>("state");
        QTest::newRow("released off the button: no click") << QPoint(50, 5) << 0 << int(istNormal);
        QTest::newRow("dragged back on: a click") << QPoint(5, 5) << 1 << int(istCheck);
    }
    void dragOffAndBack()
    {
        QFETCH(QPoint, releaseAt);
        QFETCH(int, clicks);
        QFETCH(int, state);
        QWidget bar;
        bar.resize(200, 200);
        TImgCheckButton *b = modeButton(&bar, 0);
        QSignalSpy spy(b, &TImgCheckButton::clicked);
        enter(b);
        QTest::mousePress(b, Qt::LeftButton, {}, { 5, 5 });
        leave(b);
        QCOMPARE(b->state(), istDown); // leaving while pressed is ignored
        QTest::mouseRelease(b, Qt::LeftButton, {}, releaseAt);
        QCOMPARE(spy.count(), clicks);
        QCOMPARE(int(b->state()), state);
        QVERIFY(!b->pressed());
    }

    void otherButtonsAreIgnored()
    {
        QWidget bar;
        TImgCheckButton *b = modeButton(&bar, 0);
        QSignalSpy spy(b, &TImgCheckButton::clicked);
        QTest::mouseClick(b, Qt::RightButton, {}, { 5, 5 });
        QCOMPARE(spy.count(), 0);
        QCOMPARE(b->state(), istNormal);
    }

    void reEnablingDropsTheCheckedLook()
    {
        QWidget bar;
        TImgCheckButton *b = modeButton(&bar, 0);
        b->setChecked(true);
        b->setEnabled(false);
        QCOMPARE(shown(b), QColor(Qt::red)); // disabled shows ImgDisable = ImgNormal
        b->setEnabled(true);
        QCOMPARE(b->state(), istNormal);
        QVERIFY(b->isChecked());
        QTest::mouseClick(b, Qt::LeftButton, {}, { 5, 5 });
        QCOMPARE(b->state(), istEnter); // still checked, so the click does not restore the look
        b->setChecked(false);
        b->setChecked(true);
        QCOMPARE(b->state(), istCheck);
    }

    void settingTheSameCheckRepaintsNothing()
    {
        QWidget bar;
        bar.resize(40, 60);
        TImgCheckButton *b = modeButton(&bar, 0);
        b->setChecked(true);
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        QCoreApplication::processEvents();
        PaintCounter counter;
        b->installEventFilter(&counter);
        b->setChecked(true);
        QCoreApplication::processEvents();
        QCOMPARE(counter.paints, 0);
        b->setChecked(false);
        QTRY_VERIFY(counter.paints > 0);
    }

    void managerPicturesWinAtPaint()
    {
        QWidget parent;
        TImgManager manager;
        auto *b = new TImgControl(&parent);
        b->resize(36, 40);
        b->setImgNormal(solid({ 36, 40 }, Qt::red));
        b->setImgManager(&manager);
        manager.setImgNormal(solid({ 36, 40 }, Qt::magenta));
        QCOMPARE(shown(b), QColor(Qt::magenta));
    }

    void autoSizeFollowsImgNormalOnly()
    {
        QWidget parent;
        auto *b = new TImgControl(&parent);
        b->resize(80, 80);
        b->setAutoSize(true);
        QCOMPARE(b->size(), QSize(80, 80)); // no picture yet
        b->setImgNormal(solid({ 36, 40 }, Qt::red));
        QCOMPARE(b->size(), QSize(36, 40));
        b->setImgEnter(solid({ 50, 50 }, Qt::red));
        QCOMPARE(b->size(), QSize(36, 40));
    }
};

QTEST_MAIN(tst_ImgButton)
#include "tst_imgbutton.moc"
