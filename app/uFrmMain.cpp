#include "uFrmMain.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDesktopServices>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLibrary>
#include <QLineEdit>
#include <QLinearGradient>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

#include "Anchors.h"
#include "FontconfigStart.h"
#include "Look.h"
#include "MsgBox.h"
#include "PageControl.h"
#include "PlumaretApplication.h"
#include "PlumaretError.h"
#include "StartCompletion.h"
#include "TextMargin.h"
#include "ToolBar1.h"
#include "ToolPictures.h"
#include "VendorSite.h"
#include "uSingleEditor.h"

namespace {

// Design sizes the layout tables are drawn for: the client area 725 × 443 minus the toolbar (27),
// the left pane (204), the splitter (7) and the advertisement panel (100).
constexpr int BodyHeight = TfrmMain::DesignClientHeight - TToolBar1::BarHeight; // 416
constexpr int LeftWidth = 204;
constexpr int ModeBarWidth = 40;
constexpr int SplitterWidth = 7;
constexpr int AdWidth = 100;
constexpr int NamesHeight = 105;
constexpr QSize NamesDesign(LeftWidth - ModeBarWidth, NamesHeight); // 164 × 105
constexpr QSize ModeDesign(LeftWidth - ModeBarWidth, BodyHeight - NamesHeight); // 164 × 311
constexpr int ClientBorder = 5;
constexpr QSize EditDesign(
    TfrmMain::DesignClientWidth - LeftWidth - SplitterWidth - AdWidth - 2 * ClientBorder,
    BodyHeight - 2 * ClientBorder); // 404 × 406

// The Update library's one export.
using TDoUpdate = void (*)(WId, const char *);

QFrame *plainPanel(QWidget *parent, const char *name)
{
    auto *panel = new QFrame(parent);
    panel->setObjectName(QLatin1String(name));
    panel->setFrameShape(QFrame::NoFrame);
    return panel;
}

QLabel *placedLabel(QWidget *parent, const QString &text, QPoint at)
{
    auto *label = new QLabel(text, parent);
    label->adjustSize();
    label->move(at);
    return label;
}

QTextEdit *editor(QWidget *parent, const char *name, const QString &accessibleName)
{
    auto *edit = new QTextEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setAccessibleName(accessibleName);
    return edit;
}

// The one editor of a page, filling it. The page is made inside its page control, so that every
// text is measured in the window's font from the start.
QTextEdit *fillingEditor(QWidget *page, const char *editorName, const QString &accessibleName)
{
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    QTextEdit *content = editor(page, editorName, accessibleName);
    layout->addWidget(content);
    return content;
}

} // namespace

TfrmMain::TfrmMain(QWidget *parent, TStartOrder order)
    : QMainWindow(parent)
    , m_order(order)
{
    setupWindow();
    setupActions();
    setupMenus();
    setupToolBar();
    setupPanels();
    setupModeBar();
    // The first texts are measured from here on.
    WaitForFontconfig();
    setupNameFields();
    setupAutoPage();
    setupSplitter();
    setupEditorPages();
    setupAdvertisement();
    setupTimer();
    setupPaper();
    FormCreate();
    if (m_order == TStartOrder::AllAtOnce)
        completeWindow();
}

TfrmMain::~TfrmMain()
{
    FormDestroy();
}

// ---- construction ---------------------------------------------------------------------------

void TfrmMain::setupWindow()
{
    // Before the first control asks for the application's style, so that only one is ever made.
    InstallLook();
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QString::fromUtf8(ProductTitle));
    // The program's font for all it shows: its popups and boxes, which do not inherit from the window,
    // and the controls under the panes' style sheets, which Qt gives the application's font, not the
    // parent's. The window itself already exists, and before the event loop runs Qt tells no widget
    // of the change, so it takes the font itself.
    const QFont font = WindowFont();
    QApplication::setFont(font);
    setFont(font);
    // Set before there are children: each later change is handed down to all of them.
    ApplyPalette(this);
    setCentralWidget(new QWidget(this));
}

void TfrmMain::setupActions()
{
    struct Row
    {
        QAction *TfrmMain::*member;
        const char *name;
        const char *caption;
        const char *hint;
        QKeySequence shortcut;
        int picture;
    };
    const Row rows[] = {
        { &TfrmMain::FileNew, "FileNew", "新建(&N)", "创建一个新文件", QKeySequence(Qt::CTRL | Qt::Key_N),
            0 },
        { &TfrmMain::FileOpen, "FileOpen", "打开(&O)...", "打开文件", QKeySequence(Qt::CTRL | Qt::Key_O), 1 },
        { &TfrmMain::FileSave, "FileSave", "保存(&S)", "保存文件", QKeySequence(Qt::CTRL | Qt::Key_S), 2 },
        { &TfrmMain::FilePrint, "FilePrint", "信纸与打印(&P)...", "把信放到信纸上，打印或导出",
            QKeySequence(Qt::CTRL | Qt::Key_P), 3 },
        { &TfrmMain::EditCut, "EditCut", "剪切(&T)", "剪切所选内容", QKeySequence(Qt::CTRL | Qt::Key_X), 4 },
        { &TfrmMain::EditCopy, "EditCopy", "复制(&C)", "复制所选内容", QKeySequence(Qt::CTRL | Qt::Key_C),
            5 },
        { &TfrmMain::EditPaste, "EditPaste", "粘贴(&P)", "从剪切板粘贴", QKeySequence(Qt::CTRL | Qt::Key_V),
            6 },
        { &TfrmMain::EditUndo, "EditUndo", "撤消(&U)", "撤消", QKeySequence(Qt::CTRL | Qt::Key_Z), 7 },
        { &TfrmMain::EditSelectAll, "EditSelectAll", "全选(&)", "选定所有",
            QKeySequence(Qt::CTRL | Qt::Key_A), -1 },
        { &TfrmMain::EditDelete, "EditDelete", "删除(&)", "删除所选内容", QKeySequence(Qt::Key_Delete), -1 },
    };
    for (const Row &row : rows) {
        auto *action = new QAction(QString::fromUtf8(row.caption), this);
        action->setObjectName(QLatin1String(row.name));
        action->setToolTip(QString::fromUtf8(row.hint));
        action->setStatusTip(QString::fromUtf8(row.hint));
        action->setShortcut(row.shortcut);
        if (row.picture >= 0)
            action->setIcon(ToolPicture(row.picture));
        // The window takes the shortcuts, whichever of its controls has the focus.
        addAction(action);
        this->*row.member = action;
    }
}

void TfrmMain::setupMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    mnuFile = bar->addMenu(QStringLiteral("文件"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuFile->addAction(FileNew);
    mnuFile->addAction(FileOpen);
    mnuFile->addSeparator();
    mnuFile->addAction(FileSave);
    mnuFile->addAction(FilePrint);
    mnuFile->addSeparator();
    N8 = mnuFile->addAction(QStringLiteral("退出 (&X)"));
    N8->setObjectName(QStringLiteral("N8"));
    connect(N8, &QAction::triggered, this, Guarded([this] { N8Click(); }));

    mnuEdit = bar->addMenu(QStringLiteral("编辑(&E)"));
    mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
    mnuEdit->addAction(EditUndo);
    mnuEdit->addSeparator();
    mnuEdit->addAction(EditCut);
    mnuEdit->addAction(EditCopy);
    mnuEdit->addAction(EditPaste);

    const auto entry = [this](QMenu *menu, QAction *&member, const char *name, const QString &caption,
                           const QKeySequence &shortcut = {}) {
        member = menu->addAction(caption);
        member->setObjectName(QLatin1String(name));
        member->setShortcut(shortcut);
        // The window takes the shortcuts, whichever of its controls has the focus.
        addAction(member);
    };
    mnuEdit->addSeparator();
    entry(mnuEdit, EditFind, "EditFind", QStringLiteral("查找(&F)..."), QKeySequence(Qt::CTRL | Qt::Key_F));
    entry(mnuEdit, EditReplace, "EditReplace", QStringLiteral("替换(&E)..."),
        QKeySequence(Qt::CTRL | Qt::Key_H));
    EditFind->setIcon(ThemePicture("edit-find"));
    EditReplace->setIcon(ThemePicture("edit-find-replace"));
    // Shortcut only, like the select-all and delete actions.
    EditFindNext = new QAction(QStringLiteral("查找下一个"), this);
    EditFindNext->setObjectName(QStringLiteral("EditFindNext"));
    EditFindNext->setShortcut(QKeySequence(Qt::Key_F3));
    addAction(EditFindNext);
    EditFindPrevious = new QAction(QStringLiteral("查找上一个"), this);
    EditFindPrevious->setObjectName(QStringLiteral("EditFindPrevious"));
    EditFindPrevious->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3));
    addAction(EditFindPrevious);

    mnuTools = bar->addMenu(QStringLiteral("工具(&T)"));
    mnuTools->setObjectName(QStringLiteral("mnuTools"));
    entry(mnuTools, ToolFont, "ToolFont", QStringLiteral("字体设置(&F)"));
    ToolFont->setIcon(ThemePicture("preferences-desktop-font"));
    entry(mnuTools, ToolWordCount, "ToolWordCount", QStringLiteral("字数统计(&T)"));
    QMenu *convert = mnuTools->addMenu(QStringLiteral("简繁转换"));
    convert->setObjectName(QStringLiteral("mnuConvert"));
    entry(convert, ToolToTraditional, "ToolToTraditional", QStringLiteral("简->繁"));
    entry(convert, ToolToSimplified, "ToolToSimplified", QStringLiteral("繁->简"));
}

void TfrmMain::setupToolBar()
{
    ToolBar1 = new TToolBar1(centralWidget());
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->OnCustomDraw = [this](QPainter &painter, const QRect &rect, bool &defaultDraw) {
        ToolBar1CustomDraw(painter, rect, defaultDraw);
    };
    ToolBar1->AddAction(FileNew);
    ToolBar1->AddAction(FileOpen);
    ToolBar1->AddAction(FileSave);
    ToolBar1->AddAction(FilePrint);
    ToolBar1->AddSeparator();
    ToolBar1->AddAction(EditCut);
    ToolBar1->AddAction(EditCopy);
    ToolBar1->AddAction(EditPaste);
    ToolBar1->AddSeparator();
    ToolBar1->AddAction(EditUndo);
    ToolBar1->AddSeparator();
    tbWeb = ToolBar1->AddButton();
    tbWeb->setObjectName(QStringLiteral("tbWeb"));
    tbWeb->setIcon(ToolPicture(8));
    tbWeb->setToolTip(QStringLiteral("访问官网"));
    tbWeb->setAccessibleName(QStringLiteral("访问官网"));
    connect(tbWeb, &QToolButton::clicked, this, Guarded([this] { tbWebClick(); }));
}

void TfrmMain::setupPanels()
{
    auto *outer = new QVBoxLayout(centralWidget());
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(ToolBar1);

    auto *body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    outer->addLayout(body, 1);

    pnlLeft = plainPanel(centralWidget(), "pnlLeft");
    ApplyPaneLook(pnlLeft);
    pnlLeft->setFixedWidth(LeftWidth);
    body->addWidget(pnlLeft);

    pnlLLeft = new TPaintPanel(pnlLeft);
    pnlLLeft->setObjectName(QStringLiteral("pnlLLeft"));
    pnlLLeft->setFixedWidth(ModeBarWidth);
    pnlLClient = plainPanel(pnlLeft, "pnlLClient");
    auto *left = new QHBoxLayout(pnlLeft);
    left->setContentsMargins(0, 0, 0, 0);
    left->setSpacing(0);
    left->addWidget(pnlLLeft);
    left->addWidget(pnlLClient, 1);

    pnlNames = new TPaintPanel(pnlLClient);
    pnlNames->setObjectName(QStringLiteral("pnlNames"));
    pnlNames->setFixedHeight(NamesHeight);
    pgMode = new QStackedWidget(pnlLClient);
    pgMode->setObjectName(QStringLiteral("pgMode"));
    auto *modes = new QVBoxLayout(pnlLClient);
    modes->setContentsMargins(0, 0, 0, 0);
    modes->setSpacing(0);
    modes->addWidget(pnlNames);
    modes->addWidget(pgMode, 1);

    SplitterBar = new TSplitterBar(centralWidget());
    SplitterBar->setObjectName(QStringLiteral("SplitterBar"));
    body->addWidget(SplitterBar);

    pnlClient = plainPanel(centralWidget(), "pnlClient");
    ApplyPaneLook(pnlClient);
    pnlClient->setMinimumSize(397, 338);
    body->addWidget(pnlClient, 1);

    pnlAD = plainPanel(centralWidget(), "pnlAD");
    pnlAD->setFixedWidth(AdWidth);
    pnlAD->setAutoFillBackground(true);
    QPalette white = pnlAD->palette();
    white.setColor(QPalette::Window, Qt::white);
    pnlAD->setPalette(white);
    body->addWidget(pnlAD);
}

void TfrmMain::setupModeBar()
{
    const struct
    {
        TImgCheckButton *TfrmMain::*member;
        const char *name;
        const char *hint;
        int top;
    } rows[] = {
        { &TfrmMain::btnAuto, "btnAuto", "自动模式", 31 },
        { &TfrmMain::btnTemplate, "btnTemplate", "模版模式", 77 },
        { &TfrmMain::btnGroup, "btnGroup", "组合模式", 123 },
    };
    int tag = 0;
    for (const auto &row : rows) {
        // The buttons form their check group themselves, as siblings on pnlLLeft.
        auto *button = new TImgCheckButton(pnlLLeft);
        button->setObjectName(QLatin1String(row.name));
        button->setHint(QString::fromUtf8(row.hint));
        button->setAccessibleName(QString::fromUtf8(row.hint));
        button->setProperty("Tag", tag++);
        button->setGeometry(4, row.top, 36, 40);
        connect(button, &TImgCheckButton::clicked, this, Guarded([this, button] { btnAutoClick(button); }));
        this->*row.member = button;
    }
}

void TfrmMain::setupNameFields()
{
    lblYourName = placedLabel(pnlNames, QStringLiteral("你的名字"), QPoint(14, 9));
    edtYourName = new QLineEdit(pnlNames);
    edtYourName->setObjectName(QStringLiteral("edtYourName"));
    edtYourName->setAccessibleName(lblYourName->text());
    lblYourName->setBuddy(edtYourName);
    Anchor(edtYourName, QRect(14, 27, 138, 22), pnlNames, NamesDesign, Qt::Horizontal);

    lblSheName = placedLabel(pnlNames, QStringLiteral("对方名字"), QPoint(14, 59));
    edtSheName = new QLineEdit(pnlNames);
    edtSheName->setObjectName(QStringLiteral("edtSheName"));
    edtSheName->setAccessibleName(lblSheName->text());
    lblSheName->setBuddy(edtSheName);
    Anchor(edtSheName, QRect(14, 77, 138, 22), pnlNames, NamesDesign, Qt::Horizontal);
}

void TfrmMain::setupAutoPage()
{
    // Each page is made inside pgMode: a page without a parent would measure its texts in another font.
    tsAuto = new QWidget(pgMode);
    tsAuto->setObjectName(QStringLiteral("tsAuto"));
    lblLines = placedLabel(tsAuto, QStringLiteral("写行行数"), QPoint(10, 1));
    edtLines = new QSpinBox(tsAuto);
    edtLines->setObjectName(QStringLiteral("edtLines"));
    edtLines->setRange(1, 100);
    edtLines->setValue(20);
    edtLines->setAccessibleName(lblLines->text());
    if (auto *line = edtLines->findChild<QLineEdit *>())
        line->setMaxLength(3);
    lblLines->setBuddy(edtLines);
    Anchor(edtLines, QRect(10, 19, 138, 22), pgMode, ModeDesign);
    btnStart = new QPushButton(QStringLiteral("开始书写"), tsAuto);
    btnStart->setObjectName(QStringLiteral("btnStart"));
    Anchor(btnStart, QRect(10, 52, 138, 27), pgMode, ModeDesign, Qt::Horizontal);
    pgMode->addWidget(tsAuto);
}

void TfrmMain::setupListPages()
{
    tsTemplate = new QWidget(pgMode);
    tsTemplate->setObjectName(QStringLiteral("tsTemplate"));
    lblTemplate = placedLabel(tsTemplate, QStringLiteral("选择情书模版"), QPoint(10, 3));
    vstTemplate = new QTreeView(tsTemplate);
    vstTemplate->setObjectName(QStringLiteral("vstTemplate"));
    vstTemplate->setToolTip(QStringLiteral("单击浏览模版，双击添加到情书编辑器中"));
    vstTemplate->setAccessibleName(lblTemplate->text());
    vstTemplate->setHeaderHidden(true);
    vstTemplate->setRootIsDecorated(false);
    lblTemplate->setBuddy(vstTemplate);
    Anchor(vstTemplate, QRect(10, 24, 138, 269), pgMode, ModeDesign, Qt::Horizontal | Qt::Vertical);
    pgMode->addWidget(tsTemplate);

    tsGroup = new QWidget(pgMode);
    tsGroup->setObjectName(QStringLiteral("tsGroup"));
    lblQHType = placedLabel(tsGroup, QStringLiteral("情话类别"), QPoint(10, 1));
    edtQHType = new QComboBox(tsGroup);
    edtQHType->setObjectName(QStringLiteral("edtQHType"));
    edtQHType->setAccessibleName(lblQHType->text());
    lblQHType->setBuddy(edtQHType);
    Anchor(edtQHType, QRect(10, 19, 138, 20), pgMode, ModeDesign, Qt::Horizontal);
    vstGroup = new QTreeView(tsGroup);
    vstGroup->setObjectName(QStringLiteral("vstGroup"));
    vstGroup->setAccessibleName(QStringLiteral("情话"));
    vstGroup->setHeaderHidden(true);
    vstGroup->setRootIsDecorated(false);
    Anchor(vstGroup, QRect(10, 45, 138, 248), pgMode, ModeDesign, Qt::Horizontal | Qt::Vertical);
    pgMode->addWidget(tsGroup);
}

void TfrmMain::setupSplitter()
{
    SplitterBar->setFixedWidth(SplitterWidth);
    SplitterBar->setAccessibleName(QStringLiteral("SplitterBar"));
    setupControls();
}

void TfrmMain::setupEditorPages()
{
    auto *border = new QVBoxLayout(pnlClient);
    border->setContentsMargins(ClientBorder, ClientBorder, ClientBorder, ClientBorder);
    pgEdit = new TPageControl(20, pnlClient);
    pgEdit->setObjectName(QStringLiteral("pgEdit"));
    pgEdit->setAccessibleName(QStringLiteral("编辑器"));
    border->addWidget(pgEdit);

    tsEditor = new QWidget(pgEdit);
    edtEditor = fillingEditor(tsEditor, "edtEditor", QStringLiteral("情书编辑器"));
    tsEditor->setObjectName(QStringLiteral("tsEditor"));
    pgEdit->addTab(tsEditor, QStringLiteral("情书编辑器"));

    // The other pages are filled once the window is up; their tabs show from the start.
    const struct
    {
        QWidget *TfrmMain::*member;
        const char *name;
        const char *title;
    } pages[] = { { &TfrmMain::tsBrowse, "tsBrowse", "模版浏览器" },
        { &TfrmMain::tsPersonality, "tsPersonality", "个性情书" },
        { &TfrmMain::tsMemo, "tsMemo", "备注编辑器" } };
    for (const auto &page : pages) {
        auto *widget = new QWidget(pgEdit);
        widget->setObjectName(QLatin1String(page.name));
        pgEdit->addTab(widget, QString::fromUtf8(page.title));
        this->*page.member = widget;
    }
}

void TfrmMain::fillHiddenEditorPages()
{
    edtBrowse = fillingEditor(tsBrowse, "edtBrowse", QStringLiteral("模版浏览器"));
    edtBrowse->setReadOnly(true);

    pgPersonality = new QTabWidget(tsPersonality);
    pgPersonality->setObjectName(QStringLiteral("pgPersonality"));
    pgPersonality->setAccessibleName(QStringLiteral("个性情书"));
    for (const char *title : { "大胆表白", "无敌情书", "思春情书", "革命情书" })
        pgPersonality->addTab(new QWidget(pgPersonality), QString::fromUtf8(title));
    Anchor(pgPersonality, QRect(8, 11, 380, 166), pgEdit, EditDesign, Qt::Horizontal);
    btnMakeLetter = new QPushButton(QStringLiteral("生成情书"), tsPersonality);
    btnMakeLetter->setObjectName(QStringLiteral("btnMakeLetter"));
    Anchor(btnMakeLetter, QRect(8, 183, 89, 25), pgEdit, EditDesign);
    edtPersonality = editor(tsPersonality, "edtPersonality", QStringLiteral("个性情书"));
    Anchor(edtPersonality, QRect(8, 214, 376, 154), pgEdit, EditDesign, Qt::Horizontal | Qt::Vertical);

    edtMemo = fillingEditor(tsMemo, "edtMemo", QStringLiteral("备注编辑器"));
}

void TfrmMain::setupTimer()
{
    Timer = new QTimer(this);
    Timer->setObjectName(QStringLiteral("Timer"));
    Timer->setInterval(5000);
    connect(Timer, &QTimer::timeout, this, Guarded([this] { TimerTimer(); }));

    const QString appDir = QCoreApplication::applicationDirPath();
    UpdateLibraryCandidates = { appDir + QStringLiteral("/Update"),
        appDir + QStringLiteral("/" PLUMARET_UPDATE_REL_DIR "/Update") };
}

// ---- event handlers ---------------------------------------------------------------------------

void TfrmMain::FormCreate()
{
    PhraseStore = std::make_unique<TAdoBuilder>();
    SetTextMargin(edtEditor, 10);
    CreateDocumentController();
}

void TfrmMain::completeWindow()
{
    m_windowComplete = true;
    // The icon's pictures are read when it is set; the taskbar can wait for them as long as the pages.
    setupWindowIcon();
    setupListPages();
    fillHiddenEditorPages();
    setupPersonality();
    // The two lists' rows carry their records in the models the letter routines attach.
    SetupLetterLists();
    for (QTextEdit *edit : { edtBrowse, edtMemo, edtPersonality }) {
        SetTextMargin(edit, 10);
        attachEditor(edit);
    }
}

void TfrmMain::loadLists()
{
    LoadTemplates();
    LoadPhraseClasses();
}

void TfrmMain::CompleteStart()
{
    if (m_windowComplete)
        return;
    completeWindow();
    try {
        loadLists();
    } catch (...) {
        // As at once: the box tells, the window stays.
        ShowException(std::current_exception());
    }
}

bool TfrmMain::FormShow()
{
    try {
        PhraseStore->Connect();
    } catch (const EPlumaretError &e) {
        MsgBox(e.message(), QString(), mbkInformation);
        close();
        return false;
    }
    Timer->start();
    btnAuto->setChecked(true);
    pgMode->setCurrentIndex(0);
    pgEdit->setCurrentIndex(0);
    if (m_order == TStartOrder::AllAtOnce)
        loadLists();
    else
        new TStartCompletion(this, [this] { CompleteStart(); });
    NavigateAdvertisement();
    return true;
}

void TfrmMain::FormDestroy()
{
    DocumentController.reset();
    PhraseStore.reset();
}

void TfrmMain::PlaceAtDesignSize()
{
    // The menu bar is part of a Qt window but was outside the client area of the original design.
    resize(DesignClientWidth, DesignClientHeight + menuBar()->sizeHint().height());
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect r(QPoint(), size());
        r.moveCenter(screen->availableGeometry().center());
        move(r.topLeft());
    }
}

void TfrmMain::setVisible(bool visible)
{
    if (visible && !m_formShown) {
        m_formShown = true;
        PlaceAtDesignSize();
        // Runs before the window appears, so a failed connection never shows it.
        bool connected = true;
        try {
            connected = FormShow();
        } catch (...) {
            // A list that cannot be filled is reported; the window still comes up.
            ShowException(std::current_exception());
        }
        if (!connected)
            return;
    }
    QMainWindow::setVisible(visible);
}

void TfrmMain::btnAutoClick(QObject *sender)
{
    bool ok = false;
    const int tag = sender ? sender->property("Tag").toInt(&ok) : -1;
    if (ok && tag >= 0 && tag < pgMode->count())
        pgMode->setCurrentIndex(tag);
}

void TfrmMain::N8Click()
{
    close();
}

void TfrmMain::tbWebClick()
{
    // Whether a browser could be started is not our concern.
    QDesktopServices::openUrl(QUrl(VendorUrl(VendorPagePath)));
}

void TfrmMain::TimerTimer()
{
    // DoUpdate may run a message loop of its own long enough for another tick to arrive.
    if (m_updateRunning || m_updateDone)
        return;
    m_updateRunning = true;
    const QByteArray url = VendorUrl(UpdateNoticePath).toLatin1();
    try {
        for (const QString &candidate : std::as_const(UpdateLibraryCandidates)) {
            QLibrary library(candidate);
            if (auto doUpdate = reinterpret_cast<TDoUpdate>(library.resolve("DoUpdate"))) {
                // The library stays loaded: what it started may still be running.
                doUpdate(winId(), url.constData());
                break;
            }
        }
    } catch (...) {
        m_updateRunning = false;
        m_updateDone = true;
        Timer->stop();
        throw;
    }
    Timer->stop();
    m_updateDone = true;
    m_updateRunning = false;
}

void TfrmMain::ToolBar1CustomDraw(QPainter &painter, const QRect &rect, bool &defaultDraw)
{
    QLinearGradient gradient(rect.left(), rect.top(), rect.left(), rect.top() + rect.height());
    gradient.setColorAt(0, QColor(241, 249, 255));
    gradient.setColorAt(1, QColor(227, 244, 255));
    painter.fillRect(rect, gradient);
    painter.setPen(QPen(QColor(164, 213, 240), 1));
    painter.drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());
    defaultDraw = true;
}

void TfrmMain::RestoreApplication()
{
    if (!isMinimized())
        return;
    QWidget *focus = focusWidget();
    // A minimised window is still visible to Qt: leaving the state brings back its old place and size.
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    raise();
    activateWindow();
    // Pop-ups of the program went down with the window; bring them back with it.
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *w : windows) {
        if (w != this && w->isMinimized() && w->parentWidget() && w->parentWidget()->window() == this)
            w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
    }
    if (focus)
        focus->setFocus(Qt::ActiveWindowFocusReason);
}
