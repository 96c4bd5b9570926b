#include "PaperOutputDialogs.h"

#include "MsgBox.h"

#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

QString TStandardPaperOutputDialogs::SaveFileName(
    QWidget *parent, const QString &caption, const QString &proposed, const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, caption, proposed, filter);
}

bool TStandardPaperOutputDialogs::HasPrinter()
{
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

bool TStandardPaperOutputDialogs::ChoosePrinter(QWidget *parent, QPrinter &printer, int pageCount)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("打印"));
    dialog.setMinMax(1, pageCount);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange);
    return dialog.exec() == QDialog::Accepted;
}

void TStandardPaperOutputDialogs::ShowError(QWidget *parent, const QString &text)
{
    MsgBox(text, QString(), mbkError, parent);
}

void TStandardPaperOutputDialogs::ShowInformation(QWidget *parent, const QString &text)
{
    MsgBox(text, QString(), mbkInformation, parent);
}
