// The window side of the letter modes: composition lives in letters/, this file applies the
// results to the editors and lists and wires the letter controls' events.
#include "uFrmMain.h"

#include "LetterComposer.h"
#include "LetterFormat.h"
#include "LetterModels.h"
#include "PlumaretApplication.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolTip>
#include <QTreeView>

#include <functional>

using namespace Letters;

namespace {

constexpr int EditorPageLetter = 0;
constexpr int EditorPagePreview = 1;

// Rows 22 pixels high; the hint shows the whole text only when the row has cut it short.
class TLetterRowDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width(), LetterRowHeight);
    }

    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
        const QModelIndex &index) override
    {
        if (event->type() != QEvent::ToolTip || !index.isValid())
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        const QString tip = index.data(Qt::ToolTipRole).toString();
        if (tip.isEmpty())
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        // Measured by the style: the model's size hint only fixes the row height.
        const int needed
            = view->style()->sizeFromContents(QStyle::CT_ItemViewItem, &opt, QSize(), view).width();
        const int shown = qMin(opt.rect.right(), view->viewport()->width()) - opt.rect.left();
        if (needed <= shown) {
            QToolTip::hideText();
            return true; // fits: no hint, and not the list's own hint either
        }
        QToolTip::showText(event->globalPos(), tip, view->viewport(), opt.rect);
        return true;
    }
};

// Writes the clamped line count back into the field and returns it.
int commitLineCount(QSpinBox *spin)
{
    const int count = LineCountFromText(spin->text());
    spin->setValue(count);
    QLineEdit *line = spin->findChild<QLineEdit *>();
    if (line && line->text() != QString::number(count))
        line->setText(QString::number(count));
    return count;
}

// The line-count field: at most three characters of digits, signs and the decimal separator;
// Enter and other characters beep. Leaving the field writes back the clamped count, so the
// button reads a value in range even after "0" or "150" was typed.
class TLineCountFilter : public QObject
{
public:
    explicit TLineCountFilter(QSpinBox *spin)
        : QObject(spin)
        , m_spin(spin)
    {
        const QString separator = QRegularExpression::escape(QLocale().decimalPoint());
        if (QLineEdit *line = spin->findChild<QLineEdit *>()) {
            line->setMaxLength(LineCountMaxChars);
            // The spin box's own validator refuses "150"; the clamp on leaving decides instead.
            line->setValidator(new QRegularExpressionValidator(
                QRegularExpression(QStringLiteral("[0-9+\\-%1]{0,%2}").arg(separator).arg(LineCountMaxChars)),
                line));
        }
        m_accepted = QStringLiteral("0123456789+-") + QLocale().decimalPoint();
        spin->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
        spin->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_spin)
            return false;
        if (event->type() == QEvent::FocusOut) {
            commitLineCount(m_spin);
        } else if (event->type() == QEvent::KeyPress) {
            auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
                commitLineCount(m_spin); // step by 1 from what is shown, within the range
                return false;
            }
            const QString text = key->text();
            if (text.isEmpty())
                return false; // navigation and editing keys without a character
            const QChar c = text.at(0);
            if (c == u'\r' || c == u'\n') {
                QApplication::beep();
                return true;
            }
            if (c.unicode() < 0x20 || c == QChar(0x7f))
                return false; // other control keys: backspace, clipboard shortcuts
            if (text.size() != 1 || !m_accepted.contains(c)) {
                QApplication::beep();
                return true;
            }
        }
        return false;
    }

private:
    QSpinBox *m_spin;
    QString m_accepted;
};

// Double clicks of the left button on a list's rows area; the view's own handling goes on.
class TDoubleClickFilter : public QObject
{
public:
    TDoubleClickFilter(QAbstractItemView *view, std::function<void(const QPoint &)> handler)
        : QObject(view)
        , m_handler(std::move(handler))
    {
        view->viewport()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonDblClick) {
            auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::LeftButton)
                m_handler(mouse->position().toPoint());
        }
        return false;
    }

private:
    std::function<void(const QPoint &)> m_handler;
};

void setupList(QTreeView *view, QAbstractItemModel *model)
{
    view->setModel(model);
    view->setItemDelegate(new TLetterRowDelegate(view));
    view->setUniformRowHeights(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setTextElideMode(Qt::ElideRight);
    view->setContextMenuPolicy(Qt::PreventContextMenu);
}

} // namespace

void TfrmMain::SetupLetterLists()
{
    GroupModel = new TGroupModel(this);
    setupList(vstGroup, GroupModel);
    vstGroup->setIconSize(QSize(imTypeWidth, imTypeHeight));
    new TDoubleClickFilter(vstGroup, Guarded([this](const QPoint &pos) {
        // A double click on empty space below the rows must not toggle the focused phrase.
        if (vstGroup->indexAt(pos).isValid())
            vstGroupColumnDblClick();
    }));

    TemplateModel = new TTemplateModel(this);
    setupList(vstTemplate, TemplateModel);
    connect(vstTemplate->selectionModel(), &QItemSelectionModel::currentChanged, this,
        Guarded(
            [this](const QModelIndex &current, const QModelIndex &) { vstTemplateFocusChanged(current); }));
    new TDoubleClickFilter(vstTemplate, Guarded([this](const QPoint &) { vstTemplateDblClick(); }));

    new TLineCountFilter(edtLines);
    connect(btnStart, &QPushButton::clicked, this, Guarded([this] { btnStartClick(); }));
    connect(edtQHType, &QComboBox::currentIndexChanged, this,
        Guarded([this](int index) { edtQHTypeChange(index); }));
}

QString TfrmMain::PickCommonPhrase(quint8 kind)
{
    return TLetterComposer(*PhraseStore).PickCommonPhrase(kind);
}

void TfrmMain::FrameLetter(const QString &body)
{
    // All three phrases are read before the editor is touched, so a store error leaves it as it was.
    const QString letter
        = TLetterComposer(*PhraseStore).FrameLetter(body, edtYourName->text(), edtSheName->text());

    QTextDocument *document = edtEditor->document();
    // One undo step, so a stray click never destroys what the user typed; the file name and the
    // modified flag stay with the document controller's rules.
    const bool modified = document->isModified();
    ReplaceWithFramedLetter(*document, letter);
    document->setModified(modified);
    edtEditor->setTextCursor(QTextCursor(document));
    edtEditor->ensureCursorVisible();
    if (pgEdit->currentIndex() != EditorPageLetter)
        pgEdit->setCurrentIndex(EditorPageLetter);
    if (edtEditor->isEnabled() && edtEditor->focusPolicy() != Qt::NoFocus)
        edtEditor->setFocus(Qt::OtherFocusReason);
}

void TfrmMain::btnStartClick()
{
    // The field clamps when it loses the focus; a click without a focus change reads the same way.
    const int lines = commitLineCount(edtLines);
    const std::optional<QString> body = TLetterComposer(*PhraseStore).AutoWritingBody(lines);
    if (!body)
        return;
    FrameLetter(*body);
}

void TfrmMain::LoadPhraseClasses()
{
    const PhraseClassRows classes = TLetterComposer(*PhraseStore).PhraseClasses();
    if (classes.isEmpty())
        return;
    ClassIDs.clear();
    ClassIDs.reserve(classes.size());
    {
        const QSignalBlocker blocker(edtQHType);
        edtQHType->clear();
        for (const PhraseClassRow &row : classes) {
            edtQHType->addItem(row.Title);
            ClassIDs.append(row.ClassID);
        }
        edtQHType->setCurrentIndex(0);
    }
    edtQHTypeChange(0);
}

void TfrmMain::edtQHTypeChange(int index)
{
    if (index < 0 || index >= ClassIDs.size())
        return;
    std::optional<GroupRows> rows = TLetterComposer(*PhraseStore).ClassPhrases(ClassIDs.at(index));
    if (!rows)
        return; // a class without phrases leaves the previous rows and their ticks
    GroupModel->SetRows(std::move(*rows));
}

void TfrmMain::vstGroupColumnDblClick()
{
    const QModelIndex focused = vstGroup->currentIndex();
    if (!GroupModel->Toggle(focused))
        return;
    ComposeGroupLetter();
}

void TfrmMain::ComposeGroupLetter()
{
    const QPersistentModelIndex focused = vstGroup->currentIndex();
    FrameLetter(GroupBody(GroupModel->Rows()));
    if (focused.isValid()) {
        vstGroup->setCurrentIndex(focused);
        vstGroup->scrollTo(focused);
    }
}

void TfrmMain::LoadTemplates()
{
    TemplateModel->SetRows(TLetterComposer(*PhraseStore).Templates());
    // "No row chosen" counts as chosen: focusing the list then leaves every row alone, where the view
    // would make the first row current and so preview a template the user never picked.
    vstTemplate->setCurrentIndex(QModelIndex());
}

void TfrmMain::vstTemplateFocusChanged(const QModelIndex &node)
{
    const TemplateNodeData *row = TemplateModel->Record(node);
    if (!row)
        return;
    edtBrowse->setPlainText(row->Text);
    if (pgEdit->currentIndex() != EditorPagePreview)
        pgEdit->setCurrentIndex(EditorPagePreview);
    ApplyPreviewFormat(*edtBrowse->document());
    edtBrowse->setTextCursor(QTextCursor(edtBrowse->document()));
}

void TfrmMain::vstTemplateDblClick()
{
    // The preview shows the focused row's text; taking it from the row keeps its CR LF exact.
    const TemplateNodeData *row = TemplateModel->Record(vstTemplate->currentIndex());
    if (!row)
        return;
    FrameLetter(row->Text);
}
