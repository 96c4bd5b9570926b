#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <QtTest>

#include "DocumentFile.h"
#include "FindReplaceDialog.h"
#include "KeepShot.h"
#include "WordCountDialog.h"
#include "uFrmMain.h"
#include "uSingleEditor.h"

// The find and replace window, the font, word count and conversion commands through the window.
class tst_uFrmMainTools : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TfrmMain> w;

    void show(QTextEdit *memo, const QString &text)
    {
        w->pgEdit->setCurrentWidget(memo == w->edtPersonality ? w->tsPersonality : memo->parentWidget());
        memo->setPlainText(text);
        memo->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), memo);
        w->UpdateEditActions();
    }
    static void select(QTextEdit *memo, int from, int to)
    {
        QTextCursor c = memo->textCursor();
        c.setPosition(from);
        c.setPosition(to, QTextCursor::KeepAnchor);
        memo->setTextCursor(c);
    }
    void pressF3(Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F3, modifiers);
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();
    void cleanup() { w.reset(); }

    void entriesAreVisibleWithShortcuts();
    void findNextWrapsWithNotice();
    void findPreviousAndNotFound();
    void findFollowsPageInFront();
    void replaceAllIsOneUndoStep();
    void replaceOneByOne();
    void readOnlyBrowserOnlyFinds();
    void fontOnSelectionSurvivesRtf();
    void fontWithoutSelectionTakesWholeText();
    void wordCount_data();
    void wordCount();
    void conversionIsOneUndoStep_data();
    void conversionIsOneUndoStep();
    void conversionLeavesReadOnlyEditor();
};

void tst_uFrmMainTools::init()
{
    w = std::make_unique<TfrmMain>();
    w->PlaceAtDesignSize();
    w->QMainWindow::setVisible(true);
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QApplication::setActiveWindow(w.get());
}

void tst_uFrmMainTools::entriesAreVisibleWithShortcuts()
{
    for (QAction *a : { w->EditFind, w->EditReplace, w->ToolFont, w->ToolWordCount, w->ToolToTraditional,
             w->ToolToSimplified }) {
        QVERIFY2(a->isVisible(), qPrintable(a->text()));
        QVERIFY2(w->actions().contains(a), qPrintable(a->text()));
    }
    QVERIFY(w->mnuTools->menuAction()->isVisible());
    QCOMPARE(w->EditFind->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F));
    QCOMPARE(w->EditReplace->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_H));
    QCOMPARE(w->EditFindNext->shortcut(), QKeySequence(Qt::Key_F3));
    QCOMPARE(w->EditFindPrevious->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F3));
}

void tst_uFrmMainTools::findNextWrapsWithNotice()
{
    show(w->edtEditor, QStringLiteral("想你😀\n今天也想你"));
    // F3 before anything was looked for opens the find window.
    pressF3();
    QVERIFY(w->FindDialog->isVisible());
    QVERIFY(!w->FindDialog->edtReplace->isVisible());
    w->FindDialog->edtFind->setText(QStringLiteral("想你"));
    w->edtEditor->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), w->edtEditor);

    pressF3();
    QCOMPARE(w->edtEditor->textCursor().selectionStart(), 0);
    QCOMPARE(w->edtEditor->textCursor().selectedText(), QStringLiteral("想你"));
    pressF3();
    QCOMPARE(w->edtEditor->textCursor().selectionStart(), 8);
    QCOMPARE(w->FindDialog->Notice(), QString());
    pressF3();
    QCOMPARE(w->edtEditor->textCursor().selectionStart(), 0);
    QCOMPARE(w->FindDialog->Notice(), QStringLiteral("已到文末，从开头继续查找"));

    // The emoji is found whole, from the find window's own button.
    w->FindDialog->edtFind->setText(QStringLiteral("😀"));
    QTest::mouseClick(w->FindDialog->btnFindNext, Qt::LeftButton);
    QCOMPARE(w->edtEditor->textCursor().selectedText(), QStringLiteral("😀"));
}

void tst_uFrmMainTools::findPreviousAndNotFound()
{
    show(w->edtEditor, QStringLiteral("Love lovely LOVE"));
    w->EditFind->trigger();
    w->FindDialog->edtFind->setText(QStringLiteral("love"));
    w->FindDialog->chkWholeWord->setChecked(true);
    select(w->edtEditor, 16, 16);
    pressF3(Qt::ShiftModifier);
    QCOMPARE(w->edtEditor->textCursor().selectionStart(), 12);
    pressF3(Qt::ShiftModifier);
    QCOMPARE(w->edtEditor->textCursor().selectionStart(), 0);
    w->FindDialog->chkCase->setChecked(true);
    QVERIFY(!w->FindDialog->FindNext());
    QCOMPARE(w->FindDialog->Notice(), QStringLiteral("找不到“love”"));
}

void tst_uFrmMainTools::findFollowsPageInFront()
{
    show(w->edtMemo, QStringLiteral("备注里的约会"));
    // No editor has the focus: the one on the page in front is searched.
    w->edtYourName->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), w->edtYourName);
    w->EditFind->trigger();
    w->FindDialog->edtFind->setText(QStringLiteral("约会"));
    QVERIFY(w->FindDialog->FindNext());
    QCOMPARE(w->edtMemo->textCursor().selectedText(), QStringLiteral("约会"));
}

void tst_uFrmMainTools::replaceAllIsOneUndoStep()
{
    show(w->edtEditor, QStringLiteral("想你，想你\n还是想你"));
    // From a name field too: the window takes the key before the field's own editing keys.
    w->edtYourName->setText(QStringLiteral("阿明"));
    w->edtYourName->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), w->edtYourName);
    QTest::keyClick(w->edtYourName, Qt::Key_H, Qt::ControlModifier);
    QCOMPARE(w->edtYourName->text(), QStringLiteral("阿明"));
    QVERIFY(w->FindDialog->isVisible());
    QVERIFY(w->FindDialog->edtReplace->isVisible());
    w->FindDialog->edtFind->setText(QStringLiteral("想你"));
    w->FindDialog->edtReplace->setText(QStringLiteral("爱你"));
    QTest::mouseClick(w->FindDialog->btnReplaceAll, Qt::LeftButton);
    QCOMPARE(w->edtEditor->toPlainText(), QStringLiteral("爱你，爱你\n还是爱你"));
    QCOMPARE(w->FindDialog->Notice(), QStringLiteral("已全部替换，共 3 处"));
    keepShot(w->FindDialog, "find-replace.png");
    w->edtEditor->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), w->edtEditor);
    w->UpdateEditActions();
    w->EditUndo->trigger();
    QCOMPARE(w->edtEditor->toPlainText(), QStringLiteral("想你，想你\n还是想你"));
}

void tst_uFrmMainTools::replaceOneByOne()
{
    show(w->edtEditor, QStringLiteral("甲乙甲"));
    w->EditReplace->trigger();
    w->FindDialog->edtFind->setText(QStringLiteral("甲"));
    w->FindDialog->edtReplace->setText(QStringLiteral("丙"));
    select(w->edtEditor, 0, 0);
    // The first press finds, the second replaces what it found and goes on.
    w->FindDialog->ReplaceOne();
    QCOMPARE(w->edtEditor->toPlainText(), QStringLiteral("甲乙甲"));
    w->FindDialog->ReplaceOne();
    QCOMPARE(w->edtEditor->toPlainText(), QStringLiteral("丙乙甲"));
    QCOMPARE(w->edtEditor->textCursor().selectionStart(), 2);
}

void tst_uFrmMainTools::readOnlyBrowserOnlyFinds()
{
    show(w->edtBrowse, QStringLiteral("模版里的情话"));
    QVERIFY(!w->EditReplace->isEnabled());
    QVERIFY(!w->ToolFont->isEnabled());
    QVERIFY(!w->ToolToTraditional->isEnabled());
    QVERIFY(w->EditFind->isEnabled());
    w->EditFind->trigger();
    w->FindDialog->edtFind->setText(QStringLiteral("情话"));
    QVERIFY(!w->FindDialog->btnReplaceAll->isEnabled());
    QVERIFY(w->FindDialog->FindNext());
    QCOMPARE(w->edtBrowse->textCursor().selectedText(), QStringLiteral("情话"));
    w->FindDialog->edtReplace->setText(QStringLiteral("x"));
    w->FindDialog->ReplaceAll();
    QCOMPARE(w->edtBrowse->toPlainText(), QStringLiteral("模版里的情话"));
}

void tst_uFrmMainTools::fontOnSelectionSurvivesRtf()
{
    show(w->edtEditor, QStringLiteral("亲爱的你：\n我想你"));
    select(w->edtEditor, 3, 5);
    const QFont original = w->edtEditor->textCursor().charFormat().font();
    QTextCharFormat chosen;
    chosen.setFontFamilies({ QStringLiteral("AR PL UMing CN") });
    chosen.setFontPointSize(16);
    chosen.setFontWeight(QFont::Bold);
    chosen.setFontItalic(true);
    chosen.setFontUnderline(true);
    chosen.setForeground(QColor(200, 30, 60));
    QFont asked;
    w->FontChooser = [&](QWidget *, const QFont &font, const QColor &) {
        asked = font;
        return std::optional(chosen);
    };
    w->ToolFont->trigger();
    QCOMPARE(asked.family(), original.family());

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("letter.rtf"));
    w->DocumentController->SaveFileTo(file);
    QTextDocument reopened;
    LoadDocumentFile(file, &reopened);
    QCOMPARE(reopened.toPlainText(), w->edtEditor->toPlainText());
    const QTextBlock first = reopened.begin();
    auto it = first.begin();
    QCOMPARE(it.fragment().text(), QStringLiteral("亲爱的"));
    QVERIFY(!it.fragment().charFormat().fontItalic());
    ++it;
    QCOMPARE(it.fragment().text(), QStringLiteral("你："));
    const QTextCharFormat f = it.fragment().charFormat();
    QCOMPARE(f.fontFamilies().toStringList().value(0), QStringLiteral("AR PL UMing CN"));
    QCOMPARE(f.fontPointSize(), 16.0);
    QCOMPARE(f.fontWeight(), int(QFont::Bold));
    QVERIFY(f.fontItalic());
    QVERIFY(f.fontUnderline());
    QCOMPARE(f.foreground().color(), QColor(200, 30, 60));
    QVERIFY(!reopened.lastBlock().begin().fragment().charFormat().fontItalic());

    // One undo step, and a cancelled dialog changes nothing.
    w->FontChooser
        = [](QWidget *, const QFont &, const QColor &) { return std::optional<QTextCharFormat>(); };
    select(w->edtEditor, 0, 2);
    w->ToolFont->trigger();
    w->edtEditor->document()->undo();
    QVERIFY(!w->edtEditor->document()->isUndoAvailable());
}

void tst_uFrmMainTools::fontWithoutSelectionTakesWholeText()
{
    show(w->edtEditor, QStringLiteral("第一行\n第二行"));
    select(w->edtEditor, 2, 2);
    QTextCharFormat chosen;
    chosen.setFontPointSize(20);
    w->FontChooser = [&](QWidget *, const QFont &, const QColor &) { return std::optional(chosen); };
    w->ToolFont->trigger();
    for (QTextBlock b = w->edtEditor->document()->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            QCOMPARE(it.fragment().charFormat().fontPointSize(), 20.0);
    QVERIFY(!w->edtEditor->textCursor().hasSelection());
}

void tst_uFrmMainTools::wordCount_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QStringList>("figures"); // 字数, 不计空格, 计空格, 中文, 标点, 段落
    QTest::addColumn<bool>("ofSelection");
    // "我爱你 Qt！\n😀好" : the selection runs across the paragraph break.
    QTest::newRow("whole text") << 0 << 0 << QStringList { "7", "8", "9", "4", "1", "2" } << false;
    QTest::newRow("selection") << 3 << 11 << QStringList { "4", "5", "6", "1", "1", "2" } << true;
}

void tst_uFrmMainTools::wordCount()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QStringList, figures);
    QFETCH(bool, ofSelection);
    show(w->edtEditor, QStringLiteral("我爱你 Qt！\n😀好"));
    select(w->edtEditor, from, to);
    w->ToolWordCount->trigger();
    QVERIFY(w->WordCountDialog);
    QTRY_VERIFY(w->WordCountDialog->isVisible());
    const QStringList captions { "字数", "字符数（不计空格）", "字符数（计空格）", "中文字符", "标点符号",
        "段落数" };
    QStringList shown;
    for (const QString &caption : captions)
        shown << w->WordCountDialog->Figure(caption);
    QCOMPARE(shown, figures);
    if (ofSelection)
        keepShot(w->WordCountDialog, "word-count.png");
    QCOMPARE(w->WordCountDialog->findChild<QLabel *>(QStringLiteral("lblScope"))
                 ->text()
                 .endsWith(QStringLiteral("所选内容")),
        ofSelection);
}

void tst_uFrmMainTools::conversionIsOneUndoStep_data()
{
    QTest::addColumn<bool>("toTraditional");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("简->繁") << true << QStringLiteral("后来，她的头发\n皇后")
                            << QStringLiteral("後來，她的頭髮\n皇后");
    QTest::newRow("繁->简") << false << QStringLiteral("後來，她的頭髮\n皇后")
                            << QStringLiteral("后来，她的头发\n皇后");
}

void tst_uFrmMainTools::conversionIsOneUndoStep()
{
    QFETCH(bool, toTraditional);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    show(w->edtMemo, text);
    select(w->edtMemo, 0, 0);
    (toTraditional ? w->ToolToTraditional : w->ToolToSimplified)->trigger();
    QCOMPARE(w->edtMemo->toPlainText(), expected);
    w->edtMemo->undo();
    QCOMPARE(w->edtMemo->toPlainText(), text);
    QVERIFY(!w->edtMemo->document()->isUndoAvailable());

    // A selection converts only itself and stays selected.
    select(w->edtMemo, 0, 2);
    (toTraditional ? w->ToolToTraditional : w->ToolToSimplified)->trigger();
    QCOMPARE(w->edtMemo->toPlainText().left(2), expected.left(2));
    QCOMPARE(w->edtMemo->toPlainText().mid(2), text.mid(2));
    QCOMPARE(w->edtMemo->textCursor().selectedText(), expected.left(2));
}

void tst_uFrmMainTools::conversionLeavesReadOnlyEditor()
{
    show(w->edtBrowse, QStringLiteral("后来"));
    w->ToolConvertExecute(true);
    QCOMPARE(w->edtBrowse->toPlainText(), QStringLiteral("后来"));
}

QTEST_MAIN(tst_uFrmMainTools)
#include "tst_ufrmmaintools.moc"
