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

struct Breach
{
    QString what;
    QRegularExpression pattern;
};

Breach breach(const char *what, const QString &pattern)
{
    return { QString::fromLatin1(what), QRegularExpression(pattern) };
}

// A drawable phrase stands in any letter, from anyone to anyone at any stage, on any day, at any line;
// the framing stands around any body. These words mark a phrase tied to a stage, a time or a place.
const QList<Breach> &stageAndTimeWords()
{
    static const QList<Breach> list = {
        breach("marriage or proposal",
            QStringLiteral("婚|嫁|娶|戒指|新娘|新郎|老公|老婆|夫妻|领证|白头|白发|孩子们")),
        breach("distance",
            QStringLiteral("远方|异地|千里|万里|公里|车票|机票|站台|车站|机场|时差|重逢|回来|天涯|海角")),
        breach("season or weather",
            QStringLiteral("春|夏|秋|冬|季|雪|雨|晴|天气|落叶|寒|凉|降温|添衣|围巾|伞|阳光")),
        breach("festival or anniversary",
            QStringLiteral("节日|过节|生日|纪念日|新年|中秋|七夕|圣诞|元旦|除夕|周年|情人节|周末")),
        breach("hour of the day",
            QStringLiteral("早安|晚安|今晚|今夜|昨晚|夜|凌晨|清晨|早上|早晨|中午|下午|傍晚|黄昏|"
                           "晚上|晚|日出|日落|夕阳|月亮|月光|月色|星星|星光|一整天|(?<!每)一天[的里]")),
        breach("sadness or parting",
            QStringLiteral("分手|离开|失去|放手|再见|告别|离别|分别|心碎|遗憾|错过|暗恋|偷偷喜欢|眼泪|哭|"
                           "孤单|寂寞|等你")),
        breach("a crush or a first confession",
            QStringLiteral(
                "站在原地|过客|偷偷高兴|大概喜欢就是|从哪一刻开始|若你也|你可能不知道|假装镇定|偷偷看|"
                "说上几句|不敢说永远|矜持|偷偷")),
        breach("pining or farewell",
            QStringLiteral(
                "朝思暮想|时常想起|牵肠挂肚|不会忘|一直记着|我慢慢等|留给你的位置|牵挂|惦记|惦念|放不下|"
                "见字如面|被温柔")),
        breach("a hardship going on",
            QStringLiteral("失败|挫折|最坏|尽力就好|撑不下去|走不通|不看好|走得不顺|"
                           "你的选择|你的决定|什么选择|跨过了|腰酸|背疼|别忍着")),
        // The reader asks "which time?" when nothing around names one.
        breach("an unnamed occasion", QStringLiteral("这一回|这一次|这次|这回")),
        breach("waiting or hesitating to write",
            QStringLiteral("攒了很久|转了很多圈|放了很久|想了很久|停了很久|什么表情")),
        // A letter that may never be sent cannot count on being read, nor on words said before it.
        breach("the reader reading or agreeing",
            QStringLiteral("读完|反复地读|读起来|读到这里|慢慢读|再说一遍|一定懂|一定收到")),
        breach("a bright display", QStringLiteral("闪闪发光")),
    };
    return list;
}

// Fine in a framing line, which is the letter's first or last, but not in a line drawn into the body.
const QList<Breach> &bodyOnlyWords()
{
    static const QList<Breach> list = {
        breach("question or confession",
            QStringLiteral("？|在一起吧|做我的|表白|答应我|你愿意|愿不愿意|好不好")),
        breach("shared home",
            QStringLiteral(
                "同居|我们的家|回家|家里|这个家|家人|钥匙|搬进|推开门|院子|冰箱|整个屋子|整个房间")),
        breach("a name of some length",
            QStringLiteral("名字.{0,12}[一二两三四]个字|[一二两三四]个字.{0,12}名字")),
        breach("the letter itself",
            QStringLiteral("信纸|这封|写信|一封|读信|回信|信封|笔|纸|写下|写完|读到|字里行间|这一行|日记")),
        breach("a particular day or event",
            QStringLiteral("今天|明天|昨天|此刻|现在|第一次|第一眼|那天|那一天|那次|那年|那晚|当年|刚认识|"
                           "初见|多年|这些年")),
        breach("a told scene", QStringLiteral("路过一家|那一下|那一刻|看了好久|站在那里看")),
        breach("daily togetherness or a shared errand",
            QStringLiteral("每天都在我身边|每天最开心|逛超市|购物车|揉一揉|常走的路|长大的地方|养一只|养只|"
                           "拿手菜|食客")),
        breach("sleep and waking", QStringLiteral("睡|梦里|梦中|做梦|醒来")),
        breach("first or last line only",
            QStringLiteral("^(最后|另外|还有|总之|所以|因此|而且|然后|就这样|也)")),
        breach("an order", QStringLiteral("不许|不准|必须|听话|乖乖")),
        // Each line must be true on the first day of loving someone as much as after years.
        breach("a shared history",
            QStringLiteral("相守|一天天过去|你还在我身边|曾经|快忘了|相册里|从不抱怨|挺过去|这么多年")),
        breach("a hobby or gift not everyone has",
            QStringLiteral("跑步|跳舞|唱歌|雷厉风行|才华|成绩|榜样|逛街|逛得")),
        breach("counsel or other admirers", QStringLiteral("有人对你好|别人的话|听听就好")),
        // Frames that make drawn lines echo each other.
        breach("a repeated frame",
            QStringLiteral("我把想你的心情|陪你把|开满了花|一件一件|一个一个|一点一点|一步一步")),
        breach("a broken construction", QStringLiteral("被[^，。；！]{0,10}变得|分担[^，。；！]{0,8}甜")),
        breach("a slogan",
            QStringLiteral("长情|全世界|余生|岁月静好|小确幸|天荒地老|海枯石烂|命中注定|一生一世|下辈子")),
    };
    return list;
}

// Some template bodies end on this wish; as the closing after a breakup or an unsent letter it reads
// as a goodbye.
const QList<Breach> &closingOnlyWords()
{
    static const QList<Breach> list = {
        breach("a parting wish", QStringLiteral("照顾好自己|好好照顾自己")),
    };
    return list;
}

// Images and scenes that love phrases reach for first; twelve lines drawn at random say them twice when
// too many drawable lines hold them.
const QList<Breach> &commonThemes()
{
    static const QList<Breach> list = {
        breach("laughing", QStringLiteral("笑")),
        breach("holding hands", QStringLiteral("牵|握|十指|手心")),
        breach("eyes", QStringLiteral("眼睛|眼神|目光|眼里")),
        breach("a light", QStringLiteral("发光|有光|闪着光|一盏|灯")),
        breach("a song", QStringLiteral("歌|曲子|哼")),
        breach("food", QStringLiteral("吃|饭|菜|茶|汤|点心|糖")),
        breach("a heartbeat", QStringLiteral("心跳|怦|心口")),
        breach("the name", QStringLiteral("名字")),
        breach("the voice", QStringLiteral("声音|嗓音|语气")),
        breach("walking side by side", QStringLiteral("并肩|一起走|陪你走|跟着你走")),
    };
    return list;
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
        checkOpenings();
        checkThemes();
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
            if (!ExcludedClasses.contains(p.classId)) {
                checkWords(where, p.title, stageAndTimeWords());
                checkWords(where, p.title, bodyOnlyWords());
            }
        }
        for (auto it = b.classes.cbegin(); it != b.classes.cend(); ++it)
            if (perClass.value(it.key()) < l.minPerClass)
                fault(QStringLiteral("class %1 has %2 phrases, at least %3 needed")
                          .arg(it.key())
                          .arg(perClass.value(it.key()))
                          .arg(l.minPerClass));
    }

    void checkWords(const QString &where, const QString &text, const QList<Breach> &words)
    {
        for (const Breach &b : words)
            if (text.contains(b.pattern))
                fault(where + QStringLiteral(" speaks of %1: ").arg(b.what) + quoted(text));
    }

    // Varied sentence openings: no two characters begin too many phrases (one alone is never too many).
    void checkOpenings()
    {
        QHash<QString, int> inBook;
        QHash<int, QHash<QString, int>> inClass;
        QHash<int, int> perClass;
        for (const auto &p : b.phrases) {
            const QString opening = p.title.left(2);
            ++inBook[opening];
            ++inClass[p.classId][opening];
            ++perClass[p.classId];
        }
        for (auto it = inBook.cbegin(); it != inBook.cend(); ++it)
            if (it.value() > 1 && it.value() > l.maxOpeningShare * b.phrases.size())
                fault(QStringLiteral("%1 phrases begin with %2, more than %3 % of the book")
                          .arg(it.value())
                          .arg(quoted(it.key()))
                          .arg(l.maxOpeningShare * 100));
        for (auto c = inClass.cbegin(); c != inClass.cend(); ++c)
            for (auto it = c.value().cbegin(); it != c.value().cend(); ++it)
                if (it.value() > 1 && it.value() > l.maxClassOpeningShare * perClass.value(c.key()))
                    fault(QStringLiteral("%1 phrases of class %2 begin with %3, more than %4 % of it")
                              .arg(it.value())
                              .arg(c.key())
                              .arg(quoted(it.key()))
                              .arg(l.maxClassOpeningShare * 100));
    }

    void checkThemes()
    {
        int drawable = 0;
        QHash<QString, int> onTheme;
        for (const auto &p : b.phrases) {
            if (ExcludedClasses.contains(p.classId))
                continue;
            ++drawable;
            for (const Breach &theme : commonThemes())
                if (p.title.contains(theme.pattern))
                    ++onTheme[theme.what];
        }
        for (auto it = onTheme.cbegin(); it != onTheme.cend(); ++it)
            if (it.value() > 1 && it.value() > l.maxThemeShare * drawable)
                fault(QStringLiteral("%1 drawable phrases speak of %2, more than %3 % of them")
                          .arg(it.value())
                          .arg(it.key())
                          .arg(l.maxThemeShare * 100));
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
            checkWords(where, c.title, stageAndTimeWords());
            if (c.type == 2)
                checkWords(where, c.title, closingOnlyWords());
            const QString key = QString::number(c.type) + normalisedForComparison(c.title);
            if (seen.contains(key))
                fault(where + QStringLiteral(" is a duplicate: ") + quoted(c.title));
            seen.insert(key);
            if (c.type == 0) {
                // It stands right before the name, which is followed by the colon; a noun at its end
                // would run into the name ("我的小太阳小雨").
                if (c.title.size() > MaxSalutationLength || !c.title.endsWith(QStringLiteral("的")))
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
