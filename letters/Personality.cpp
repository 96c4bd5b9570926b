#include "Personality.h"

#include "TextTrim.h"

#include "PlumaretError.h"
#include "Statistics.h"

namespace Personality {

namespace {

// Page 0 "大胆表白": hair on line 3, eyes on line 4, allure on line 7, character on line 12.
const char *const BoldLines[] = {
    "亲爱的你：",
    "    我再也按捺不住了，今天，我要把藏在心里的话一句一句说给你听。",
    "    你那一头%s的秀发，每一次被风轻轻吹起，我的心就跟着乱成一团。",
    "    你那双%s的眼睛，只要朝我看上一眼，我便心甘情愿地沦陷。",
    "    我见过许多风景，却没有一处比得上你回眸的那一瞬间。",
    "    朋友们都笑我傻，说我一提起你就两眼放光——我承认，我就是这么没出息。",
    "    更要命的是你那迷人的%s，每次偷偷瞧见，我都要深呼吸三次才能平静下来。",
    "    我知道这样说太大胆，可爱情本来就不该胆小。",
    "    我想牵着你的手，走过每一条熟悉的或陌生的街道；",
    "    我想在每个清晨第一个对你说早安，在每个夜晚最后一个对你说晚安。",
    "    我喜欢的，不只是你的模样，",
    "    更是你那%s的性格，它让我相信，这世上真有一个人值得我用一生去守护。",
    "    也许我不够完美，也许我给不了你整个世界，",
    "    但我能给你一颗完完整整、只为你跳动的心。",
    "    所以，请允许我大声地说出来：我爱你！",
    "    做我的女朋友，好吗？",
    "                                        一个为你疯狂的人",
};

// Page 1 "无敌情书": eyes on line 7 (the word for eyes follows the blank), beauty on line 25,
// the flower wish on line 29.
const char *const InvincibleLines[] = {
    "你好：",
    "    请原谅我这样冒昧地给你写信。",
    "    提笔之前，我在桌前坐了整整一个晚上，写了又撕，撕了又写，",
    "    终于还是鼓起勇气，把这封信交到你的手里。",
    "    你大概不记得我了。那天在人群里，我只是远远地看了你一眼，",
    "    可就是那一眼，让我再也忘不掉了——",
    "    你有一双%s眼睛，像是盛满了星光，轻轻一眨，就把我的魂儿勾走了。",
    "    从那以后，我总是不由自主地寻找你的身影，",
    "    在走廊里，在路口，在你常去的那家小店门前。",
    "    每次看见你，我的心都跳得厉害，脸也烧得发烫，",
    "    只好假装看向别处，等你走远了，才敢偷偷望着你的背影。",
    "    我不是一个能说会道的人，",
    "    站在你面前，我连一句完整的话都说不出来，",
    "    所以只能把这些藏了很久的话，一笔一画写在纸上。",
    "    我常常想，你笑起来的时候在想些什么，",
    "    你难过的时候，身边有没有人陪着你。",
    "    如果可以，我愿意做那个人。",
    "    我不奢求你马上喜欢我，",
    "    只希望你能给我一个机会，让我慢慢走近你，",
    "    和你说说话，陪你走一段回家的路，",
    "    在你需要的时候，递上一把伞、一杯热茶。",
    "    我知道，像我这样平凡的人，也许配不上你，",
    "    可是喜欢一个人，本来就是一件由不得自己的事情。",
    "    我一直相信，",
    "    美丽的东西都应该%s，",
    "    而你，就是我见过的最美丽的风景。",
    "    这封信写得很笨拙，可每一个字都是真心。",
    "    如果你愿意，明天傍晚，我会在初见你的地方等你；",
    "    若你是一朵花，愿你%s；",
    "    而我，愿做守在花旁的那片绿叶，一生一世。",
    "                                        一个偷偷喜欢你很久的人",
};

// Page 2 "思春情书": what thinking of her is like on line 2, the most romantic place on line 10,
// the most boring place and then the film on line 13.
const char *const SpringLines[] = {
    "喂，听我说，听我说，听我一口气说完！",
    "    只要一想到你，我就像%s，咕嘟咕嘟冒着泡泡，怎么也停不下来！",
    "    心在跳，脚在跳，连窗外的小麻雀也在跳，",
    "    啦啦啦，啦啦啦，全世界都在为你唱歌！",
    "    我想你想得吃饭忘了夹菜，走路忘了拐弯，",
    "    睡觉忘了闭眼，刷牙忘了挤牙膏，",
    "    一天二十四个小时，有二十五个小时都在想你！",
    "    所以我决定啦，不再偷偷地想，我要大声地唱：",
    "    我要带你去天涯，我要带你去海角，",
    "    我要带你去%s，那是我们心里最浪漫的地方，",
    "    在那里看日落，数星星，把甜甜的话说上一万遍！",
    "    就算哪天无聊了，也没关系，",
    "    我们就回到%s——那个我们认识的、最无聊的地方，手拉手看一场《%s》，",
    "    因为只要身边有你，再无聊的地方也会变成天堂！",
    "    爱你爱你爱你，一口气说完——我爱你！",
};

template <size_t N> QString joinLines(const char *const (&lines)[N])
{
    QString text;
    for (const char *line : lines) {
        text += QString::fromUtf8(line);
        text += QStringLiteral("\r\n");
    }
    return text;
}

} // namespace

QString TrimBlanks(const QString &text)
{
    return TrimControlChars(text);
}

QString LetterTemplate(int page)
{
    switch (page) {
    case ppBold:
        return joinLines(BoldLines);
    case ppInvincible:
        return joinLines(InvincibleLines);
    case ppSpring:
        return joinLines(SpringLines);
    default:
        throw EPlumaretError(QStringLiteral("个性情书没有第%1页的模版").arg(page));
    }
}

int FieldCount(int page)
{
    switch (page) {
    case ppBold:
        return 4;
    case ppInvincible:
        return 3;
    case ppSpring:
        return 4;
    default:
        return 0;
    }
}

QString FillTemplate(const QString &templ, const QList<TTemplateArg> &args, QChar decimalPoint)
{
    QString out;
    out.reserve(templ.size() + 256);
    qsizetype next = 0;
    const auto take = [&](const char *directive) -> const TTemplateArg & {
        if (next >= args.size())
            throw EPlumaretError(QStringLiteral("模版的%1缺少对应的内容").arg(QLatin1String(directive)));
        return args.at(next++);
    };
    for (qsizetype i = 0; i < templ.size(); ++i) {
        const QChar c = templ.at(i);
        if (c != u'%') {
            out += c;
            continue;
        }
        const QStringView rest = QStringView(templ).mid(i + 1);
        if (rest.startsWith(u'%')) {
            out += u'%';
            i += 1;
        } else if (rest.startsWith(u's')) {
            const TTemplateArg &arg = take("%s");
            if (!std::holds_alternative<QString>(arg))
                throw EPlumaretError(QStringLiteral("模版的%s需要文字"));
            out += std::get<QString>(arg);
            i += 1;
        } else if (rest.startsWith(u"2f") || rest.startsWith(u".2f")) {
            const TTemplateArg &arg = take(rest.startsWith(u'.') ? "%.2f" : "%2f");
            if (!std::holds_alternative<long double>(arg))
                throw EPlumaretError(QStringLiteral("模版的数字位置需要数字"));
            out += Statistics::FormatAmount(std::get<long double>(arg), decimalPoint);
            i += rest.startsWith(u'.') ? 3 : 2;
        } else {
            throw EPlumaretError(QStringLiteral("模版含有无法识别的格式“%1”").arg(templ.mid(i, 3)));
        }
    }
    if (next != args.size())
        throw EPlumaretError(QStringLiteral("模版只用到%1项内容，却给了%2项").arg(next).arg(args.size()));
    return out;
}

QString MakeLetter(int page, const QStringList &fieldTexts)
{
    QList<TTemplateArg> args;
    for (const QString &text : fieldTexts)
        args << TrimBlanks(text);
    return FillTemplate(LetterTemplate(page), args);
}

} // namespace Personality
