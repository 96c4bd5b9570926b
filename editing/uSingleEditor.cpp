#include "uSingleEditor.h"

#include "PlumaretError.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QTextDocument>
#include <QTextEdit>

namespace {

class TStandardDialogs : public TEditorDialogs
{
public:
    QString OpenFileName(QWidget *parent, const QString &filter) override
    {
        QFileDialog dialog(parent);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::AnyFile); // the name need not exist
        dialog.setNameFilter(QtNameFilter(filter));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return dialog.selectedFiles().constFirst();
    }

    QString SaveFileName(QWidget *parent, const QString &filter) override
    {
        QFileDialog dialog(parent);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        dialog.setNameFilter(QtNameFilter(filter));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return dialog.selectedFiles().constFirst();
    }

    TAnswer AskSave(QWidget *parent, const QString &text, const QString &caption) override
    {
        QMessageBox box(QMessageBox::Information, caption, text,
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
        switch (box.exec()) {
        case QMessageBox::Yes:
            return daYes;
        case QMessageBox::Cancel:
            return daCancel;
        default:
            return daNo;
        }
    }
};

} // namespace

QString QtNameFilter(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = QStringLiteral("(%1)").arg(QString(parts[i + 1]).replace(u';', u' '));
        // A description that shows its patterns already is what the dialog reads them from.
        if (parts[i].endsWith(patterns))
            entries << parts[i];
        else
            entries << QStringLiteral("%1 %2").arg(parts[i], patterns);
    }
    if (parts.size() % 2 == 1 && !parts.last().isEmpty())
        entries << parts.last();
    return entries.join(QStringLiteral(";;"));
}

TSingleEditor::TSingleEditor(QTextEdit *editor)
    : Editor(editor)
    , m_dialogs(std::make_unique<TStandardDialogs>())
{
}

TSingleEditor::~TSingleEditor() = default;

void TSingleEditor::SetDialogs(std::unique_ptr<TEditorDialogs> dialogs)
{
    m_dialogs = std::move(dialogs);
}

void TSingleEditor::SetFilter(const QString &filter)
{
    Filter = filter;
}

void TSingleEditor::NewFile()
{
    if (Editor->document()->isModified()) {
        const QString name = FileName.isEmpty() ? QStringLiteral("未命名") : FileName;
        const QString prompt
            = QStringLiteral("文件 %1 的文字已经改变。%2想保存文件吗?").arg(name, QStringLiteral("\r\n"));
        switch (m_dialogs->AskSave(Editor->window(), prompt, QStringLiteral("提示"))) {
        case TEditorDialogs::daYes:
            SaveFile(); // a cancel or an error stops the command here
            break;
        case TEditorDialogs::daCancel:
            throw EAbort();
        case TEditorDialogs::daNo:
            break;
        }
    }
    FileName.clear();
    Editor->clear();
    Editor->document()->setModified(false);
    m_encoding = TTextEncoding::teGB18030;
}

void TSingleEditor::OpenFile()
{
    const QString name = m_dialogs->OpenFileName(Editor->window(), Filter);
    if (name.isEmpty())
        throw EAbort();
    // The name is taken only after the load succeeded: a later save must not write the old text
    // over the file that failed to open.
    m_encoding = LoadDocumentFile(name, Editor->document());
    FileName = QFileInfo(name).absoluteFilePath();
    Editor->moveCursor(QTextCursor::Start);
    Editor->ensureCursorVisible();
}

void TSingleEditor::SaveFile()
{
    if (!FileName.isEmpty())
        SaveFileTo(FileName);
    else if (!SaveFileAs())
        throw EAbort();
}

bool TSingleEditor::SaveFileAs()
{
    QString name = m_dialogs->SaveFileName(Editor->window(), Filter);
    if (name.isEmpty())
        return false;
    if (FileExtension(name).isEmpty())
        name += QStringLiteral(".txt");
    SaveFileTo(QFileInfo(name).absoluteFilePath());
    return true;
}

void TSingleEditor::SaveFileTo(const QString &name)
{
    FileName = name;
    SaveDocumentFile(name, Editor->document(), m_encoding);
    Editor->document()->setModified(false);
    Editor->document()->clearUndoRedoStacks();
}
