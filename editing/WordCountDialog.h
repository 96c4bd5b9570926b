#pragma once

#include "TextCounts.h"

#include <QDialog>

// Shows the counts of the selection or of the whole text.
class TWordCountDialog : public QDialog
{
    Q_OBJECT

public:
    TWordCountDialog(const TTextCounts &counts, bool ofSelection, QWidget *parent);

    // The figure shown beside a caption ("字数", ...); empty when there is no such line.
    QString Figure(const QString &caption) const;
};
