#include <QAbstractButton>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "BoxCatcher.h"
#include "MsgBox.h"
#include "PlumaretApplication.h"
#include "PlumaretError.h"

namespace {

// Throws from its event handler, as any handler of the program may.
class ThrowingWidget : public QWidget
{
public:
    std::function<void()> thrower;

    static constexpr QEvent::Type Poke = QEvent::User;

protected:
    bool event(QEvent *e) override
    {
        if (e->type() == Poke) {
            thrower();
            return true;
        }
        return QWidget::event(e);
    }
};

void poke(QWidget *w)
{
    QEvent e(ThrowingWidget::Poke);
    QCoreApplication::sendEvent(w, &e);
}

} // namespace

class tst_ErrorBox : public QObject
{
    Q_OBJECT

private slots:
    void fullStopRule_data();
    void fullStopRule();
    void exceptionInHandlerShowsErrorBoxAndProgramGoesOn_data();
    void exceptionInHandlerShowsErrorBoxAndProgramGoesOn();
    void silentAbortShowsNothing();
    void guardedHandlerReportsAtItsOwnBoundary();
    void msgBoxKinds_data();
    void msgBoxKinds();
    void msgBoxKeepsGivenCaption();
};

void tst_ErrorBox::fullStopRule_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("chinese gets one")
        << QStringLiteral("连接数据库失败") << QStringLiteral("连接数据库失败.");
    QTest::newRow("full-width stop still gets one")
        << QStringLiteral("出错了。") << QStringLiteral("出错了。.");
    QTest::newRow("letter gets one") << QStringLiteral("Disk full") << QStringLiteral("Disk full.");
    QTest::newRow("question mark sorts after") << QStringLiteral("Why?") << QStringLiteral("Why?.");
    QTest::newRow("digit sorts after") << QStringLiteral("code 5") << QStringLiteral("code 5.");
    QTest::newRow("already a stop") << QStringLiteral("Done.") << QStringLiteral("Done.");
    QTest::newRow("exclamation sorts before") << QStringLiteral("Stop!") << QStringLiteral("Stop!");
    QTest::newRow("closing parenthesis sorts before") << QStringLiteral("(x)") << QStringLiteral("(x)");
    QTest::newRow("hyphen sorts before") << QStringLiteral("a-") << QStringLiteral("a-");
    QTest::newRow("trailing blank sorts before") << QStringLiteral("a ") << QStringLiteral("a ");
    QTest::newRow("empty stays empty") << QString() << QString();
}

void tst_ErrorBox::fullStopRule()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(ErrorBoxText(message), shown);
}

void tst_ErrorBox::exceptionInHandlerShowsErrorBoxAndProgramGoesOn_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("text");
    QTest::newRow("program error") << 0 << QStringLiteral("找不到表 Template.");
    QTest::newRow("standard exception") << 1 << QStringLiteral("boom.");
}

void tst_ErrorBox::exceptionInHandlerShowsErrorBoxAndProgramGoesOn()
{
    QFETCH(int, kind);
    QFETCH(QString, text);
    ThrowingWidget widget;
    widget.thrower = [kind] {
        if (kind == 0)
            throw EPlumaretError(QStringLiteral("找不到表 Template"));
        throw std::runtime_error("boom");
    };
    widget.show();
    {
        BoxCatcher catcher;
        poke(&widget);
        QVERIFY(catcher.seen.shown);
        QCOMPARE(catcher.seen.title, QStringLiteral("墨韵笺语工坊"));
        QCOMPARE(catcher.seen.text, text);
        QCOMPARE(catcher.seen.icon, QMessageBox::Critical);
        QCOMPARE(catcher.seen.buttons, QList<QMessageBox::StandardButton> { QMessageBox::Ok });
    }
    // The loop goes on: the same handler reports again.
    BoxCatcher second;
    poke(&widget);
    QVERIFY(second.seen.shown);
}

void tst_ErrorBox::silentAbortShowsNothing()
{
    ThrowingWidget widget;
    bool thrown = false;
    widget.thrower = [&thrown] {
        thrown = true;
        throw EAbort();
    };
    widget.show();
    // A box would be modal and run inside the click; the catcher would have seen it by now.
    BoxCatcher catcher;
    poke(&widget);
    QVERIFY(thrown);
    QVERIFY(!catcher.seen.shown);
}

void tst_ErrorBox::guardedHandlerReportsAtItsOwnBoundary()
{
    QPushButton button;
    int runs = 0;
    QObject::connect(&button, &QPushButton::clicked, &button, Guarded([&runs] {
        ++runs;
        throw EPlumaretError(QStringLiteral("保存失败"));
    }));
    BoxCatcher catcher;
    button.click();
    QCOMPARE(runs, 1);
    QCOMPARE(catcher.seen.text, QStringLiteral("保存失败."));
}

void tst_ErrorBox::msgBoxKinds_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QList<QMessageBox::StandardButton>>("buttons");
    QTest::addColumn<int>("answer");
    using B = QList<QMessageBox::StandardButton>;
    QTest::newRow("0 information") << 0 << QStringLiteral("提示") << int(QMessageBox::Information)
                                   << B { QMessageBox::Ok } << int(QMessageBox::Ok);
    QTest::newRow("1 question, yes") << 1 << QStringLiteral("询问") << int(QMessageBox::Question)
                                     << B { QMessageBox::Yes, QMessageBox::No } << int(QMessageBox::Yes);
    QTest::newRow("1 question, no") << 1 << QStringLiteral("询问") << int(QMessageBox::Question)
                                    << B { QMessageBox::Yes, QMessageBox::No } << int(QMessageBox::No);
    QTest::newRow("2 warning") << 2 << QStringLiteral("警告") << int(QMessageBox::Warning)
                               << B { QMessageBox::Ok } << int(QMessageBox::Ok);
    QTest::newRow("3 error") << 3 << QStringLiteral("错误") << int(QMessageBox::Critical)
                             << B { QMessageBox::Ok } << int(QMessageBox::Ok);
}

void tst_ErrorBox::msgBoxKinds()
{
    QFETCH(int, kind);
    QFETCH(QString, caption);
    QFETCH(int, icon);
    QFETCH(QList<QMessageBox::StandardButton>, buttons);
    QFETCH(int, answer);
    BoxCatcher catcher(static_cast<QMessageBox::StandardButton>(answer));
    const auto pressed = MsgBox(QStringLiteral("请输入名字"), QString(), kind);
    QCOMPARE(int(pressed), answer);
    QCOMPARE(catcher.seen.title, caption);
    QCOMPARE(catcher.seen.text, QStringLiteral("请输入名字"));
    QCOMPARE(int(catcher.seen.icon), icon);
    std::sort(catcher.seen.buttons.begin(), catcher.seen.buttons.end());
    std::sort(buttons.begin(), buttons.end());
    QCOMPARE(catcher.seen.buttons, buttons);
}

void tst_ErrorBox::msgBoxKeepsGivenCaption()
{
    BoxCatcher catcher;
    MsgBox(QStringLiteral("x"), QStringLiteral("自定义"), 2);
    QCOMPARE(catcher.seen.title, QStringLiteral("自定义"));
    QCOMPARE(catcher.seen.icon, QMessageBox::Warning);
}

// The program's own application object, so that notify() is the one under test.
int main(int argc, char *argv[])
{
    TPlumaretApplication app(argc, argv);
    tst_ErrorBox test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_errorbox.moc"
