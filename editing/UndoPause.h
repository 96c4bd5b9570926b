#pragma once

#include <QTextDocument>

// Keeps a change off the document's undo stack: a change made while it lives leaves no undo step.
// The stack is turned back to what it was when the pause ends, also when an exception ends it.
class UndoPause
{
public:
    explicit UndoPause(QTextDocument &document)
        : m_document(document)
        , m_enabled(document.isUndoRedoEnabled())
    {
        m_document.setUndoRedoEnabled(false);
    }
    ~UndoPause() { m_document.setUndoRedoEnabled(m_enabled); }
    UndoPause(const UndoPause &) = delete;
    UndoPause &operator=(const UndoPause &) = delete;

private:
    QTextDocument &m_document;
    const bool m_enabled;
};
