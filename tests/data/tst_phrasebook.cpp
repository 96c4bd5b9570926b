// The shipped db.dll, read through the program's own store, against what a phrase book must hold;
// and the checker itself against small books with one fault each.
#include "PhraseBookCheck.h"

#include "PlumaretError.h"
#include "uDataBase.h"

#include <QFileInfo>
#include <QSet>
#include <QTest>
#include <functional>

namespace {

const QString DbPath = QStringLiteral(PLUMARET_BINARY_DIR "/app/db.dll");

PhraseBook readBook(TDBBuilder &store)
{
    PhraseBook book;
    TResultSet &rs = *store.ResultSet;
    // The program's own texts for classes and templates; the others read whole tables.
    store.OpenQuery(QStringLiteral("select classID, Title from LoveWordClass"));
    for (rs.MoveFirst(); !rs.AtEnd(); rs.MoveNext())
        book.classes.insert(
            rs.FieldInteger(QStringLiteral("ClassID")), rs.FieldText(QStringLiteral("Title")));
    store.OpenQuery(QStringLiteral("SELECT [ID], ClassID, Title FROM LoveWord"));
    for (rs.MoveFirst(); !rs.AtEnd(); rs.MoveNext())
        book.phrases.append({ rs.FieldInteger(QStringLiteral("ID")), rs.FieldText(QStringLiteral("Title")),
            rs.FieldInteger(QStringLiteral("ClassID")) });
    store.OpenQuery(QStringLiteral("select id, Title, TYPE from CommonLanguage"));
    for (rs.MoveFirst(); !rs.AtEnd(); rs.MoveNext())
        book.common.append({ rs.FieldInteger(QStringLiteral("id")), rs.FieldText(QStringLiteral("title")),
            rs.FieldInteger(QStringLiteral("TYPE")) });
    store.OpenQuery(QStringLiteral("SELECT [ID], [TITLE], [TEXT] FROM Template"));
    for (rs.MoveFirst(); !rs.AtEnd(); rs.MoveNext())
        book.templates.append({ rs.FieldInteger(QStringLiteral("ID")), rs.FieldText(QStringLiteral("TITLE")),
            rs.FieldText(QStringLiteral("TEXT")) });
    return book;
}

// A sound book in miniature: classes 1 to 6 and 15, two phrases each.
PhraseBook smallBook()
{
    PhraseBook book;
    const QList<int> classIds = { 1, 2, 3, 4, 5, 6, 15 };
    const QStringList names = { QStringLiteral("甜蜜"), QStringLiteral("诗词"), QStringLiteral("英文"),
        QStringLiteral("趣话"), QStringLiteral("离别"), QStringLiteral("道歉"), QStringLiteral("节日") };
    const QStringList lines = {
        QStringLiteral("你的笑容像一阵暖风，吹开了我心里的花。"),
        QStringLiteral("和你在一起的每一天，都像刚出炉的面包一样暖。"),
        QStringLiteral("两情若是久长时，又岂在朝朝暮暮。"),
        QStringLiteral("海上生明月，天涯共此时。"),
        QStringLiteral("You are the reason I smile, even on rainy days."),
        QStringLiteral("Home is wherever you are."),
        QStringLiteral("我的心跳一直很正常，除了见到你的时候。"),
        QStringLiteral("闹钟叫不醒我，可是想你却可以。"),
        QStringLiteral("车站的风很大，吹散了你的背影。"),
        QStringLiteral("我把你留下的杯子洗干净，放回了原处。"),
        QStringLiteral("对不起，那天是我太冲动了，让你难过了。"),
        QStringLiteral("我们别冷战了好不好？我想你了。"),
        QStringLiteral("新年快乐！愿新的一年我们更加甜蜜。"),
        QStringLiteral("中秋的月饼我给你留了一块，等你回来吃。"),
    };
    for (int i = 0; i < classIds.size(); ++i)
        book.classes.insert(classIds.at(i), names.at(i));
    for (int i = 0; i < lines.size(); ++i)
        book.phrases.append({ i + 1, lines.at(i), classIds.at(i / 2) });
    const QStringList common = {
        QStringLiteral("亲爱的"),
        QStringLiteral("我最想念的"),
        QStringLiteral("提笔的这一刻，想说的话全都涌了上来。"),
        QStringLiteral("有些话当面说不出口，只好一笔一画写给你。"),
        QStringLiteral("纸短情长，余下的话见面再说。"),
        QStringLiteral("盼你回信，哪怕只有一句话。"),
    };
    for (int i = 0; i < common.size(); ++i)
        book.common.append({ i + 1, common.at(i), i / 2 });
    const QString paragraph
        = QStringLiteral("    今天又是想你的一天，窗外的风很轻，我把想说的话一句一句写下来，"
                         "写到你的名字时，笔总会慢下来。");
    const QString text = paragraph + QStringLiteral("\r\n") + paragraph + QStringLiteral("\r\n") + paragraph
        + QStringLiteral("\r\n") + paragraph + QStringLiteral("\r\n") + paragraph;
    book.templates.append({ 1, QStringLiteral("想你的一天"), text });
    book.templates.append({ 2, QStringLiteral("写给你的信"), text });
    return book;
}

const PhraseBookLimits SmallLimits = { 7, 14, 2, 2, 2, 0.25, 0.5 };

using Mutation = std::function<void(PhraseBook &)>;

PhraseBook::Phrase &phrase(PhraseBook &b, int id)
{
    for (auto &p : b.phrases)
        if (p.id == id)
            return p;
    qFatal("no phrase %d", id);
}

} // namespace

Q_DECLARE_METATYPE(Mutation)

class tst_PhraseBook : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(QFileInfo::exists(DbPath), qPrintable(DbPath + QStringLiteral(" is not built")));
        TAdoBuilder store(DbPath);
        try {
            store.Connect();
            m_book = readBook(store);
            // Automatic writing's own text with the largest line count.
            store.OpenQuery(
                QStringLiteral("SELECT TOP 100 id, title FROM LoveWord  WHERE ClassID not in(2, 3, "
                               "4, 5, 6, 15)  ORDER BY Rnd(id - Time() * id * Rnd() * 100)"));
            TResultSet &rs = *store.ResultSet;
            for (rs.MoveFirst(); !rs.AtEnd(); rs.MoveNext())
                m_drawn.append(rs.FieldInteger(QStringLiteral("id")));
        } catch (const EPlumaretError &e) {
            QFAIL(qPrintable(e.message() + QLatin1Char(' ') + store.LastConnectError()));
        }
    }

    void shippedBookIsSound()
    {
        const QStringList problems = checkPhraseBook(m_book);
        for (const QString &p : problems)
            qWarning().noquote() << p;
        QVERIFY2(problems.isEmpty(), qPrintable(QStringLiteral("%1 problems").arg(problems.size())));
    }

    void automaticWritingFillsHundredLinesFromDrawableClasses()
    {
        QHash<int, int> classOf;
        for (const auto &p : m_book.phrases)
            classOf.insert(p.id, p.classId);
        QCOMPARE(m_drawn.size(), 100);
        QCOMPARE(QSet<int>(m_drawn.cbegin(), m_drawn.cend()).size(), 100);
        for (int id : m_drawn)
            QVERIFY2(!ExcludedClasses.contains(classOf.value(id, -1)), qPrintable(QString::number(id)));
    }

    void checkerFindsFaults_data()
    {
        QTest::addColumn<Mutation>("mutate");
        QTest::addColumn<QString>("expected"); // part of the one problem reported; empty: sound

        QTest::newRow("sound") << Mutation([](PhraseBook &) {}) << QString();
        QTest::newRow("English line with ASCII punctuation")
            << Mutation([](PhraseBook &b) { phrase(b, 5).title = QStringLiteral("Yes, I do. Always!"); })
            << QString();
        QTest::newRow("empty class") << Mutation([](PhraseBook &b) {
            b.phrases.removeIf([](const PhraseBook::Phrase &p) { return p.classId == 4; });
            for (auto &p : b.phrases)
                p.id += 100; // keeps the total above the minimum with two more below
            b.phrases.append({ 1, QStringLiteral("我想把攒下的温柔都收起来送给你。"), 1 });
            b.phrases.append({ 2, QStringLiteral("你是我翻遍人海才找到的那一个人。"), 1 });
        }) << QStringLiteral("class 4 has 0 phrases");
        QTest::newRow("class under its minimum") << Mutation([](PhraseBook &b) { phrase(b, 12).classId = 5; })
                                                 << QStringLiteral("class 6 has 1 phrases");
        QTest::newRow("phrase of a missing class") << Mutation([](PhraseBook &b) {
            b.phrases.append({ 99, QStringLiteral("我喜欢你，像风喜欢走过的每一片原野。"), 42 });
        }) << QStringLiteral("names class 42");
        QTest::newRow("excluded class missing") << Mutation([](PhraseBook &b) {
            b.classes.remove(15);
            b.classes.insert(7, QStringLiteral("思念"));
            for (auto &p : b.phrases)
                if (p.classId == 15)
                    p.classId = 7;
            // Now drawn automatically, so they must fit any letter.
            phrase(b, 13).title = QStringLiteral("有你在身边，日子就过得踏实又安心。");
            phrase(b, 14).title = QStringLiteral("想起你的时候，心里总是暖暖的。");
        }) << QStringLiteral("class 15, left out");
        QTest::newRow("too few classes") << Mutation([](PhraseBook &b) {
            b.classes.remove(1);
            b.phrases.removeIf([](const PhraseBook::Phrase &p) { return p.classId == 1; });
            b.phrases.append({ 50, QStringLiteral("你的名字，是我心里最好听的两个字。"), 2 });
            b.phrases.append({ 51, QStringLiteral("心很小，小到只装得下一个你。"), 4 });
        }) << QStringLiteral("only 6 classes");
        QTest::newRow("exact duplicate")
            << Mutation([](PhraseBook &b) { phrase(b, 3).title = phrase(b, 1).title; })
            << QStringLiteral("phrases 1 and 3 are duplicates");
        QTest::newRow("duplicate in other punctuation") << Mutation([](PhraseBook &b) {
            phrase(b, 3).title = QStringLiteral("你的笑容像一阵暖风！吹开了我心里的花……");
        }) << QStringLiteral("phrases 1 and 3 are duplicates");
        QTest::newRow("English duplicate in other case") << Mutation([](PhraseBook &b) {
            phrase(b, 6).title = QStringLiteral("you are the reason I smile even on rainy days");
        }) << QStringLiteral("phrases 5 and 6 are duplicates");
        QTest::newRow("near duplicate, one word") << Mutation([](PhraseBook &b) {
            phrase(b, 3).title = QStringLiteral("你的笑容像一阵微风，吹开了我心里的花。");
        }) << QStringLiteral("phrases 1 and 3 are near-duplicates");
        QTest::newRow("near duplicate, two characters") << Mutation([](PhraseBook &b) {
            phrase(b, 3).title = QStringLiteral("你的笑脸像一阵微风，吹开了我心里的花。");
        }) << QStringLiteral("phrases 1 and 3 are near-duplicates");
        QTest::newRow("excluded class may name a season") << Mutation([](PhraseBook &b) {
            phrase(b, 13).title = QStringLiteral("春天的第一朵花开了，我想摘下来送给你。");
        }) << QString();
        QTest::newRow("closing may speak of the letter") << Mutation([](PhraseBook &b) {
            b.common[4].title = QStringLiteral("就此搁笔，心里仍是满满的你。");
        }) << QString();
        QTest::newRow("drawable proposal") << Mutation([](PhraseBook &b) {
            phrase(b, 2).title = QStringLiteral("我想娶你，和你一起过好这一生。");
        }) << QStringLiteral("phrase 2 speaks of marriage or proposal");
        QTest::newRow("drawable distance") << Mutation([](PhraseBook &b) {
            phrase(b, 2).title = QStringLiteral("异地的日子再难熬，我也会坚持下去。");
        }) << QStringLiteral("phrase 2 speaks of distance");
        QTest::newRow("drawable festival") << Mutation([](PhraseBook &b) {
            phrase(b, 2).title = QStringLiteral("生日快乐，愿你的每一个愿望都能实现。");
        }) << QStringLiteral("phrase 2 speaks of festival");
        QTest::newRow("drawable good night") << Mutation([](PhraseBook &b) {
            phrase(b, 2).title = QStringLiteral("晚安，愿你安安稳稳地一觉到天亮。");
        }) << QStringLiteral("phrase 2 speaks of hour of the day");
        QTest::newRow("drawable breakup") << Mutation([](PhraseBook &b) {
            phrase(b, 2).title = QStringLiteral("分手以后，我才明白你有多重要。");
        }) << QStringLiteral("phrase 2 speaks of sadness");
        QTest::newRow("drawable question") << Mutation([](PhraseBook &b) {
            phrase(b, 2).title = QStringLiteral("我喜欢你很久了，你愿意和我试试看吗？");
        }) << QStringLiteral("phrase 2 speaks of question or confession");
        QTest::newRow("drawable letter") << Mutation([](PhraseBook &b) {
            phrase(b, 2).title = QStringLiteral("这封信写了很久，每一句都是真心。");
        }) << QStringLiteral("phrase 2 speaks of the letter itself");
        QTest::newRow("drawable last line") << Mutation([](PhraseBook &b) {
            phrase(b, 2).title = QStringLiteral("最后想说，有你在身边真好。");
        }) << QStringLiteral("phrase 2 speaks of first or last line only");
        QTest::newRow("drawable crush") << Mutation([](PhraseBook &b) {
            phrase(b, 2).title = QStringLiteral("你站在光里，我站在原地，心却已经走向了你。");
        }) << QStringLiteral("phrase 2 speaks of a crush or a first confession");
        QTest::newRow("drawable early shyness") << Mutation([](PhraseBook &b) {
            phrase(b, 2).title = QStringLiteral("我本来想矜持一点的，可是一看见你就忘了。");
        }) << QStringLiteral("phrase 2 speaks of a crush or a first confession");
        QTest::newRow("drawable farewell") << Mutation([](PhraseBook &b) {
            phrase(b, 2).title = QStringLiteral("你给我的好，我都记在心里，一辈子都不会忘。");
        }) << QStringLiteral("phrase 2 speaks of pining or farewell");
        QTest::newRow("drawable shared yard") << Mutation([](PhraseBook &b) {
            phrase(b, 2).title = QStringLiteral("在院子里和你种一棵树，看它慢慢长大。");
        }) << QStringLiteral("phrase 2 speaks of shared home");
        QTest::newRow("drawable name length") << Mutation([](PhraseBook &b) {
            phrase(b, 2).title = QStringLiteral("在我听来，最好听的两个字就是你的名字。");
        }) << QStringLiteral("phrase 2 speaks of a name of some length");
        QTest::newRow("drawable order") << Mutation([](PhraseBook &b) {
            phrase(b, 2).title = QStringLiteral("工作再忙也要吃饭，不许挑食。");
        }) << QStringLiteral("phrase 2 speaks of an order");
        QTest::newRow("drawable slogan") << Mutation([](PhraseBook &b) {
            phrase(b, 2).title = QStringLiteral("陪伴是最长情的告白，我想一直陪着你。");
        }) << QStringLiteral("phrase 2 speaks of a slogan");
        QTest::newRow("opening naming the weather") << Mutation([](PhraseBook &b) {
            b.common[2].title = QStringLiteral("窗外下着小雨，我坐在灯下给你写信。");
        }) << QStringLiteral("framing phrase 3 speaks of season or weather");
        QTest::newRow("closing waiting for a return") << Mutation([](PhraseBook &b) {
            b.common[4].title = QStringLiteral("信写完了，思念还在，盼你早点回来。");
        }) << QStringLiteral("framing phrase 5 speaks of distance");
        QTest::newRow("drawable hardship going on") << Mutation([](PhraseBook &b) {
            phrase(b, 2).title = QStringLiteral("失败一次没关系，我们还有很多次机会。");
        }) << QStringLiteral("phrase 2 speaks of a hardship going on");
        QTest::newRow("drawable told scene") << Mutation([](PhraseBook &b) {
            phrase(b, 2).title = QStringLiteral("我路过一家面包店，想起你最爱吃的那一款。");
        }) << QStringLiteral("phrase 2 speaks of a told scene");
        QTest::newRow("drawable daily errand") << Mutation([](PhraseBook &b) {
            phrase(b, 2).title = QStringLiteral("和你一起逛超市，推着购物车挑挑拣拣。");
        }) << QStringLiteral("phrase 2 speaks of daily togetherness or a shared errand");
        QTest::newRow("drawable end of a day") << Mutation([](PhraseBook &b) {
            phrase(b, 2).title = QStringLiteral("积攒了一整天的想念，一见到你就都有了去处。");
        }) << QStringLiteral("phrase 2 speaks of hour of the day");
        QTest::newRow("drawable pretended calm") << Mutation([](PhraseBook &b) {
            phrase(b, 2).title = QStringLiteral("每次你凑过来说话，我都要假装镇定。");
        }) << QStringLiteral("phrase 2 speaks of a crush or a first confession");
        QTest::newRow("drawable present pain") << Mutation([](PhraseBook &b) {
            phrase(b, 2).title = QStringLiteral("腰酸背疼别忍着，该歇就歇。");
        }) << QStringLiteral("phrase 2 speaks of a hardship going on");
        QTest::newRow("drawable unnamed occasion") << Mutation([](PhraseBook &b) {
            phrase(b, 2).title = QStringLiteral("你一向替别人着想，这一回，也让我来替你着想。");
        }) << QStringLiteral("phrase 2 speaks of an unnamed occasion");
        QTest::newRow("drawable shared history") << Mutation([](PhraseBook &b) {
            phrase(b, 2).title = QStringLiteral("你随口的一句鼓励，曾经撑着我走过很难的日子。");
        }) << QStringLiteral("phrase 2 speaks of a shared history");
        QTest::newRow("drawable hobby") << Mutation([](PhraseBook &b) {
            phrase(b, 2).title = QStringLiteral("你跑步时额头上亮晶晶的汗珠，也好看得不得了。");
        }) << QStringLiteral("phrase 2 speaks of a hobby or gift not everyone has");
        QTest::newRow("drawable counsel") << Mutation([](PhraseBook &b) {
            phrase(b, 2).title = QStringLiteral("有人对你好，就大大方方地收下，你值得。");
        }) << QStringLiteral("phrase 2 speaks of counsel or other admirers");
        QTest::newRow("drawable counting frame") << Mutation([](PhraseBook &b) {
            phrase(b, 2).title = QStringLiteral("你想做的事，我陪你一件一件做完。");
        }) << QStringLiteral("phrase 2 speaks of a repeated frame");
        QTest::newRow("closing counting on being read") << Mutation([](PhraseBook &b) {
            b.common[4].title = QStringLiteral("读完这封信，请给自己一个微笑。");
        }) << QStringLiteral("framing phrase 5 speaks of the reader reading or agreeing");
        QTest::newRow("closing repeating what was never said")
            << Mutation([](PhraseBook &b) { b.common[4].title = QStringLiteral("最后再说一遍：我爱你。"); })
            << QStringLiteral("framing phrase 5 speaks of the reader reading or agreeing");
        QTest::newRow("opening of a long wait") << Mutation([](PhraseBook &b) {
            b.common[2].title = QStringLiteral("许多话在心里放了很久，终于写给你。");
        }) << QStringLiteral("framing phrase 3 speaks of waiting or hesitating to write");
        QTest::newRow("drawable plan of a shared home") << Mutation([](PhraseBook &b) {
            phrase(b, 2).title = QStringLiteral("我们要一起养一只猫，它会趴在我们中间打呼噜。");
        }) << QStringLiteral("phrase 2 speaks of daily togetherness or a shared errand");
        QTest::newRow("drawable broken passive") << Mutation([](PhraseBook &b) {
            phrase(b, 2).title = QStringLiteral("沉闷的日子，总能被你的幽默变得轻快起来。");
        }) << QStringLiteral("phrase 2 speaks of a broken construction");
        QTest::newRow("closing sounding like being away") << Mutation([](PhraseBook &b) {
            b.common[4].title = QStringLiteral("好好吃饭，这是我最放不下的事。");
        }) << QStringLiteral("framing phrase 5 speaks of pining or farewell");
        QTest::newRow("closing of a parting wish") << Mutation([](PhraseBook &b) {
            b.common[5].title = QStringLiteral("请照顾好自己，我会一直想你。");
        }) << QStringLiteral("framing phrase 6 speaks of a parting wish");
        QTest::newRow("opening may wish care") << Mutation([](PhraseBook &b) {
            b.common[2].title = QStringLiteral("先说一句：好好照顾自己，再说别的。");
        }) << QString();
        QTest::newRow("salutation pining")
            << Mutation([](PhraseBook &b) { b.common[1].title = QStringLiteral("朝思暮想的"); })
            << QStringLiteral("framing phrase 2 speaks of pining or farewell");
        QTest::newRow("closing waiting for an answer") << Mutation([](PhraseBook &b) {
            b.common[4].title = QStringLiteral("这些心里话，你慢慢看，我慢慢等。");
        }) << QStringLiteral("framing phrase 5 speaks of pining or farewell");
        QTest::newRow("salutation running into the name")
            << Mutation([](PhraseBook &b) { b.common[1].title = QStringLiteral("我的小太阳"); })
            << QStringLiteral("framing phrase 2 is no salutation");
        QTest::newRow("class openings alike") << Mutation([](PhraseBook &b) {
            phrase(b, 2).title = QStringLiteral("你的声音是我听过最动人的歌。");
        }) << QStringLiteral("2 phrases of class 1 begin with");
        QTest::newRow("drawn lines on one theme") << Mutation([](PhraseBook &b) {
            phrase(b, 2).title = QStringLiteral("你一笑，我心里的疲惫就都散了。");
        }) << QStringLiteral("2 drawable phrases speak of laughing");
        QTest::newRow("book openings alike") << Mutation([](PhraseBook &b) {
            for (int id : { 1, 3, 5, 7 })
                phrase(b, id).title.prepend(QStringLiteral("我想"));
        }) << QStringLiteral("4 phrases begin with");
        QTest::newRow("not GBK") << Mutation([](PhraseBook &b) {
            phrase(b, 1).title = QStringLiteral("你的笑容像一阵暖风，吹开了我心里的花\U0001F338");
        }) << QStringLiteral("phrase 1 is not encodable in GBK");
        QTest::newRow("ASCII punctuation in Chinese") << Mutation([](PhraseBook &b) {
            phrase(b, 1).title = QStringLiteral("你的笑容像一阵暖风,吹开了我心里的花.");
        }) << QStringLiteral("phrase 1 has ASCII punctuation");
        QTest::newRow("phrase too short")
            << Mutation([](PhraseBook &b) { phrase(b, 1).title = QStringLiteral("我爱你。"); })
            << QStringLiteral("phrase 1 has 4 characters");
        QTest::newRow("phrase too long")
            << Mutation([](PhraseBook &b) { phrase(b, 1).title = QString(121, QChar(0x7231)); })
            << QStringLiteral("phrase 1 has 121 characters");
        QTest::newRow("phrase with leading blanks")
            << Mutation([](PhraseBook &b) { phrase(b, 1).title.prepend(QStringLiteral("    ")); })
            << QStringLiteral("phrase 1 has leading or trailing blanks");
        QTest::newRow("phrase id twice") << Mutation([](PhraseBook &b) { phrase(b, 2).id = 1; })
                                         << QStringLiteral("phrase 1: id used twice");
        QTest::newRow("too few openings") << Mutation([](PhraseBook &b) { b.common.removeAt(2); })
                                          << QStringLiteral("1 framing phrases of TYPE 1");
        QTest::newRow("salutation ending in a colon")
            << Mutation([](PhraseBook &b) { b.common[0].title = QStringLiteral("亲爱的："); })
            << QStringLiteral("framing phrase 1 is no salutation");
        QTest::newRow("opening without full stop") << Mutation([](PhraseBook &b) {
            b.common[2].title = QStringLiteral("提笔的这一刻，想说的话全都涌了上来");
        }) << QStringLiteral("framing phrase 3 is no sentence");
        QTest::newRow("framing phrase of unknown TYPE") << Mutation([](PhraseBook &b) {
            b.common.append({ 7, QStringLiteral("愿你每天都有好心情。"), 3 });
        }) << QStringLiteral("has TYPE 3");
        QTest::newRow("too few templates") << Mutation([](PhraseBook &b) { b.templates.removeLast(); })
                                           << QStringLiteral("only 1 templates");
        QTest::newRow("template title too long")
            << Mutation([](PhraseBook &b) { b.templates[0].title = QString(31, QChar(0x4FE1)); })
            << QStringLiteral("template 1 title is empty or longer than 30");
        QTest::newRow("template titles twice")
            << Mutation([](PhraseBook &b) { b.templates[1].title = b.templates[0].title; })
            << QStringLiteral("template 2 title is used twice");
        QTest::newRow("template too short")
            << Mutation([](PhraseBook &b) { b.templates[0].text = QStringLiteral("    想你。"); })
            << QStringLiteral("template 1 has 7 characters");
        QTest::newRow("template too long") << Mutation([](PhraseBook &b) {
            b.templates[0].text = QStringLiteral("    ") + QString(1997, QChar(0x60F3));
        }) << QStringLiteral("template 1 has 2001 characters");
        QTest::newRow("template with bare line feeds") << Mutation([](PhraseBook &b) {
            b.templates[0].text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        }) << QStringLiteral("template 1 has a line break that is not CR LF");
        QTest::newRow("template line not indented")
            << Mutation([](PhraseBook &b) { b.templates[0].text.remove(0, 4); })
            << QStringLiteral("template 1 has a line not indented");
        QTest::newRow("template ending in an empty line")
            << Mutation([](PhraseBook &b) { b.templates[0].text.append(QStringLiteral("\r\n")); })
            << QStringLiteral("template 1 has a line not indented");
        QTest::newRow("template not GBK")
            << Mutation([](PhraseBook &b) { b.templates[0].text.append(QStringLiteral("\U0001F495")); })
            << QStringLiteral("template 1 text is not encodable in GBK");
    }

    void checkerFindsFaults()
    {
        QFETCH(Mutation, mutate);
        QFETCH(QString, expected);
        PhraseBook book = smallBook();
        mutate(book);
        const QStringList problems = checkPhraseBook(book, SmallLimits);
        if (expected.isEmpty()) {
            QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
        } else {
            QVERIFY2(problems.size() == 1 && problems.first().contains(expected),
                qPrintable(problems.join(QLatin1Char('\n'))));
        }
    }

private:
    PhraseBook m_book;
    QList<int> m_drawn;
};

QTEST_GUILESS_MAIN(tst_PhraseBook)
#include "tst_phrasebook.moc"
