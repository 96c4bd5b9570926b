#include "SyntheticPhraseBook.h"

#include "JetWriter.h"

#include <random>

namespace {

QString phrase(std::mt19937 &rng, int length)
{
    static const QString pool
        = QStringLiteral("我爱你想念温柔月光星辰海风花开相守永远心跳微笑春夏秋冬晨昏岁月山河");
    QString s;
    s.reserve(length);
    for (int i = 0; i < length; ++i)
        s += pool.at(int(rng() % pool.size()));
    return s;
}

} // namespace

void TSyntheticPhraseBook::write(const QString &path) const
{
    std::mt19937 rng(20240601);
    jet::Writer w;
    w.setCreationTime(QDateTime(QDate(2024, 6, 1), QTime(12, 0)));

    jet::Table classes { QStringLiteral("LoveWordClass"),
        { { QStringLiteral("classID"), jet::ColumnType::Long },
            { QStringLiteral("Title"), jet::ColumnType::Text, 50 } },
        {} };
    for (int c = 1; c <= 20; ++c)
        classes.rows.append({ c, QStringLiteral("类别%1").arg(c) });
    w.addTable(classes);

    jet::Table words { QStringLiteral("LoveWord"),
        { { QStringLiteral("id"), jet::ColumnType::Long },
            { QStringLiteral("title"), jet::ColumnType::Text, 255 },
            { QStringLiteral("ClassID"), jet::ColumnType::Long } },
        {} };
    words.rows.reserve(phrases);
    for (int i = 1; i <= phrases; ++i) {
        const QString title = phrase(rng, 12 + int(rng() % 30));
        const int cls = bigClassPhrases == 0 ? 1 + int(rng() % 20)
            : i <= bigClassPhrases           ? 1
                                             : 2 + int(rng() % 19);
        words.rows.append({ i, title, cls });
    }
    w.addTable(words);

    jet::Table common { QStringLiteral("CommonLanguage"),
        { { QStringLiteral("id"), jet::ColumnType::Long },
            { QStringLiteral("Title"), jet::ColumnType::Text, 255 },
            { QStringLiteral("TYPE"), jet::ColumnType::Long } },
        {} };
    for (int i = 1; i <= 200; ++i)
        common.rows.append({ i, phrase(rng, 10 + int(rng() % 20)), i % 3 });
    w.addTable(common);

    jet::Table templateTable { QStringLiteral("Template"),
        { { QStringLiteral("ID"), jet::ColumnType::Long },
            { QStringLiteral("TITLE"), jet::ColumnType::Text, 100 },
            { QStringLiteral("TEXT"), jet::ColumnType::Memo } },
        {} };
    for (int i = 1; i <= templates; ++i) {
        const QString title = phrase(rng, variedTitles ? 8 + int(rng() % 60) : 8);
        templateTable.rows.append({ i, title, phrase(rng, 1024) }); // 1024 UCS-2 characters: 2 kB
    }
    w.addTable(templateTable);
    w.write(path);
}
