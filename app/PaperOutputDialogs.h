#pragma once

#include <QString>

class QPrinter;
class QWidget;

// The file, printer and message dialogs of the letter-paper dialog, replaceable so that it runs
// without a screen.
class TPaperOutputDialogs
{
public:
    virtual ~TPaperOutputDialogs() = default;
    // Empty result: cancelled.
    virtual QString SaveFileName(
        QWidget *parent, const QString &caption, const QString &proposed, const QString &filter)
        = 0;
    virtual bool HasPrinter() = 0;
    // False: cancelled. `printer` comes set to the letter's paper; the user may change it.
    virtual bool ChoosePrinter(QWidget *parent, QPrinter &printer, int pageCount) = 0;
    virtual void ShowError(QWidget *parent, const QString &text) = 0;
    virtual void ShowInformation(QWidget *parent, const QString &text) = 0;
};

class TStandardPaperOutputDialogs : public TPaperOutputDialogs
{
public:
    QString SaveFileName(
        QWidget *parent, const QString &caption, const QString &proposed, const QString &filter) override;
    bool HasPrinter() override;
    bool ChoosePrinter(QWidget *parent, QPrinter &printer, int pageCount) override;
    void ShowError(QWidget *parent, const QString &text) override;
    void ShowInformation(QWidget *parent, const QString &text) override;
};
