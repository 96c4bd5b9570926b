#pragma once

#include <QFrame>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>

#include "ImgButton.h"
#include "PaintPanel.h"
#include "SplitterBar.h"
#include "uDataBase.h"

class QAction;
class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPainter;
class QPushButton;
class QSpinBox;
class QStackedWidget;
class QTabWidget;
class QTextEdit;
class QTimer;
class QToolButton;
class QTreeView;
class TToolBar1;
class TEditEx;
class TVerticalPhrase;
class TPaperDialog;

class TSingleEditor;
class TFindReplaceDialog;
class TWordCountDialog;
class QModelIndex;
class QTextCharFormat;
namespace Letters {
class TGroupModel;
class TTemplateModel;
}

// The program's one window. Components are public members named as the window's parts are named
// everywhere else, so that every area of the program (letters, editing, personality, controls, web)
// reaches them directly; each area adds its handlers in its own app/uFrmMain<Area>.cpp.
class TfrmMain : public QMainWindow
{
    Q_OBJECT

public:
    // The program itself builds the pages hidden at start (and sets its icon) after its first
    // paint, to appear sooner; everything else gets the whole window at once.
    enum class TStartOrder { AllAtOnce, VisibleFirst };

    explicit TfrmMain(QWidget *parent = nullptr, TStartOrder order = TStartOrder::AllAtOnce);
    ~TfrmMain() override;

    // Owned fields.
    std::unique_ptr<TSingleEditor> DocumentController;
    QList<qint32> ClassIDs;
    std::unique_ptr<TAdoBuilder> PhraseStore;

    // Toolbar and menus.
    TToolBar1 *ToolBar1 = nullptr;
    QToolButton *tbWeb = nullptr;
    QMenu *mnuFile = nullptr;
    QMenu *mnuEdit = nullptr;
    QMenu *mnuTools = nullptr;
    QAction *N8 = nullptr;
    QAction *FileNew = nullptr;
    QAction *FileOpen = nullptr;
    QAction *FileSave = nullptr;
    QAction *FilePrint = nullptr;
    QAction *EditCut = nullptr;
    QAction *EditCopy = nullptr;
    QAction *EditPaste = nullptr;
    QAction *EditUndo = nullptr;
    QAction *EditSelectAll = nullptr;
    QAction *EditDelete = nullptr;

    // Left pane.
    QFrame *pnlLeft = nullptr;
    TPaintPanel *pnlLLeft = nullptr;
    QFrame *pnlLClient = nullptr;
    TPaintPanel *pnlNames = nullptr;
    TImgCheckButton *btnAuto = nullptr;
    TImgCheckButton *btnTemplate = nullptr;
    TImgCheckButton *btnGroup = nullptr;
    QButtonGroup *ModeButtons = nullptr;
    QLabel *lblYourName = nullptr;
    QLineEdit *edtYourName = nullptr;
    QLabel *lblSheName = nullptr;
    QLineEdit *edtSheName = nullptr;
    QStackedWidget *pgMode = nullptr;
    QWidget *tsAuto = nullptr;
    QWidget *tsTemplate = nullptr;
    QWidget *tsGroup = nullptr;
    QLabel *lblLines = nullptr;
    QSpinBox *edtLines = nullptr;
    QPushButton *btnStart = nullptr;
    QLabel *lblTemplate = nullptr;
    QTreeView *vstTemplate = nullptr;
    QLabel *lblQHType = nullptr;
    QComboBox *edtQHType = nullptr;
    QTreeView *vstGroup = nullptr;

    TSplitterBar *SplitterBar = nullptr;

    // Centre and right.
    QFrame *pnlClient = nullptr;
    QTabWidget *pgEdit = nullptr;
    QWidget *tsEditor = nullptr;
    QWidget *tsBrowse = nullptr;
    QWidget *tsPersonality = nullptr;
    QWidget *tsMemo = nullptr;
    QTextEdit *edtEditor = nullptr;
    QTextEdit *edtBrowse = nullptr;
    QTabWidget *pgPersonality = nullptr;
    QPushButton *btnMakeLetter = nullptr;
    QTextEdit *edtPersonality = nullptr;
    // Fields of the personality pages (app/uFrmMainPersonality.cpp), in the order they are checked.
    QLineEdit *edtHair = nullptr;
    QLineEdit *edtEye = nullptr;
    QLineEdit *edtSex = nullptr;
    QLineEdit *edtCharacter = nullptr;
    QLineEdit *edtEye2 = nullptr;
    QLineEdit *edtBeautiful = nullptr;
    QLineEdit *edtFlower = nullptr;
    QLineEdit *edtShe = nullptr;
    QLineEdit *edtLM = nullptr;
    QLineEdit *edtWL = nullptr;
    QLineEdit *edtDY = nullptr;
    TEditEx *edtDays = nullptr;
    TEditEx *edtTelCount = nullptr;
    TEditEx *edtCallSheCount = nullptr;
    TEditEx *edtCallMax = nullptr;
    TEditEx *edtCallMin = nullptr;
    TEditEx *edtYHCount = nullptr;
    TEditEx *edtYHZD = nullptr;
    TEditEx *edtYHMax = nullptr;
    TEditEx *edtYHMin = nullptr;
    QTextEdit *edtMemo = nullptr;
    QFrame *pnlAD = nullptr;
    TVerticalPhrase *pnlPhrase = nullptr; // shown until the advertisement page has loaded
    QWidget *wbAD = nullptr; // made only once the page has answered: the engine is slow and large
    // The page the panel asks for, and where its browser plugin is looked for; tests change both.
    QUrl AdvertisementUrl;
    QStringList AdPanelCandidates;

    QTimer *Timer = nullptr;

    // Where TimerTimer looks for the Update library; tests point it at a stand-in.
    QStringList UpdateLibraryCandidates;

    // Event handlers.
    void FormCreate();
    // Builds the hidden pages, sets the icon and fills the lists, once; with VisibleFirst after the
    // first paint.
    void CompleteStart();
    // False when the database could not be connected: the window must not appear.
    bool FormShow();
    void FormDestroy();
    void btnAutoClick(QObject *sender);
    void N8Click();
    void tbWebClick();
    void TimerTimer();
    void ToolBar1CustomDraw(QPainter &painter, const QRect &rect, bool &defaultDraw);
    // Message 1349 from a second copy.
    void RestoreApplication();

    // Routines of the other areas, reached through the phrase store.
    void CreateDocumentController();
    void LoadTemplates();
    void LoadPhraseClasses();
    void NavigateAdvertisement();
    void ShowAdvertisementPage();

    // Document and edit commands (app/uFrmMainEdit.cpp).
    QMenu *edtTextPopMenu = nullptr;
    QAction *ppiUndo = nullptr;
    QAction *MenuItem1 = nullptr;
    QAction *ppiCut = nullptr;
    QAction *ppiCopy = nullptr;
    QAction *ppiPaste = nullptr;
    QAction *ppiDelete = nullptr;
    QAction *MenuItem2 = nullptr;
    QAction *ppiAll = nullptr;
    void FileNewExecute();
    void FileOpenExecute();
    void FileSaveExecute();
    void edtEditorContextPopup(QObject *sender);
    void ppiUndoClick();
    void ppiCutClick();
    void ppiCopyClick();
    void ppiPasteClick();
    void ppiDeleteClick();
    void ppiAllClick();
    // The focused editor when it is one of the four multi-line editors, else nullptr.
    QTextEdit *ActiveMemo() const;
    // What the application's idle moment does: the six edit actions follow the focused field.
    void UpdateEditActions();

    // Find and replace, font, word count and simplified ↔ traditional (app/uFrmMainTools.cpp).
    QAction *EditFind = nullptr;
    QAction *EditReplace = nullptr;
    QAction *EditFindNext = nullptr;
    QAction *EditFindPrevious = nullptr;
    QAction *ToolFont = nullptr;
    QAction *ToolWordCount = nullptr;
    QAction *ToolToTraditional = nullptr;
    QAction *ToolToSimplified = nullptr;
    TFindReplaceDialog *FindDialog = nullptr;
    QPointer<TWordCountDialog> WordCountDialog;
    // Asks for a font and colour starting from the given ones; tests answer in its place.
    std::function<std::optional<QTextCharFormat>(QWidget *, const QFont &, const QColor &)> FontChooser;
    void EditFindExecute();
    void EditReplaceExecute();
    void EditFindNextExecute(bool backward);
    void ToolFontExecute();
    void ToolWordCountExecute();
    void ToolConvertExecute(bool toTraditional);
    // The editor the tool commands act on: the focused one of the four, else the one in front.
    QTextEdit *CommandMemo() const;
    void UpdateToolActions();
    // Letter paper, printing and export (app/uFrmMainPaper.cpp); the dialog is made when first opened.
    TPaperDialog *PaperDialog = nullptr;
    void FilePrintExecute();
    // The editor of the page in front of pgEdit.
    QTextEdit *FrontMemo() const;

    // Personality letters (app/uFrmMainPersonality.cpp).
    void btnMakeLetterClick();
    // True when the field holds more than blanks; else tells the user and puts the caret there.
    bool IsEditFilled(QLineEdit *edit);

    // Letter modes (app/uFrmMainLetters.cpp): the lists' row records live in these models.
    Letters::TGroupModel *GroupModel = nullptr;
    Letters::TTemplateModel *TemplateModel = nullptr;
    void SetupLetterLists();
    QString PickCommonPhrase(quint8 kind);
    void FrameLetter(const QString &body);
    void btnStartClick();
    void edtQHTypeChange(int index);
    void vstGroupColumnDblClick();
    void ComposeGroupLetter();
    void vstTemplateFocusChanged(const QModelIndex &node);
    void vstTemplateDblClick();

    // The window's client area at creation (menu bar excluded).
    static constexpr int DesignClientWidth = 725;
    static constexpr int DesignClientHeight = 443;

    // Client area 725 × 443 at the centre of the screen; done once before the first show.
    void PlaceAtDesignSize();

    void setVisible(bool visible) override;

private:
    void setupWindow();
    void setupActions();
    void setupMenus();
    void setupToolBar();
    void setupPanels();
    void setupModeBar();
    void setupNameFields();
    void setupAutoPage();
    void setupListPages();
    void setupSplitter();
    void setupControls(); // pictures, splitter settings and the look (uFrmMainControls.cpp)
    void setupEditorPages();
    void fillHiddenEditorPages();
    void setupPersonality();
    void setupWindowIcon();
    void completeWindow();
    void loadLists();
    // The edit actions follow the editor, and its context menu is the window's.
    void attachEditor(QTextEdit *edit);
    void setupAdvertisement();
    void setupTimer();
    void setupEditCommands();
    void setupToolCommands();
    void setupPaper();

    QObject *m_editCommandFilter = nullptr; // of uFrmMainEdit.cpp
    TStartOrder m_order;
    bool m_windowComplete = false;
    bool m_formShown = false;
    bool m_updateRunning = false;
    bool m_updateDone = false;
};
