#pragma once

#include <QTextFormat>

class QString;
class QTextDocument;

namespace Letters {

// Character spacing is kept on the text (in twips, as RTF's \expndtw) but never drawn, the way the
// Windows rich-edit control kept it; the RTF writer may read it back from this property.
inline constexpr int CharacterSpacingProperty = QTextFormat::UserProperty + 0x100;
inline constexpr int LetterCharacterSpacingTwips = 200;
inline constexpr int LetterLineHeightPercent = 150;

// Replaces the whole document with the letter, right-aligns its last two paragraphs (signature and
// date) and gives every paragraph 1.5 line spacing and the stored character spacing, all as one
// undo step.
void ReplaceWithFramedLetter(QTextDocument &document, const QString &letter);

// The template preview: 1.5 line spacing and the stored character spacing on all text.
void ApplyPreviewFormat(QTextDocument &document);

} // namespace Letters
