// 信纸与打印: the window opens the letter-paper dialog on the editor page in front.
#include "uFrmMain.h"

#include "PaperDialog.h"
#include "PlumaretApplication.h"

#include <QAction>
#include <QLineEdit>
#include <QTabWidget>
#include <QTextEdit>

void TfrmMain::setupPaper()
{
    connect(FilePrint, &QAction::triggered, this, Guarded([this] { FilePrintExecute(); }));
}

QTextEdit *TfrmMain::FrontMemo() const
{
    const QWidget *page = pgEdit->currentWidget();
    for (QTextEdit *memo : { edtEditor, edtBrowse, edtPersonality, edtMemo })
        if (page && page->isAncestorOf(memo))
            return memo;
    return edtEditor;
}

void TfrmMain::FilePrintExecute()
{
    if (!PaperDialog) {
        PaperDialog = new TPaperDialog(this);
        PaperDialog->AddresseeName = [this] { return edtSheName->text(); };
    }
    PaperDialog->SetSource(FrontMemo());
    PaperDialog->show();
    PaperDialog->raise();
    PaperDialog->activateWindow();
}
