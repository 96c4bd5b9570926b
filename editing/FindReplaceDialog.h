#pragma once

#include "TextFind.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTextEdit;

// The non-modal find and replace window. It acts on the editor its target function names at the
// moment of each command, so it follows the page in front; a read-only editor can only be searched.
class TFindReplaceDialog : public QDialog
{
    Q_OBJECT

public:
    TFindReplaceDialog(std::function<QTextEdit *()> target, QWidget *parent);

    // Shows the window with the replace line (or without), the find text selected.
    void ShowFind(bool withReplace);
    // Selects the next (previous) match in the target; false when there is none or no find text.
    bool FindNext(bool backward = false);
    void ReplaceOne();
    void ReplaceAll();
    // Enables what the target allows; called when the target may have changed.
    void UpdateButtons();

    QString FindWhat() const;
    TFindOptions Options() const;
    QString Notice() const;

    QLineEdit *edtFind = nullptr;
    QLineEdit *edtReplace = nullptr;
    QCheckBox *chkCase = nullptr;
    QCheckBox *chkWholeWord = nullptr;
    QPushButton *btnFindNext = nullptr;
    QPushButton *btnFindPrevious = nullptr;
    QPushButton *btnReplace = nullptr;
    QPushButton *btnReplaceAll = nullptr;
    QLabel *lblNotice = nullptr;

private:
    void setNotice(const QString &text);
    bool targetWritable() const;

    std::function<QTextEdit *()> m_target;
    QLabel *m_replaceLabel = nullptr;
};
