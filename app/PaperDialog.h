#pragma once

#include "PaperSettings.h"

#include <QDialog>
#include <QPointer>
#include <QTextEdit>

#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

class QTimer;
class TPaperOutputDialogs;
class TPaperPreview;

namespace Paper {
class LetterPaper;
}

// 信纸与打印: the text of one editor on letter paper, with a live preview, printed or exported. The
// dialog holds only the choices; the paper library lays out and paints.
class TPaperDialog : public QDialog
{
    Q_OBJECT

public:
    explicit TPaperDialog(QWidget *parent = nullptr);
    ~TPaperDialog() override;

    // The editor whose text goes on the paper; followed as the user types.
    void SetSource(QTextEdit *editor);
    QTextEdit *Source() const { return m_source; }
    // The addressee's name, read when an export proposes its file name.
    std::function<QString()> AddresseeName;
    void SetDialogs(std::unique_ptr<TPaperOutputDialogs> dialogs);

    Paper::PaperSettings Settings() const { return m_settings; }
    // The letter as the preview shows it and as it will be printed.
    std::shared_ptr<const Paper::LetterPaper> Letter() const { return m_paper; }
    // "给<名字>的信.pdf" (or "情书.pdf") in the user's documents folder.
    QString ProposedFileName(const QString &extension) const;

    void PrintClick();
    void ExportPdfClick();
    void ExportPngClick();
    void ExportLongPngClick();

    TPaperPreview *Preview = nullptr;
    QLabel *lblPages = nullptr;
    QComboBox *cbPaper = nullptr;
    QComboBox *cbSize = nullptr;
    QComboBox *cbFont = nullptr;
    QSpinBox *edtFontSize = nullptr;
    QComboBox *cbInk = nullptr;
    QCheckBox *chkHand = nullptr;
    QLabel *lblEmpty = nullptr;
    QPushButton *btnPrint = nullptr;
    QPushButton *btnPdf = nullptr;
    QPushButton *btnImage = nullptr;
    QAction *actPngPages = nullptr;
    QAction *actLongPng = nullptr;
    QPushButton *btnClose = nullptr;

private:
    void setupChoices();
    void setupButtons();
    void showChoices();
    void choicesChanged();
    void refresh();
    void exportTo(const QString &extension, const QString &caption, const QString &filter,
        void (*write)(const Paper::LetterPaper &, const QString &));

    QPointer<QTextEdit> m_source;
    QMetaObject::Connection m_sourceChanged;
    QTimer *m_typing = nullptr;
    Paper::PaperSettings m_settings;
    std::shared_ptr<const Paper::LetterPaper> m_paper;
    std::unique_ptr<TPaperOutputDialogs> m_dialogs;
};
