#include "InOrder.h"
#include "PlumaretError.h"
#include "Statistics.h"

#include <QStringEncoder>
#include <QTest>

using namespace Statistics;

static TStatisticsInput input(long double d, long double t, long double c, long double y, long double z)
{
    TStatisticsInput in;
    in.days = d;
    in.telCount = t;
    in.callSheCount = c;
    in.yhCount = y;
    in.yhzd = z;
    const auto text = [](long double v) { return QString::number(double(v)); };
    in.daysText = text(d);
    in.telCountText = text(t);
    in.callSheCountText = text(c);
    in.yhCountText = text(y);
    in.yhzdText = text(z);
    in.callMaxText = in.callMinText = in.yhMaxText = in.yhMinText = QStringLiteral("0");
    return in;
}

class tst_Statistics : public QObject
{
    Q_OBJECT

private slots:
    void formatAmount_data();
    void formatAmount();
    void decimalPointOfLocale_data();
    void decimalPointOfLocale();
    void workedExamples_data();
    void workedExamples();
    void refusals_data();
    void refusals();
    void templateShape();
    void letterSlots();
};

void tst_Statistics::formatAmount_data()
{
    QTest::addColumn<long double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("zero") << 0.0L << "0.00";
    QTest::newRow("negative zero") << -0.0L << "0.00";
    QTest::newRow("tiny negative rounds to unsigned zero") << -0.004L << "0.00";
    QTest::newRow("half a cent goes up") << 0.005L << "0.01";
    QTest::newRow("negative half a cent goes away from zero") << -0.005L << "-0.01";
    // 1.005 is stored just below itself; at 18 digits it is 1.005 again and goes up.
    QTest::newRow("binary 1.005 after 18 digits") << 1.005L << "1.01";
    QTest::newRow("60 per cent from 0.6 times 100") << (6.0L / 10.0L) * 100 << "60.00";
    QTest::newRow("carry into a new digit") << 99.996L << "100.00";
    QTest::newRow("no thousands separators") << 12345.678L << "12345.68";
    QTest::newRow("count with two decimals") << 40.0L << "40.00";
    QTest::newRow("very large") << 1e20L << "100000000000000000000.00";
    QTest::newRow("very small") << 1e-30L << "0.00";
}

void tst_Statistics::formatAmount()
{
    QFETCH(long double, value);
    QTEST(FormatAmount(value), "expected");
}

void tst_Statistics::decimalPointOfLocale_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("printed");

    QTest::newRow("Chinese") << QLocale(QLocale::Chinese, QLocale::China) << "3.65";
    QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany) << "3,65";
    QTest::newRow("C") << QLocale::c() << "3.65";
}

void tst_Statistics::decimalPointOfLocale()
{
    QFETCH(QLocale, locale);
    QTEST(FormatAmount(3.65L, LetterDecimalPoint(locale)), "printed");
}

void tst_Statistics::workedExamples_data()
{
    QTest::addColumn<TStatisticsInput>("in");
    QTest::addColumn<QStringList>("printed");

    QTest::newRow("a year of calls and dates") << input(365, 100, 60, 40,
        25) << QStringList { "3.65", "60.00", "40.00", "40.00", "9.13", "62.50", "15.00", "37.50" };
    QTest::newRow("thirds") << input(100, 3, 1, 1,
        0) << QStringList { "33.33", "33.33", "2.00", "66.67", "100.00", "0.00", "1.00", "100.00" };
    QTest::newRow("more own calls than calls") << input(100, 100, 120, 4,
        5) << QStringList { "1.00", "120.00", "-20.00", "-20.00", "25.00", "125.00", "-1.00", "-25.00" };
    QTest::newRow("fractional and negative values pass") << input(-7, 0.5, 0.25, -2,
        1) << QStringList { "-14.00", "50.00", "0.25", "50.00", "3.50", "-50.00", "-3.00", "150.00" };
}

void tst_Statistics::workedExamples()
{
    QFETCH(TStatisticsInput, in);
    const TStatisticsFigures f = ComputeStatistics(in);
    const QStringList printed { FormatAmount(f.daysPerCall), FormatAmount(f.myCallShare),
        FormatAmount(f.theirCalls), FormatAmount(f.theirCallShare), FormatAmount(f.daysPerDate),
        FormatAmount(f.myDateShare), FormatAmount(f.theirDates), FormatAmount(f.theirDateShare) };
    QTEST(printed, "printed");
}

void tst_Statistics::refusals_data()
{
    QTest::addColumn<TStatisticsInput>("in");
    QTest::addColumn<int>("refusal");
    QTest::addColumn<QString>("message");

    QTest::newRow("all zero: days first")
        << input(0, 0, 0, 0, 0) << int(srZeroDays) << "认识天数为0时无法生成情书";
    QTest::newRow("no calls") << input(10, 0, 0, 0, 0) << int(srZeroCalls) << "通话次数为0时无法生成情书";
    QTest::newRow("no dates") << input(10, 5, 0, 0, 0) << int(srZeroDates) << "约会次数为0时无法生成情书";
    QTest::newRow("negative zero is zero")
        << input(-0.0L, 5, 0, 1, 0) << int(srZeroDays) << "认识天数为0时无法生成情书";
    QTest::newRow("tiny values pass") << input(1e-9L, 1e-9L, 0, 1e-9L, 0) << int(srNone) << "";
}

void tst_Statistics::refusals()
{
    QFETCH(TStatisticsInput, in);
    QFETCH(int, refusal);
    QCOMPARE(int(CheckStatistics(in)), refusal);
    QTEST(RefusalMessage(CheckStatistics(in)), "message");
    if (refusal != srNone)
        QVERIFY_THROWS_EXCEPTION(EPlumaretError, MakeStatisticsLetter(in));
    else
        QVERIFY(!MakeStatisticsLetter(in).isEmpty());
}

void tst_Statistics::templateShape()
{
    const QString templ = StatisticsTemplate();
    QVERIFY(templ.endsWith(QStringLiteral("\r\n")));
    QStringList lines = templ.split(QStringLiteral("\r\n"));
    lines.removeLast();
    QCOMPARE(lines.size(), 13);
    const auto values = [](const QString &line) {
        return line.count(QStringLiteral("%s")) + line.count(QStringLiteral("%2f"))
            + line.count(QStringLiteral("%.2f"));
    };
    QCOMPARE(values(lines.at(0)), 1);
    QCOMPARE(values(lines.at(1)), 8);
    QCOMPARE(values(lines.at(2)), 8);
    QCOMPARE(lines.at(1).count(QStringLiteral("%%")) + lines.at(2).count(QStringLiteral("%%")), 4);
    QVERIFY(lines.at(2).contains(QStringLiteral("%.2f")));
    for (int i = 3; i < 13; ++i)
        QVERIFY2(!lines.at(i).contains(u'%'), qPrintable(lines.at(i)));
    QStringEncoder gbk("GBK");
    const QByteArray bytes = gbk.encode(templ);
    QVERIFY(gbk.isValid() && !gbk.hasError());
}

void tst_Statistics::letterSlots()
{
    TStatisticsInput in = input(365, 100, 60, 40, 25);
    in.daysText = QStringLiteral("  365 ");
    in.telCountText = QStringLiteral(" 100");
    in.callSheCountText = QStringLiteral(" 60");
    in.callMaxText = QStringLiteral("%s");
    in.callMinText = QStringLiteral("1");
    in.yhMaxText = QStringLiteral("180");
    in.yhMinText = QStringLiteral("20");
    const QString letter = MakeStatisticsLetter(in, u'.');
    QStringList lines = letter.split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 14);
    QVERIFY(lines.last().isEmpty());

    // Each slot's text must appear after the previous one on its line.
    QVERIFY(lines.at(0).contains(QStringLiteral("了365个")));
    QVERIFY2(ContainsInOrder(lines.at(1),
                 { "通话100次", "3.65", " 60次", "60.00%", "40.00次", "40.00%", "%s分钟", "1分钟" }),
        qPrintable(lines.at(1)));
    QVERIFY2(ContainsInOrder(
                 lines.at(2), { "40次", "9.13", "25次", "62.50%", "15.00次", "37.50%", "180分钟", "20分钟" }),
        qPrintable(lines.at(2)));
    QVERIFY(!letter.contains(QStringLiteral("%%")));
}

QTEST_GUILESS_MAIN(tst_Statistics)
#include "tst_statistics.moc"
