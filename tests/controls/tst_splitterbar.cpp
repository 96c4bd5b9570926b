#include "SplitterBar.h"
#include "nxGDIPlusClasses.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

namespace {

TPicture strip(QColor normal, QColor hot)
{
    QImage img(15, 79, QImage::Format_RGB32);
    img.fill(Qt::white);
    for (int y = 10; y < 70; ++y)
        for (int x = 0; x < 15; ++x)
            img.setPixelColor(x, y, x / 5 == 1 ? hot : normal);
    auto png = std::make_unique<TnxPNGImage>();
    png->assignBitmap(img);
    TPicture p;
    p.setGraphic(std::move(png));
    return p;
}

// The window's left side in small: a 204 pane, the 7-pixel bar, a client that stretches.
struct Fixture
{
    QWidget window;
    QWidget *pane;
    TSplitterBar *bar;
    QWidget *client;
    QLineEdit *focus;

    explicit Fixture(int windowWidth = 725)
    {
        window.resize(windowWidth, 300);
        auto *layout = new QHBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        pane = new QWidget(&window);
        pane->setFixedWidth(204);
        bar = new TSplitterBar(&window);
        bar->setFixedWidth(7);
        bar->setControl(pane);
        bar->setMinSize(80);
        bar->setMinButton(strip(Qt::red, Qt::green));
        bar->setMaxButton(strip(Qt::blue, Qt::cyan));
        client = new QWidget(&window);
        focus = new QLineEdit(client);
        layout->addWidget(pane);
        layout->addWidget(bar);
        layout->addWidget(client, 1);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        focus->setFocus();
    }

    QPoint buttonCentre() const { return bar->buttonRect().center(); }
    void settle()
    {
        QCoreApplication::processEvents();
        bar->repaint();
    }
    void drag(int dx, bool release = true)
    {
        const QPoint start(3, 20);
        QTest::mousePress(bar, Qt::LeftButton, {}, start);
        QMouseEvent move(QEvent::MouseMove, start + QPoint(dx, 0), bar->mapToGlobal(start + QPoint(dx, 0)),
            Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(bar, &move);
        if (release)
            QTest::mouseRelease(bar, Qt::LeftButton, {}, start + QPoint(dx, 0));
        settle();
    }
    void clickButton(Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(bar, button, {}, buttonCentre());
        settle();
    }
};

} // namespace

class tst_SplitterBar : public QObject
{
    Q_OBJECT
private slots:
    void drag_data()
    {
        QTest::addColumn<int>("dx");
        QTest::addColumn<int>("width");
        QTest::newRow("wider") << 40 << 244;
        QTest::newRow("narrower") << -60 << 144;
        QTest::newRow("just above MinSize") << -123 << 81;
        QTest::newRow("MinSize snaps to 0") << -124 << 0;
        QTest::newRow("far left snaps to 0") << -300 << 0;
        QTest::newRow("limited by the client's room") << 2000 << 725 - 7 - 80;
    }
    void drag()
    {
        QFETCH(int, dx);
        QFETCH(int, width);
        Fixture f;
        f.drag(dx);
        QCOMPARE(f.pane->width(), width);
        QVERIFY(!f.bar->resizing());
    }

    void clientMinimumIsKept()
    {
        Fixture f;
        f.client->setMinimumWidth(397);
        f.drag(2000);
        QCOMPARE(f.pane->width(), 725 - 7 - 397);
        QCOMPARE(f.window.width(), 725);
    }

    void resizeStyles_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<bool>("line");
        QTest::addColumn<int>("widthWhileDragging");
        QTest::newRow("rsNone") << int(rsNone) << false << 204;
        QTest::newRow("rsLine") << int(rsLine) << true << 204;
        QTest::newRow("rsUpdate") << int(rsUpdate) << false << 164;
        QTest::newRow("rsPattern") << int(rsPattern) << true << 204;
    }
    void resizeStyles()
    {
        QFETCH(int, style);
        QFETCH(bool, line);
        QFETCH(int, widthWhileDragging);
        Fixture f;
        f.bar->setResizeStyle(TResizeStyle(style));
        QSignalSpy moved(f.bar, &TSplitterBar::moved);
        f.drag(-40, false);
        QCOMPARE(f.bar->lineShown(), line);
        if (line)
            QCOMPARE(f.bar->lineRect(), f.bar->geometry().translated(-40, 0));
        QCOMPARE(f.pane->width(), widthWhileDragging);
        QTest::mouseRelease(f.bar, Qt::LeftButton, {}, QPoint(3 - 40, 20));
        QCOMPARE(f.pane->width(), 164);
        QVERIFY(!f.bar->lineShown());
        QCOMPARE(moved.count(), 2); // once for the size, once for the end of the drag
    }

    void escapeCancelsTheDrag()
    {
        Fixture f;
        f.drag(-40, false);
        QVERIFY(f.bar->lineShown());
        QTest::keyClick(f.focus, Qt::Key_Escape);
        QVERIFY(!f.bar->resizing());
        QVERIFY(!f.bar->lineShown());
        QTest::mouseRelease(f.bar, Qt::LeftButton, {}, QPoint(3 - 40, 20));
        f.settle();
        QCOMPARE(f.pane->width(), 204);
        QTest::keyClick(f.focus, Qt::Key_A); // other keys reach the field again
        QCOMPARE(f.focus->text(), QStringLiteral("a"));
    }

    void canResizeMayChangeOrRefuse()
    {
        Fixture f;
        f.bar->OnCanResize = [](TSplitterBar *, int &size, bool &accept) {
            accept = size != 150;
            size = size / 10 * 10;
        };
        f.drag(-57); // 147 becomes 140
        QCOMPARE(f.pane->width(), 140);
        f.drag(10); // 150 is refused: the pending size stays at the press point's
        QCOMPARE(f.pane->width(), 140);
    }

    void disabledResizeStartsNoDrag()
    {
        Fixture f;
        f.bar->setEnabledResize(false);
        f.drag(-40);
        QCOMPARE(f.pane->width(), 204);
    }

    void buttonCollapsesAndRestores()
    {
        Fixture f;
        QVERIFY(!f.bar->buttonRect().isEmpty());
        QCOMPARE(f.bar->buttonRect(), QRect(1, (300 - 79) / 2, 5, 79));
        f.clickButton();
        QCOMPARE(f.pane->width(), 0);
        QVERIFY(f.bar->collapsed());
        QCOMPARE(f.bar->x(), 0);
        f.clickButton();
        QCOMPARE(f.pane->width(), 204);
        QVERIFY(!f.bar->collapsed());
    }

    // Read from the pane, so it holds between paints too.
    void collapsedFollowsThePaneWithoutAPaint()
    {
        Fixture f;
        f.pane->setFixedWidth(0);
        QVERIFY(f.bar->collapsed());
        f.pane->setFixedWidth(204);
        QVERIFY(!f.bar->collapsed());
    }

    void rightButtonTogglesToo()
    {
        Fixture f;
        f.clickButton(Qt::RightButton);
        QCOMPARE(f.pane->width(), 0);
    }

    void buttonAfterDragCollapseRestoresTheLastButtonSize()
    {
        Fixture f;
        f.drag(-300);
        QCOMPARE(f.pane->width(), 0);
        f.clickButton(); // the button never saved a width
        QCOMPARE(f.pane->width(), 0);

        Fixture g;
        g.drag(-50); // 154
        g.clickButton(); // saves 154
        g.clickButton();
        g.drag(-300);
        g.clickButton();
        QCOMPARE(g.pane->width(), 154);
    }

    void dragAgainToTheSizeOfAnEarlierDrag()
    {
        Fixture f;
        f.drag(-50);
        QCOMPARE(f.pane->width(), 154);
        f.clickButton();
        QCOMPARE(f.pane->width(), 0);
        f.clickButton();
        f.drag(-300);
        QCOMPARE(f.pane->width(), 0);
        f.drag(154 + 0); // from 0 back to 154, the size the first drag applied
        QCOMPARE(f.pane->width(), 154);
    }

    void pressOnButtonReleaseOutsideChangesNothing()
    {
        Fixture f;
        QTest::mousePress(f.bar, Qt::LeftButton, {}, f.buttonCentre());
        QTest::mouseRelease(f.bar, Qt::LeftButton, {}, QPoint(3, 5));
        f.settle();
        QCOMPARE(f.pane->width(), 204);
    }

    void hoverStates()
    {
        Fixture f;
        const Qt::CursorShape barCursor = f.bar->cursor().shape();
        QCOMPARE(barCursor, Qt::SplitHCursor);
        QEnterEvent enter(
            QPointF(3, 5), f.bar->mapToGlobal(QPointF(3, 5)), f.bar->mapToGlobal(QPointF(3, 5)));
        QCoreApplication::sendEvent(f.bar, &enter);
        QVERIFY(f.bar->hot());
        QTest::mouseMove(f.bar, f.buttonCentre());
        QMouseEvent over(QEvent::MouseMove, f.buttonCentre(), f.bar->mapToGlobal(f.buttonCentre()),
            Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(f.bar, &over);
        QCOMPARE(f.bar->buttonState(), sbsHot);
        QCOMPARE(f.bar->cursor().shape(), Qt::ArrowCursor);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(f.bar, &leave);
        QVERIFY(!f.bar->hot());
        QCOMPARE(f.bar->buttonState(), sbsNormal);
        QCOMPARE(f.bar->cursor().shape(), barCursor);
    }

    void hotColoursArePainted()
    {
        Fixture f;
        f.bar->setMinButton(TPicture());
        f.bar->Colors().setColor(0x00F6E3BE);
        f.bar->Colors().setColorTo(0x00F6E3BE);
        f.bar->Colors().setColorHot(0x00F2D6A2);
        f.bar->Colors().setColorHotTo(0x00F2D6A2);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(f.bar, &leave);
        QCOMPARE(f.bar->grab().toImage().pixelColor(3, 20), QColor(0xBE, 0xE3, 0xF6));
        QEnterEvent enter(
            QPointF(3, 5), f.bar->mapToGlobal(QPointF(3, 5)), f.bar->mapToGlobal(QPointF(3, 5)));
        QCoreApplication::sendEvent(f.bar, &enter);
        QCOMPARE(f.bar->grab().toImage().pixelColor(3, 20), QColor(0xA2, 0xD6, 0xF2));
    }

    void clientAlignedBarHasNoButton()
    {
        Fixture f;
        f.bar->setAlign(alClient);
        f.bar->repaint();
        QVERIFY(f.bar->buttonRect().isEmpty());
    }

    void destroyedControlIsForgotten()
    {
        Fixture f;
        delete f.pane;
        QCOMPARE(f.bar->control(), nullptr);
        f.drag(-40);
        f.clickButton();
    }

    void colourChangesRepaint_data()
    {
        QTest::addColumn<qint64>("value");
        QTest::addColumn<int>("notices");
        QTest::newRow("same value") << qint64(0xFF00000F) << 0;
        QTest::newRow("new value") << qint64(0x00F6E3BE) << 1;
    }
    void colourChangesRepaint()
    {
        QFETCH(qint64, value);
        QFETCH(int, notices);
        struct Owner : IColorsOwner
        {
            int count = 0;
            void ColorsChanged() override { ++count; }
        } owner;
        TSplitterColors colors(&owner);
        colors.setColor(TColor(std::uint32_t(value)));
        QCOMPARE(owner.count, notices);

        struct Other : IColorsOwner
        {
            int count = 0;
            void ColorsChanged() override { ++count; }
        } other;
        TSplitterColors copy(&other);
        colors.setBorderColorHot(0x00112233);
        copy.assign(colors);
        QCOMPARE(copy.Color(), colors.Color());
        QCOMPARE(copy.BorderColorHot(), TColor(0x00112233));
        QCOMPARE(other.count, 1);
    }
};

QTEST_MAIN(tst_SplitterBar)
#include "tst_splitterbar.moc"
