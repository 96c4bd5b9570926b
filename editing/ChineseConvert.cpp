#include "ChineseConvert.h"

#include "PlumaretError.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <opencc/SimpleConverter.hpp>

#include <QThread>

#include <future>
#include <memory>
#include <mutex>
#include <vector>

namespace {

const opencc::SimpleConverter &converter(TChineseDirection direction)
{
    // Loading the dictionaries takes a while; each direction is loaded once, on first use.
    static std::unique_ptr<opencc::SimpleConverter> loaded[2];
    static std::mutex mutex;
    const std::lock_guard lock(mutex);
    const int i = direction == TChineseDirection::cdToTraditional ? 0 : 1;
    if (!loaded[i]) {
        const char *config = i == 0 ? "s2t.json" : "t2s.json";
        try {
            loaded[i] = std::make_unique<opencc::SimpleConverter>(config);
        } catch (const std::exception &e) {
            throw EPlumaretError(QStringLiteral("无法载入简繁转换词典 %1：%2")
                                     .arg(QLatin1String(config), QString::fromUtf8(e.what())));
        }
    }
    return *loaded[i];
}

// Same length and surrogates in the same places: each position maps to the same position.
bool alignsWith(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i].isSurrogate() != b[i].isSurrogate())
            return false;
    return true;
}

struct TRun
{
    int position;
    int length;
    QTextCharFormat format;
};

// The format runs of [from, to), paragraph separators left out.
QList<TRun> runsOf(const QTextDocument *doc, int from, int to)
{
    QList<TRun> runs;
    for (QTextBlock b = doc->findBlock(from); b.isValid() && b.position() < to; b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const int start = std::max(from, f.position());
            const int end = std::min(to, f.position() + f.length());
            // Pictures and other objects are no text to convert.
            if (start < end && !f.charFormat().isImageFormat() && f.charFormat().objectType() == 0)
                runs.append({ start, end - start, f.charFormat() });
        }
    }
    return runs;
}

} // namespace

QString ConvertChinese(QStringView text, TChineseDirection direction)
{
    const opencc::SimpleConverter &opencc = converter(direction);
    const auto convert = [&opencc](QStringView part) {
        const QByteArray utf8 = part.toUtf8();
        const std::string out = opencc.Convert(utf8.constData(), size_t(utf8.size()));
        return QString::fromUtf8(out.data(), qsizetype(out.size()));
    };
    // OpenCC converts some 5 MB a second: a long text is cut at line breaks (which no phrase
    // crosses) and its parts converted side by side.
    constexpr qsizetype partSize = 64 * 1024;
    const int threads = std::max(1, QThread::idealThreadCount());
    if (text.size() < 2 * partSize || threads == 1)
        return convert(text);
    QList<QStringView> parts;
    const qsizetype target = std::max(partSize, text.size() / threads + 1);
    for (qsizetype start = 0; start < text.size();) {
        qsizetype end = std::min(text.size(), start + target);
        while (end < text.size() && text[end - 1] != QChar::ParagraphSeparator && text[end - 1] != u'\n')
            ++end;
        parts.append(text.mid(start, end - start));
        start = end;
    }
    std::vector<std::future<QString>> converted;
    for (qsizetype i = 1; i < parts.size(); ++i)
        converted.push_back(std::async(std::launch::async, convert, parts[i]));
    QString result = convert(parts.first());
    for (auto &part : converted)
        result += part.get();
    return result;
}

bool ConvertChineseInDocument(const QTextCursor &cursor, TChineseDirection direction)
{
    QTextDocument *doc = cursor.document();
    int from = cursor.selectionStart();
    int to = cursor.selectionEnd();
    if (from == to) {
        from = 0;
        to = doc->characterCount() - 1;
    }
    // Positions of the raw text are document positions; converting it whole keeps the phrases
    // that run across format changes.
    const QString original = doc->toRawText().mid(from, to - from);
    const QString converted = ConvertChinese(original, direction);
    const bool aligned = alignsWith(original, converted);

    QTextCursor edit(doc);
    bool changed = false;
    const QList<TRun> runs = runsOf(doc, from, to);
    // From the end, so that a run whose length changes leaves the earlier positions valid.
    for (auto run = runs.crbegin(); run != runs.crend(); ++run) {
        const QStringView before = QStringView(original).mid(run->position - from, run->length);
        const QString after
            = aligned ? converted.mid(run->position - from, run->length) : ConvertChinese(before, direction);
        if (after == before)
            continue;
        if (!changed)
            edit.beginEditBlock();
        changed = true;
        edit.setPosition(run->position);
        edit.setPosition(run->position + run->length, QTextCursor::KeepAnchor);
        edit.insertText(after, run->format);
    }
    if (changed)
        edit.endEditBlock();
    return changed;
}
