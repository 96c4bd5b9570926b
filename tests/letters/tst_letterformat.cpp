// Paragraph and character formats a framed letter and a template preview carry.
#include "LetterComposer.h"
#include "LetterFormat.h"

#include <QFont>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

using namespace Letters;

namespace {

bool spacingEverywhere(const QTextDocument &document)
{
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
        if (b.blockFormat().lineHeightType() != QTextBlockFormat::ProportionalHeight
            || b.blockFormat().lineHeight() != LetterLineHeightPercent)
            return false;
        if (b.charFormat().intProperty(CharacterSpacingProperty) != LetterCharacterSpacingTwips)
            return false;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().intProperty(CharacterSpacingProperty)
                != LetterCharacterSpacingTwips)
                return false;
        }
    }
    return true;
}

} // namespace

class tst_LetterFormat : public QObject
{
    Q_OBJECT

private slots:
    void framedLetter_data();
    void framedLetter();
    void letterSpacingIsNotDrawn();
    void previewHasSpacingOnly();
};

void tst_LetterFormat::framedLetter_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("yourName");
    QTest::newRow("indented body") << QStringLiteral("    一\r\n    二\r\n") << QStringLiteral("甲");
    QTest::newRow("empty writer name") << QString() << QString();
    QTest::newRow("template body with empty lines")
        << QStringLiteral("第一段\r\n\r\n第二段") << QStringLiteral("甲");
}

void tst_LetterFormat::framedLetter()
{
    QFETCH(QString, body);
    QFETCH(QString, yourName);
    QTextDocument document;
    // What the user had: formats the letter must not take over, and must get back on undo.
    document.setHtml(QStringLiteral("<p align=center><b>我写的</b></p><p><i>第二段</i></p>"));
    const QString before = document.toHtml();
    const QString letter = JoinLetter(QStringLiteral("亲爱的"), QStringLiteral("乙"), QStringLiteral("开头"),
        body, QStringLiteral("结尾"), yourName, QDate(2024, 5, 20));
    ReplaceWithFramedLetter(document, letter);

    QCOMPARE(document.toPlainText(), QString(letter).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    const int blocks = document.blockCount();
    QCOMPARE(document.lastBlock().text(), QStringLiteral("2024-05-20"));
    QCOMPARE(document.lastBlock().previous().text(), yourName);
    int n = 0;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next(), ++n) {
        const bool tail = n >= blocks - 2;
        QVERIFY2((b.blockFormat().alignment() & Qt::AlignHorizontal_Mask)
                == (tail ? Qt::AlignRight : Qt::AlignLeft),
            qPrintable(b.text()));
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            QCOMPARE(it.fragment().charFormat().fontWeight(), int(QFont::Normal));
            QVERIFY(!it.fragment().charFormat().fontItalic());
        }
    }
    QVERIFY(spacingEverywhere(document));

    // One step back is the old document, formats and all; nothing of the letter is left to undo.
    document.undo();
    QCOMPARE(document.toHtml(), before);
    QVERIFY(!document.isUndoAvailable());
}

void tst_LetterFormat::letterSpacingIsNotDrawn()
{
    QTextDocument plain;
    plain.setPlainText(QStringLiteral("我爱你我爱你"));
    QTextDocument spaced;
    spaced.setPlainText(plain.toPlainText());
    ApplyPreviewFormat(spaced);
    QCOMPARE(spaced.idealWidth(), plain.idealWidth());
}

void tst_LetterFormat::previewHasSpacingOnly()
{
    QTextDocument document;
    document.setPlainText(QStringLiteral("第一行\n\n第三行"));
    ApplyPreviewFormat(document);
    QVERIFY(spacingEverywhere(document));
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next())
        QCOMPARE(b.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
}

QTEST_MAIN(tst_LetterFormat)
#include "tst_letterformat.moc"
