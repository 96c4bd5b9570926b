#pragma once

#include <QString>
#include <QStringView>

class QTextCursor;

enum class TChineseDirection { cdToTraditional, cdToSimplified };

// Simplified ↔ traditional by phrase with OpenCC's s2t.json / t2s.json (后来 → 後來, 皇后 stays
// 皇后). Throws EPlumaretError when OpenCC or its configuration cannot be loaded.
QString ConvertChinese(QStringView text, TChineseDirection direction);

// Converts the cursor's selection, or the whole document when nothing is selected, as one undo
// step; every character keeps its format. Returns false when nothing changed.
bool ConvertChineseInDocument(const QTextCursor &cursor, TChineseDirection direction);
