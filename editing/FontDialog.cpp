#include "FontDialog.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

TFontDialog::TFontDialog(const QFont &font, const QColor &color, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgFont"));
    setWindowTitle(QStringLiteral("字体设置"));
    // Qt's own dialog as a part of this one: the platform's native dialog has no colour.
    m_fonts = new QFontDialog(font, this);
    m_fonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    m_fonts->setWindowFlags(Qt::Widget);
    m_fonts->setCurrentFont(font);

    m_colorButton = new QPushButton(this);
    m_colorButton->setObjectName(QStringLiteral("btnColor"));
    m_colorButton->setAccessibleName(QStringLiteral("文字颜色"));
    connect(m_colorButton, &QPushButton::clicked, this, [this] {
        const QColor chosen = QColorDialog::getColor(m_color, this, QStringLiteral("文字颜色"));
        if (chosen.isValid())
            setColor(chosen);
    });
    setColor(color);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_colorButton);
    bottom->addStretch();
    bottom->addWidget(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_fonts);
    layout->addLayout(bottom);
}

void TFontDialog::setColor(const QColor &color)
{
    m_color = color;
    QPixmap swatch(16, 16);
    swatch.fill(color);
    m_colorButton->setIcon(QIcon(swatch));
    m_colorButton->setText(QStringLiteral("颜色(&C)..."));
}

QTextCharFormat TFontDialog::Format() const
{
    const QFont font = m_fonts->currentFont();
    QTextCharFormat f;
    f.setFontFamilies(QStringList { font.family() });
    if (font.pointSizeF() > 0)
        f.setFontPointSize(font.pointSizeF());
    f.setFontWeight(font.weight());
    f.setFontItalic(font.italic());
    f.setFontUnderline(font.underline());
    f.setFontStrikeOut(font.strikeOut());
    f.setForeground(m_color);
    return f;
}

std::optional<QTextCharFormat> TFontDialog::Choose(QWidget *parent, const QFont &font, const QColor &color)
{
    TFontDialog dialog(font, color, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Format();
}
