#include "PhraseBookCheck.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QStringEncoder>

namespace {

constexpr int MinPhraseLength = 8;
constexpr int MaxPhraseLength = 120;
constexpr int MaxClassNameLength = 8;
constexpr int MaxSalutationLength = 12;
constexpr int MaxTitleLength = 30;
constexpr int MinTemplateLength = 200;
constexpr int MaxTemplateLength = 2000;

QString quoted(const QString &text)
{
    return QLatin1Char('"') + (text.size() > 40 ? text.left(40) + QStringLiteral("...") : text)
        + QLatin1Char('"');
}

// The letter is GBK text on the original platform: every character must survive the round trip.
bool isGbk(const QString &text)
{
    QStringEncoder encoder("GBK", QStringConverter::Flag::Stateless);
    QStringDecoder decoder("GBK", QStringConverter::Flag::Stateless);
    if (!encoder.isValid() || !decoder.isValid())
        qFatal("the GBK codec is missing");
    const QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        return false;
    const QString back = decoder.decode(bytes);
    return !decoder.hasError() && back == text;
}

bool hasAsciiPunctuation(const QString &text)
{
    static const QRegularExpression ascii(QStringLiteral("[,.?!;:()\"']"));
    return text.contains(ascii);
}

int differingPositions(const QString &a, const QString &b)
{
    int n = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        n += a.at(i) != b.at(i);
    return n;
}

class Checker
{
public:
    Checker(const PhraseBook &book, const PhraseBookLimits &limits)
        : b(book)
        , l(limits)
    {
    }

    QStringList run()
    {
        checkClasses();
        checkPhrases();
        checkDuplicates();
        checkCommon();
        checkTemplates();
        return problems;
    }

private:
    void fault(const QString &what) { problems.append(what); }

    void checkText(const QString &where, const QString &text, bool chinese)
    {
        if (!isGbk(text))
            fault(where + QStringLiteral(" is not encodable in GBK: ") + quoted(text));
        if (chinese && hasAsciiPunctuation(text))
            fault(where + QStringLiteral(" has ASCII punctuation: ") + quoted(text));
        if (text != text.trimmed())
            fault(where + QStringLiteral(" has leading or trailing blanks: ") + quoted(text));
    }

    void checkClasses()
    {
        if (b.classes.size() < l.minClasses)
            fault(QStringLiteral("only %1 classes, at least %2 needed")
                      .arg(b.classes.size())
                      .arg(l.minClasses));
        for (int id : ExcludedClasses)
            if (!b.classes.contains(id))
                fault(QStringLiteral("class %1, left out of automatic writing, does not exist").arg(id));
        QSet<QString> names;
        for (auto it = b.classes.cbegin(); it != b.classes.cend(); ++it) {
            const QString where = QStringLiteral("class %1").arg(it.key());
            checkText(where, it.value(), true);
            if (it.value().isEmpty() || it.value().size() > MaxClassNameLength)
                fault(where + QStringLiteral(" name is empty or longer than %1: ").arg(MaxClassNameLength)
                    + quoted(it.value()));
            if (names.contains(it.value()))
                fault(where + QStringLiteral(" name is used twice: ") + quoted(it.value()));
            names.insert(it.value());
        }
    }

    void checkPhrases()
    {
        if (b.phrases.size() < l.minPhrases)
            fault(QStringLiteral("only %1 phrases, at least %2 needed")
                      .arg(b.phrases.size())
                      .arg(l.minPhrases));
        QHash<int, int> perClass;
        QSet<int> ids;
        for (const auto &p : b.phrases) {
            const QString where = QStringLiteral("phrase %1").arg(p.id);
            if (ids.contains(p.id))
                fault(where + QStringLiteral(": id used twice"));
            ids.insert(p.id);
            if (!b.classes.contains(p.classId))
                fault(where + QStringLiteral(" names class %1, which does not exist").arg(p.classId));
            ++perClass[p.classId];
            if (p.title.size() < MinPhraseLength || p.title.size() > MaxPhraseLength)
                fault(where
                    + QStringLiteral(" has %1 characters, not %2 to %3: ")
                          .arg(p.title.size())
                          .arg(MinPhraseLength)
                          .arg(MaxPhraseLength)
                    + quoted(p.title));
            if (p.title.contains(QLatin1Char('\n')) || p.title.contains(QLatin1Char('\r')))
                fault(where + QStringLiteral(" has a line break"));
            checkText(where, p.title, p.classId != EnglishClass);
        }
        for (auto it = b.classes.cbegin(); it != b.classes.cend(); ++it)
            if (perClass.value(it.key()) < l.minPerClass)
                fault(QStringLiteral("class %1 has %2 phrases, at least %3 needed")
                          .arg(it.key())
                          .arg(perClass.value(it.key()))
                          .arg(l.minPerClass));
    }

    // Equal after normalising, or of equal length and apart by one or two characters.
    void checkDuplicates()
    {
        QHash<QString, int> seen;
        QHash<qsizetype, QList<std::pair<QString, int>>> byLength;
        for (const auto &p : b.phrases) {
            const QString n = normalisedForComparison(p.title);
            if (seen.contains(n)) {
                fault(QStringLiteral("phrases %1 and %2 are duplicates: ").arg(seen.value(n)).arg(p.id)
                    + quoted(p.title));
                continue;
            }
            seen.insert(n, p.id);
            auto &same = byLength[n.size()];
            for (const auto &[other, id] : same)
                if (differingPositions(n, other) <= 2)
                    fault(QStringLiteral("phrases %1 and %2 are near-duplicates: ").arg(id).arg(p.id)
                        + quoted(p.title));
            same.append({ n, p.id });
        }
    }

    void checkCommon()
    {
        QHash<int, int> perType;
        QSet<QString> seen;
        QSet<int> ids;
        for (const auto &c : b.common) {
            const QString where = QStringLiteral("framing phrase %1").arg(c.id);
            if (ids.contains(c.id))
                fault(where + QStringLiteral(": id used twice"));
            ids.insert(c.id);
            if (c.type < 0 || c.type > 2) {
                fault(where + QStringLiteral(" has TYPE %1, not 0, 1 or 2").arg(c.type));
                continue;
            }
            ++perType[c.type];
            checkText(where, c.title, true);
            const QString key = QString::number(c.type) + normalisedForComparison(c.title);
            if (seen.contains(key))
                fault(where + QStringLiteral(" is a duplicate: ") + quoted(c.title));
            seen.insert(key);
            if (c.type == 0) {
                // It stands right before the name, which is followed by the colon.
                if (c.title.isEmpty() || c.title.size() > MaxSalutationLength || c.title.back().isPunct())
                    fault(
                        where + QStringLiteral(" is no salutation to put before a name: ") + quoted(c.title));
            } else if (c.title.size() < MinPhraseLength || c.title.size() > MaxPhraseLength
                || !QStringLiteral("。！？…").contains(c.title.back())) {
                fault(where
                    + QStringLiteral(" is no sentence of %1 to %2 characters: ")
                          .arg(MinPhraseLength)
                          .arg(MaxPhraseLength)
                    + quoted(c.title));
            }
        }
        for (int type = 0; type <= 2; ++type)
            if (perType.value(type) < l.minCommonPerType)
                fault(QStringLiteral("%1 framing phrases of TYPE %2, at least %3 needed")
                          .arg(perType.value(type))
                          .arg(type)
                          .arg(l.minCommonPerType));
    }

    void checkTemplates()
    {
        if (b.templates.size() < l.minTemplates)
            fault(QStringLiteral("only %1 templates, at least %2 needed")
                      .arg(b.templates.size())
                      .arg(l.minTemplates));
        QSet<QString> titles;
        QSet<int> ids;
        for (const auto &t : b.templates) {
            const QString where = QStringLiteral("template %1").arg(t.id);
            if (ids.contains(t.id))
                fault(where + QStringLiteral(": id used twice"));
            ids.insert(t.id);
            checkText(where + QStringLiteral(" title"), t.title, true);
            if (t.title.isEmpty() || t.title.size() > MaxTitleLength)
                fault(where + QStringLiteral(" title is empty or longer than %1: ").arg(MaxTitleLength)
                    + quoted(t.title));
            if (titles.contains(t.title))
                fault(where + QStringLiteral(" title is used twice: ") + quoted(t.title));
            titles.insert(t.title);
            if (t.text.size() < MinTemplateLength || t.text.size() > MaxTemplateLength)
                fault(where
                    + QStringLiteral(" has %1 characters, not %2 to %3")
                          .arg(t.text.size())
                          .arg(MinTemplateLength)
                          .arg(MaxTemplateLength));
            if (!isGbk(t.text))
                fault(where + QStringLiteral(" text is not encodable in GBK"));
            if (hasAsciiPunctuation(t.text))
                fault(where + QStringLiteral(" text has ASCII punctuation"));
            // The body goes between the framing lines as it is: CR LF lines, indented like them.
            QString rest = t.text;
            rest.remove(QStringLiteral("\r\n"));
            if (rest.contains(QLatin1Char('\n')) || rest.contains(QLatin1Char('\r')))
                fault(where + QStringLiteral(" has a line break that is not CR LF"));
            const QStringList lines = t.text.split(QStringLiteral("\r\n"));
            for (const QString &line : lines)
                if (!line.startsWith(QStringLiteral("    ")) || line.size() < 5 || line.at(4).isSpace()) {
                    fault(where + QStringLiteral(" has a line not indented by four blanks: ") + quoted(line));
                    break;
                }
        }
    }

    const PhraseBook &b;
    const PhraseBookLimits &l;
    QStringList problems;
};

} // namespace

QString normalisedForComparison(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text)
        if (!c.isPunct() && !c.isSpace() && !c.isSymbol())
            out.append(c.toCaseFolded());
    return out;
}

QStringList checkPhraseBook(const PhraseBook &book, const PhraseBookLimits &limits)
{
    return Checker(book, limits).run();
}
