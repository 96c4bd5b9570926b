#include "VerticalPhrase.h"

#include <QImage>
#include <QTest>

namespace {

const QString Sweet = QStringLiteral("你是我藏在心里的糖，每想一次，心就甜一次。");

QString joined(const QList<QStringList> &columns)
{
    QStringList parts;
    for (const QStringList &column : columns)
        parts << column.join(QString());
    return parts.join(u'|');
}

// Pixels darker than the panel's white inside r.
int ink(const QImage &image, const QRect &r)
{
    int n = 0;
    for (int y = qMax(0, r.top()); y <= qMin(image.height() - 1, r.bottom()); ++y)
        for (int x = qMax(0, r.left()); x <= qMin(image.width() - 1, r.right()); ++x)
            n += qGray(image.pixel(x, y)) < 160;
    return n;
}

std::unique_ptr<TVerticalPhrase> panel(const QString &phrase, QSize size = QSize(100, 416))
{
    auto w = std::make_unique<TVerticalPhrase>();
    QFont font(QStringLiteral("AR PL UMing CN"));
    font.setPixelSize(12);
    w->setFont(font);
    w->resize(size);
    QPalette palette = w->palette();
    palette.setColor(QPalette::Window, Qt::white);
    w->setPalette(palette);
    w->setAutoFillBackground(true);
    w->setPhrase(phrase);
    return w;
}

} // namespace

class tst_VerticalPhrase : public QObject
{
    Q_OBJECT
private slots:
    void columns_data();
    void columns();
    void verticalForms_data();
    void verticalForms();
    void clausesStandInColumnsFromTheRight();
    void layoutStaysInsideThePanel_data();
    void layoutStaysInsideThePanel();
    void paintsOnlyItsCells();
};

void tst_VerticalPhrase::columns_data()
{
    QTest::addColumn<QString>("phrase");
    QTest::addColumn<int>("cells");
    QTest::addColumn<bool>("byClause");
    QTest::addColumn<QString>("expected"); // columns from the right, separated by |

    QTest::newRow("clause by clause")
        << Sweet << 18 << true << QStringLiteral("你是我藏在心里的糖，|每想一次，|心就甜一次。");
    QTest::newRow("running text") << Sweet << 18 << false
                                  << QStringLiteral("你是我藏在心里的糖，每想一次，心就甜|一次。");
    QTest::newRow("long clause wraps")
        << QStringLiteral("一二三四五六七，八九") << 4 << true << QStringLiteral("一二三四|五六七，|八九");
    QTest::newRow("comma never heads a column")
        << QStringLiteral("一二三四，五") << 4 << false << QStringLiteral("一二三四，|五");
    QTest::newRow("full stop and quote hang together")
        << QStringLiteral("一二三。」四") << 3 << false << QStringLiteral("一二三。」|四");
    QTest::newRow("closing quote stays with its clause")
        << QStringLiteral("“好。”他说") << 10 << true << QStringLiteral("“好。”|他说");
    QTest::newRow("blanks in running text")
        << QStringLiteral("  春 风  ") << 10 << false << QStringLiteral("春 风");
    QTest::newRow("blank separates clauses")
        << QStringLiteral("春 风") << 10 << true << QStringLiteral("春|风");
    QTest::newRow("latin punctuation")
        << QStringLiteral("Hi, you") << 10 << true << QStringLiteral("Hi,|you");
    QTest::newRow("surrogate pair is one cell")
        << QStringLiteral("𠀀𠀁𠀂") << 2 << false << QStringLiteral("𠀀𠀁|𠀂");
    QTest::newRow("no room is one cell") << QStringLiteral("一二") << 0 << false << QStringLiteral("一|二");
    QTest::newRow("empty") << QString() << 5 << true << QString();
}

void tst_VerticalPhrase::columns()
{
    QFETCH(QString, phrase);
    QFETCH(int, cells);
    QFETCH(bool, byClause);
    QFETCH(QString, expected);
    QCOMPARE(joined(VerticalColumns(phrase, cells, byClause)), expected);
}

void tst_VerticalPhrase::verticalForms_data()
{
    QTest::addColumn<QString>("character");
    QTest::addColumn<QString>("form");
    QTest::newRow("comma") << QStringLiteral("，") << QStringLiteral("︐");
    QTest::newRow("full stop") << QStringLiteral("。") << QStringLiteral("︒");
    QTest::newRow("question mark") << QStringLiteral("？") << QStringLiteral("︖");
    QTest::newRow("bracket") << QStringLiteral("《") << QStringLiteral("︽");
    QTest::newRow("han character") << QStringLiteral("爱") << QStringLiteral("爱");
    QTest::newRow("latin letter") << QStringLiteral("a") << QStringLiteral("a");
}

void tst_VerticalPhrase::verticalForms()
{
    QFETCH(QString, character);
    QFETCH(QString, form);
    QCOMPARE(VerticalForm(character), form);
}

void tst_VerticalPhrase::clausesStandInColumnsFromTheRight()
{
    auto w = panel(Sweet);
    QCOMPARE(joined(w->columns()), QStringLiteral("你是我藏在心里的糖，|每想一次，|心就甜一次。"));
    QCOMPARE(w->pixelSize(), TVerticalPhrase::MaxPixelSize);
    const QRect first = w->cellRect(0, 0);
    const QRect second = w->cellRect(1, 0);
    QVERIFY(first.left() > second.right());
    QCOMPARE(first.top(), second.top());
    QVERIFY(w->cellRect(0, 1).top() > first.bottom() - 1);
    // Centred: the block's margins differ by a pixel at most.
    const QRect last = w->cellRect(2, 0);
    QVERIFY(qAbs(last.left() - (w->width() - 1 - first.right())) <= 1);
    const int bottom = w->cellRect(0, 9).bottom();
    QVERIFY(qAbs(first.top() - (w->height() - 1 - bottom)) <= 1);
}

void tst_VerticalPhrase::layoutStaysInsideThePanel_data()
{
    QTest::addColumn<QString>("phrase");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("cut");

    QTest::newRow("phrase of the book") << Sweet << QSize(100, 416) << false;
    QTest::newRow("low panel") << Sweet << QSize(100, 120) << false;
    QTest::newRow("longest text a field holds") << QString(255, QChar(u'爱')) << QSize(100, 416) << true;
    QTest::newRow("many short clauses")
        << QStringLiteral("一，二，三，四，五，六，七，八，九，十。") << QSize(100, 416) << false;
}

void tst_VerticalPhrase::layoutStaysInsideThePanel()
{
    QFETCH(QString, phrase);
    QFETCH(QSize, size);
    QFETCH(bool, cut);

    auto w = panel(phrase, size);
    const QRect area = w->rect().adjusted(
        TVerticalPhrase::Margin, TVerticalPhrase::Margin, -TVerticalPhrase::Margin, -TVerticalPhrase::Margin);
    QVERIFY(w->pixelSize() >= 12);
    QString shown;
    for (int c = 0; c < w->columns().size(); ++c) {
        for (int r = 0; r < w->columns().at(c).size(); ++r) {
            QVERIFY2(
                area.contains(w->cellRect(c, r)), qPrintable(QStringLiteral("cell %1,%2").arg(c).arg(r)));
            shown += w->columns().at(c).at(r);
        }
    }
    if (cut) {
        QVERIFY(shown.endsWith(u'…'));
        QVERIFY(phrase.startsWith(shown.chopped(1)));
    } else {
        QCOMPARE(shown, phrase);
    }
}

void tst_VerticalPhrase::paintsOnlyItsCells()
{
    auto w = panel(Sweet);
    const QImage image = w->grab().toImage();
    QVERIFY(ink(image, w->cellRect(0, 0)) > 0); // 你, top right
    QVERIFY(ink(image, w->cellRect(2, 5)) > 0); // the full stop below 次
    // Nothing left of the last column or below the longest one.
    QCOMPARE(ink(image, QRect(0, 0, w->cellRect(2, 0).left() - 1, w->height())), 0);
    QCOMPARE(ink(image, QRect(0, w->cellRect(0, 9).bottom() + 2, w->width(), w->height())), 0);

    w->setPhrase(QString());
    QVERIFY(w->columns().isEmpty());
    QCOMPARE(ink(w->grab().toImage(), w->rect()), 0);
}

QTEST_MAIN(tst_VerticalPhrase)
#include "tst_verticalphrase.moc"
