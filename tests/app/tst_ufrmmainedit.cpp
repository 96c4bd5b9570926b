#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTreeView>
#include <QtTest>

#include "BoxCatcher.h"
#include "EventCounter.h"
#include "PlumaretApplication.h"
#include "PlumaretError.h"
#include "uFrmMain.h"
#include "uSingleEditor.h"

namespace {

class FakeDialogs : public TEditorDialogs
{
public:
    QString openName, saveName;
    TAnswer answer = daNo;
    int prompts = 0;
    QString OpenFileName(QWidget *, const QString &) override { return openName; }
    QString SaveFileName(QWidget *, const QString &) override { return saveName; }
    TAnswer AskSave(QWidget *, const QString &, const QString &) override
    {
        ++prompts;
        return answer;
    }
};

void selectAllOf(QTextEdit *e)
{
    e->selectAll();
}

} // namespace

class tst_uFrmMainEdit : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TfrmMain> w;
    FakeDialogs *dialogs = nullptr;

    void focus(QWidget *widget)
    {
        // Bring every page on the way up to the front (tab pages live in a stacked widget too).
        for (QWidget *p = widget; p && p != w.get(); p = p->parentWidget())
            if (auto *stack = qobject_cast<QStackedWidget *>(p->parentWidget()))
                stack->setCurrentWidget(p);
        widget->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), widget);
        w->UpdateEditActions();
    }
    QString enabledItems() const
    {
        QStringList on;
        for (QAction *a : w->edtTextPopMenu->actions())
            if (!a->isSeparator() && a->isEnabled())
                on << a->objectName();
        return on.join(u',');
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();
    void cleanup() { w.reset(); }

    void contextMenuItemsInOrder();
    void contextMenuEnabling_data();
    void contextMenuEnabling();
    void contextCommandsActOnFocusedEditor();
    void actionsFollowNameField();
    void treeFocusDisablesAllAndEatsMenuKeys();
    void selectAllAndDeleteKeys();
    void spinFieldIsATextTarget();
    void fileCommandsThroughTheWindow();
    void failedSaveShowsErrorAndKeepsText();
    void qtTextsInChinese();
};

void tst_uFrmMainEdit::init()
{
    QGuiApplication::clipboard()->clear();
    w = std::make_unique<TfrmMain>();
    w->PlaceAtDesignSize();
    w->QMainWindow::setVisible(true);
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QVERIFY(w->DocumentController);
    auto fake = std::make_unique<FakeDialogs>();
    dialogs = fake.get();
    w->DocumentController->SetDialogs(std::move(fake));
}

void tst_uFrmMainEdit::contextMenuItemsInOrder()
{
    QStringList items;
    for (QAction *a : w->edtTextPopMenu->actions())
        items << (a->isSeparator() ? QStringLiteral("-") : a->text());
    QCOMPARE(items,
        QStringList({ "撤消(&U)", "-", "剪切(&T)", "复制(&C)", "粘贴(&P)", "删除(&D)", "-", "全选(&A)" }));
    QCOMPARE(w->edtEditor->contextMenuPolicy(), Qt::CustomContextMenu);
}

void tst_uFrmMainEdit::contextMenuEnabling_data()
{
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("select");
    QTest::addColumn<bool>("clipboard");
    QTest::addColumn<QString>("enabled");

    QTest::newRow("read-only with selection") << "edtBrowse"
                                              << "abc" << true << false << "ppiCopy,ppiAll";
    QTest::newRow("read-only, no selection") << "edtBrowse"
                                             << "abc" << false << false << "ppiAll";
    QTest::newRow("read-only never pastes") << "edtBrowse"
                                            << "" << false << true << "";
    QTest::newRow("empty, nothing to undo, no clipboard") << "edtEditor"
                                                          << "" << false << false << "";
    QTest::newRow("letter editor pastes") << "edtEditor"
                                          << "" << false << true << "ppiPaste";
    QTest::newRow("personality pastes") << "edtPersonality"
                                        << "" << false << true << "ppiPaste";
    QTest::newRow("memo pastes") << "edtMemo"
                                 << "" << false << true << "ppiPaste";
    QTest::newRow("memo with selection") << "edtMemo"
                                         << "abc" << true << false << "ppiCut,ppiCopy,ppiDelete,ppiAll";
}

void tst_uFrmMainEdit::contextMenuEnabling()
{
    QFETCH(QString, editor);
    QFETCH(QString, text);
    QFETCH(bool, select);
    QFETCH(bool, clipboard);
    QFETCH(QString, enabled);
    auto *e = w->findChild<QTextEdit *>(editor);
    QVERIFY(e);
    e->setPlainText(text); // replaces without an undo step
    if (select)
        selectAllOf(e);
    if (clipboard)
        QGuiApplication::clipboard()->setText(QStringLiteral("clip"));
    w->edtEditorContextPopup(e);
    QCOMPARE(enabledItems(), enabled);
}

void tst_uFrmMainEdit::contextCommandsActOnFocusedEditor()
{
    w->edtMemo->setPlainText(QStringLiteral("memo"));
    w->edtEditor->setPlainText(QStringLiteral("letter"));
    focus(w->edtEditor);
    w->edtEditorContextPopup(w->edtMemo); // the menu opened on another editor
    w->ppiAll->trigger();
    QVERIFY(w->edtEditor->textCursor().hasSelection());
    QVERIFY(!w->edtMemo->textCursor().hasSelection());
    w->ppiDeleteClick();
    QCOMPARE(w->edtEditor->toPlainText(), QString());
    QVERIFY(w->edtEditor->document()->isUndoAvailable());
    w->ppiUndoClick();
    QCOMPARE(w->edtEditor->toPlainText(), QStringLiteral("letter"));
    QCOMPARE(w->edtMemo->toPlainText(), QStringLiteral("memo"));

    // No editor has the focus: the commands do nothing.
    w->edtEditor->moveCursor(QTextCursor::End);
    focus(w->edtYourName);
    QCOMPARE(w->ActiveMemo(), nullptr);
    w->ppiAllClick();
    w->ppiDeleteClick();
    QVERIFY(!w->edtEditor->textCursor().hasSelection());
    QCOMPARE(w->edtEditor->toPlainText(), QStringLiteral("letter"));
}

void tst_uFrmMainEdit::actionsFollowNameField()
{
    w->edtYourName->setText(QStringLiteral("张三"));
    focus(w->edtYourName);
    QVERIFY(!w->EditCut->isEnabled());
    QVERIFY(!w->EditCopy->isEnabled());
    QVERIFY(!w->EditPaste->isEnabled());
    w->edtYourName->selectAll();
    QGuiApplication::clipboard()->setText(QStringLiteral("李四"));
    w->UpdateEditActions();
    QVERIFY(w->EditCut->isEnabled());
    QVERIFY(w->EditCopy->isEnabled());
    QVERIFY(w->EditPaste->isEnabled());

    // The menu shortcut runs the action on the field.
    QTest::keyClick(w->edtYourName, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(w->edtYourName->text(), QString());
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("张三"));
    QTest::keyClick(w->edtYourName, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(w->edtYourName->text(), QStringLiteral("张三"));
    QTest::keyClick(w->edtYourName, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(w->edtYourName->text(), QString());

    // Idle updates follow without being asked: the selection shows in the toolbar's cut button.
    w->edtYourName->setText(QStringLiteral("abc"));
    QTest::keyClick(w->edtYourName, Qt::Key_Home, Qt::ShiftModifier);
    QTRY_VERIFY(w->EditCut->isEnabled());
}

void tst_uFrmMainEdit::treeFocusDisablesAllAndEatsMenuKeys()
{
    w->edtEditor->setPlainText(QStringLiteral("text"));
    QGuiApplication::clipboard()->setText(QStringLiteral("clip"));
    focus(w->vstGroup);
    for (QAction *a : { w->EditCut, w->EditCopy, w->EditPaste, w->EditUndo, w->EditSelectAll, w->EditDelete })
        QVERIFY2(!a->isEnabled(), qPrintable(a->objectName()));
    QSignalSpy paste(w->EditPaste, &QAction::triggered);
    EventCounter reached(w->vstGroup, QEvent::KeyPress,
        [](const QEvent &e) { return static_cast<const QKeyEvent &>(e).key() != Qt::Key_Control; });
    for (Qt::Key key : { Qt::Key_X, Qt::Key_C, Qt::Key_V, Qt::Key_Z }) {
        QKeyEvent press(QEvent::ShortcutOverride, key, Qt::ControlModifier);
        QApplication::sendEvent(w->vstGroup, &press);
        QVERIFY(press.isAccepted());
        QTest::keyClick(w->vstGroup, key, Qt::ControlModifier);
    }
    QCOMPARE(paste.count(), 0);
    QCOMPARE(reached.count, 0);
    QCOMPARE(w->edtEditor->toPlainText(), QStringLiteral("text"));
}

void tst_uFrmMainEdit::selectAllAndDeleteKeys()
{
    w->edtEditor->setPlainText(QStringLiteral("abc"));
    focus(w->edtEditor);
    QTextCursor c = w->edtEditor->textCursor();
    c.setPosition(0);
    w->edtEditor->setTextCursor(c);
    // Del without a selection: the action is disabled and the key deletes the next character.
    w->UpdateEditActions();
    QVERIFY(!w->EditDelete->isEnabled());
    QTest::keyClick(w->edtEditor, Qt::Key_Delete);
    QCOMPARE(w->edtEditor->toPlainText(), QStringLiteral("bc"));
    QTest::keyClick(w->edtEditor, Qt::Key_A, Qt::ControlModifier);
    QVERIFY(w->edtEditor->textCursor().hasSelection());
    QGuiApplication::clipboard()->setText(QStringLiteral("clip"));
    QTest::keyClick(w->edtEditor, Qt::Key_Delete); // through EditDelete: the clipboard stays
    QCOMPARE(w->edtEditor->toPlainText(), QString());
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("clip"));
    // Empty field: Ctrl+A is disabled and reaches the field.
    w->UpdateEditActions();
    QVERIFY(!w->EditSelectAll->isEnabled());
}

void tst_uFrmMainEdit::spinFieldIsATextTarget()
{
    focus(w->edtLines);
    QVERIFY(w->EditSelectAll->isEnabled());
    w->EditSelectAll->trigger();
    w->UpdateEditActions();
    QVERIFY(w->EditCopy->isEnabled());
    w->EditCopy->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), w->edtLines->text());
}

void tst_uFrmMainEdit::fileCommandsThroughTheWindow()
{
    QTemporaryDir dir;
    w->edtEditor->setPlainText(QStringLiteral("信\n第二行"));
    w->edtEditor->document()->setModified(true);
    dialogs->saveName = dir.filePath(QStringLiteral("letter"));
    w->FileSave->trigger();
    QFile saved(dir.filePath(QStringLiteral("letter.txt")));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), QByteArray("\xD0\xC5\r\n\xB5\xDA\xB6\xFE\xD0\xD0"));

    w->FileNew->trigger(); // not modified: no question
    QCOMPARE(dialogs->prompts, 0);
    QVERIFY(w->edtEditor->document()->isEmpty());
    QVERIFY(w->DocumentController->FileName.isEmpty());

    dialogs->openName = saved.fileName();
    w->FileOpen->trigger();
    QCOMPARE(w->edtEditor->toPlainText(), QStringLiteral("信\n第二行"));
}

void tst_uFrmMainEdit::failedSaveShowsErrorAndKeepsText()
{
    w->DocumentController->FileName = QStringLiteral("/nonexistent-folder/letter.txt");
    w->edtEditor->setPlainText(QStringLiteral("keep me"));
    w->edtEditor->document()->setModified(true);
    BoxCatcher catcher;
    w->FileSave->trigger();
    QTRY_VERIFY(catcher.seen.shown);
    QVERIFY2(catcher.seen.text.startsWith(
                 QStringLiteral("Cannot create file \"/nonexistent-folder/letter.txt\". ")),
        qPrintable(catcher.seen.text));
    QCOMPARE(w->edtEditor->toPlainText(), QStringLiteral("keep me"));
    QVERIFY(w->edtEditor->document()->isModified());
}

// Every text of the program is Chinese, so Qt's own buttons and labels must be too. Last: the
// translation stays installed.
void tst_uFrmMainEdit::qtTextsInChinese()
{
    QVERIFY(InstallQtChinese());
    w = std::make_unique<TfrmMain>(); // the real prompt and file dialogs
    w->PlaceAtDesignSize();
    w->QMainWindow::setVisible(true);
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    const QRegularExpression han(QStringLiteral("\\p{Han}"));
    QStringList seen;
    QString filterShown;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        if (const QString folder = qEnvironmentVariable("PLUMARET_SCREENSHOT_DIR"); !folder.isEmpty())
            modal->grab().save(QDir(folder).filePath(
                QLatin1String(modal->metaObject()->className()) + QStringLiteral(".png")));
        for (QAbstractButton *b : modal->findChildren<QDialogButtonBox *>().value(0)->buttons())
            seen << b->text();
        for (const char *name : { "lookInLabel", "fileNameLabel", "fileTypeLabel" })
            if (auto *label = modal->findChild<QLabel *>(QLatin1String(name)))
                seen << label->text();
        if (auto *types = modal->findChild<QComboBox *>(QStringLiteral("fileTypeCombo")))
            filterShown = types->currentText();
        if (auto *box = qobject_cast<QMessageBox *>(modal))
            box->button(QMessageBox::Cancel)->click();
        else
            static_cast<QDialog *>(modal)->reject();
    });
    poll.start(20);

    w->edtEditor->setPlainText(QStringLiteral("信"));
    w->edtEditor->document()->setModified(true);
    w->FileNew->trigger(); // cancelled: nothing else happens
    QCOMPARE(seen.size(), 3);
    for (const QString &text : std::as_const(seen))
        QVERIFY2(text.contains(han), qPrintable(text));
    QCOMPARE(w->edtEditor->toPlainText(), QStringLiteral("信"));

    seen.clear();
    w->FileOpen->trigger();
    QCOMPARE(seen.size(), 2 + 3); // open, cancel; three labels
    for (const QString &text : std::as_const(seen))
        QVERIFY2(text.contains(han), qPrintable(text));
    QCOMPARE(filterShown, QStringLiteral("文本文件(*.txt)"));
}

QTEST_MAIN(tst_uFrmMainEdit)
#include "tst_ufrmmainedit.moc"
