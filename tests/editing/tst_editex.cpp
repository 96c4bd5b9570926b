#include "EditEx.h"
#include "EditExNumber.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

// Keys of a test row: a character stands for itself, except these.
static void typeKeys(QWidget *w, const QString &keys)
{
    for (const QChar c : keys) {
        switch (c.unicode()) {
        case '\b':
            QTest::keyClick(w, Qt::Key_Backspace);
            break;
        case '\r':
            QTest::keyClick(w, Qt::Key_Return);
            break;
        case '\x1b':
            QTest::keyClick(w, Qt::Key_Escape);
            break;
        case '~':
            QTest::keyClick(w, Qt::Key_Delete);
            break;
        case '>':
            QTest::keyClick(w, Qt::Key_End);
            break;
        case '<':
            QTest::keyClick(w, Qt::Key_Home);
            break;
        default:
            QTest::keyClick(w, char(c.unicode()));
            break;
        }
    }
}

// The nine number fields of the statistics page are set up like this.
static void setUpCountField(TEditEx &edit)
{
    edit.ValueSetting()->setValueType(vtFloat);
    edit.ValueSetting()->setDecimalPlaces(0);
    edit.setText(QStringLiteral("0"));
}

struct Settings
{
    int decimals = 0;
    bool thousands = false;
    bool autoCut = false;
    bool minus = false;
    bool hideZero = false;
    bool readOnly = false;
};
Q_DECLARE_METATYPE(Settings)

class tst_EditEx : public QObject
{
    Q_OBJECT

private slots:
    void formatFixed_data();
    void formatFixed();
    void maxLengthAndFormat_data();
    void maxLengthAndFormat();
    void floatValueReading_data();
    void floatValueReading();
    void floatValueWriting_data();
    void floatValueWriting();
    void settingChangesReformat();
    void typing_data();
    void typing();
    void paste_data();
    void paste();
    void pasteFromOutsideKeepsTheRules_data();
    void pasteFromOutsideKeepsTheRules();
    void undoAfterReformat();
    void inputMethodCommitIsFiltered();
    void numberOnly();
    void stringModeTakesEverything();
    void hintDrawnOnlyWhileEmptyAndUnfocused_data();
    void hintDrawnOnlyWhileEmptyAndUnfocused();
    void hintDrawnAtXThree();
    void hintHookCanSuppressDrawing();
    void hideCaret();
    void paddingAlignmentAndCentring();
};

void tst_EditEx::formatFixed_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<bool>("thousands");
    QTest::addColumn<QString>("expected");

    QTest::newRow("half up") << 2.5 << 0 << false << "3";
    QTest::newRow("negative half away from zero") << -2.5 << 0 << false << "-3";
    QTest::newRow("tiny negative has no sign") << -0.004 << 2 << false << "0.00";
    QTest::newRow("negative zero has no sign") << -0.0 << 0 << false << "0";
    QTest::newRow("binary 999.995 rounds up") << 999.995 << 2 << false << "1000.00";
    QTest::newRow("carry through nines") << 9.999 << 2 << false << "10.00";
    QTest::newRow("below one keeps a zero") << 0.05 << 1 << false << "0.1";
    QTest::newRow("groups of three") << 1234567.0 << 2 << true << "1,234,567.00";
    QTest::newRow("no separator below 1000") << 123.0 << 0 << true << "123";
    QTest::newRow("negative grouped") << -1234.5 << 1 << true << "-1,234.5";
    QTest::newRow("large value in full") << 1e20 << 0 << false << "100000000000000000000";
}

void tst_EditEx::formatFixed()
{
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(bool, thousands);
    QFETCH(QString, expected);
    QCOMPARE(EditExNumber::FormatFixed(value, decimals, thousands), expected);
}

void tst_EditEx::maxLengthAndFormat_data()
{
    QTest::addColumn<int>("integerLength");
    QTest::addColumn<bool>("thousands");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<int>("maxLength");
    QTest::addColumn<QString>("format");

    QTest::newRow("defaults") << 8 << false << 2 << 11 << "0.00";
    QTest::newRow("count fields") << 8 << false << 0 << 8 << "0";
    QTest::newRow("thousands, no decimals") << 8 << true << 0 << 10 << "#,0";
    QTest::newRow("nine digits with thousands") << 9 << true << 2 << 14 << "#,0.00";
}

void tst_EditEx::maxLengthAndFormat()
{
    QFETCH(int, integerLength);
    QFETCH(bool, thousands);
    QFETCH(int, decimals);
    TEditEx edit;
    TValueSetting *vs = edit.ValueSetting();
    QCOMPARE(vs->MaxLength(), 11);
    QCOMPARE(vs->FormatStr(), QStringLiteral("0.00"));
    vs->setIntegerLength(quint8(integerLength));
    vs->setShowThousands(thousands);
    vs->setDecimalPlaces(quint8(decimals));
    QTEST(vs->MaxLength(), "maxLength");
    QTEST(vs->FormatStr(), "format");
}

void tst_EditEx::floatValueReading_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");

    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("commas and blanks") << " 1,234 " << 1234.0;
    QTest::newRow("letters") << "abc" << 0.0;
    QTest::newRow("exponent") << "1e3" << 1000.0;
    QTest::newRow("negative fraction") << "-2.5" << -2.5;
    QTest::newRow("two points") << "1.2.3" << 0.0;
    QTest::newRow("explicit plus") << "+7" << 7.0;
    QTest::newRow("exponent without digits") << "2e" << 0.0;
    QTest::newRow("overflow") << "1e99999" << 0.0;
    QTest::newRow("full-width digit") << QString::fromUtf8("１") << 0.0;
}

void tst_EditEx::floatValueReading()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    TEditEx edit;
    edit.setText(text);
    QCOMPARE(double(edit.ValueSetting()->FloatValue()), value);
    setUpCountField(edit);
    edit.setText(text);
    QCOMPARE(double(edit.ValueSetting()->FloatValue()), value);
}

void tst_EditEx::floatValueWriting_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("hideZero");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("float rounds to its decimals") << int(vtFloat) << false << 12.345 << "12.35";
    QTest::newRow("float zero") << int(vtFloat) << false << 0.0 << "0.00";
    QTest::newRow("float zero hidden") << int(vtFloat) << true << 0.0 << "";
    QTest::newRow("string general form") << int(vtString) << false << 0.5 << "0.5";
    QTest::newRow("string large exponent") << int(vtString) << false << 1e20 << "1E20";
    QTest::newRow("string small exponent") << int(vtString) << false << 1.5e-7 << "1.5E-7";
    QTest::newRow("string keeps zero") << int(vtString) << true << 0.0 << "0";
}

void tst_EditEx::floatValueWriting()
{
    QFETCH(int, type);
    QFETCH(bool, hideZero);
    QFETCH(double, value);
    TEditEx edit;
    edit.ValueSetting()->setValueType(TValueType(type));
    edit.ValueSetting()->setHideZeroValue(hideZero);
    edit.setModified(true);
    edit.ValueSetting()->setFloatValue(value);
    QTEST(edit.text(), "expected");
    QVERIFY(!edit.isModified());
}

void tst_EditEx::settingChangesReformat()
{
    TEditEx edit;
    TValueSetting *vs = edit.ValueSetting();
    edit.setText(QStringLiteral("abc"));
    vs->setValueType(vtNumberOnly);
    QCOMPARE(edit.text(), QStringLiteral("abc"));
    vs->setValueType(vtFloat);
    QCOMPARE(edit.text(), QStringLiteral("0.00"));
    vs->setDecimalPlaces(0);
    QCOMPARE(edit.text(), QStringLiteral("0"));

    edit.setText(QStringLiteral("1234.5"));
    vs->setDecimalPlaces(1);
    QCOMPARE(edit.text(), QStringLiteral("1234.5"));
    vs->setShowThousands(true);
    QCOMPARE(edit.text(), QStringLiteral("1,234.5"));
    vs->setDecimalPlaces(0);
    QCOMPARE(edit.text(), QStringLiteral("1,235"));
    vs->setValueType(vtString);
    QCOMPARE(edit.text(), QStringLiteral("1,235"));

    vs->setValueType(vtFloat);
    edit.setText(QStringLiteral("0"));
    vs->setHideZeroValue(true);
    QCOMPARE(edit.text(), QString());
}

void tst_EditEx::typing_data()
{
    QTest::addColumn<Settings>("settings");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selLength");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("beeps");

    const Settings count;
    QTest::newRow("digit after the zero replaces it") << count << "0" << 1 << 0 << "5"
                                                      << "5" << 1 << 0;
    QTest::newRow("digit before the zero") << count << "0" << 0 << 0 << "5"
                                           << "50" << 1 << 0;
    QTest::newRow("eight digits fill the field") << count << "0" << 1 << 0 << "12345678"
                                                 << "12345678" << 8 << 0;
    QTest::newRow("ninth digit beeps") << count << "12345678" << 8 << 0 << "9"
                                       << "12345678" << 8 << 1;
    QTest::newRow("digit over a selection when full") << count << "12345678" << 0 << 1 << "9"
                                                      << "92345678" << 1 << 0;
    QTest::newRow("minus refused") << count << "0" << 0 << 0 << "-"
                                   << "0" << 0 << 1;
    QTest::newRow("point refused without decimals") << count << "7" << 1 << 0 << "."
                                                    << "7" << 1 << 1;
    QTest::newRow("letter refused") << count << "7" << 1 << 0 << "a"
                                    << "7" << 1 << 1;
    QTest::newRow("enter refused") << count << "7" << 1 << 0 << "\r"
                                   << "7" << 1 << 1;
    QTest::newRow("escape refused") << count << "7" << 1 << 0 << "\x1b"
                                    << "7" << 1 << 1;
    QTest::newRow("backspace to zero") << count << "5" << 1 << 0 << "\b"
                                       << "0" << 1 << 0;
    QTest::newRow("backspace at start") << count << "5" << 0 << 0 << "\b"
                                        << "5" << 0 << 0;
    QTest::newRow("backspace over all") << count << "123" << 0 << 3 << "\b"
                                        << "0" << 1 << 0;
    QTest::newRow("backspace keeps caret behind digit") << count << "1203" << 2 << 0 << "\b"
                                                        << "103" << 1 << 0;
    QTest::newRow("leading zeros go") << count << "1000" << 1 << 0 << "\b"
                                      << "0" << 0 << 0;
    QTest::newRow("delete in the middle") << count << "123" << 1 << 0 << "~"
                                          << "13" << 1 << 0;
    QTest::newRow("delete at the end") << count << "123" << 3 << 0 << "~"
                                       << "123" << 3 << 0;
    QTest::newRow("delete of the last digit") << count << "5" << 0 << 0 << "~"
                                              << "0" << 1 << 0;
    QTest::newRow("delete a selection") << count << "1234" << 1 << 2 << "~"
                                        << "14" << 1 << 0;
    QTest::newRow("arrow keys move freely") << count << "123" << 3 << 0 << "<4"
                                            << "4123" << 1 << 0;
    Settings readOnly = count;
    readOnly.readOnly = true;
    QTest::newRow("read-only beeps") << readOnly << "7" << 1 << 0 << "8"
                                     << "7" << 1 << 1;

    Settings grouped;
    grouped.decimals = 2;
    grouped.thousands = true;
    QTest::newRow("thousands: digit at start of 0.00") << grouped << "0.00" << 0 << 0 << "1"
                                                       << "10.00" << 1 << 0;
    QTest::newRow("thousands: seven digits at end of integer part")
        << grouped << "0.00" << 1 << 0 << "1234567"
        << "1,234,567.00" << 9 << 0;
    QTest::newRow("thousands: backspace removes a group") << grouped << "1,234.00" << 5 << 0 << "\b"
                                                          << "123.00" << 3 << 0;
    QTest::newRow("second point beeps") << grouped << "1.00" << 2 << 0 << "."
                                        << "1.00" << 2 << 1;

    Settings decimals;
    decimals.decimals = 2;
    QTest::newRow("point with the point to the right, no cut") << decimals << "1234.56" << 2 << 0 << "."
                                                               << "1234.56" << 2 << 1;
    Settings autoCut = decimals;
    autoCut.autoCut = true;
    QTest::newRow("point cuts to the old decimals") << autoCut << "1234.56" << 2 << 0 << "."
                                                    << "12.56" << 3 << 0;
    QTest::newRow("full: digit among decimals drops the last") << decimals << "12345678.12" << 9 << 0 << "9"
                                                               << "12345678.91" << 10 << 0;
    QTest::newRow("full: digit at the very end") << decimals << "12345678.12" << 11 << 0 << "3"
                                                 << "12345678.13" << 11 << 0;
    QTest::newRow("full: digit in integer part beeps") << decimals << "12345678.12" << 3 << 0 << "9"
                                                       << "12345678.12" << 3 << 1;

    Settings minus;
    minus.minus = true;
    QTest::newRow("minus at the start of zero") << minus << "0" << 0 << 0 << "-"
                                                << "-0" << 1 << 0;
    QTest::newRow("minus then a digit at the end") << minus << "0" << 0 << 0 << "->7"
                                                   << "-7" << 2 << 0;
    QTest::newRow("minus in front of a number") << minus << "42" << 0 << 0 << "-"
                                                << "-42" << 1 << 0;
    QTest::newRow("minus elsewhere beeps") << minus << "42" << 1 << 0 << "-"
                                           << "42" << 1 << 1;
    QTest::newRow("second minus keeps the number") << minus << "-5" << 0 << 0 << "-"
                                                   << "-5" << 0 << 1;

    Settings hide = count;
    hide.hideZero = true;
    QTest::newRow("hidden zero still shows when typed") << hide << "5" << 1 << 0 << "\b"
                                                        << "0" << 1 << 0;
    QTest::newRow("hidden zero still shows on delete") << hide << "5" << 0 << 0 << "~"
                                                       << "0" << 1 << 0;
}

void tst_EditEx::typing()
{
    QFETCH(Settings, settings);
    QFETCH(QString, text);
    QFETCH(int, selStart);
    QFETCH(int, selLength);
    QFETCH(QString, keys);

    TEditEx edit;
    TValueSetting *vs = edit.ValueSetting();
    vs->setValueType(vtFloat);
    vs->setDecimalPlaces(quint8(settings.decimals));
    vs->setShowThousands(settings.thousands);
    vs->setAutoCutDecimal(settings.autoCut);
    vs->setAppectMinus(settings.minus);
    vs->setHideZeroValue(settings.hideZero);
    edit.setReadOnly(settings.readOnly);
    edit.setText(text);
    if (selLength > 0)
        edit.setSelection(selStart, selLength);
    else
        edit.setCursorPosition(selStart);
    QSignalSpy beeps(&edit, &TCustomEditEx::beeped);

    typeKeys(&edit, keys);

    QTEST(edit.text(), "expected");
    QTEST(edit.cursorPosition(), "caret");
    QTEST(int(beeps.count()), "beeps");
    QVERIFY(!edit.hasSelectedText());
    if (edit.text() != text)
        QVERIFY(edit.isModified());
}

void tst_EditEx::paste_data()
{
    QTest::addColumn<bool>("hideZero");
    QTest::addColumn<QString>("clip");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("beeps");

    QTest::newRow("fraction rounds") << false << "12.6"
                                     << "13" << 0;
    QTest::newRow("minus although the key is refused") << false << "-3"
                                                       << "-3" << 0;
    QTest::newRow("comma is not a number") << false << "1,234"
                                           << "7" << 1;
    QTest::newRow("too long") << false << "123456789"
                              << "7" << 1;
    QTest::newRow("blanks around") << false << " 42 "
                                   << "42" << 0;
    QTest::newRow("line break at the end") << false << "5\n"
                                           << "7" << 1;
    QTest::newRow("letters") << false << "abc"
                             << "7" << 1;
    QTest::newRow("exponent") << false << "1e3"
                              << "1000" << 0;
    QTest::newRow("empty clipboard does nothing") << false << ""
                                                  << "7" << 0;
    QTest::newRow("zero hidden") << true << "0"
                                 << "" << 0;
    QTest::newRow("zero shown") << false << "0"
                                << "0" << 0;
}

void tst_EditEx::paste()
{
    QFETCH(bool, hideZero);
    QFETCH(QString, clip);
    TEditEx edit;
    setUpCountField(edit);
    edit.ValueSetting()->setHideZeroValue(hideZero);
    edit.setText(QStringLiteral("7"));
    edit.setCursorPosition(0);
    if (clip.isEmpty())
        QApplication::clipboard()->clear();
    else
        QApplication::clipboard()->setText(clip);
    QSignalSpy beeps(&edit, &TCustomEditEx::beeped);

    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);

    QTEST(edit.text(), "expected");
    QTEST(int(beeps.count()), "beeps");
}

void tst_EditEx::pasteFromOutsideKeepsTheRules_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("clip");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("beeps");

    QTest::newRow("number replaces the value") << int(vtFloat) << "12.6"
                                               << "13" << 0;
    QTest::newRow("letters refused") << int(vtFloat) << "abc"
                                     << "7" << 1;
    QTest::newRow("digits only: digits go in") << int(vtNumberOnly) << "45"
                                               << "457" << 0;
    QTest::newRow("digits only: letters refused") << int(vtNumberOnly) << "4x"
                                                  << "7" << 1;
}

// The window's edit action calls QLineEdit::paste(), which the field cannot override.
void tst_EditEx::pasteFromOutsideKeepsTheRules()
{
    QFETCH(int, type);
    QFETCH(QString, clip);
    TEditEx edit;
    if (type == vtFloat)
        setUpCountField(edit);
    else
        edit.ValueSetting()->setValueType(vtNumberOnly);
    edit.setText(QStringLiteral("7"));
    edit.setCursorPosition(0);
    QApplication::clipboard()->setText(clip);
    QSignalSpy beeps(&edit, &TCustomEditEx::beeped);

    static_cast<QLineEdit &>(edit).paste();

    QApplication::processEvents();
    QTEST(edit.text(), "expected");
    QTEST(int(beeps.count()), "beeps");
}

void tst_EditEx::undoAfterReformat()
{
    TEditEx edit;
    setUpCountField(edit);
    edit.setCursorPosition(1);
    typeKeys(&edit, QStringLiteral("5"));
    QCOMPARE(edit.text(), QStringLiteral("5"));
    QTest::keyClick(&edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(edit.text(), QStringLiteral("0"));
}

void tst_EditEx::inputMethodCommitIsFiltered()
{
    TEditEx edit;
    setUpCountField(edit);
    edit.setCursorPosition(1);
    QSignalSpy beeps(&edit, &TCustomEditEx::beeped);
    QInputMethodEvent event;
    event.setCommitString(QString::fromUtf8("1２a3"));
    QApplication::sendEvent(&edit, &event);
    QCOMPARE(edit.text(), QStringLiteral("13"));
    QCOMPARE(beeps.count(), 2);
}

void tst_EditEx::numberOnly()
{
    TEditEx edit;
    edit.ValueSetting()->setValueType(vtNumberOnly);
    QSignalSpy beeps(&edit, &TCustomEditEx::beeped);
    typeKeys(&edit, QStringLiteral("1a2.3\b"));
    QCOMPARE(edit.text(), QStringLiteral("12"));
    QCOMPARE(beeps.count(), 2);

    QApplication::clipboard()->setText(QStringLiteral("4x"));
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit.text(), QStringLiteral("12"));
    QCOMPARE(beeps.count(), 3);
    QApplication::clipboard()->setText(QStringLiteral("45"));
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit.text(), QStringLiteral("1245"));
    QVERIFY(!edit.acceptDrops());
}

void tst_EditEx::stringModeTakesEverything()
{
    TEditEx edit;
    QSignalSpy beeps(&edit, &TCustomEditEx::beeped);
    typeKeys(&edit, QStringLiteral("a-1.5.\r"));
    QCOMPARE(edit.text(), QStringLiteral("a-1.5."));
    QApplication::clipboard()->setText(QStringLiteral("%s"));
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit.text(), QStringLiteral("a-1.5.%s"));
    QCOMPARE(beeps.count(), 0);
}

void tst_EditEx::hintDrawnOnlyWhileEmptyAndUnfocused_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<bool>("focused");
    QTest::addColumn<bool>("drawn");

    QTest::newRow("empty and unfocused") << ""
                                         << "天数" << false << true;
    QTest::newRow("only blanks count as empty") << "  "
                                                << "天数" << false << true;
    QTest::newRow("focused") << ""
                             << "天数" << true << false;
    QTest::newRow("text present") << "3"
                                  << "天数" << false << false;
    QTest::newRow("blank hint") << ""
                                << " \t" << false << false;
}

void tst_EditEx::hintDrawnOnlyWhileEmptyAndUnfocused()
{
    QFETCH(QString, text);
    QFETCH(QString, hint);
    QFETCH(bool, focused);

    QWidget window;
    auto *other = new QLineEdit(&window);
    auto *edit = new TEditEx(&window);
    edit->move(0, 40);
    QFont hintFont = edit->font();
    hintFont.setItalic(true);
    edit->setHintTextFont(hintFont);
    edit->setHintText(hint);
    edit->setText(text);
    int calls = 0;
    QFont fontSeen;
    edit->OnPaintHintText = [&](TCustomEditEx *sender, QPainter &canvas, bool &enable) {
        QCOMPARE(sender, edit);
        QVERIFY(enable);
        fontSeen = canvas.font();
        ++calls;
    };
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    (focused ? static_cast<QWidget *>(edit) : other)->setFocus();
    QTRY_COMPARE(edit->hasFocus(), focused);

    calls = 0;
    edit->repaint();
    QFETCH(bool, drawn);
    QCOMPARE(calls > 0, drawn);
    if (drawn)
        QVERIFY(fontSeen.italic());
}

// Leftmost column in the image that differs from column `reference` beyond a small tolerance.
static int firstInkColumn(const QImage &image, const QImage &reference)
{
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (qAbs(qGray(image.pixel(x, y)) - qGray(reference.pixel(x, y))) > 60)
                return x;
    return -1;
}

void tst_EditEx::hintDrawnAtXThree()
{
    TEditEx edit;
    edit.resize(120, 40);
    edit.setFrame(false);
    edit.setHintTextColor(Qt::black);
    QFont big = edit.font();
    big.setPixelSize(24);
    edit.setHintTextFont(big);
    const QImage empty = edit.grab().toImage();
    // The full block has no side bearing, so its ink starts where the text starts.
    edit.setHintText(QString(QChar(0x2588)));
    const QImage hinted = edit.grab().toImage();
    const int bearing = QFontMetrics(big).leftBearing(QChar(0x2588));
    const int x = firstInkColumn(hinted, empty);
    QVERIFY2(x >= 3 + bearing - 1 && x <= 3 + bearing + 1, qPrintable(QString::number(x)));
}

void tst_EditEx::hintHookCanSuppressDrawing()
{
    TEditEx edit;
    edit.resize(120, 30);
    const QImage empty = edit.grab().toImage();
    edit.setHintText(QStringLiteral("请输入天数"));
    QVERIFY(edit.grab().toImage() != empty);
    edit.OnPaintHintText = [](TCustomEditEx *, QPainter &, bool &enable) { enable = false; };
    QCOMPARE(edit.grab().toImage(), empty);
}

void tst_EditEx::hideCaret()
{
    // In the focused, empty field the caret is the only dark ink in its own rectangle.
    QWidget window;
    auto *edit = new TEditEx(&window);
    edit->resize(100, 30);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());

    auto caretPixels = [&] {
        const QImage image = edit->grab().toImage();
        const QRect caret
            = edit->inputMethodQuery(Qt::ImCursorRectangle).toRect() & image.rect().adjusted(2, 2, -2, -2);
        int count = 0;
        for (int y = caret.top(); y <= caret.bottom(); ++y)
            for (int x = caret.left(); x <= caret.right(); ++x)
                count += qGray(image.pixel(x, y)) < 100;
        return count;
    };
    // The caret blinks: wait for it to show, and sample longer than one blink while hidden.
    QTRY_VERIFY(caretPixels() > 0);
    edit->setHideCaret(true);
    for (int i = 0; i < 12; ++i) {
        QCOMPARE(caretPixels(), 0);
        QTest::qWait(100);
    }
    edit->setHideCaret(false);
    QTRY_VERIFY(caretPixels() > 0);
}

void tst_EditEx::paddingAlignmentAndCentring()
{
    TEditEx edit;
    edit.resize(200, 60);
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    // The line's scroll position is worked out while painting.
    const auto caretRect = [&] {
        edit.repaint();
        return edit.inputMethodQuery(Qt::ImCursorRectangle).toRect();
    };
    const QRect plain = caretRect();
    QVERIFY(qAbs(plain.center().y() - edit.height() / 2) <= 2);

    edit.setPaddingWidth(20);
    QCOMPARE(caretRect().left(), plain.left() + 20);

    edit.setPaddingWidth(0);
    edit.setAlignment(taRightJustify);
    QVERIFY(caretRect().left() > edit.width() - 20);
    edit.setAlignment(taCenter);
    QVERIFY(qAbs(caretRect().center().x() - edit.width() / 2) <= 3);
}

QTEST_MAIN(tst_EditEx)
#include "tst_editex.moc"
