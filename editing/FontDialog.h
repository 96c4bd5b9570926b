#pragma once

#include <QDialog>
#include <QTextCharFormat>

#include <optional>

class QFontDialog;
class QPushButton;

// Qt's font dialog with a colour choice beside it: family, size, style, underline, colour.
class TFontDialog : public QDialog
{
    Q_OBJECT

public:
    TFontDialog(const QFont &font, const QColor &color, QWidget *parent);

    // The chosen font and colour as a format to merge into the text.
    QTextCharFormat Format() const;

    // Runs the dialog; nothing when it was cancelled.
    static std::optional<QTextCharFormat> Choose(QWidget *parent, const QFont &font, const QColor &color);

private:
    void setColor(const QColor &color);

    QFontDialog *m_fonts = nullptr;
    QPushButton *m_colorButton = nullptr;
    QColor m_color;
};
