#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>

#include "LetterExport.h"
#include "LetterPaper.h"
#include "PaperDialog.h"
#include "PaperFonts.h"
#include "PaperOutputDialogs.h"
#include "PaperPreview.h"
#include "RunProgram.h"
#include "TmpfsMount.h"
#include "ToolBar1.h"
#include "uFrmMain.h"

using namespace Paper;

namespace {

class FakeOutputDialogs : public TPaperOutputDialogs
{
public:
    QString saveName; // empty: cancel
    QString proposed, caption;
    bool printer = true;
    QString printTo; // the chosen printer writes this PDF file; empty: cancel
    QPageLayout offeredLayout;
    QStringList errors, notes;

    QString SaveFileName(QWidget *, const QString &c, const QString &p, const QString &) override
    {
        caption = c;
        proposed = p;
        return saveName;
    }
    bool HasPrinter() override { return printer; }
    bool ChoosePrinter(QWidget *, QPrinter &p, int) override
    {
        offeredLayout = p.pageLayout();
        if (printTo.isEmpty())
            return false;
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(printTo);
        return true;
    }
    void ShowError(QWidget *, const QString &text) override { errors << text; }
    void ShowInformation(QWidget *, const QString &text) override { notes << text; }
};

// The PDF's text without blanks: the page's layout decides where pdftotext puts them.
QString pdfText(const QString &fileName)
{
    return RunProgram(QStringLiteral("pdftotext"), { fileName, QStringLiteral("-") })
        .out.remove(QRegularExpression(QStringLiteral("\\s")));
}

QString withoutSpace(QString text)
{
    return text.remove(QRegularExpression(QStringLiteral("\\s")));
}

const QString Letter
    = QStringLiteral("亲爱的小美：\n  见字如面。今天的风很轻，我想起你笑的样子。\n想你的阿明");

} // namespace

class tst_PaperDialog : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TfrmMain> w;
    FakeOutputDialogs *dialogs = nullptr;
    QTemporaryDir dir;

    TPaperDialog *openOn(QTextEdit *editor, const QString &text)
    {
        editor->setPlainText(text);
        for (int i = 0; i < w->pgEdit->count(); ++i)
            if (w->pgEdit->widget(i)->isAncestorOf(editor))
                w->pgEdit->setCurrentIndex(i);
        w->FilePrint->trigger();
        TPaperDialog *d = w->PaperDialog;
        if (d && !dialogs) {
            auto fake = std::make_unique<FakeOutputDialogs>();
            dialogs = fake.get();
            d->SetDialogs(std::move(fake));
        }
        return d;
    }
    void startWindow();
    QImage preview() const
    {
        QApplication::processEvents();
        return w->PaperDialog->Preview->viewport()->grab().toImage();
    }
    // The letter's characters as laid out on its pages.
    static QString laidText(const LetterPaper &paper)
    {
        QString text;
        for (const LaidPage &page : paper.layout().pages)
            for (const LaidLine &line : page.lines)
                for (const LaidGlyph &glyph : line.glyphs)
                    text += glyph.text;
        return text;
    }

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void opensOnTheEditorInFront_data();
    void opensOnTheEditorInFront();
    void emptyLetterDisablesOutput();
    void typingUpdatesThePreview();
    void eachPaperShowsTheWholeLetter_data();
    void eachPaperShowsTheWholeLetter();
    void choicesRedrawThePreview_data();
    void choicesRedrawThePreview();
    void proposedFileNames_data();
    void proposedFileNames();
    void exportsWriteTheLetter_data();
    void exportsWriteTheLetter();
    void failedExportShowsMessageAndKeepsOldFile();
    void noPrinterSaysSo();
    void printsOnTheLettersPaper();
    void choicesComeBackAfterRestart();
    void everyControlNamedAndReachedByKeyboard();
};

void tst_PaperDialog::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    // Never the user's own settings: test mode moves them under ~/.qttest.
    QVERIFY2(
        QSettings(QStringLiteral("plumaret"), QStringLiteral("plumaret")).fileName().contains(u".qttest"),
        "settings are not isolated");
    QVERIFY(dir.isValid());
}

void tst_PaperDialog::init()
{
    QSettings(QStringLiteral("plumaret"), QStringLiteral("plumaret")).clear();
    startWindow();
}

void tst_PaperDialog::startWindow()
{
    w = std::make_unique<TfrmMain>();
    w->PlaceAtDesignSize();
    w->QMainWindow::setVisible(true);
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
}

void tst_PaperDialog::cleanup()
{
    w.reset();
    dialogs = nullptr;
}

void tst_PaperDialog::opensOnTheEditorInFront_data()
{
    QTest::addColumn<QString>("editor");
    QTest::addColumn<bool>("toolbar");
    for (const char *editor : { "edtEditor", "edtBrowse", "edtPersonality", "edtMemo" }) {
        QTest::addRow("%s from the menu", editor) << QString::fromLatin1(editor) << false;
        QTest::addRow("%s from the toolbar", editor) << QString::fromLatin1(editor) << true;
    }
}

void tst_PaperDialog::opensOnTheEditorInFront()
{
    QFETCH(QString, editor);
    QFETCH(bool, toolbar);
    auto *e = w->findChild<QTextEdit *>(editor);
    QVERIFY(e);
    e->setPlainText(Letter + editor);
    for (int i = 0; i < w->pgEdit->count(); ++i)
        if (w->pgEdit->widget(i)->isAncestorOf(e))
            w->pgEdit->setCurrentIndex(i);
    if (toolbar) {
        QToolButton *button = nullptr;
        for (QToolButton *b : w->ToolBar1->findChildren<QToolButton *>())
            if (b->defaultAction() == w->FilePrint)
                button = b;
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
    } else {
        w->mnuFile->popup(w->mapToGlobal(QPoint(0, 0)));
        w->mnuFile->setActiveAction(w->FilePrint);
        QTest::keyClick(w->mnuFile, Qt::Key_Return);
    }
    QVERIFY(w->PaperDialog);
    QTRY_VERIFY(w->PaperDialog->isVisible());
    QCOMPARE(w->PaperDialog->Source(), e);
    QVERIFY(laidText(*w->PaperDialog->Letter()).contains(editor));
}

void tst_PaperDialog::emptyLetterDisablesOutput()
{
    TPaperDialog *d = openOn(w->edtMemo, QStringLiteral("  \n "));
    for (QPushButton *b : { d->btnPrint, d->btnPdf, d->btnImage }) {
        QVERIFY(!b->isEnabled());
        QCOMPARE(b->toolTip(), QStringLiteral("先写一封信吧"));
    }
    QVERIFY(d->lblEmpty->isVisible());
    QCOMPARE(d->lblEmpty->text(), QStringLiteral("先写一封信吧"));

    w->edtMemo->setPlainText(QStringLiteral("想你"));
    QTRY_VERIFY(d->btnPdf->isEnabled());
    QVERIFY(d->btnPrint->isEnabled() && d->btnImage->isEnabled());
    QVERIFY(!d->lblEmpty->isVisible());
}

void tst_PaperDialog::typingUpdatesThePreview()
{
    TPaperDialog *d = openOn(w->edtEditor, Letter);
    const QImage before = preview();
    w->edtEditor->setFocus();
    w->edtEditor->moveCursor(QTextCursor::End);
    QTest::keyClicks(w->edtEditor, QStringLiteral("ABC"));
    QTRY_VERIFY(laidText(*d->Letter()).endsWith(QStringLiteral("ABC")));
    QVERIFY(preview() != before);
    QVERIFY(w->edtEditor->document()->toPlainText().endsWith(QStringLiteral("ABC")));
}

void tst_PaperDialog::eachPaperShowsTheWholeLetter_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("ruled") << int(pkRuled);
    QTest::newRow("grid") << int(pkGrid);
    QTest::newRow("plain") << int(pkPlain);
    QTest::newRow("flower") << int(pkFlower);
}

void tst_PaperDialog::eachPaperShowsTheWholeLetter()
{
    QFETCH(int, kind);
    w->edtSheName->setText(QStringLiteral("小美"));
    TPaperDialog *d = openOn(w->edtEditor, Letter);
    d->resize(820, 600);
    d->cbPaper->setCurrentIndex(d->cbPaper->findData(kind));
    d->cbPaper->activated(d->cbPaper->currentIndex());
    QCOMPARE(int(d->Letter()->layout().settings.kind), kind);
    QCOMPARE(withoutSpace(laidText(*d->Letter())), withoutSpace(Letter));
    QCOMPARE(d->lblPages->text(), QStringLiteral("共 1 页"));
    // The page fills the view's height and stands apart from the background around it.
    const QImage shot = preview();
    const QRect page = d->Preview->PageRect(0);
    QVERIFY(page.height() >= d->Preview->viewport()->height() - 30);
    QVERIFY(shot.pixelColor(page.center()) != shot.pixelColor(2, 2));

    // PLUMARET_SCREENSHOT_DIR=... writes the dialog as the user sees it, for the README.
    const QString shots = qEnvironmentVariable("PLUMARET_SCREENSHOT_DIR");
    if (!shots.isEmpty())
        QVERIFY(
            d->grab().save(QDir(shots).filePath(QStringLiteral("paper-%1.png").arg(PaperKindNames()[kind]))));
}

void tst_PaperDialog::choicesRedrawThePreview_data()
{
    QTest::addColumn<QString>("control");
    QTest::newRow("paper") << "cbPaper";
    QTest::newRow("size") << "cbSize";
    QTest::newRow("font") << "cbFont";
    QTest::newRow("ink") << "cbInk";
    QTest::newRow("font size") << "edtFontSize";
    QTest::newRow("hand") << "chkHand";
}

void tst_PaperDialog::choicesRedrawThePreview()
{
    QFETCH(QString, control);
    TPaperDialog *d = openOn(w->edtEditor, Letter);
    const QImage before = preview();
    const PaperSettings old = d->Settings();
    QWidget *c = d->findChild<QWidget *>(control);
    QVERIFY(c);
    if (auto *box = qobject_cast<QComboBox *>(c)) {
        if (box->count() < 2)
            QSKIP("only one letter font is installed");
        // By keyboard, as a user without a mouse changes it.
        box->setFocus();
        QTest::keyClick(box, box->currentIndex() + 1 < box->count() ? Qt::Key_Down : Qt::Key_Up);
    } else if (auto *spin = qobject_cast<QSpinBox *>(c)) {
        spin->setValue(spin->value() + 6);
    } else {
        qobject_cast<QCheckBox *>(c)->toggle();
    }
    QVERIFY(!(d->Settings() == old));
    QVERIFY(preview() != before);
}

void tst_PaperDialog::proposedFileNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("file");
    QTest::newRow("addressee") << "小美"
                               << "给小美的信.pdf";
    QTest::newRow("no addressee") << "  "
                                  << "情书.pdf";
    QTest::newRow("slashes stay out of the path") << "../小/美"
                                                  << "给..小美的信.pdf";
    QTest::newRow("only unsafe characters") << "/:*?"
                                            << "情书.pdf";
}

void tst_PaperDialog::proposedFileNames()
{
    QFETCH(QString, name);
    QFETCH(QString, file);
    w->edtSheName->setText(name);
    TPaperDialog *d = openOn(w->edtEditor, Letter);
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QCOMPARE(d->ProposedFileName(QStringLiteral(".pdf")), QDir(documents).filePath(file));
    dialogs->saveName.clear();
    d->btnPdf->click();
    QCOMPARE(dialogs->proposed, QDir(documents).filePath(file));
}

void tst_PaperDialog::exportsWriteTheLetter_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSize>("size"); // of the picture
    QTest::newRow("pdf") << "pdf"
                         << "信.pdf" << QSize();
    QTest::newRow("png pages") << "png"
                               << "信.png" << QSize(2480, 3508);
    QTest::newRow("long png") << "long"
                              << "长.png" << QSize(1080, 1527);
}

void tst_PaperDialog::exportsWriteTheLetter()
{
    QFETCH(QString, how);
    QFETCH(QString, file);
    QFETCH(QSize, size);
    TPaperDialog *d = openOn(w->edtEditor, Letter);
    dialogs->saveName = dir.filePath(file);
    QFile::remove(dialogs->saveName);
    if (how == u"pdf")
        d->btnPdf->click();
    else
        (how == u"png" ? d->actPngPages : d->actLongPng)->trigger();
    QCOMPARE(dialogs->errors, QStringList());
    QVERIFY(QFile::exists(dialogs->saveName));
    if (how == u"pdf") {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        const QString text = pdfText(dialogs->saveName);
        QVERIFY2(text.contains(withoutSpace(Letter)), qPrintable(text));
    } else {
        QCOMPARE(QImageReader(dialogs->saveName).size().width(), size.width());
        QVERIFY(qAbs(QImageReader(dialogs->saveName).size().height() - size.height()) <= 1);
    }
}

void tst_PaperDialog::failedExportShowsMessageAndKeepsOldFile()
{
    const QString folder = dir.filePath(QStringLiteral("只读"));
    // root writes into any folder whatever its mode, so it gets a read-only file system instead.
    TmpfsMount mount(folder, QStringLiteral("size=1m"));
    const QString file = QDir(folder).filePath(QStringLiteral("给小美的信.pdf"));
    {
        QFile old(file);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old letter");
    }
    if (mount.mounted())
        QVERIFY(mount.remountReadOnly());
    else
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));

    TPaperDialog *d = openOn(w->edtEditor, Letter);
    dialogs->saveName = file;
    d->btnPdf->click();
    QCOMPARE(dialogs->errors.size(), 1);
    QVERIFY2(dialogs->errors.first().contains(QDir::toNativeSeparators(file)),
        qPrintable(dialogs->errors.first()));
    QFile kept(file);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("old letter"));
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

void tst_PaperDialog::noPrinterSaysSo()
{
    TPaperDialog *d = openOn(w->edtEditor, Letter);
    dialogs->printer = false;
    dialogs->printTo = dir.filePath(QStringLiteral("never.pdf"));
    d->btnPrint->click();
    QCOMPARE(dialogs->notes, QStringList { QStringLiteral("没有找到打印机，可以先导出 PDF") });
    QVERIFY(!QFile::exists(dialogs->printTo));
}

void tst_PaperDialog::printsOnTheLettersPaper()
{
    TPaperDialog *d = openOn(w->edtEditor, Letter);
    d->cbSize->setFocus();
    QTest::keyClick(d->cbSize, Qt::Key_Down); // A5
    QCOMPARE(d->Settings().size, psA5);
    dialogs->printTo = dir.filePath(QStringLiteral("打印.pdf"));
    d->btnPrint->click();
    QCOMPARE(dialogs->errors, QStringList());
    // The printer was offered the letter's own paper, without margins.
    QCOMPARE(dialogs->offeredLayout.pageSize().size(QPageSize::Millimeter).toSize(), QSize(148, 210));
    QCOMPARE(dialogs->offeredLayout.margins(), QMarginsF());
    QVERIFY(QFile::exists(dialogs->printTo));
    if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
        QSKIP("pdfinfo (poppler-utils) is not installed");
    const QString info = RunProgram(QStringLiteral("pdfinfo"), { dialogs->printTo }).out;
    const QRegularExpressionMatch size
        = QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+) pts")).match(info);
    QVERIFY2(size.hasMatch(), qPrintable(info));
    // 148 × 210 mm in points, give or take the rounding of a named paper size.
    QVERIFY2(qAbs(size.captured(1).toDouble() - 419.5) < 1 && qAbs(size.captured(2).toDouble() - 595.3) < 1,
        qPrintable(info));
    const QString text = pdfText(dialogs->printTo);
    QVERIFY2(text.contains(withoutSpace(Letter)), qPrintable(text));

    // Cancelled in the print dialog: nothing printed, nothing said.
    QFile::remove(dialogs->printTo);
    const QString chosen = dialogs->printTo;
    dialogs->printTo.clear();
    d->btnPrint->click();
    QVERIFY(!QFile::exists(chosen));
    QCOMPARE(dialogs->errors, QStringList());
}

void tst_PaperDialog::choicesComeBackAfterRestart()
{
    TPaperDialog *d = openOn(w->edtEditor, Letter);
    d->cbPaper->setCurrentIndex(d->cbPaper->findData(int(pkGrid)));
    d->cbPaper->activated(d->cbPaper->currentIndex());
    d->cbInk->setCurrentIndex(d->cbInk->findData(int(inkRed)));
    d->cbInk->activated(d->cbInk->currentIndex());
    d->edtFontSize->setValue(18);
    d->chkHand->setChecked(true);
    if (d->cbFont->count() > 1) {
        d->cbFont->setCurrentIndex(1);
        d->cbFont->activated(1);
    }
    const PaperSettings chosen = d->Settings();

    w.reset();
    dialogs = nullptr;
    startWindow();
    d = openOn(w->edtEditor, Letter);
    QCOMPARE(d->Settings(), chosen);
    QCOMPARE(d->cbPaper->currentData().toInt(), int(pkGrid));
    QCOMPARE(d->cbInk->currentText(), QStringLiteral("朱红"));
    QCOMPARE(d->edtFontSize->value(), 18);
    QVERIFY(d->chkHand->isChecked());
    QCOMPARE(d->Letter()->layout().settings.kind, pkGrid);
}

void tst_PaperDialog::everyControlNamedAndReachedByKeyboard()
{
    TPaperDialog *d = openOn(w->edtEditor, Letter);
    QTRY_VERIFY(d->isActiveWindow());
    QSet<QWidget *> focusable;
    for (QWidget *c : d->findChildren<QWidget *>()) {
        if (c->focusPolicy() & Qt::TabFocus && c->isVisibleTo(d) && c->parentWidget() == d) {
            QVERIFY2(!c->accessibleName().isEmpty(), qPrintable(c->objectName()));
            focusable << c;
        }
    }
    QVERIFY(focusable.size() >= 11);
    QSet<QWidget *> reached;
    d->Preview->setFocus();
    for (int i = 0; i < 2 * focusable.size(); ++i) {
        reached << QApplication::focusWidget();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    for (QWidget *c : focusable)
        QVERIFY2(reached.contains(c) || !c->isEnabled(), qPrintable(c->objectName()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTRY_VERIFY(!d->isVisible());
}

QTEST_MAIN(tst_PaperDialog)
#include "tst_paperdialog.moc"
