#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QDesktopServices>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLibrary>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>

#include "BoxCatcher.h"
#include "EventCounter.h"
#include "ToolBar1.h"
#include "ToolPictures.h"
#include "uFrmMain.h"

namespace {

bool fixtureBookBuilt()
{
    const QString fixture = QStringLiteral(WINDOW_FIXTURE_DB);
    return !fixture.isEmpty() && QFile::exists(fixture);
}

// The fixture phrase book as db.dll of dir, made the current folder.
bool enterFolderWithFixtureBook(const QTemporaryDir &dir)
{
    return QFile::copy(QStringLiteral(WINDOW_FIXTURE_DB), dir.filePath(QStringLiteral("db.dll")))
        && QDir::setCurrent(dir.path());
}

// The window as the user first sees it, without a database: FormShow is tested separately.
std::unique_ptr<TfrmMain> shownWindow()
{
    auto w = std::make_unique<TfrmMain>();
    w->PlaceAtDesignSize();
    w->QMainWindow::setVisible(true);
    return w;
}

QWidget *component(TfrmMain *w, const QString &name)
{
    if (name.startsWith(QLatin1String("button:"))) {
        const QString action = name.mid(7);
        for (auto *b : w->ToolBar1->findChildren<QToolButton *>()) {
            if (b->defaultAction() && b->defaultAction()->objectName() == action)
                return b;
        }
        return nullptr;
    }
    return w->findChild<QWidget *>(name);
}

// Records what the desktop would be asked to open.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};

// The stand-in Update library's bookkeeping.
struct StandIn
{
    QLibrary lib { QStringLiteral(UPDATE_STANDIN) };
    int (*calls)() = nullptr;
    const char *(*lastUrl)() = nullptr;
    quintptr (*lastWindow)() = nullptr;
    void (*reset)(void (*)()) = nullptr;

    bool load()
    {
        calls = reinterpret_cast<int (*)()>(lib.resolve("StandInCalls"));
        lastUrl = reinterpret_cast<const char *(*)()>(lib.resolve("StandInLastUrl"));
        lastWindow = reinterpret_cast<quintptr (*)()>(lib.resolve("StandInLastWindow"));
        reset = reinterpret_cast<void (*)(void (*)())>(lib.resolve("StandInReset"));
        return calls && lastUrl && lastWindow && reset;
    }
};

TfrmMain *reentrantWindow = nullptr;

} // namespace

class tst_uFrmMain : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void layoutAtDesignSize_data();
    void layoutAtDesignSize();
    void resizeKeepsSidePanesAndStretchesEditors_data();
    void resizeKeepsSidePanesAndStretchesEditors();
    void editorAreaNeverBelowMinimum();
    void componentSettings();
    void editorTabsAre20High();
    void actions_data();
    void actions();
    void menusInOrder();
    void modeButtonShowsItsPage_data();
    void modeButtonShowsItsPage();
    void toolbarBackground();
    void paneLookStaysInThePanes();
    void toolPicturesComeFromTheIconTheme_data();
    void toolPicturesComeFromTheIconTheme();
    void fontIsSongAndRendersChinese();
    void everyReachableControlHasAName();
    void tbWebOpensVendorPage();

    void timerCallsDoUpdateOnce();
    void secondTickWhileDoUpdateRunsIsIgnored();
    void missingUpdateLibraryIsSkipped();

    void startUpFailureShowsBoxAndWindowStaysHidden_data();
    void startUpFailureShowsBoxAndWindowStaysHidden();
    void startUpWithPhraseBook();
    void visibleFirstBuildsTheRestBeforeAnyInput_data();
    void visibleFirstBuildsTheRestBeforeAnyInput();

    void restoreMessage_data();
    void restoreMessage();
    void closeEndsWithoutQuestion();

private:
    QString m_startDir;
};

void tst_uFrmMain::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    m_startDir = QDir::currentPath();
}

void tst_uFrmMain::cleanup()
{
    QDir::setCurrent(m_startDir);
}

void tst_uFrmMain::layoutAtDesignSize_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry"); // width -1: the size is the label's own

    const auto row = [](const char *name, QRect r) { QTest::newRow(name) << QString::fromLatin1(name) << r; };
    row("ToolBar1", { 0, 0, 725, 27 });
    row("button:FileNew", { 6, 1, 31, 25 });
    row("button:FileOpen", { 37, 1, 31, 25 });
    row("button:FileSave", { 68, 1, 31, 25 });
    row("button:FilePrint", { 99, 1, 31, 25 });
    row("button:EditCut", { 138, 1, 31, 25 });
    row("button:EditCopy", { 169, 1, 31, 25 });
    row("button:EditPaste", { 200, 1, 31, 25 });
    row("button:EditUndo", { 239, 1, 31, 25 });
    row("tbWeb", { 278, 1, 31, 25 });
    row("pnlLeft", { 0, 27, 204, 416 });
    row("pnlLLeft", { 0, 0, 40, 416 });
    row("pnlLClient", { 40, 0, 164, 416 });
    row("pnlNames", { 0, 0, 164, 105 });
    row("pgMode", { 0, 105, 164, 311 });
    row("SplitterBar", { 204, 27, 7, 416 });
    row("pnlClient", { 211, 27, 414, 416 });
    row("pnlAD", { 625, 27, 100, 416 });
    row("pgEdit", { 5, 5, 404, 406 });
    row("btnAuto", { 4, 31, 36, 40 });
    row("btnTemplate", { 4, 77, 36, 40 });
    row("btnGroup", { 4, 123, 36, 40 });
    row("edtYourName", { 14, 27, 138, 22 });
    row("edtSheName", { 14, 77, 138, 22 });
    row("edtLines", { 10, 19, 138, 22 });
    row("btnStart", { 10, 52, 138, 27 });
    row("vstTemplate", { 10, 24, 138, 269 });
    row("edtQHType", { 10, 19, 138, 20 });
    row("vstGroup", { 10, 45, 138, 248 });
    row("pgPersonality", { 8, 11, 380, 166 });
    row("btnMakeLetter", { 8, 183, 89, 25 });
    row("edtPersonality", { 8, 214, 376, 154 });
}

void tst_uFrmMain::layoutAtDesignSize()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    auto w = shownWindow();
    QTRY_COMPARE(w->centralWidget()->size(), QSize(725, 443));
    QWidget *c = component(w.get(), name);
    QVERIFY2(c, qPrintable(name));
    QCOMPARE(c->geometry(), geometry);
}

void tst_uFrmMain::resizeKeepsSidePanesAndStretchesEditors_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size"); // after the window grew by 120 × 80

    const auto row = [](const char *name, QSize s) { QTest::newRow(name) << QString::fromLatin1(name) << s; };
    row("ToolBar1", { 845, 27 });
    row("pnlLeft", { 204, 496 });
    row("pnlAD", { 100, 496 });
    row("pnlClient", { 534, 496 });
    row("pgEdit", { 524, 486 });
    row("pgPersonality", { 500, 166 });
    row("btnMakeLetter", { 89, 25 });
    row("edtPersonality", { 496, 234 });
    row("pnlNames", { 164, 105 });
    row("edtYourName", { 138, 22 });
    row("btnStart", { 138, 27 });
    row("vstTemplate", { 138, 349 });
    row("vstGroup", { 138, 328 });
    row("btnAuto", { 36, 40 });
}

void tst_uFrmMain::resizeKeepsSidePanesAndStretchesEditors()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    auto w = shownWindow();
    QTRY_COMPARE(w->centralWidget()->size(), QSize(725, 443));
    w->resize(w->size() + QSize(120, 80));
    QTRY_COMPARE(w->centralWidget()->size(), QSize(845, 523));
    QCOMPARE(component(w.get(), name)->size(), size);
}

void tst_uFrmMain::editorAreaNeverBelowMinimum()
{
    auto w = shownWindow();
    w->resize(300, 200);
    QTRY_VERIFY(w->centralWidget()->width() < 725);
    QCOMPARE(w->pnlClient->size(), QSize(397, 338));
    QCOMPARE(w->pnlLeft->width(), 204);
    QCOMPARE(w->pnlAD->width(), 100);
}

void tst_uFrmMain::componentSettings()
{
    TfrmMain w;
    QCOMPARE(w.windowTitle(), QStringLiteral("墨韵笺语工坊"));
    QCOMPARE(w.edtLines->minimum(), 1);
    QCOMPARE(w.edtLines->maximum(), 100);
    QCOMPARE(w.edtLines->value(), 20);
    QCOMPARE(w.edtLines->findChild<QLineEdit *>()->maxLength(), 3);
    QCOMPARE(w.btnStart->text(), QStringLiteral("开始书写"));
    QCOMPARE(w.btnMakeLetter->text(), QStringLiteral("生成情书"));
    QCOMPARE(w.vstTemplate->toolTip(), QStringLiteral("单击浏览模版，双击添加到情书编辑器中"));
    QCOMPARE(w.lblYourName->text(), QStringLiteral("你的名字"));
    QCOMPARE(w.lblSheName->text(), QStringLiteral("对方名字"));
    QCOMPARE(w.lblLines->text(), QStringLiteral("写行行数"));
    QCOMPARE(w.lblTemplate->text(), QStringLiteral("选择情书模版"));
    QCOMPARE(w.lblQHType->text(), QStringLiteral("情话类别"));
    QCOMPARE(w.pgMode->count(), 3);

    const QStringList editorPages = { QStringLiteral("情书编辑器"), QStringLiteral("模版浏览器"),
        QStringLiteral("个性情书"), QStringLiteral("备注编辑器") };
    QCOMPARE(w.pgEdit->count(), 4);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(w.pgEdit->tabText(i), editorPages.at(i));
    const QStringList personalityPages = { QStringLiteral("大胆表白"), QStringLiteral("无敌情书"),
        QStringLiteral("思春情书"), QStringLiteral("革命情书") };
    QCOMPARE(w.pgPersonality->count(), 4);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(w.pgPersonality->tabText(i), personalityPages.at(i));

    QVERIFY(!w.edtEditor->isReadOnly());
    QVERIFY(w.edtBrowse->isReadOnly());
    for (QTextEdit *e : { w.edtEditor, w.edtBrowse, w.edtPersonality, w.edtMemo })
        QCOMPARE(e->document()->documentMargin(), 10.0);
    QCOMPARE(w.tbWeb->toolTip(), QStringLiteral("访问官网"));
    QCOMPARE(w.btnAuto->toolTip(), QStringLiteral("自动模式"));
    QCOMPARE(w.btnTemplate->toolTip(), QStringLiteral("模版模式"));
    QCOMPARE(w.btnGroup->toolTip(), QStringLiteral("组合模式"));
    QCOMPARE(w.btnAuto->property("Tag").toInt(), 0);
    QCOMPARE(w.btnTemplate->property("Tag").toInt(), 1);
    QCOMPARE(w.btnGroup->property("Tag").toInt(), 2);
    QCOMPARE(w.Timer->interval(), 5000);
    QVERIFY(!w.Timer->isActive());
}

void tst_uFrmMain::editorTabsAre20High()
{
    auto w = shownWindow();
    for (int i = 0; i < w->pgEdit->count(); ++i)
        QCOMPARE(w->pgEdit->tabBar()->tabRect(i).height(), 20);
}

void tst_uFrmMain::actions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::addColumn<QString>("menu");
    QTest::addColumn<bool>("onToolBar");

    const auto row = [](const char *name, const char *caption, const char *hint, QKeySequence key,
                         const char *menu, bool tool) {
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromUtf8(caption)
                            << QString::fromUtf8(hint) << key << QString::fromLatin1(menu) << tool;
    };
    row("FileNew", "新建(&N)", "创建一个新文件", QKeySequence(QStringLiteral("Ctrl+N")), "mnuFile", true);
    row("FileOpen", "打开(&O)...", "打开文件", QKeySequence(QStringLiteral("Ctrl+O")), "mnuFile", true);
    row("FileSave", "保存(&S)", "保存文件", QKeySequence(QStringLiteral("Ctrl+S")), "mnuFile", true);
    row("FilePrint", "信纸与打印(&P)...", "把信放到信纸上，打印或导出",
        QKeySequence(QStringLiteral("Ctrl+P")), "mnuFile", true);
    row("EditCut", "剪切(&T)", "剪切所选内容", QKeySequence(QStringLiteral("Ctrl+X")), "mnuEdit", true);
    row("EditCopy", "复制(&C)", "复制所选内容", QKeySequence(QStringLiteral("Ctrl+C")), "mnuEdit", true);
    row("EditPaste", "粘贴(&P)", "从剪切板粘贴", QKeySequence(QStringLiteral("Ctrl+V")), "mnuEdit", true);
    row("EditUndo", "撤消(&U)", "撤消", QKeySequence(QStringLiteral("Ctrl+Z")), "mnuEdit", true);
    row("EditSelectAll", "全选(&)", "选定所有", QKeySequence(QStringLiteral("Ctrl+A")), "", false);
    row("EditDelete", "删除(&)", "删除所选内容", QKeySequence(QStringLiteral("Del")), "", false);
}

void tst_uFrmMain::actions()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, hint);
    QFETCH(QKeySequence, shortcut);
    QFETCH(QString, menu);
    QFETCH(bool, onToolBar);

    auto w = shownWindow();
    auto *action = w->findChild<QAction *>(name);
    QVERIFY(action);
    QCOMPARE(action->text(), caption);
    QCOMPARE(action->toolTip(), hint);
    QCOMPARE(action->shortcut(), shortcut);
    QCOMPARE(action->icon().isNull(), !onToolBar);
    for (QMenu *m : { w->mnuFile, w->mnuEdit, w->mnuTools })
        QCOMPARE(m->actions().contains(action), m->objectName() == menu);
    QCOMPARE(component(w.get(), QStringLiteral("button:") + name) != nullptr, onToolBar);

    // The window, not one of its controls, owns the shortcut.
    QVERIFY(w->actions().contains(action));
}

void tst_uFrmMain::menusInOrder()
{
    TfrmMain w;
    QStringList visible;
    for (QAction *a : w.menuBar()->actions()) {
        if (a->isVisible())
            visible << a->text();
    }
    QCOMPARE(visible,
        (QStringList { QStringLiteral("文件"), QStringLiteral("编辑(&E)"), QStringLiteral("工具(&T)") }));

    const auto shown = [](QMenu *m) {
        QStringList texts;
        for (QAction *a : m->actions()) {
            if (a->isVisible())
                texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
        }
        return texts;
    };
    QCOMPARE(shown(w.mnuFile),
        (QStringList { QStringLiteral("新建(&N)"), QStringLiteral("打开(&O)..."), QStringLiteral("-"),
            QStringLiteral("保存(&S)"), QStringLiteral("信纸与打印(&P)..."), QStringLiteral("-"),
            QStringLiteral("退出 (&X)") }));
    QCOMPARE(shown(w.mnuEdit),
        (QStringList { QStringLiteral("撤消(&U)"), QStringLiteral("-"), QStringLiteral("剪切(&T)"),
            QStringLiteral("复制(&C)"), QStringLiteral("粘贴(&P)"), QStringLiteral("-"),
            QStringLiteral("查找(&F)..."), QStringLiteral("替换(&E)...") }));
    QCOMPARE(shown(w.mnuTools),
        (QStringList {
            QStringLiteral("字体设置(&F)"), QStringLiteral("字数统计(&T)"), QStringLiteral("简繁转换") }));
    QMenu *convert = w.mnuTools->actions().last()->menu();
    QVERIFY(convert);
    QCOMPARE(shown(convert), (QStringList { QStringLiteral("简->繁"), QStringLiteral("繁->简") }));
}

void tst_uFrmMain::modeButtonShowsItsPage_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("page");
    QTest::newRow("template") << QStringLiteral("btnTemplate") << 1;
    QTest::newRow("group") << QStringLiteral("btnGroup") << 2;
    QTest::newRow("auto, already checked") << QStringLiteral("btnAuto") << 0;
}

void tst_uFrmMain::modeButtonShowsItsPage()
{
    QFETCH(QString, button);
    QFETCH(int, page);
    auto w = shownWindow();
    w->btnAuto->setChecked(true);
    w->pgEdit->setCurrentIndex(3);
    w->edtEditor->setPlainText(QStringLiteral("亲爱的"));
    // Whatever widget class the mode bar is made of.
    auto *b = w->findChild<std::remove_pointer_t<decltype(w->btnAuto)> *>(button);
    QVERIFY(b);
    QTest::mouseClick(b, Qt::LeftButton);
    QCOMPARE(w->pgMode->currentIndex(), page);
    QVERIFY(b->isChecked());
    const int checked
        = int(w->btnAuto->isChecked()) + int(w->btnTemplate->isChecked()) + int(w->btnGroup->isChecked());
    QCOMPARE(checked, 1);
    // Nothing else changes.
    QCOMPARE(w->pgEdit->currentIndex(), 3);
    QCOMPARE(w->edtEditor->toPlainText(), QStringLiteral("亲爱的"));
}

void tst_uFrmMain::paneLookStaysInThePanes()
{
    auto w = shownWindow();
    QTRY_VERIFY(w->btnStart->isVisible());
    // The middle of a button's top edge, and of a field's left edge.
    const auto topEdge
        = [](QWidget *widget) { return widget->grab().toImage().pixelColor(widget->width() / 2, 0); };
    QCOMPARE(topEdge(w->btnStart), QColor(0x8C, 0xC6, 0xEA));
    const QImage field = w->edtYourName->grab().toImage();
    QCOMPARE(field.pixelColor(0, field.height() / 2), QColor(0xA4, 0xD5, 0xF0));
    QCOMPARE(field.pixelColor(field.width() / 2, field.height() / 2), QColor(Qt::white));

    // A button of the same window outside the panes, and of a box, keep the platform's look.
    QPushButton outside(QStringLiteral("确定"), w.get());
    outside.setGeometry(300, 300, 80, 25);
    outside.show();
    QVERIFY(topEdge(&outside) != QColor(0x8C, 0xC6, 0xEA));
    QMessageBox box(
        QMessageBox::Information, QStringLiteral("盒子"), QStringLiteral("内容"), QMessageBox::Ok);
    QAbstractButton *ok = box.button(QMessageBox::Ok);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QVERIFY(topEdge(ok) != QColor(0x8C, 0xC6, 0xEA));
}

void tst_uFrmMain::toolbarBackground()
{
    auto w = shownWindow();
    QTRY_COMPARE(w->ToolBar1->size(), QSize(725, 27));
    const QImage image = w->ToolBar1->grab().toImage();
    // Buttons cover rows 1 to 25; rows 0 and 26 are the background everywhere.
    for (int x : { 0, 6, 100, 400, 724 }) {
        QCOMPARE(image.pixelColor(x, 0), QColor(241, 249, 255));
        QCOMPARE(image.pixelColor(x, 26), QColor(164, 213, 240));
    }
    // Right of the last button the gradient runs top to bottom.
    const QColor mid = image.pixelColor(500, 13);
    QVERIFY2(mid.red() < 241 && mid.red() > 227, qPrintable(mid.name()));
    QVERIFY(mid.green() < 249 && mid.green() > 244);
    QCOMPARE(mid.blue(), 255);
    QCOMPARE(image.pixelColor(500, 25).red(), 228);
}

void tst_uFrmMain::toolPicturesComeFromTheIconTheme_data()
{
    QTest::addColumn<QString>("theme");
    QTest::addColumn<QString>("iconName"); // empty: the bundled picture

    QTest::newRow("a desktop theme") << "desk"
                                     << "document-new";
    QTest::newRow("hicolor") << "hicolor" << QString();
    QTest::newRow("no theme") << QString() << QString();
}

void tst_uFrmMain::toolPicturesComeFromTheIconTheme()
{
    QFETCH(QString, theme);
    QFETCH(QString, iconName);
    // Both themes hold document-new, so only the choice of theme decides.
    QTemporaryDir icons;
    for (const QString &name : { QStringLiteral("desk"), QStringLiteral("hicolor") }) {
        QVERIFY(QDir(icons.path()).mkpath(name + QStringLiteral("/16x16/actions")));
        QFile index(icons.filePath(name + QStringLiteral("/index.theme")));
        QVERIFY(index.open(QIODevice::WriteOnly));
        index.write("[Icon Theme]\nName=" + name.toUtf8()
            + "\nDirectories=16x16/actions\n\n[16x16/actions]\nSize=16\nType=Fixed\n");
        QPixmap red(16, 16);
        red.fill(Qt::red);
        QVERIFY(red.save(icons.filePath(name + QStringLiteral("/16x16/actions/document-new.png"))));
    }
    const QStringList savedPaths = QIcon::themeSearchPaths();
    const QString savedTheme = QIcon::themeName();
    QIcon::setThemeSearchPaths({ icons.path() });
    QIcon::setThemeName(theme);
    // A theme icon follows the theme: read it while the test theme is on.
    const QIcon picture = ToolPicture(0);
    const QString shownName = picture.name();
    const bool hasPicture = !picture.pixmap(16).isNull();
    QIcon::setThemeName(savedTheme);
    QIcon::setThemeSearchPaths(savedPaths);

    QCOMPARE(shownName, iconName);
    QVERIFY(hasPicture);
}

void tst_uFrmMain::fontIsSongAndRendersChinese()
{
    auto w = shownWindow();
    QCOMPARE(w->font().family(), QStringLiteral("宋体"));
    QCOMPARE(w->font().pixelSize(), 12);
    const QString served = QFontInfo(w->font()).family();
    QVERIFY2(
        served.contains(QLatin1String("UMing")) || served.contains(QLatin1String("CJK")), qPrintable(served));
    // Popups and boxes are windows of their own: they take the application's font.
    QCOMPARE(QFontInfo(QApplication::font()).family(), served);
    // Every control, in every pane and on every page, with the window's font: style sheets stop
    // Qt's own font inheritance, so a pane can lose it.
    const auto controls = w->findChildren<QWidget *>();
    for (QWidget *c : controls) {
        if (c->window() != w.get())
            continue;
        const QFontInfo info(c->font());
        QString path;
        for (QWidget *p = c; p && p != w.get(); p = p->parentWidget()) {
            const QString name = p->objectName();
            path.prepend(
                QLatin1Char('/') + (name.isEmpty() ? QLatin1String(p->metaObject()->className()) : name));
        }
        QVERIFY2(info.family() == served && info.pixelSize() == 12,
            qPrintable(QStringLiteral("%1: %2 %3px").arg(path, info.family()).arg(info.pixelSize())));
    }
}

void tst_uFrmMain::everyReachableControlHasAName()
{
    auto w = shownWindow();
    const auto widgets = w->findChildren<QWidget *>();
    int checked = 0;
    for (QWidget *c : widgets) {
        const bool reachable = c->focusPolicy() != Qt::NoFocus || qobject_cast<QToolButton *>(c);
        // Qt's own helpers (qt_menubar_ext_button, ...) are not part of the window's design.
        if (!reachable || c->focusProxy() || c->objectName().isEmpty()
            || c->objectName().startsWith(QLatin1String("qt_")))
            continue;
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(c);
        QVERIFY(iface);
        QVERIFY2(!iface->text(QAccessible::Name).trimmed().isEmpty(), qPrintable(c->objectName()));
        ++checked;
    }
    // The toolbar buttons carry their actions' object names only through defaultAction.
    for (QToolButton *b : w->ToolBar1->findChildren<QToolButton *>()) {
        QVERIFY(!QAccessible::queryAccessibleInterface(b)->text(QAccessible::Name).isEmpty());
        ++checked;
    }
    QVERIFY(checked >= 20);
}

void tst_uFrmMain::tbWebOpensVendorPage()
{
    TfrmMain w;
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &catcher, "open");
    QTest::mouseClick(w.tbWeb, Qt::LeftButton);
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    QCOMPARE(catcher.urls, QList<QUrl> { QUrl(QStringLiteral("http://plumaret.example/201071910.html")) });
}

void tst_uFrmMain::timerCallsDoUpdateOnce()
{
    StandIn standIn;
    QVERIFY2(standIn.load(), qPrintable(standIn.lib.errorString()));
    standIn.reset(nullptr);
    auto w = shownWindow();
    w->UpdateLibraryCandidates = { QStringLiteral(UPDATE_STANDIN) };
    w->Timer->start();
    w->TimerTimer();
    QCOMPARE(standIn.calls(), 1);
    QCOMPARE(QByteArray(standIn.lastUrl()), QByteArray("http://plumaret.example/SiteBack/updateTxt/10.txt"));
    QCOMPARE(standIn.lastWindow(), quintptr(w->winId()));
    QVERIFY(!w->Timer->isActive());
    w->TimerTimer();
    QCOMPARE(standIn.calls(), 1);
}

void tst_uFrmMain::secondTickWhileDoUpdateRunsIsIgnored()
{
    StandIn standIn;
    QVERIFY(standIn.load());
    TfrmMain w;
    reentrantWindow = &w;
    standIn.reset([] { reentrantWindow->TimerTimer(); });
    w.UpdateLibraryCandidates = { QStringLiteral(UPDATE_STANDIN) };
    w.Timer->start();
    w.TimerTimer();
    const int calls = standIn.calls();
    standIn.reset(nullptr);
    reentrantWindow = nullptr;
    QCOMPARE(calls, 1);
    QVERIFY(!w.Timer->isActive());
}

void tst_uFrmMain::missingUpdateLibraryIsSkipped()
{
    QTemporaryDir dir;
    TfrmMain w;
    w.UpdateLibraryCandidates = { dir.filePath(QStringLiteral("Update")) };
    w.Timer->start();
    BoxCatcher catcher;
    w.TimerTimer();
    QVERIFY(!w.Timer->isActive());
    QVERIFY(!catcher.seen.shown);
}

void tst_uFrmMain::startUpFailureShowsBoxAndWindowStaysHidden_data()
{
    QTest::addColumn<QByteArray>("dbContent"); // null: no db.dll at all
    QTest::addColumn<QString>("message");
    QTest::newRow("no db.dll") << QByteArray() << QStringLiteral("找不到数据库文件，程序将退出");
    QTest::newRow("not a Jet database")
        << QByteArray("this is not a database\n", 23) << QStringLiteral("连接数据库失败，程序将退出");
}

void tst_uFrmMain::startUpFailureShowsBoxAndWindowStaysHidden()
{
    QFETCH(QByteArray, dbContent);
    QFETCH(QString, message);
    QTemporaryDir dir;
    if (!dbContent.isNull()) {
        QFile db(dir.filePath(QStringLiteral("db.dll")));
        QVERIFY(db.open(QIODevice::WriteOnly));
        db.write(dbContent);
    }
    QVERIFY(QDir::setCurrent(dir.path()));

    TfrmMain w;
    bool visibleDuringBox = true;
    BoxCatcher catcher;
    QTimer probe;
    connect(&probe, &QTimer::timeout, &w, [&] {
        if (QApplication::activeModalWidget())
            visibleDuringBox = w.isVisible();
    });
    probe.start(1);
    w.show();
    QVERIFY(catcher.seen.shown);
    QCOMPARE(catcher.seen.text, message);
    QCOMPARE(catcher.seen.title, QStringLiteral("提示"));
    QCOMPARE(catcher.seen.icon, QMessageBox::Information);
    QVERIFY(!visibleDuringBox);
    QVERIFY(!w.isVisible());
    QVERIFY(!w.Timer->isActive());
    QVERIFY(!w.btnAuto->isChecked());
}

void tst_uFrmMain::startUpWithPhraseBook()
{
    if (!fixtureBookBuilt())
        QSKIP("no fixture phrase book is built (targets testbook or phrasebook)");
    QTemporaryDir dir;
    QVERIFY(enterFolderWithFixtureBook(dir));

    TfrmMain w;
    w.pgMode->setCurrentIndex(2);
    w.pgEdit->setCurrentIndex(3);
    BoxCatcher catcher;
    w.show();
    QVERIFY2(!catcher.seen.shown, qPrintable(catcher.seen.text));
    QVERIFY(w.isVisible());
    QVERIFY(w.Timer->isActive());
    QCOMPARE(w.Timer->interval(), 5000);
    QVERIFY(w.btnAuto->isChecked());
    QCOMPARE(w.pgMode->currentIndex(), 0);
    QCOMPARE(w.pgEdit->currentIndex(), 0);
    QTRY_COMPARE(w.centralWidget()->size(), QSize(725, 443));
}

void tst_uFrmMain::visibleFirstBuildsTheRestBeforeAnyInput_data()
{
    QTest::addColumn<bool>("typeAtOnce");
    QTest::newRow("built after the first paint") << false;
    QTest::newRow("a key before the first paint") << true;
}

void tst_uFrmMain::visibleFirstBuildsTheRestBeforeAnyInput()
{
    QFETCH(bool, typeAtOnce);
    // Nothing may be wired to an editor that does not exist yet.
    QTest::failOnWarning(QRegularExpression(QStringLiteral("nullptr")));
    if (!fixtureBookBuilt())
        QSKIP("no fixture phrase book is built (targets testbook or phrasebook)");
    QTemporaryDir dir;
    QVERIFY(enterFolderWithFixtureBook(dir));

    TfrmMain w(nullptr, TfrmMain::TStartOrder::VisibleFirst);
    QVERIFY(!w.vstTemplate && !w.edtMemo && !w.pgPersonality);
    QCOMPARE(w.pgEdit->count(), 4);
    BoxCatcher catcher;
    w.show();
    QVERIFY2(!catcher.seen.shown, qPrintable(catcher.seen.text));
    if (typeAtOnce) {
        // Not yet painted: the pointer over the window waits for the paint, a key must still meet
        // the whole window, and reach its field.
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(w.edtYourName, &enter);
        QVERIFY(!w.vstTemplate);
        QTest::keyClick(w.edtYourName, Qt::Key_A);
        QVERIFY(w.vstTemplate && w.edtMemo && w.pgPersonality);
        QCOMPARE(w.edtYourName->text(), QStringLiteral("a"));
    }
    QTRY_VERIFY(w.vstTemplate && w.vstTemplate->model());
    QVERIFY(w.vstTemplate->model()->rowCount() > 0);
    QVERIFY(w.edtQHType->count() > 0);
    QCOMPARE(w.pgEdit->widget(3)->findChild<QTextEdit *>(), w.edtMemo);
    QVERIFY(w.edtMemo->contextMenuPolicy() == Qt::CustomContextMenu);
    QVERIFY2(!catcher.seen.shown, qPrintable(catcher.seen.text));

    // The edit actions follow an editor built late as they follow the first.
    w.pgEdit->setCurrentIndex(3);
    QApplication::setActiveWindow(&w);
    w.edtMemo->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), w.edtMemo);
    w.edtMemo->setPlainText(QStringLiteral("备注"));
    QTRY_VERIFY(!w.EditCopy->isEnabled());
    w.edtMemo->selectAll();
    QTRY_VERIFY(w.EditCopy->isEnabled());
}

void tst_uFrmMain::restoreMessage_data()
{
    QTest::addColumn<bool>("minimised");
    QTest::newRow("minimised: comes back") << true;
    QTest::newRow("open: nothing happens") << false;
}

void tst_uFrmMain::restoreMessage()
{
    QFETCH(bool, minimised);
    auto w = shownWindow();
    QApplication::setActiveWindow(w.get());
    w->edtSheName->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), w->edtSheName);
    const QRect before = w->geometry();
    QWidget cover;
    if (minimised) {
        w->setWindowState(Qt::WindowMinimized);
        QTRY_VERIFY(w->isMinimized());
    } else {
        // Another window over ours has the focus: an open window stays where it is, behind it.
        cover.setGeometry(before);
        cover.show();
        QApplication::setActiveWindow(&cover);
        QTRY_VERIFY(cover.isActiveWindow());
    }
    // QWidget::raise() tells the window itself.
    EventCounter raised(w.get(), QEvent::ZOrderChange);
    w->RestoreApplication();
    if (!minimised) {
        QTest::qWait(100);
        QCOMPARE(raised.count, 0);
        QVERIFY(cover.isActiveWindow());
        QVERIFY(!w->isActiveWindow());
        QCOMPARE(w->geometry(), before);
        return;
    }
    QVERIFY(raised.count > 0);
    QTRY_VERIFY(!w->isMinimized());
    QVERIFY(w->isVisible());
    QCOMPARE(w->geometry(), before);
    QTRY_VERIFY(w->isActiveWindow());
    QTRY_COMPARE(QApplication::focusWidget(), w->edtSheName);
}

void tst_uFrmMain::closeEndsWithoutQuestion()
{
    auto w = shownWindow();
    w->edtEditor->setPlainText(QStringLiteral("未保存的情书"));
    w->edtEditor->document()->setModified(true);
    BoxCatcher catcher;
    w->N8->trigger();
    QVERIFY(!w->isVisible());
    QVERIFY(!catcher.seen.shown);
}

QTEST_MAIN(tst_uFrmMain)
#include "tst_ufrmmain.moc"
