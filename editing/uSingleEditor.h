#pragma once

#include "PlainTextCodec.h"

#include <QString>

#include <memory>

class QTextDocument;
class QTextEdit;
class QWidget;

// The extension of a file name as the letter files use it: the last path component from its last
// dot on ("." for a name ending in a dot), empty when that component has no dot.
QString FileExtension(const QString &fileName);
// "*.txt" in any letter case is plain text; every other name is rich text.
bool IsPlainTextName(const QString &fileName);
// "文本文件(*.txt)|*.txt" (description|pattern pairs) as a QFileDialog name filter.
QString QtNameFilter(const QString &filter);

// Loads a letter file into doc, the format chosen by the name (other names than *.txt are read as
// RTF when the content is RTF, else as text). doc is untouched when the file cannot be read.
// Returns the encoding a plain-text file was read in. Throws EPlumaretError.
TTextEncoding LoadDocumentFile(const QString &fileName, QTextDocument *doc);
// Saves doc beside the old file and renames it into place, so a failed save leaves the old file.
// Throws EPlumaretError.
void SaveDocumentFile(const QString &fileName, const QTextDocument *doc, TTextEncoding encoding);
// The document's text with '\n' between lines, as a plain-text file holds it.
QString DocumentPlainText(const QTextDocument *doc);

// The prompt and the file dialogs, replaceable so that the controller runs without a screen.
class TEditorDialogs
{
public:
    enum TAnswer { daYes, daNo, daCancel };
    virtual ~TEditorDialogs() = default;
    // Empty result: cancelled.
    virtual QString OpenFileName(QWidget *parent, const QString &filter) = 0;
    virtual QString SaveFileName(QWidget *parent, const QString &filter) = 0;
    virtual TAnswer AskSave(QWidget *parent, const QString &text, const QString &caption) = 0;
};

// Binds the letter editor's document to a file.
class TSingleEditor
{
public:
    explicit TSingleEditor(QTextEdit *editor);
    ~TSingleEditor();

    void SetFilter(const QString &filter);
    void NewFile();
    void OpenFile();
    void SaveFile();
    bool SaveFileAs();
    void SaveFileTo(const QString &name);

    void SetDialogs(std::unique_ptr<TEditorDialogs> dialogs);
    TTextEncoding Encoding() const { return m_encoding; }

    QString Filter;
    QTextEdit *const Editor;
    QString FileName;

private:
    std::unique_ptr<TEditorDialogs> m_dialogs;
    TTextEncoding m_encoding = TTextEncoding::teGB18030; // of the file the text came from
};
