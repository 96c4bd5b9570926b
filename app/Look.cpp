#include "Look.h"

#include <QPalette>
#include <QWidget>

void ApplyPalette(QWidget *window)
{
    QPalette pal = window->palette();
    pal.setColor(QPalette::Window, QColor(0xF1, 0xF9, 0xFF));
    pal.setColor(QPalette::Base, Qt::white);
    pal.setColor(QPalette::AlternateBase, QColor(0xF4, 0xFA, 0xFF));
    pal.setColor(QPalette::Button, QColor(0xE3, 0xF4, 0xFF));
    pal.setColor(QPalette::Light, Qt::white);
    pal.setColor(QPalette::Midlight, QColor(0xD6, 0xEC, 0xFB));
    pal.setColor(QPalette::Mid, QColor(0xA4, 0xD5, 0xF0));
    pal.setColor(QPalette::Dark, QColor(0x6F, 0xB3, 0xDF));
    pal.setColor(QPalette::Highlight, QColor(0x3D, 0x8F, 0xD1));
    pal.setColor(QPalette::HighlightedText, Qt::white);
    pal.setColor(QPalette::ToolTipBase, QColor(0xFF, 0xFF, 0xF4));
    pal.setColor(QPalette::ToolTipText, QColor(0x1F, 0x3F, 0x5F));
    window->setPalette(pal);
}

void ApplyPaneLook(QWidget *pane)
{
    // The picture controls paint themselves; only the standard widgets take these rules.
    const QString rules = QStringLiteral(R"(
QPushButton {
    border: 1px solid #8CC6EA; border-radius: 3px; padding: 3px 10px;
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #FFFFFF, stop:1 #DCEFFC);
}
QPushButton:hover { border-color: #5AAFE0; background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #FFFFFF, stop:1 #C9E7FB); }
QPushButton:pressed { background: #BFE0F7; }
QPushButton:disabled { color: #8FA9BD; border-color: #C9DDEB; }
QLineEdit, QTextEdit, QTreeView {
    border: 1px solid #A4D5F0; background: white; selection-background-color: #3D8FD1;
}
QLineEdit:focus, QTextEdit:focus, QTreeView:focus { border-color: #5AAFE0; }
QTabWidget::pane { border: 1px solid #A4D5F0; background: white; top: -1px; }
QToolTip { border: 1px solid #96D1F3; }
)");
    pane->setStyleSheet(rules);
}
