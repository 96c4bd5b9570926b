#pragma once

#include "LetterFormat.h"

#include <QTextDocument>

#include <memory>

// Body lines of a framed letter; they hold characters whose glyphs Noto CJK shares with Kangxi
// radicals (见 长 门 贝 车 小 大 人 日 月 ...), digits, Latin, "……", "——" and quotes.
inline QString LetterBodyLine(int n)
{
    static const QString lines[] = {
        QStringLiteral("见到你的那一天，阳光很长，门前的小车停在大树下——人间的日月都亮了。"),
        QStringLiteral("我把2024年写给你的信都收好了，一共12封，每一封都说“我爱你”。"),
        QStringLiteral("想你的时候，我就走到高高的山上看云……言语太轻，食不知味，立在风里等你。"),
        QStringLiteral("龙年的春天，鱼在水里，马在草原，鸟在天上；而我，只想在你身边。Forever love!"),
        QStringLiteral("你说《小王子》里的玫瑰是独一无二的（就像你），我信了：非你不可。"),
    };
    return lines[n % 5];
}

inline QString FramedLetterText(int bodyLines)
{
    QString text = QStringLiteral("我最亲爱的小雨：\n    见字如面，近来可好？\n");
    for (int i = 0; i < bodyLines; ++i)
        text += QStringLiteral("    ") + LetterBodyLine(i) + u'\n';
    text += QStringLiteral("\n    愿我们白头偕老。\n阿明\n2026-12-10");
    return text;
}

// A framed letter with the window's formats: 1.5 line spacing, signature and date on the right.
inline std::unique_ptr<QTextDocument> FramedLetter(int bodyLines)
{
    auto doc = std::make_unique<QTextDocument>();
    Letters::ReplaceWithFramedLetter(*doc, FramedLetterText(bodyLines));
    return doc;
}
