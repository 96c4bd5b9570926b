#include "Statistics.h"

#include "Personality.h"
#include "PlumaretError.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace Statistics {

namespace {

// Line 1: days; line 2: the calls; line 3: the dates; lines 4 to 13 the conclusion.
const char *const ReportLines[] = {
    "    在双方家庭的亲切关怀下，在广大亲友的密切关注下，我们的恋爱事业自正式启动以来，已经走过了%s个不平凡的"
    "日日夜夜。回顾这段光辉历程，我们坚持两手抓、两手都要硬，一手抓感情建设，一手抓思念工作，各项事业取得了"
    "令人瞩目的伟大成就。现将有关情况报告如下：",
    "    一、通信联络工作稳步推进。报告期内，双方累计通话%s次，平均每%2f天通话一次；其中我方主动拨打%s次，"
    "占通话总量的%2f%%，对方拨打%2f次，占%2f%%；单次通话最长达%s分钟，最短仅%s分钟。通信线路总体保持畅通，"
    "话费投入持续加大，沟通质量显著提升。",
    "    "
    "二、约会会晤机制日趋完善。报告期内，双方共举行约会%s次，平均每%.2f天会晤一次；其中由我方发起邀约%s次，"
    "占%2f%%，由对方发起%2f次，占%2f%%；单次约会最长持续%s分钟，最短%s分钟。会晤在友好热烈的气氛中进行，"
    "双方就共同关心的感情问题深入交换了意见，达成了广泛共识。",
    "    三、成绩来之不易，经验弥足珍贵。实践证明，坚持以感情为中心、以信任为基础、以相互体贴为保障，"
    "是我们恋爱事业不断取得胜利的根本法宝。",
    "    四、在肯定成绩的同时，我们也要清醒地看到存在的问题：通话时长不够均衡，约会频次尚有提升空间，"
    "个别时候存在回消息不及时、吃醋苗头未能及时化解等现象，必须引起高度重视。",
    "    五、下一阶段，我们将继续发扬不怕苦、不怕累、不怕被拒绝的革命精神，加大思念投入力度，"
    "全面提高通话与约会的质量和效益。",
    "    要进一步健全早安晚安问候制度，做到天天有问候、事事有回应、句句有着落；",
    "    要进一步完善节日纪念日保障机制，确保生日、情人节等重大节点礼物到位、惊喜到位、拥抱到位；",
    "    要进一步深化双方家庭交流合作，稳步推进见家长等重点工作，力争早日取得突破性进展。",
    "    亲爱的，恋爱事业是一项长期而艰巨的系统工程，前途是光明的，道路是曲折的。",
    "    让我们更加紧密地团结在爱情的周围，不忘初心，携手并进，",
    "    为早日实现从恋爱关系到婚姻关系的历史性跨越而努力奋斗！",
    "                                        以上报告，请予审议。",
};

} // namespace

TStatisticsRefusal CheckStatistics(const TStatisticsInput &input)
{
    if (input.days == 0)
        return srZeroDays;
    if (input.telCount == 0)
        return srZeroCalls;
    if (input.yhCount == 0)
        return srZeroDates;
    return srNone;
}

QString RefusalMessage(TStatisticsRefusal refusal)
{
    switch (refusal) {
    case srZeroDays:
        return QStringLiteral("认识天数为0时无法生成情书");
    case srZeroCalls:
        return QStringLiteral("通话次数为0时无法生成情书");
    case srZeroDates:
        return QStringLiteral("约会次数为0时无法生成情书");
    case srNone:
        break;
    }
    return QString();
}

TStatisticsFigures ComputeStatistics(const TStatisticsInput &in)
{
    const long double D = in.days;
    const long double T = in.telCount;
    const long double C = in.callSheCount;
    const long double Y = in.yhCount;
    const long double Z = in.yhzd;
    TStatisticsFigures f;
    f.daysPerCall = D / T;
    f.myCallShare = (C / T) * 100;
    f.theirCalls = T - C;
    f.theirCallShare = ((T - C) / T) * 100;
    f.daysPerDate = D / Y;
    f.myDateShare = (Z / Y) * 100;
    f.theirDates = Y - Z;
    f.theirDateShare = ((Y - Z) / Y) * 100;
    return f;
}

QString FormatAmount(long double value, QChar decimalPoint)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");

    // 18 significant digits from the C library (round to nearest); only digits and exponent are
    // read back, so the C locale's own decimal point does not matter.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17Le", value);
    const bool negative = buf[0] == '-';
    std::string mantissa;
    const char *p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9')
            mantissa += *p;
    const int exponent = *p == 'e' ? std::atoi(p + 1) : 0;

    // Digits of |value| * 100, cut after the kept place and rounded half away from zero.
    const int kept = exponent + 1 + 2;
    std::string cents;
    if (kept >= 0) {
        cents = mantissa.substr(0, std::min<size_t>(kept, mantissa.size()));
        if (size_t(kept) < mantissa.size() && mantissa[kept] >= '5') {
            int k = int(cents.size()) - 1;
            while (k >= 0 && cents[k] == '9')
                cents[k--] = '0';
            if (k >= 0)
                ++cents[k];
            else
                cents.insert(cents.begin(), '1');
        }
        if (size_t(kept) > mantissa.size())
            cents.append(kept - mantissa.size(), '0');
    }
    const size_t firstNonZero = cents.find_first_not_of('0');
    cents = firstNonZero == std::string::npos ? std::string() : cents.substr(firstNonZero);
    const bool zero = cents.empty();
    if (cents.size() < 3)
        cents.insert(0, 3 - cents.size(), '0');

    QString out;
    if (negative && !zero)
        out += u'-';
    out += QString::fromLatin1(cents.substr(0, cents.size() - 2));
    out += decimalPoint;
    out += QString::fromLatin1(cents.substr(cents.size() - 2));
    return out;
}

QChar LetterDecimalPoint(const QLocale &locale)
{
    const QString point = locale.decimalPoint();
    return point.size() == 1 ? point.at(0) : QChar(u'.');
}

QString StatisticsTemplate()
{
    QString text;
    for (const char *line : ReportLines) {
        text += QString::fromUtf8(line);
        text += QStringLiteral("\r\n");
    }
    return text;
}

QString MakeStatisticsLetter(const TStatisticsInput &in, QChar decimalPoint)
{
    const TStatisticsRefusal refusal = CheckStatistics(in);
    if (refusal != srNone)
        throw EPlumaretError(RefusalMessage(refusal));
    const TStatisticsFigures f = ComputeStatistics(in);
    using Personality::TrimBlanks;
    return Personality::FillTemplate(StatisticsTemplate(),
        {
            TrimBlanks(in.daysText),
            TrimBlanks(in.telCountText),
            f.daysPerCall,
            in.callSheCountText,
            f.myCallShare,
            f.theirCalls,
            f.theirCallShare,
            in.callMaxText,
            in.callMinText,
            in.yhCountText,
            f.daysPerDate,
            in.yhzdText,
            f.myDateShare,
            f.theirDates,
            f.theirDateShare,
            in.yhMaxText,
            in.yhMinText,
        },
        decimalPoint);
}

} // namespace Statistics
