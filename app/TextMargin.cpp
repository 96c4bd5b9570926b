#include "TextMargin.h"

#include <QTextDocument>
#include <QTextEdit>

void SetTextMargin(QTextEdit *editor, int margin)
{
    // The document keeps the margin across setPlainText/setHtml, and it follows the editor's size,
    // so a resized editor keeps its margin too.
    editor->document()->setDocumentMargin(margin);
}
