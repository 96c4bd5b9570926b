#include "InOrder.h"
#include <QAbstractButton>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>

#include <QtTest>

#include "EditEx.h"
#include "Personality.h"
#include "uFrmMain.h"

namespace {

// Records every modal message box and closes it with its first button.
class BoxRecorder : public QObject
{
public:
    BoxRecorder()
    {
        connect(&m_timer, &QTimer::timeout, this, &BoxRecorder::poll);
        m_timer.start(10);
    }
    QStringList texts;
    QStringList titles;
    QList<QMessageBox::Icon> icons;

private:
    void poll()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        texts << box->text();
        titles << box->windowTitle();
        icons << box->icon();
        if (QAbstractButton *b = box->buttons().value(0))
            b->click();
        else
            box->reject();
    }
    QTimer m_timer;
};

// The window shown without its start-up (no phrase book needed), page "个性情书" in front.
std::unique_ptr<TfrmMain> shownWindow()
{
    auto w = std::make_unique<TfrmMain>();
    w->PlaceAtDesignSize();
    w->pgEdit->setCurrentIndex(2);
    w->QMainWindow::setVisible(true);
    QApplication::setActiveWindow(w.get());
    return w;
}

// Types into a field as a user would: ASCII key by key, other text as an input method commits it.
void typeInto(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_End);
    QString ascii;
    const auto flush = [&] {
        for (const QChar c : std::as_const(ascii))
            QTest::keyClick(edit, char(c.unicode()));
        ascii.clear();
    };
    for (const QChar c : text) {
        if (c == u'\b') {
            flush();
            QTest::keyClick(edit, Qt::Key_Backspace);
            continue;
        }
        if (c.unicode() >= 32 && c.unicode() < 127) {
            ascii += c;
            continue;
        }
        flush();
        QInputMethodEvent commit;
        commit.setCommitString(QString(c));
        QApplication::sendEvent(edit, &commit);
    }
    flush();
}

QLineEdit *field(TfrmMain *w, const QString &name)
{
    return w->findChild<QLineEdit *>(name);
}

QString plain(const QString &letter)
{
    QString text = letter;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

} // namespace

class tst_uFrmMainPersonality : public QObject
{
    Q_OBJECT

private slots:
    void opensOnRevolutionPage();
    void numberFieldsInTwoColumns_data();
    void numberFieldsInTwoColumns();
    void textFieldsHaveLabelsOnTheirLeft();
    void generatesTextLetters_data();
    void generatesTextLetters();
    void emptyFieldStops_data();
    void emptyFieldStops();
    void generatesReport();
    void zeroChecks_data();
    void zeroChecks();
    void pasteIntoNumberField_data();
    void pasteIntoNumberField();
    void undoInNumberField_data();
    void undoInNumberField();
};

void tst_uFrmMainPersonality::opensOnRevolutionPage()
{
    TfrmMain w;
    QCOMPARE(w.pgPersonality->count(), 4);
    QCOMPARE(w.pgPersonality->currentIndex(), 3);
    QCOMPARE(w.pgPersonality->tabText(3), QStringLiteral("革命情书"));
}

void tst_uFrmMainPersonality::numberFieldsInTwoColumns_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");

    QTest::newRow("edtDays") << "edtDays"
                             << "你们认识的天数" << 0 << 0;
    QTest::newRow("edtTelCount") << "edtTelCount"
                                 << "你们通电话的次数" << 0 << 1;
    QTest::newRow("edtCallSheCount") << "edtCallSheCount"
                                     << "你打她电话的次数" << 1 << 0;
    QTest::newRow("edtCallMax") << "edtCallMax"
                                << "最长通话时间(分)" << 1 << 1;
    QTest::newRow("edtCallMin") << "edtCallMin"
                                << "最短通话时间(分)" << 2 << 0;
    QTest::newRow("edtYHCount") << "edtYHCount"
                                << "你们约会的次数" << 2 << 1;
    QTest::newRow("edtYHZD") << "edtYHZD"
                             << "你约她的次数" << 3 << 0;
    QTest::newRow("edtYHMax") << "edtYHMax"
                              << "最长约会时间(分)" << 3 << 1;
    QTest::newRow("edtYHMin") << "edtYHMin"
                              << "最短约会时间(分)" << 4 << 0;
}

void tst_uFrmMainPersonality::numberFieldsInTwoColumns()
{
    QFETCH(QString, name);
    QFETCH(QString, label);
    QFETCH(int, row);
    QFETCH(int, column);

    auto w = shownWindow();
    QWidget *page = w->pgPersonality->widget(3);
    auto *edit = page->findChild<TEditEx *>(name);
    QVERIFY(edit);
    QCOMPARE(edit->width(), 50);
    QCOMPARE(edit->text(), QStringLiteral("0"));
    QCOMPARE(edit->ValueSetting()->ValueType(), vtFloat);
    QCOMPARE(int(edit->ValueSetting()->DecimalPlaces()), 0);
    QVERIFY(page->rect().contains(edit->geometry()));

    // Rows and columns against the first field of the page.
    const QRect first = w->edtDays->geometry();
    const QRect right = w->edtTelCount->geometry();
    QVERIFY(right.left() > first.right());
    QCOMPARE(edit->x(), column == 0 ? first.x() : right.x());
    QCOMPARE(edit->y(), first.y() + row * (w->edtCallSheCount->y() - first.y()));

    QLabel *caption = nullptr;
    for (QLabel *l : page->findChildren<QLabel *>())
        if (l->buddy() == edit)
            caption = l;
    QVERIFY(caption);
    QCOMPARE(caption->text(), label);
    QVERIFY(caption->geometry().right() < edit->x());
    QCOMPARE(caption->y(), edit->y());
    // The whole caption fits its place.
    QVERIFY(caption->width() >= caption->fontMetrics().horizontalAdvance(label));
    if (column == 1)
        QVERIFY(caption->x() > first.right());
}

void tst_uFrmMainPersonality::textFieldsHaveLabelsOnTheirLeft()
{
    auto w = shownWindow();
    const QList<QPair<int, QStringList>> pages {
        { 0, { "edtHair", "edtEye", "edtSex", "edtCharacter" } },
        { 1, { "edtEye2", "edtBeautiful", "edtFlower" } },
        { 2, { "edtShe", "edtLM", "edtWL", "edtDY" } },
    };
    for (const auto &[index, names] : pages) {
        QWidget *page = w->pgPersonality->widget(index);
        int lastY = -1;
        for (const QString &name : names) {
            auto *edit = page->findChild<QLineEdit *>(name);
            QVERIFY2(edit, qPrintable(name));
            QVERIFY2(edit->y() > lastY, qPrintable(name));
            lastY = edit->y();
            bool labelled = false;
            for (QLabel *l : page->findChildren<QLabel *>())
                labelled |= l->buddy() == edit && l->geometry().right() < edit->x();
            QVERIFY2(labelled, qPrintable(name));
        }
    }
    // "她有一双 … 眼睛": the second word stands right of the field.
    QWidget *page1 = w->pgPersonality->widget(1);
    bool eyesAfter = false;
    for (QLabel *l : page1->findChildren<QLabel *>())
        eyesAfter |= l->text() == QStringLiteral("眼睛") && l->x() > w->edtEye2->geometry().right();
    QVERIFY(eyesAfter);
}

void tst_uFrmMainPersonality::generatesTextLetters_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QStringList>("inserted");

    QTest::newRow("大胆表白") << 0 << QStringList { "edtHair", "edtEye", "edtSex", "edtCharacter" }
                              << QStringList { "乌黑亮丽", "水汪汪", "锁骨", "温柔善良" }
                              << QStringList { "乌黑亮丽", "水汪汪", "锁骨", "温柔善良" };
    QTest::newRow("无敌情书 with blanks and percent signs")
        << 1 << QStringList { "edtEye2", "edtBeautiful", "edtFlower" }
        << QStringList { "  明亮的 ", "100% %s", "%d 开得灿烂" }
        << QStringList { "明亮的", "100% %s", "%d 开得灿烂" };
    QTest::newRow("思春情书 with a full-width blank")
        << 2 << QStringList { "edtShe", "edtLM", "edtWL", "edtDY" }
        << QStringList { "喝了十罐汽水", "海边", "　", "泰坦尼克号" }
        << QStringList { "喝了十罐汽水", "海边", "　", "泰坦尼克号" };
}

void tst_uFrmMainPersonality::generatesTextLetters()
{
    QFETCH(int, page);
    QFETCH(QStringList, names);
    QFETCH(QStringList, typed);
    QFETCH(QStringList, inserted);

    auto w = shownWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    w->pgPersonality->setCurrentIndex(page);
    for (int i = 0; i < names.size(); ++i)
        typeInto(field(w.get(), names.at(i)), typed.at(i));
    for (int i = 0; i < names.size(); ++i)
        QCOMPARE(field(w.get(), names.at(i))->text(), typed.at(i));

    w->edtPersonality->setPlainText(QStringLiteral("旧的内容"));
    QLineEdit *focused = field(w.get(), names.first());
    focused->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), focused);
    BoxRecorder boxes;
    // As from a keyboard shortcut: the button itself does not take the focus.
    w->btnMakeLetter->click();
    QVERIFY2(boxes.texts.isEmpty(), qPrintable(boxes.texts.join(u'|')));

    // Blanks gone, everything else literal, in field order.
    const QString expected = plain(Personality::MakeLetter(page, inserted));
    QCOMPARE(w->edtPersonality->toPlainText(), expected);
    QCOMPARE(w->pgPersonality->currentIndex(), page);
    QCOMPARE(w->pgEdit->currentIndex(), 2);
    QCOMPARE(QApplication::focusWidget(), focused);

    // A second letter replaces the first.
    typeInto(field(w.get(), names.first()), QStringLiteral("X"));
    QTest::mouseClick(w->btnMakeLetter, Qt::LeftButton);
    QStringList again = inserted;
    again[0] = Personality::TrimBlanks(typed.first() + u'X');
    QCOMPARE(w->edtPersonality->toPlainText(), plain(Personality::MakeLetter(page, again)));
}

void tst_uFrmMainPersonality::emptyFieldStops_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QString>("focus");

    QTest::newRow("eye and allure empty: only the eye is reported")
        << 0 << QStringList { "edtHair", "edtEye", "edtSex", "edtCharacter" }
        << QStringList { "长发", "", "", "开朗" } << "edtEye";
    QTest::newRow("blanks only count as empty") << 1 << QStringList { "edtEye2", "edtBeautiful", "edtFlower" }
                                                << QStringList { "   ", "被珍惜", "盛开" } << "edtEye2";
    QTest::newRow("last field empty") << 2 << QStringList { "edtShe", "edtLM", "edtWL", "edtDY" }
                                      << QStringList { "风", "海边", "车站", "" } << "edtDY";
}

void tst_uFrmMainPersonality::emptyFieldStops()
{
    QFETCH(int, page);
    QFETCH(QStringList, names);
    QFETCH(QStringList, typed);
    QFETCH(QString, focus);

    auto w = shownWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    w->pgPersonality->setCurrentIndex(page);
    for (int i = 0; i < names.size(); ++i)
        typeInto(field(w.get(), names.at(i)), typed.at(i));
    w->edtPersonality->setPlainText(QStringLiteral("旧的内容"));
    w->edtPersonality->setFocus();

    BoxRecorder boxes;
    QTest::mouseClick(w->btnMakeLetter, Qt::LeftButton);

    QCOMPARE(boxes.texts, QStringList { QStringLiteral("必须将内容先填完整") });
    QCOMPARE(boxes.titles, QStringList { QStringLiteral("提示") });
    QCOMPARE(boxes.icons.value(0), QMessageBox::Information);
    QTRY_COMPARE(w->focusWidget(), field(w.get(), focus));
    QCOMPARE(w->edtPersonality->toPlainText(), QStringLiteral("旧的内容"));
    QCOMPARE(w->pgPersonality->currentIndex(), page);
}

void tst_uFrmMainPersonality::generatesReport()
{
    auto w = shownWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    const QList<QPair<TEditEx *, QString>> values {
        { w->edtDays, "365" },
        { w->edtTelCount, "100" },
        { w->edtCallSheCount, "60" },
        { w->edtCallMax, "95" },
        { w->edtYHCount, "40" },
        { w->edtYHZD, "25" },
        { w->edtYHMax, "240" },
    };
    for (const auto &[edit, text] : values)
        typeInto(edit, text);
    for (const auto &[edit, text] : values)
        QCOMPARE(edit->text(), text);
    // A letter key in a number field only beeps.
    QSignalSpy beeps(w->edtCallMin, &TCustomEditEx::beeped);
    typeInto(w->edtCallMin, QStringLiteral("x"));
    QCOMPARE(beeps.count(), 1);
    QCOMPARE(w->edtCallMin->text(), QStringLiteral("0"));

    BoxRecorder boxes;
    QTest::mouseClick(w->btnMakeLetter, Qt::LeftButton);
    QVERIFY2(boxes.texts.isEmpty(), qPrintable(boxes.texts.join(u'|')));
    const QStringList lines = w->edtPersonality->toPlainText().split(u'\n');
    QCOMPARE(lines.size(), 14);
    QVERIFY(lines.at(0).contains(QStringLiteral("365个")));
    QVERIFY2(ContainsInOrder(lines.at(1),
                 { "100次", "3.65天", "60次", "60.00%", "40.00次", "40.00%", "95分钟", "0分钟" }),
        qPrintable(lines.at(1)));
    QVERIFY2(ContainsInOrder(lines.at(2),
                 { "40次", "9.13天", "25次", "62.50%", "15.00次", "37.50%", "240分钟", "0分钟" }),
        qPrintable(lines.at(2)));
    QCOMPARE(w->pgPersonality->currentIndex(), 3);
}

void tst_uFrmMainPersonality::zeroChecks_data()
{
    QTest::addColumn<QString>("days");
    QTest::addColumn<QString>("calls");
    QTest::addColumn<QString>("dates");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");

    QTest::newRow("all at zero: days only") << ""
                                            << ""
                                            << ""
                                            << "认识天数为0时无法生成情书"
                                            << "edtDays";
    QTest::newRow("no calls") << "30"
                              << ""
                              << ""
                              << "通话次数为0时无法生成情书"
                              << "edtTelCount";
    QTest::newRow("no dates") << "30"
                              << "12"
                              << ""
                              << "约会次数为0时无法生成情书"
                              << "edtYHCount";
    QTest::newRow("typed back to zero") << "5\b"
                                        << "1"
                                        << "1"
                                        << "认识天数为0时无法生成情书"
                                        << "edtDays";
}

void tst_uFrmMainPersonality::zeroChecks()
{
    QFETCH(QString, days);
    QFETCH(QString, calls);
    QFETCH(QString, dates);
    QFETCH(QString, message);
    QFETCH(QString, focus);

    auto w = shownWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    typeInto(w->edtDays, days);
    typeInto(w->edtTelCount, calls);
    typeInto(w->edtYHCount, dates);
    w->edtPersonality->setPlainText(QStringLiteral("旧的内容"));
    w->btnMakeLetter->setFocus();

    BoxRecorder boxes;
    QTest::mouseClick(w->btnMakeLetter, Qt::LeftButton);
    QCOMPARE(boxes.texts, QStringList { message });
    QCOMPARE(boxes.titles, QStringList { QStringLiteral("提示") });
    QTRY_COMPARE(w->focusWidget(), field(w.get(), focus));
    QCOMPARE(w->edtPersonality->toPlainText(), QStringLiteral("旧的内容"));
}

void tst_uFrmMainPersonality::pasteIntoNumberField_data()
{
    QTest::addColumn<QString>("clip");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("beeps");

    QTest::newRow("number rounds") << "12.6"
                                   << "13" << 0;
    QTest::newRow("letters refused") << "abc"
                                     << "0" << 1;
    QTest::newRow("too long refused") << "123456789"
                                      << "0" << 1;
}

// Ctrl+V in the window goes through its edit action first.
void tst_uFrmMainPersonality::pasteIntoNumberField()
{
    QFETCH(QString, clip);
    auto w = shownWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    w->edtDays->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), w->edtDays);
    QApplication::clipboard()->setText(clip);
    QSignalSpy beeps(w->edtDays, &TCustomEditEx::beeped);
    QTest::keyClick(w->edtDays, Qt::Key_V, Qt::ControlModifier);
    QApplication::processEvents();
    QTEST(w->edtDays->text(), "expected");
    QTEST(int(beeps.count()), "beeps");
}

void tst_uFrmMainPersonality::undoInNumberField_data()
{
    QTest::addColumn<QKeySequence>("edit"); // an empty sequence: select all, then Delete
    QTest::addColumn<bool>("byMenu");
    QTest::newRow("Backspace, Ctrl+Z") << QKeySequence(Qt::Key_Backspace) << false;
    QTest::newRow("Delete, Edit menu") << QKeySequence(Qt::Key_Delete) << true;
    QTest::newRow("all deleted, Ctrl+Z") << QKeySequence() << false;
    QTest::newRow("all deleted, Edit menu") << QKeySequence() << true;
}

// The window's undo in a numeric field brings back the text, even with a number on the clipboard.
void tst_uFrmMainPersonality::undoInNumberField()
{
    QFETCH(QKeySequence, edit);
    QFETCH(bool, byMenu);
    auto w = shownWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    typeInto(w->edtDays, QStringLiteral("123"));
    const QString typed = w->edtDays->text();
    QVERIFY(typed.startsWith(QStringLiteral("123")));
    QApplication::clipboard()->setText(QStringLiteral("98765"));
    QSignalSpy beeps(w->edtDays, &TCustomEditEx::beeped);

    if (edit.isEmpty()) {
        QTest::keyClick(w->edtDays, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(w->edtDays, Qt::Key_Delete);
    } else {
        QTest::keyClick(w->edtDays, Qt::Key_End);
        if (edit[0].key() == Qt::Key_Delete)
            QTest::keyClick(w->edtDays, Qt::Key_Home);
        QTest::keySequence(w->edtDays, edit);
    }
    QVERIFY(w->edtDays->text() != typed);

    if (byMenu) {
        w->UpdateEditActions();
        QVERIFY(w->EditUndo->isEnabled());
        w->EditUndo->trigger();
    } else {
        QTest::keyClick(w->edtDays, Qt::Key_Z, Qt::ControlModifier);
    }
    QApplication::processEvents();
    QCOMPARE(w->edtDays->text(), typed);
    QCOMPARE(beeps.count(), 0);
}

QTEST_MAIN(tst_uFrmMainPersonality)
#include "tst_ufrmmainpersonality.moc"
