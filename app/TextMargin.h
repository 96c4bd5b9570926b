#pragma once

class QTextEdit;

// Keeps the text `margin` pixels away from each edge of the editor's visible area.
void SetTextMargin(QTextEdit *editor, int margin);
