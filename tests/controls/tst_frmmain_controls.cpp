#include "uFrmMain.h"

#include "KeepShot.h"

#include <QStackedWidget>
#include <QtTest>

namespace {

std::unique_ptr<TfrmMain> shownWindow()
{
    auto w = std::make_unique<TfrmMain>();
    w->PlaceAtDesignSize();
    w->QMainWindow::setVisible(true);
    if (!QTest::qWaitForWindowExposed(w.get()))
        return nullptr;
    return w;
}

void settle(TfrmMain *w)
{
    QCoreApplication::processEvents();
    w->SplitterBar->repaint();
}

void clickSplitterButton(TfrmMain *w)
{
    QTest::mouseClick(w->SplitterBar, Qt::LeftButton, {}, w->SplitterBar->buttonRect().center());
    settle(w);
}

void dragSplitter(TfrmMain *w, int dx)
{
    const QPoint start(3, 20);
    QTest::mousePress(w->SplitterBar, Qt::LeftButton, {}, start);
    QMouseEvent move(QEvent::MouseMove, start + QPoint(dx, 0),
        w->SplitterBar->mapToGlobal(start + QPoint(dx, 0)), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w->SplitterBar, &move);
    QTest::mouseRelease(w->SplitterBar, Qt::LeftButton, {}, start + QPoint(dx, 0));
    settle(w);
}

} // namespace

class tst_FrmMainControls : public QObject
{
    Q_OBJECT
private slots:
    void splitterButtonCollapsesAndRestoresTheLeftPane()
    {
        auto w = shownWindow();
        QVERIFY(w);
        settle(w.get());
        keepShot(w.get(), "window.png");
        QCOMPARE(w->pnlLeft->width(), 204);
        QVERIFY(!w->SplitterBar->buttonRect().isEmpty());
        clickSplitterButton(w.get());
        QCOMPARE(w->pnlLeft->width(), 0);
        QCOMPARE(w->SplitterBar->x(), 0);
        QVERIFY(w->SplitterBar->collapsed());
        keepShot(w.get(), "window-collapsed.png");
        clickSplitterButton(w.get());
        QCOMPARE(w->pnlLeft->width(), 204);
        QCOMPARE(w->SplitterBar->x(), 204);
    }

    void dragBelowMinSizeCollapses_data()
    {
        QTest::addColumn<int>("dx");
        QTest::addColumn<int>("width");
        QTest::newRow("to 81 stays") << -123 << 81;
        QTest::newRow("to 80 collapses") << -124 << 0;
        QTest::newRow("to 74 collapses") << -130 << 0;
        QTest::newRow("wider") << 10 << 214;
        // 725 - 7 - 100 - 397: the editor area keeps its minimum width.
        QTest::newRow("wider stops at the editor's minimum") << 30 << 221;
    }
    void dragBelowMinSizeCollapses()
    {
        QFETCH(int, dx);
        QFETCH(int, width);
        auto w = shownWindow();
        QVERIFY(w);
        settle(w.get());
        dragSplitter(w.get(), dx);
        QCOMPARE(w->pnlLeft->width(), width);
        QCOMPARE(w->SplitterBar->collapsed(), width == 0);
        QVERIFY(w->width() >= 725); // the editor area keeps its minimum by squeezing, not growing
    }

    void modeButtonsShowTheirPictures()
    {
        auto w = shownWindow();
        QVERIFY(w);
        for (TImgCheckButton *b : { w->btnAuto, w->btnTemplate, w->btnGroup }) {
            QCOMPARE(QSize(b->ImgNormal().width(), b->ImgNormal().height()), QSize(36, 40));
            QVERIFY(!b->ImgCheck().isEmpty());
        }
        w->btnAuto->setChecked(true);
        QCoreApplication::processEvents();
        const QImage before = w->btnTemplate->grab().toImage();
        QEnterEvent enter(QPointF(5, 5), w->btnTemplate->mapToGlobal(QPointF(5, 5)),
            w->btnTemplate->mapToGlobal(QPointF(5, 5)));
        QCoreApplication::sendEvent(w->btnTemplate, &enter);
        QCOMPARE(w->btnTemplate->state(), istEnter);
        QVERIFY(w->btnTemplate->grab().toImage() != before);
        keepShot(w.get(), "window-hover.png");
        QTest::mouseClick(w->btnTemplate, Qt::LeftButton, {}, { 5, 5 });
        QVERIFY(w->btnTemplate->isChecked());
        QVERIFY(!w->btnAuto->isChecked());
        QCOMPARE(w->pgMode->currentIndex(), 1);
    }

    void modeBarBandReachesTheBottom()
    {
        auto w = shownWindow();
        QVERIFY(w);
        const QImage bar = w->pnlLLeft->grab().toImage();
        const int last = bar.height() - 1;
        QCOMPARE(bar.pixelColor(bar.width() - 1, last), QColor(0x96, 0xD1, 0xF3));
        QCOMPARE(bar.pixelColor(2, last), QColor(0xF1, 0xF9, 0xFF));
        const QImage names = w->pnlNames->grab().toImage();
        QCOMPARE(names.pixelColor(names.width() - 1, names.height() - 1), QColor(Qt::white));
    }
};

QTEST_MAIN(tst_FrmMainControls)
#include "tst_frmmain_controls.moc"
