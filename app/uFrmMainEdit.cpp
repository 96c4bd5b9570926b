// The letter document's file commands, the six edit actions and the editors' context menu.
#include "uFrmMain.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTextEdit>

#include "EditEx.h"
#include "PlumaretApplication.h"
#include "PlumaretError.h"
#include "uSingleEditor.h"

namespace {

// One text field of the window, single- or multi-line, as the edit actions see it.
struct TTextTarget
{
    QLineEdit *line = nullptr;
    QTextEdit *memo = nullptr;

    explicit operator bool() const { return line || memo; }
    bool readOnly() const { return line ? line->isReadOnly() : memo->isReadOnly(); }
    bool hasSelection() const { return line ? line->hasSelectedText() : memo->textCursor().hasSelection(); }
    bool canUndo() const { return line ? line->isUndoAvailable() : memo->document()->isUndoAvailable(); }
    bool isEmpty() const { return line ? line->text().isEmpty() : memo->document()->isEmpty(); }
    void undo() const
    {
        if (auto *ex = dynamic_cast<TCustomEditEx *>(line))
            ex->Undo();
        else
            line ? line->undo() : memo->undo();
    }
    void cut() const { line ? line->cut() : memo->cut(); }
    void copy() const { line ? line->copy() : memo->copy(); }
    void paste() const
    {
        // QLineEdit::paste() is not virtual: the numeric fields paste through their own rules.
        if (auto *ex = dynamic_cast<TCustomEditEx *>(line))
            ex->Paste();
        else
            line ? line->paste() : memo->paste();
    }
    void selectAll() const { line ? line->selectAll() : memo->selectAll(); }
    void deleteSelection() const
    {
        // Without touching the clipboard.
        if (line) {
            if (line->hasSelectedText())
                line->del();
        } else {
            QTextCursor c = memo->textCursor();
            c.removeSelectedText();
            memo->setTextCursor(c);
        }
    }
};

TTextTarget textTarget(QWidget *w)
{
    TTextTarget t;
    if (auto *memo = qobject_cast<QTextEdit *>(w)) {
        t.memo = memo;
    } else if (auto *line = qobject_cast<QLineEdit *>(w)) {
        t.line = line;
    } else if (auto *spin = qobject_cast<QAbstractSpinBox *>(w)) {
        // The spin field's own line edit holds the text; the spin box takes its focus.
        t.line = spin->findChild<QLineEdit *>();
    }
    return t;
}

bool clipboardHasText()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasText();
}

// Enables the six commands as far as the field allows them; the Edit menu and the context menu
// agree because both come here.
void enableFor(const TTextTarget &t, QAction *undo, QAction *cut, QAction *copy, QAction *paste, QAction *del,
    QAction *selectAll)
{
    const bool writable = t && !t.readOnly();
    const bool selected = t && t.hasSelection();
    undo->setEnabled(writable && t.canUndo());
    cut->setEnabled(writable && selected);
    copy->setEnabled(selected);
    paste->setEnabled(writable && clipboardHasText());
    del->setEnabled(writable && selected);
    selectAll->setEnabled(t && !t.isEmpty());
}

void runOn(QTextEdit *memo, void (TTextTarget::*command)() const)
{
    if (memo)
        (TTextTarget { nullptr, memo }.*command)();
}

// Keeps the edit actions up to date at idle moments and gives the six shortcuts their rules:
// Ctrl+Z/X/C/V belong to the Edit menu and are taken even when disabled; Ctrl+A and Del only
// when their action is enabled, else the key reaches the field.
class TEditCommandFilter : public QObject
{
public:
    explicit TEditCommandFilter(TfrmMain *window)
        : QObject(window)
        , m_window(window)
    {
        qApp->installEventFilter(this);
        connect(qApp, &QApplication::focusChanged, this, [this] { scheduleUpdate(); });
        connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] { scheduleUpdate(); });
    }

    void watch(QTextEdit *edit)
    {
        connect(edit, &QTextEdit::selectionChanged, this, [this] { scheduleUpdate(); });
        connect(edit, &QTextEdit::undoAvailable, this, [this] { scheduleUpdate(); });
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::KeyRelease:
        case QEvent::MouseButtonRelease:
        case QEvent::FocusIn:
            scheduleUpdate();
            break;
        case QEvent::ShortcutOverride:
        case QEvent::KeyPress: {
            auto *key = static_cast<QKeyEvent *>(event);
            QAction *action = actionFor(key);
            auto *w = qobject_cast<QWidget *>(watched);
            if (!action || !w || w->window() != m_window || w != QApplication::focusWidget())
                break;
            const bool menuKey = action != m_window->EditSelectAll && action != m_window->EditDelete;
            if (event->type() == QEvent::ShortcutOverride) {
                // Claim the key so that the field's own handling does not run before ours.
                m_window->UpdateEditActions();
                if (menuKey || action->isEnabled()) {
                    event->accept();
                    return true;
                }
                break;
            }
            if (menuKey || action->isEnabled()) {
                if (action->isEnabled()) {
                    m_window->UpdateEditActions();
                    if (action->isEnabled())
                        action->trigger();
                }
                return true;
            }
            break;
        }
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QAction *actionFor(const QKeyEvent *key) const
    {
        const QKeySequence pressed(key->keyCombination());
        for (QAction *a : { m_window->EditUndo, m_window->EditCut, m_window->EditCopy, m_window->EditPaste,
                 m_window->EditSelectAll, m_window->EditDelete }) {
            if (a && a->shortcut() == pressed)
                return a;
        }
        return nullptr;
    }

    void scheduleUpdate()
    {
        if (m_pending)
            return;
        m_pending = true;
        // Queued: runs when the events of this moment are done, like an idle update.
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_pending = false;
                m_window->UpdateEditActions();
            },
            Qt::QueuedConnection);
    }

    TfrmMain *m_window;
    bool m_pending = false;
};

} // namespace

void TfrmMain::CreateDocumentController()
{
    DocumentController.reset(new TSingleEditor(edtEditor));
    DocumentController->SetFilter(QStringLiteral("文本文件(*.txt)|*.txt"));
    setupEditCommands();
    setupToolCommands();
}

void TfrmMain::setupEditCommands()
{
    connect(FileNew, &QAction::triggered, this, Guarded([this] { FileNewExecute(); }));
    connect(FileOpen, &QAction::triggered, this, Guarded([this] { FileOpenExecute(); }));
    connect(FileSave, &QAction::triggered, this, Guarded([this] { FileSaveExecute(); }));

    // The filter decides about the six keys; the actions' own shortcuts would fire past its rules.
    for (QAction *a : { EditCut, EditCopy, EditPaste, EditUndo, EditSelectAll, EditDelete })
        a->setShortcutContext(Qt::WidgetShortcut);
    const auto onTarget = [this](void (TTextTarget::*command)() const) {
        return [this, command] {
            QWidget *focus = QApplication::focusWidget();
            if (const TTextTarget t = focus && focus->window() == this ? textTarget(focus) : TTextTarget {})
                (t.*command)();
            UpdateEditActions();
        };
    };
    connect(EditCut, &QAction::triggered, this, onTarget(&TTextTarget::cut));
    connect(EditCopy, &QAction::triggered, this, onTarget(&TTextTarget::copy));
    connect(EditPaste, &QAction::triggered, this, onTarget(&TTextTarget::paste));
    connect(EditUndo, &QAction::triggered, this, onTarget(&TTextTarget::undo));
    connect(EditSelectAll, &QAction::triggered, this, onTarget(&TTextTarget::selectAll));
    connect(EditDelete, &QAction::triggered, this, onTarget(&TTextTarget::deleteSelection));
    EditCut->setEnabled(false);
    EditCopy->setEnabled(false);

    edtTextPopMenu = new QMenu(this);
    edtTextPopMenu->setObjectName(QStringLiteral("edtTextPopMenu"));
    const auto item
        = [this](QAction *&member, const char *name, const QString &caption, void (TfrmMain::*click)()) {
              member = edtTextPopMenu->addAction(caption);
              member->setObjectName(QLatin1String(name));
              connect(member, &QAction::triggered, this, Guarded([this, click] { (this->*click)(); }));
          };
    item(ppiUndo, "ppiUndo", QStringLiteral("撤消(&U)"), &TfrmMain::ppiUndoClick);
    MenuItem1 = edtTextPopMenu->addSeparator();
    MenuItem1->setObjectName(QStringLiteral("MenuItem1"));
    item(ppiCut, "ppiCut", QStringLiteral("剪切(&T)"), &TfrmMain::ppiCutClick);
    item(ppiCopy, "ppiCopy", QStringLiteral("复制(&C)"), &TfrmMain::ppiCopyClick);
    item(ppiPaste, "ppiPaste", QStringLiteral("粘贴(&P)"), &TfrmMain::ppiPasteClick);
    item(ppiDelete, "ppiDelete", QStringLiteral("删除(&D)"), &TfrmMain::ppiDeleteClick);
    MenuItem2 = edtTextPopMenu->addSeparator();
    MenuItem2->setObjectName(QStringLiteral("MenuItem2"));
    item(ppiAll, "ppiAll", QStringLiteral("全选(&A)"), &TfrmMain::ppiAllClick);

    m_editCommandFilter = new TEditCommandFilter(this);
    attachEditor(edtEditor);
}

void TfrmMain::attachEditor(QTextEdit *edit)
{
    static_cast<TEditCommandFilter *>(m_editCommandFilter)->watch(edit);
    edit->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(edit, &QWidget::customContextMenuRequested, this, [this, edit](const QPoint &pos) {
        edtEditorContextPopup(edit);
        edtTextPopMenu->popup(edit->viewport()->mapToGlobal(pos));
    });
}

void TfrmMain::FileNewExecute()
{
    DocumentController->NewFile();
}

void TfrmMain::FileOpenExecute()
{
    DocumentController->OpenFile();
}

void TfrmMain::FileSaveExecute()
{
    DocumentController->SaveFile();
}

QTextEdit *TfrmMain::ActiveMemo() const
{
    auto *memo = qobject_cast<QTextEdit *>(QApplication::focusWidget());
    if (memo == edtEditor || memo == edtBrowse || memo == edtPersonality || memo == edtMemo)
        return memo;
    return nullptr;
}

void TfrmMain::edtEditorContextPopup(QObject *sender)
{
    if (auto *e = qobject_cast<QTextEdit *>(sender))
        enableFor(textTarget(e), ppiUndo, ppiCut, ppiCopy, ppiPaste, ppiDelete, ppiAll);
}

void TfrmMain::ppiUndoClick()
{
    runOn(ActiveMemo(), &TTextTarget::undo);
}

void TfrmMain::ppiCutClick()
{
    runOn(ActiveMemo(), &TTextTarget::cut);
}

void TfrmMain::ppiCopyClick()
{
    runOn(ActiveMemo(), &TTextTarget::copy);
}

void TfrmMain::ppiPasteClick()
{
    runOn(ActiveMemo(), &TTextTarget::paste);
}

void TfrmMain::ppiDeleteClick()
{
    runOn(ActiveMemo(), &TTextTarget::deleteSelection);
}

void TfrmMain::ppiAllClick()
{
    runOn(ActiveMemo(), &TTextTarget::selectAll);
}

void TfrmMain::UpdateEditActions()
{
    QWidget *focus = QApplication::focusWidget();
    const TTextTarget t = focus && focus->window() == this ? textTarget(focus) : TTextTarget {};
    enableFor(t, EditUndo, EditCut, EditCopy, EditPaste, EditDelete, EditSelectAll);
    UpdateToolActions();
}
