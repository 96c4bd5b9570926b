// The letter modes driven through the real window, offscreen, over the test phrase book.
#include "BoxCatcher.h"
#include "LetterFormat.h"
#include "LetterModels.h"
#include "uFrmMain.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHelpEvent>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QToolTip>
#include <QTreeView>

namespace {

QStringList letterLines(const TfrmMain &w)
{
    return w.edtEditor->toPlainText().split(u'\n');
}

QStringList bodyOf(const QStringList &lines)
{
    // salutation, opening, body..., "", "", closing, name, date
    return lines.mid(2, lines.size() - 7);
}

void verifyLetterFormats(QTextEdit *editor)
{
    QTextDocument *doc = editor->document();
    const int blocks = doc->blockCount();
    int n = 0;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next(), ++n) {
        const Qt::Alignment align = b.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
        QCOMPARE(align, n >= blocks - 2 ? Qt::AlignRight : Qt::AlignLeft);
        QCOMPARE(b.blockFormat().lineHeightType(), int(QTextBlockFormat::ProportionalHeight));
        QCOMPARE(b.blockFormat().lineHeight(), 150.0);
        QCOMPARE(b.charFormat().intProperty(Letters::CharacterSpacingProperty), 200);
    }
    QCOMPARE(editor->textCursor().position(), 0);
    QVERIFY(!editor->textCursor().hasSelection());
    QVERIFY(doc->isUndoAvailable());
}

void doubleClickRow(QTreeView *view, int row)
{
    const QRect r = view->visualRect(view->model()->index(row, 0));
    // a user's double click starts with the press that makes the row current
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, r.center());
}

// LETTERS_SCREENSHOTS=folder keeps a picture of the window after each mode was used.
void keepPicture(QWidget *window, const char *name)
{
    const QString folder = qEnvironmentVariable("LETTERS_SCREENSHOTS");
    if (!folder.isEmpty())
        window->grab().save(QDir(folder).filePath(QString::fromLatin1(name) + QStringLiteral(".png")));
}

// Chinese text arrives as an input method commits it.
void typeText(QWidget *editor, const QString &text)
{
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(editor, &commit);
}

enum class UndoBy { Key, Menu, ContextMenu };

// The window's undo as the user reaches it: Ctrl+Z, the Edit menu (and toolbar) action, or the
// editor's context menu.
void undoThroughWindow(TfrmMain &w, UndoBy by)
{
    QTRY_COMPARE(QApplication::focusWidget(), w.edtEditor);
    switch (by) {
    case UndoBy::Key:
        QTest::keyClick(w.edtEditor, Qt::Key_Z, Qt::ControlModifier);
        break;
    case UndoBy::Menu:
        w.UpdateEditActions();
        QVERIFY(w.EditUndo->isEnabled());
        w.EditUndo->trigger();
        break;
    case UndoBy::ContextMenu:
        w.edtEditorContextPopup(w.edtEditor);
        QVERIFY(w.ppiUndo->isEnabled());
        w.ppiUndo->trigger();
        break;
    }
}

} // namespace

Q_DECLARE_METATYPE(UndoBy)

class tst_LettersWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void startWritesFramedLetter();
    void lineCountField_data();
    void lineCountField();
    void lineCountKeys();
    void groupToggleRebuildsInListOrder();
    void groupClassChangeIsOneReset();
    void groupHintOnlyWhenCut();
    void templateNotPreviewedUnasked_data();
    void templateNotPreviewedUnasked();
    void templatePreviewFollowsFocus();
    void templateDoubleClickFrames();
    void generatingIsOneUndoStep_data();
    void generatingIsOneUndoStep();
    void twoTicksUndoneOneByOne();
    void storeErrorIsShownAndTheProgramGoesOn_data();
    void storeErrorIsShownAndTheProgramGoesOn();
    void cleanupTestCase();

private:
    int count(const QString &sql)
    {
        TAdoBuilder store(QStringLiteral(LETTERS_TESTBOOK));
        store.Connect();
        store.OpenQuery(sql);
        return store.ResultSet->RowCount();
    }

    QTemporaryDir dir;
    QString startDir;
    std::unique_ptr<TfrmMain> w;
};

void tst_LettersWindow::initTestCase()
{
    const QString fixture = QStringLiteral(LETTERS_TESTBOOK);
    QVERIFY2(QFile::exists(fixture), "the test phrase book was not built");
    QVERIFY(QFile::copy(fixture, dir.filePath(QStringLiteral("db.dll"))));
    startDir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    w = std::make_unique<TfrmMain>();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QApplication::setActiveWindow(w.get());
    QVERIFY(QTest::qWaitForWindowActive(w.get()));

    QCOMPARE(w->TemplateModel->rowCount(), count(QStringLiteral("SELECT ID FROM Template")));
    QVERIFY(w->TemplateModel->rowCount() >= 3);
    QCOMPARE(w->edtQHType->count(), count(QStringLiteral("SELECT classID FROM LoveWordClass")));
    QCOMPARE(w->ClassIDs.size(), w->edtQHType->count());
    QCOMPARE(w->edtQHType->currentIndex(), 0);
    QCOMPARE(w->GroupModel->rowCount(),
        count(QStringLiteral("SELECT ID FROM LoveWord WHERE ClassID = %1").arg(w->ClassIDs.at(0))));
    QVERIFY(!w->vstTemplate->currentIndex().isValid());
    QVERIFY(w->edtBrowse->toPlainText().isEmpty());
}

void tst_LettersWindow::init()
{
    w->edtYourName->setText(QStringLiteral("甲"));
    w->edtSheName->setText(QStringLiteral("乙"));
}

void tst_LettersWindow::startWritesFramedLetter()
{
    w->pgMode->setCurrentIndex(0);
    w->pgEdit->setCurrentIndex(2);
    w->edtEditor->setPlainText(QStringLiteral("旧的内容"));
    w->edtLines->setValue(3);
    QTest::mouseClick(w->btnStart, Qt::LeftButton);

    const QStringList lines = letterLines(*w);
    QCOMPARE(lines.size(), 2 + 3 + 2 + 3);
    QVERIFY(lines[0].endsWith(QStringLiteral("乙：")));
    for (const QString &line : bodyOf(lines))
        QVERIFY2(line.startsWith(QStringLiteral("    ")) && line.size() > 4, qPrintable(line));
    QCOMPARE(lines.at(lines.size() - 2), QStringLiteral("甲"));
    QCOMPARE(lines.last(), QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
    verifyLetterFormats(w->edtEditor);
    QCOMPARE(w->pgEdit->currentIndex(), 0);
    QTRY_COMPARE(QApplication::focusWidget(), w->edtEditor);
    keepPicture(w.get(), "auto");
}

void tst_LettersWindow::lineCountField_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("bodyLines");
    QTest::newRow("emptied reads as 1") << QString() << QStringLiteral("1") << 1;
    QTest::newRow("0 becomes 1") << QStringLiteral("0") << QStringLiteral("1") << 1;
    QTest::newRow("150 becomes 100: every allowed phrase")
        << QStringLiteral("150") << QStringLiteral("100") << -1;
    QTest::newRow("at most three characters") << QStringLiteral("0021") << QStringLiteral("2") << 2;
}

void tst_LettersWindow::lineCountField()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(int, bodyLines);
    w->pgMode->setCurrentIndex(0);
    w->edtLines->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), w->edtLines);
    w->edtLines->selectAll();
    QTest::keyClick(w->edtLines, Qt::Key_Backspace);
    QTest::keyClicks(w->edtLines, typed);
    QCOMPARE(w->edtLines->text(), typed.left(3));
    QTest::mouseClick(w->btnStart, Qt::LeftButton);
    QCOMPARE(w->edtLines->text(), shown);
    if (bodyLines < 0)
        bodyLines = count(QStringLiteral("SELECT id FROM LoveWord WHERE ClassID NOT IN (2, 3, 4, 5, 6, 15)"));
    QCOMPARE(bodyOf(letterLines(*w)).size(), bodyLines);
}

void tst_LettersWindow::lineCountKeys()
{
    w->pgMode->setCurrentIndex(0);
    w->edtLines->setValue(5);
    w->edtLines->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), w->edtLines);
    QTest::keyClick(w->edtLines, Qt::Key_Up);
    QCOMPARE(w->edtLines->value(), 6);
    QTest::keyClick(w->edtLines, Qt::Key_Down);
    QTest::keyClick(w->edtLines, Qt::Key_Down);
    QCOMPARE(w->edtLines->value(), 4);
    w->edtLines->setValue(100);
    QTest::keyClick(w->edtLines, Qt::Key_Up);
    QCOMPARE(w->edtLines->value(), 100);
    // refused keys change nothing; Enter does not press anything either
    const QString before = w->edtLines->text();
    const QString letter = w->edtEditor->toPlainText();
    for (const char key : { 'a', ' ', '*' })
        QTest::keyClick(w->edtLines, key);
    QTest::keyClick(w->edtLines, Qt::Key_Return);
    QCOMPARE(w->edtLines->text(), before);
    QCOMPARE(w->edtEditor->toPlainText(), letter);
}

void tst_LettersWindow::groupToggleRebuildsInListOrder()
{
    w->pgMode->setCurrentIndex(2);
    w->edtQHType->setCurrentIndex(w->ClassIDs.indexOf(7));
    QVERIFY(w->GroupModel->rowCount() >= 3);
    const QString first = w->GroupModel->Rows().at(0).Title;
    const QString third = w->GroupModel->Rows().at(2).Title;

    doubleClickRow(w->vstGroup, 2);
    QVERIFY(w->GroupModel->Rows().at(2).Picked);
    QCOMPARE(bodyOf(letterLines(*w)), QStringList { QStringLiteral("    ") + third });
    doubleClickRow(w->vstGroup, 0);
    QCOMPARE(bodyOf(letterLines(*w)),
        (QStringList { QStringLiteral("    ") + first, QStringLiteral("    ") + third }));
    verifyLetterFormats(w->edtEditor);
    QCOMPARE(w->pgEdit->currentIndex(), 0);
    QCOMPARE(w->vstGroup->currentIndex().row(), 0);
    QCOMPARE(w->GroupModel->index(0).data(Qt::DecorationRole).value<QImage>(),
        Letters::imTypePicture(Letters::imTypeTick));
    keepPicture(w.get(), "group");

    // un-picking both leaves a letter with an empty body
    doubleClickRow(w->vstGroup, 0);
    doubleClickRow(w->vstGroup, 2);
    QVERIFY(!w->GroupModel->Rows().at(0).Picked);
    QCOMPARE(bodyOf(letterLines(*w)), QStringList());
    QCOMPARE(letterLines(*w).size(), 7);

    // a double click below the last row toggles nothing
    const QString letter = w->edtEditor->toPlainText();
    QTest::mouseDClick(
        w->vstGroup->viewport(), Qt::LeftButton, {}, QPoint(5, w->vstGroup->viewport()->height() - 3));
    QVERIFY(!w->GroupModel->Rows().at(2).Picked);
    QCOMPARE(w->edtEditor->toPlainText(), letter);
}

void tst_LettersWindow::groupClassChangeIsOneReset()
{
    QAbstractItemModelTester tester(w->GroupModel, QAbstractItemModelTester::FailureReportingMode::QtTest);
    w->pgMode->setCurrentIndex(2);
    w->edtQHType->setCurrentIndex(0);
    doubleClickRow(w->vstGroup, 1);
    QSignalSpy resets(w->GroupModel, &QAbstractItemModel::modelReset);
    w->edtQHType->setCurrentIndex(w->ClassIDs.indexOf(16));
    QCOMPARE(resets.count(), 1);
    QCOMPARE(w->GroupModel->rowCount(), count(QStringLiteral("SELECT ID FROM LoveWord WHERE ClassID = 16")));
    for (const GroupNodeData &row : w->GroupModel->Rows()) {
        QCOMPARE(row.ClassID, 16);
        QVERIFY(!row.Picked);
    }
}

void tst_LettersWindow::groupHintOnlyWhenCut()
{
    w->pgMode->setCurrentIndex(2);
    w->edtQHType->setCurrentIndex(w->ClassIDs.indexOf(7));
    const QModelIndex row = w->GroupModel->index(2);
    const QString title = w->GroupModel->Rows().at(2).Title;
    const QSize designed = w->vstGroup->size();
    auto hover = [&] {
        QToolTip::hideText();
        const QPoint pos = w->vstGroup->visualRect(row).center();
        QHelpEvent help(QEvent::ToolTip, pos, w->vstGroup->viewport()->mapToGlobal(pos));
        QApplication::sendEvent(w->vstGroup->viewport(), &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    QCOMPARE(hover(), title); // cut short at the list's designed width
    w->vstGroup->resize(1000, designed.height());
    QTRY_COMPARE(hover(), QString());
    w->vstGroup->resize(designed);
}

void tst_LettersWindow::templateNotPreviewedUnasked_data()
{
    QTest::addColumn<QString>("focusedBefore"); // empty: the list is tabbed into
    QTest::newRow("模版模式 from the class list") << QStringLiteral("edtQHType");
    QTest::newRow("模版模式 from the line count") << QStringLiteral("edtLines");
    QTest::newRow("tabbed into the list") << QString();
}

void tst_LettersWindow::templateNotPreviewedUnasked()
{
    QFETCH(QString, focusedBefore);
    w->LoadTemplates();
    w->edtBrowse->clear();
    w->pgEdit->setCurrentIndex(0);
    if (focusedBefore.isEmpty()) {
        w->pgMode->setCurrentIndex(1);
        w->edtSheName->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), w->edtSheName);
        w->vstTemplate->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), w->vstTemplate);
    } else {
        w->pgMode->setCurrentIndex(focusedBefore == QStringLiteral("edtLines") ? 0 : 2);
        QWidget *field = w->findChild<QWidget *>(focusedBefore);
        field->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(field->hasFocus());
        QTest::mouseClick(w->btnTemplate, Qt::LeftButton);
        QCOMPARE(w->pgMode->currentIndex(), 1);
        QTRY_VERIFY(!field->hasFocus());
    }
    QApplication::processEvents();
    QVERIFY(!w->vstTemplate->currentIndex().isValid());
    QVERIFY(w->edtBrowse->toPlainText().isEmpty());
    QCOMPARE(w->pgEdit->currentIndex(), 0);
}

void tst_LettersWindow::templatePreviewFollowsFocus()
{
    w->pgMode->setCurrentIndex(1);
    w->pgEdit->setCurrentIndex(0);
    w->vstTemplate->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), w->vstTemplate);
    // the arrow keys start at the first row
    for (int row = 0; row < w->TemplateModel->rowCount(); ++row) {
        w->pgEdit->setCurrentIndex(row == 2 ? 3 : 0);
        QTest::keyClick(w->vstTemplate, Qt::Key_Down);
        QCOMPARE(w->vstTemplate->currentIndex().row(), row);
        QString expected = w->TemplateModel->Rows().at(row).Text;
        expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QCOMPARE(w->edtBrowse->toPlainText(), expected);
        QCOMPARE(w->pgEdit->currentIndex(), 1);
        QCOMPARE(QApplication::focusWidget(), w->vstTemplate);
        QTextDocument *doc = w->edtBrowse->document();
        QCOMPARE(doc->begin().blockFormat().lineHeight(), 150.0);
        QCOMPARE(doc->lastBlock().blockFormat().lineHeight(), 150.0);
        QCOMPARE(w->edtBrowse->textCursor().position(), 0);
        if (row == 0)
            keepPicture(w.get(), "template-preview");
    }
}

void tst_LettersWindow::templateDoubleClickFrames()
{
    w->pgMode->setCurrentIndex(1);
    const QRect r = w->vstTemplate->visualRect(w->TemplateModel->index(0));
    QTest::mouseClick(w->vstTemplate->viewport(), Qt::LeftButton, {}, r.center());
    QCOMPARE(w->pgEdit->currentIndex(), 1);
    doubleClickRow(w->vstTemplate, 0);
    const QStringList lines = letterLines(*w);
    QCOMPARE(lines.mid(2, 2),
        (QStringList { QStringLiteral("    春天来了，我想和你一起去看花。"),
            QStringLiteral("    每一朵花，都像你的笑。") }));
    QCOMPARE(lines.size(), 2 + 2 + 1 + 3);
    verifyLetterFormats(w->edtEditor);
    QCOMPARE(w->pgEdit->currentIndex(), 0);
    keepPicture(w.get(), "template-framed");
}

void tst_LettersWindow::generatingIsOneUndoStep_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<UndoBy>("undoBy");
    QTest::newRow("开始书写, Ctrl+Z") << 0 << UndoBy::Key;
    QTest::newRow("template double click, Edit menu") << 1 << UndoBy::Menu;
    QTest::newRow("phrase tick, context menu") << 2 << UndoBy::ContextMenu;
}

void tst_LettersWindow::generatingIsOneUndoStep()
{
    QFETCH(int, mode);
    QFETCH(UndoBy, undoBy);
    QTextDocument *doc = w->edtEditor->document();
    w->pgEdit->setCurrentIndex(0);
    w->edtEditor->clear();
    w->edtEditor->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), w->edtEditor);
    typeText(w->edtEditor, QStringLiteral("我自己写的第一句。"));
    QTest::keyClick(w->edtEditor, Qt::Key_Return);
    typeText(w->edtEditor, QStringLiteral("第二句"));
    QTextCursor c = w->edtEditor->textCursor();
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    c.mergeBlockFormat(centred);
    c.select(QTextCursor::BlockUnderCursor);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    c.mergeCharFormat(bold);
    const QString typed = doc->toHtml();
    const bool modified = doc->isModified();

    w->pgMode->setCurrentIndex(mode);
    if (mode == 0) {
        w->edtLines->setValue(2);
        QTest::mouseClick(w->btnStart, Qt::LeftButton);
    } else if (mode == 1) {
        doubleClickRow(w->vstTemplate, 1);
    } else {
        w->edtQHType->setCurrentIndex(0);
        w->edtQHType->setCurrentIndex(w->ClassIDs.indexOf(7));
        doubleClickRow(w->vstGroup, 1);
    }
    QVERIFY(doc->toPlainText().endsWith(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))));
    verifyLetterFormats(w->edtEditor);
    QCOMPARE(doc->isModified(), modified);
    QCOMPARE(w->pgEdit->currentIndex(), 0);

    undoThroughWindow(*w, undoBy);
    QCOMPARE(doc->toHtml(), typed);
    QCOMPARE(doc->toPlainText(), QStringLiteral("我自己写的第一句。\n第二句"));
}

void tst_LettersWindow::twoTicksUndoneOneByOne()
{
    QTextDocument *doc = w->edtEditor->document();
    w->edtEditor->setPlainText(QStringLiteral("手写的信"));
    const QString typed = doc->toHtml();
    w->pgMode->setCurrentIndex(2);
    w->edtQHType->setCurrentIndex(0);
    w->edtQHType->setCurrentIndex(w->ClassIDs.indexOf(7));
    doubleClickRow(w->vstGroup, 0);
    const QString oneTick = doc->toHtml();
    doubleClickRow(w->vstGroup, 2);
    QCOMPARE(bodyOf(letterLines(*w)).size(), 2);

    undoThroughWindow(*w, UndoBy::Key);
    QCOMPARE(doc->toHtml(), oneTick);
    undoThroughWindow(*w, UndoBy::Key);
    QCOMPARE(doc->toHtml(), typed);
    QVERIFY(!doc->isUndoAvailable());
}

void tst_LettersWindow::storeErrorIsShownAndTheProgramGoesOn_data()
{
    QTest::addColumn<int>("action");
    QTest::newRow("开始书写") << 0;
    QTest::newRow("another phrase class") << 1;
    QTest::newRow("template double click") << 2;
    QTest::newRow("phrase double click") << 3;
}

void tst_LettersWindow::storeErrorIsShownAndTheProgramGoesOn()
{
    QFETCH(int, action);
    w->edtQHType->setCurrentIndex(0);
    w->edtEditor->setPlainText(QStringLiteral("手写的信"));
    const int rows = w->GroupModel->rowCount();
    // A store that was never connected fails every query.
    std::unique_ptr<TAdoBuilder> working
        = std::exchange(w->PhraseStore, std::make_unique<TAdoBuilder>(QStringLiteral("no-such-book.mdb")));
    BoxCatcher box;
    if (action == 0) {
        w->pgMode->setCurrentIndex(0);
        QTest::mouseClick(w->btnStart, Qt::LeftButton);
    } else if (action == 1) {
        w->pgMode->setCurrentIndex(2);
        w->edtQHType->setCurrentIndex(w->ClassIDs.indexOf(16));
    } else {
        w->pgMode->setCurrentIndex(action == 2 ? 1 : 2);
        doubleClickRow(action == 2 ? w->vstTemplate : w->vstGroup, 0);
    }
    QTRY_VERIFY(box.seen.shown);
    w->PhraseStore = std::move(working);
    QCOMPARE(box.seen.title, QStringLiteral("墨韵笺语工坊"));
    QCOMPARE(box.seen.text, QStringLiteral("数据库尚未连接."));
    QCOMPARE(box.seen.icon, QMessageBox::Critical);
    QCOMPARE(w->edtEditor->toPlainText(), QStringLiteral("手写的信"));
    QCOMPARE(w->GroupModel->rowCount(), rows);

    // And the window goes on working.
    w->pgMode->setCurrentIndex(0);
    QTest::mouseClick(w->btnStart, Qt::LeftButton);
    QVERIFY(w->edtEditor->toPlainText().endsWith(
        QStringLiteral("甲\n") + QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))));
}

void tst_LettersWindow::cleanupTestCase()
{
    w.reset();
    QDir::setCurrent(startDir);
}

QTEST_MAIN(tst_LettersWindow)
#include "tst_letterswindow.moc"
