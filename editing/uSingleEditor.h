#pragma once

#include "DocumentFile.h"

#include <QString>

#include <memory>

class QTextEdit;
class QWidget;

// "文本文件(*.txt)|*.txt" (description|pattern pairs) as a QFileDialog name filter.
QString QtNameFilter(const QString &filter);

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
