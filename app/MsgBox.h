#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

enum TMsgBoxKind { mbkInformation = 0, mbkQuestion = 1, mbkWarning = 2, mbkError = 3 };

// Default caption of each kind: "提示", "询问", "警告", "错误".
QString MsgBoxCaption(int kind);

// A modal box owned by the program's window (the active one, else the main window). An empty caption
// takes the kind's default. Returns the button pressed (Ok, Yes or No; Cancel when the box was closed
// some other way).
QMessageBox::StandardButton MsgBox(const QString &text, const QString &caption = QString(),
    int kind = mbkInformation, QWidget *owner = nullptr);

// The window that owns boxes when none is given.
QWidget *MsgBoxOwner();
