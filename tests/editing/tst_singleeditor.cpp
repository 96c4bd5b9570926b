#include "PlumaretError.h"
#include "uSingleEditor.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Stands in for the prompt and the file dialogs; records what they were shown.
class FakeDialogs : public TEditorDialogs
{
public:
    QString openName, saveName;
    TAnswer answer = daCancel;
    QStringList prompts, filters;
    int saveDialogs = 0;

    QString OpenFileName(QWidget *, const QString &filter) override
    {
        filters << filter;
        return openName;
    }
    QString SaveFileName(QWidget *, const QString &filter) override
    {
        filters << filter;
        ++saveDialogs;
        return saveName;
    }
    TAnswer AskSave(QWidget *, const QString &text, const QString &caption) override
    {
        prompts << caption + u'|' + text;
        return answer;
    }
};

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class tst_SingleEditor : public QObject
{
    Q_OBJECT

private:
    QTextEdit *edit = nullptr;
    std::unique_ptr<TSingleEditor> controller;
    FakeDialogs *dialogs = nullptr;
    QTemporaryDir dir;

    void type(const QString &text) { edit->textCursor().insertText(text); }

private slots:
    void init();
    void cleanup();

    void extension_data();
    void extension();
    void nameFilter_data();
    void nameFilter();
    void newOnModifiedUntitledAsks();
    void newOnCleanDocumentAsksNothing();
    void newAnswerNoDiscards();
    void newAnswerCancelChangesNothing();
    void newYesThenCancelledSaveKeepsText();
    void saveUntitledChoosesFormatByName_data();
    void saveUntitledChoosesFormatByName();
    void saveTitledWritesWithoutDialog();
    void saveCancelledIsSilentAbort();
    void fileWithoutExtensionIsWrittenBackAsRtf();
    void openReplacesModifiedTextWithoutQuestion();
    void openCancelledChangesNothing();
    void openMissingFileKeepsTextAndName();
    void lfFileReadsAsLinesAndSavesCrLf();
    void utf8FileStaysUtf8();
    void typedTextSurvivesSaveAndOpen_data();
    void typedTextSurvivesSaveAndOpen();
    void failedSaveKeepsOldFileAndState_data();
    void failedSaveKeepsOldFileAndState();
    void writableFileInReadOnlyFolderIsSaved();
    void rtfWithHalfSurrogateSavesAsText();
};

void tst_SingleEditor::init()
{
    QVERIFY(dir.isValid());
    edit = new QTextEdit;
    controller = std::make_unique<TSingleEditor>(edit);
    controller->SetFilter(QStringLiteral("文本文件(*.txt)|*.txt"));
    auto fake = std::make_unique<FakeDialogs>();
    dialogs = fake.get();
    controller->SetDialogs(std::move(fake));
    edit->show();
    edit->setFocus();
}

void tst_SingleEditor::cleanup()
{
    controller.reset();
    delete edit;
    edit = nullptr;
}

void tst_SingleEditor::extension_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("ext");
    QTest::addColumn<bool>("plain");
    QTest::newRow("txt") << "/a/letter.txt"
                         << ".txt" << true;
    QTest::newRow("upper TXT") << "/a/LETTER.TXT"
                               << ".TXT" << true;
    QTest::newRow("rtf") << "/a/b.rtf"
                         << ".rtf" << false;
    QTest::newRow("none") << "/a/letter"
                          << "" << false;
    QTest::newRow("trailing dot") << "/a/letter."
                                  << "." << false;
    QTest::newRow("dot in folder only") << "/a.txt/letter"
                                        << "" << false;
    QTest::newRow("two dots") << "/a/x.txt.doc"
                              << ".doc" << false;
}

void tst_SingleEditor::extension()
{
    QFETCH(QString, name);
    QFETCH(QString, ext);
    QFETCH(bool, plain);
    QCOMPARE(FileExtension(name), ext);
    QCOMPARE(IsPlainTextName(name), plain);
}

void tst_SingleEditor::nameFilter_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("expected");
    QTest::newRow("pattern shown once")
        << QStringLiteral("文本文件(*.txt)|*.txt") << QStringLiteral("文本文件(*.txt)");
    QTest::newRow("patterns added") << QStringLiteral("A|*.a;*.b|B|*.c")
                                    << QStringLiteral("A (*.a *.b);;B (*.c)");
    QTest::newRow("other pattern in the description")
        << QStringLiteral("文本(*.doc)|*.txt") << QStringLiteral("文本(*.doc) (*.txt)");
}

void tst_SingleEditor::nameFilter()
{
    QFETCH(QString, filter);
    QTEST(QtNameFilter(filter), "expected");
}

void tst_SingleEditor::newOnModifiedUntitledAsks()
{
    type(QStringLiteral("abc"));
    dialogs->answer = TEditorDialogs::daCancel;
    QVERIFY_THROWS_EXCEPTION(EAbort, controller->NewFile());
    QCOMPARE(dialogs->prompts,
        QStringList { QStringLiteral("提示|文件 未命名 的文字已经改变。\r\n想保存文件吗?") });
}

void tst_SingleEditor::newOnCleanDocumentAsksNothing()
{
    edit->setPlainText(QStringLiteral("x"));
    edit->document()->setModified(false);
    controller->FileName = dir.filePath(QStringLiteral("old.txt"));
    controller->NewFile();
    QVERIFY(dialogs->prompts.isEmpty());
    QVERIFY(edit->document()->isEmpty());
    QVERIFY(controller->FileName.isEmpty());
    QVERIFY(!edit->document()->isModified());
}

void tst_SingleEditor::newAnswerNoDiscards()
{
    type(QStringLiteral("abc"));
    dialogs->answer = TEditorDialogs::daNo;
    controller->NewFile();
    QVERIFY(edit->document()->isEmpty());
    QCOMPARE(dialogs->saveDialogs, 0);
}

void tst_SingleEditor::newAnswerCancelChangesNothing()
{
    controller->FileName = dir.filePath(QStringLiteral("named.txt"));
    type(QStringLiteral("abc"));
    QVERIFY_THROWS_EXCEPTION(EAbort, controller->NewFile());
    QCOMPARE(edit->toPlainText(), QStringLiteral("abc"));
    QVERIFY(dialogs->prompts.value(0).contains(dir.filePath(QStringLiteral("named.txt"))));
    QVERIFY(edit->document()->isModified());
}

void tst_SingleEditor::newYesThenCancelledSaveKeepsText()
{
    type(QStringLiteral("abc"));
    dialogs->answer = TEditorDialogs::daYes;
    dialogs->saveName.clear();
    QVERIFY_THROWS_EXCEPTION(EAbort, controller->NewFile());
    QCOMPARE(edit->toPlainText(), QStringLiteral("abc"));
    QVERIFY(controller->FileName.isEmpty());
    QCOMPARE(dialogs->filters, QStringList { QStringLiteral("文本文件(*.txt)|*.txt") });
}

void tst_SingleEditor::saveUntitledChoosesFormatByName_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    QTest::addColumn<bool>("rtf");
    QTest::newRow("no extension gets .txt") << "letter"
                                            << "letter.txt" << false;
    QTest::newRow("upper case TXT kept") << "letter.TXT"
                                         << "letter.TXT" << false;
    QTest::newRow("rtf") << "letter.rtf"
                         << "letter.rtf" << true;
    QTest::newRow("other extension is rich text") << "letter.doc"
                                                  << "letter.doc" << true;
    QTest::newRow("trailing dot is an extension") << "letter."
                                                  << "letter." << true;
}

void tst_SingleEditor::saveUntitledChoosesFormatByName()
{
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    QFETCH(bool, rtf);
    type(QStringLiteral("信"));
    edit->document()->undo(); // something in the undo history that the save must empty
    type(QStringLiteral("信"));
    dialogs->saveName = dir.filePath(chosen);
    controller->SaveFile();
    QCOMPARE(controller->FileName, dir.filePath(written));
    const QByteArray bytes = contents(dir.filePath(written));
    QCOMPARE(bytes.startsWith("{\\rtf1"), rtf);
    if (!rtf)
        QCOMPARE(bytes, QByteArray("\xD0\xC5"));
    QVERIFY(!edit->document()->isModified());
    QVERIFY(!edit->document()->isUndoAvailable());
}

void tst_SingleEditor::saveTitledWritesWithoutDialog()
{
    const QString path = dir.filePath(QStringLiteral("t.txt"));
    write(path, "old");
    controller->FileName = path;
    edit->setPlainText(QStringLiteral("new"));
    edit->document()->setModified(false); // unchanged text is written too
    controller->SaveFile();
    QCOMPARE(dialogs->saveDialogs, 0);
    QCOMPARE(contents(path), QByteArray("new"));
}

void tst_SingleEditor::saveCancelledIsSilentAbort()
{
    type(QStringLiteral("a"));
    QVERIFY_THROWS_EXCEPTION(EAbort, controller->SaveFile());
    QVERIFY(!controller->SaveFileAs());
    QVERIFY(edit->document()->isModified());
}

void tst_SingleEditor::fileWithoutExtensionIsWrittenBackAsRtf()
{
    const QString path = dir.filePath(QStringLiteral("plain"));
    write(path, "just text\r\n");
    dialogs->openName = path;
    controller->OpenFile();
    QCOMPARE(edit->toPlainText(), QStringLiteral("just text\n"));
    controller->SaveFile();
    QVERIFY(contents(path).startsWith("{\\rtf1"));
    dialogs->openName = path;
    controller->OpenFile();
    QCOMPARE(edit->toPlainText(), QStringLiteral("just text\n"));
}

void tst_SingleEditor::openReplacesModifiedTextWithoutQuestion()
{
    const QString path = dir.filePath(QStringLiteral("o.rtf"));
    write(path, "{\\rtf1 \\qr right\\par}");
    type(QStringLiteral("unsaved"));
    dialogs->openName = path;
    controller->OpenFile();
    QVERIFY(dialogs->prompts.isEmpty());
    QCOMPARE(edit->toPlainText(), QStringLiteral("right"));
    QCOMPARE(edit->document()->begin().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    QCOMPARE(controller->FileName, path);
    QCOMPARE(edit->textCursor().position(), 0);
    QVERIFY(!edit->document()->isModified());
}

void tst_SingleEditor::openCancelledChangesNothing()
{
    type(QStringLiteral("keep"));
    QVERIFY_THROWS_EXCEPTION(EAbort, controller->OpenFile());
    QCOMPARE(edit->toPlainText(), QStringLiteral("keep"));
    QCOMPARE(dialogs->filters, QStringList { QStringLiteral("文本文件(*.txt)|*.txt") });
}

void tst_SingleEditor::openMissingFileKeepsTextAndName()
{
    const QString old = dir.filePath(QStringLiteral("old.txt"));
    controller->FileName = old;
    type(QStringLiteral("keep"));
    dialogs->openName = dir.filePath(QStringLiteral("missing.txt"));
    try {
        controller->OpenFile();
        QFAIL("no error");
    } catch (const EPlumaretError &e) {
        QCOMPARE(e.message(),
            QStringLiteral("Cannot open file \"%1\". No such file or directory").arg(dialogs->openName));
    }
    QCOMPARE(edit->toPlainText(), QStringLiteral("keep"));
    QCOMPARE(controller->FileName, old);
}

void tst_SingleEditor::lfFileReadsAsLinesAndSavesCrLf()
{
    const QString path = dir.filePath(QStringLiteral("lf.txt"));
    write(path, "a\nb\rc\r\n");
    dialogs->openName = path;
    controller->OpenFile();
    QCOMPARE(edit->document()->blockCount(), 4);
    QCOMPARE(edit->toPlainText(), QStringLiteral("a\nb\nc\n"));
    controller->SaveFile();
    QCOMPARE(contents(path), QByteArray("a\r\nb\r\nc\r\n"));
}

void tst_SingleEditor::utf8FileStaysUtf8()
{
    const QString path = dir.filePath(QStringLiteral("u.txt"));
    write(path, "\xE4\xBD\xA0\n");
    dialogs->openName = path;
    controller->OpenFile();
    QCOMPARE(edit->toPlainText(), QStringLiteral("你\n"));
    controller->SaveFile();
    QCOMPARE(contents(path), QByteArray("\xE4\xBD\xA0\r\n"));
    // A new document is GB18030 again.
    controller->NewFile();
    edit->setPlainText(QStringLiteral("你"));
    dialogs->saveName = dir.filePath(QStringLiteral("g.txt"));
    controller->SaveFile();
    QCOMPARE(contents(dialogs->saveName), QByteArray("\xC4\xE3"));
}

void tst_SingleEditor::typedTextSurvivesSaveAndOpen_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("plain text") << "typed.txt";
    QTest::newRow("rich text") << "typed.rtf";
}

void tst_SingleEditor::typedTextSurvivesSaveAndOpen()
{
    QFETCH(QString, name);
    const QString typed = QStringLiteral("亲爱的：😘 𠀀 €©\t{\\}\n    想你\n\n一丌\n");
    edit->setPlainText(typed);
    dialogs->saveName = dir.filePath(name);
    controller->SaveFile();
    edit->clear();
    dialogs->openName = dialogs->saveName;
    controller->OpenFile();
    QCOMPARE(DocumentPlainText(edit->document()), typed);
}

void tst_SingleEditor::failedSaveKeepsOldFileAndState_data()
{
    QTest::addColumn<bool>("full");
    QTest::addColumn<QString>("reason");
    QTest::newRow("read-only folder") << false << "is not writable";
    QTest::newRow("full file system") << true << "No space left on device";
}

void tst_SingleEditor::failedSaveKeepsOldFileAndState()
{
    QFETCH(bool, full);
    QFETCH(QString, reason);
    // A small tmpfs in a mount namespace of our own: needs the right to mount, as in CI.
    static const bool isolated
        = unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    if (!isolated)
        QSKIP("cannot make a private mount namespace here (needs CAP_SYS_ADMIN)");
    QTemporaryDir mountPoint;
    const QByteArray where = QFile::encodeName(mountPoint.path());
    QVERIFY(mount("tmpfs", where.constData(), "tmpfs", 0, "size=64k") == 0);
    const auto unmount = qScopeGuard([&] { umount2(where.constData(), MNT_DETACH); });

    const QString path = mountPoint.filePath(QStringLiteral("letter.txt"));
    write(path, "old letter");
    if (full) {
        write(mountPoint.filePath(QStringLiteral("filler")), QByteArray(60 * 1024, 'x'));
        edit->setPlainText(QString(40 * 1024, u'x'));
    } else {
        QVERIFY(mount(nullptr, where.constData(), nullptr, MS_REMOUNT | MS_RDONLY, "size=64k") == 0);
        edit->setPlainText(QStringLiteral("new letter"));
    }
    edit->document()->setModified(true);
    QTextCursor(edit->document()).insertText(QStringLiteral("y")); // an undo step
    dialogs->saveName = path;
    try {
        controller->SaveFile();
        QFAIL("the save did not fail");
    } catch (const EPlumaretError &e) {
        QVERIFY2(e.message().startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(path)),
            qPrintable(e.message()));
        QVERIFY2(e.message().contains(reason), qPrintable(e.message()));
    }
    QCOMPARE(contents(path), QByteArray("old letter"));
    QCOMPARE(controller->FileName, path);
    QVERIFY(edit->document()->isModified());
    QVERIFY(edit->document()->isUndoAvailable());
    QVERIFY(edit->toPlainText().startsWith(u'y'));
}

// The folder refuses new files to the user, the file itself is the user's to write: no safe temporary
// file can be made beside it, so the save writes the file in place. Root writes everywhere, so the
// save runs in a child process as an ordinary user.
void tst_SingleEditor::writableFileInReadOnlyFolderIsSaved()
{
    constexpr uid_t nobody = 65534;
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("letter.txt"));
    write(path, "old letter");
    const QByteArray where = QFile::encodeName(folder.path());
    const QByteArray file = QFile::encodeName(path);
    const bool root = geteuid() == 0;
    if (root)
        QVERIFY(chown(file.constData(), nobody, nobody) == 0);
    QVERIFY(chmod(where.constData(), 0555) == 0);
    const auto writable = qScopeGuard([&] { chmod(where.constData(), 0700); });
    edit->setPlainText(QStringLiteral("new letter"));
    edit->document()->setModified(true);
    controller->FileName = path;

    const pid_t child = fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        if (root && (setgid(nobody) != 0 || setuid(nobody) != 0))
            _exit(2);
        if (access(where.constData(), W_OK) == 0 || access(file.constData(), W_OK) != 0)
            _exit(3);
        try {
            controller->SaveFile();
        } catch (const EPlumaretError &e) {
            fprintf(stderr, "%s\n", qPrintable(e.message()));
            _exit(1);
        }
        _exit(0);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    if (WEXITSTATUS(status) == 2 || WEXITSTATUS(status) == 3)
        QSKIP("cannot run as a user who may not write the folder");
    QCOMPARE(WEXITSTATUS(status), 0);
    QCOMPARE(contents(path), QByteArray("new letter"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
        QStringList { QStringLiteral("letter.txt") });
}

void tst_SingleEditor::rtfWithHalfSurrogateSavesAsText()
{
    const QString rtf = dir.filePath(QStringLiteral("half.rtf"));
    write(rtf, "{\\rtf1\\ansi \\u-10179?\\u20013?}");
    dialogs->openName = rtf;
    controller->OpenFile();
    const QString txt = dir.filePath(QStringLiteral("half.txt"));
    controller->SaveFileTo(txt);
    QStringDecoder gb18030("GB18030");
    QCOMPARE(QString(gb18030(contents(txt))), QStringLiteral("\uFFFD中"));
}

QTEST_MAIN(tst_SingleEditor)
#include "tst_singleeditor.moc"
