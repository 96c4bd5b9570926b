#include "LetterComposer.h"

#include "PlumaretError.h"
#include "uDataBase.h"

#include <QStringEncoder>
#include <QTextBoundaryFinder>

#include <algorithm>

namespace Letters {

namespace {

const QString RandomOrder = QStringLiteral(" ORDER BY Rnd(id - Time() * id * Rnd() * 100)");

TResultSet &openQuery(TDBBuilder &store, const QString &sql)
{
    store.OpenQuery(sql);
    if (!store.ResultSet)
        throw EPlumaretError(QStringLiteral("phrase store has no result set"));
    return *store.ResultSet;
}

QStringEncoder gbkEncoder()
{
    QStringEncoder encoder("GBK");
    if (!encoder.isValid())
        encoder = QStringEncoder("GB18030");
    return encoder;
}

} // namespace

QString CommonPhraseSql(quint8 kind)
{
    return QStringLiteral("select top 1 Title from CommonLanguage where TYPE = ") + QString::number(kind)
        + RandomOrder;
}

QString AutoWritingSql(int lines)
{
    // Built by concatenation: a %-directive must never see anything but our own number.
    return QStringLiteral("SELECT TOP ") + QString::number(lines)
        + QStringLiteral(" id, title FROM LoveWord  WHERE ClassID not in(2, 3, 4, 5, 6, 15) ") + RandomOrder;
}

QString PhraseClassesSql()
{
    return QStringLiteral("select classID, Title from LoveWordClass");
}

QString ClassPhrasesSql(qint32 classId)
{
    return QStringLiteral("SELECT [ID], ClassID, Title FROM LoveWord WHERE ClassID = ")
        + QString::number(classId);
}

QString TemplatesSql()
{
    return QStringLiteral("SELECT [ID], [TITLE], [TEXT] FROM Template");
}

QString FormatLetterDate(const QDate &date)
{
    return QStringLiteral("%1-%2-%3")
        .arg(date.year(), 4, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'));
}

QString JoinLetter(const QString &salutationPhrase, const QString &sheName, const QString &openingPhrase,
    const QString &body, const QString &closingPhrase, const QString &yourName, const QDate &date)
{
    QString letter;
    letter.reserve(body.size() + salutationPhrase.size() + openingPhrase.size() + closingPhrase.size()
        + sheName.size() + yourName.size() + 40);
    letter += salutationPhrase;
    letter += sheName;
    letter += u'：';
    letter += CrLf;
    letter += Indent;
    letter += openingPhrase;
    letter += CrLf;
    letter += body;
    letter += CrLf;
    letter += CrLf;
    letter += Indent;
    letter += closingPhrase;
    letter += CrLf;
    letter += yourName;
    letter += CrLf;
    letter += FormatLetterDate(date);
    return letter;
}

QString GroupBody(const GroupRows &rows)
{
    QString body;
    for (const GroupNodeData &row : rows) {
        if (!row.Picked)
            continue;
        body += Indent;
        body += row.Title;
        body += CrLf;
    }
    return body;
}

int LineCountFromText(const QString &text)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok, 10);
    return ok ? ClampLineCount(value) : LineCountMin;
}

int ClampLineCount(qint64 value)
{
    return int(std::clamp<qint64>(value, LineCountMin, LineCountMax));
}

QString CutTitleGbk(const QString &title, int maxBytes)
{
    // No GBK character takes more than two bytes, and most titles are short: skip the encoder.
    if (title.size() * 2 <= maxBytes)
        return title;
    QStringEncoder encoder = gbkEncoder();
    if (QByteArray(encoder(title)).size() <= maxBytes)
        return title;

    // Whole grapheme clusters only, so neither a double-byte character nor a surrogate pair or a
    // base character with its marks is ever cut in half.
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, title);
    qsizetype kept = 0;
    qsizetype bytes = 0;
    for (qsizetype next = finder.toNextBoundary(); next != -1; next = finder.toNextBoundary()) {
        bytes += QByteArray(encoder(QStringView(title).mid(kept, next - kept))).size();
        if (bytes > maxBytes)
            break;
        kept = next;
    }
    return title.left(kept);
}

TLetterComposer::TLetterComposer(TDBBuilder &store)
    : m_store(store)
{
}

QString TLetterComposer::PickCommonPhrase(quint8 kind)
{
    TResultSet &rs = openQuery(m_store, CommonPhraseSql(kind));
    if (rs.ResultIsEmpty())
        return QString();
    rs.MoveFirst();
    return rs.FieldText(QStringLiteral("title"));
}

QString TLetterComposer::FrameLetter(
    const QString &body, const QString &yourName, const QString &sheName, const QDate &date)
{
    const QString salutation = PickCommonPhrase(ckSalutation);
    const QString opening = PickCommonPhrase(ckOpening);
    const QString closing = PickCommonPhrase(ckClosing);
    return JoinLetter(salutation, sheName, opening, body, closing, yourName, date);
}

std::optional<QString> TLetterComposer::AutoWritingBody(int lines)
{
    // LIMIT with zero or a negative count would mean "all rows" to the engine.
    TResultSet &rs = openQuery(m_store, AutoWritingSql(ClampLineCount(lines)));
    if (rs.ResultIsEmpty())
        return std::nullopt;
    QString body;
    for (rs.MoveFirst(); !rs.AtEnd(); rs.MoveNext()) {
        body += Indent;
        body += rs.FieldText(QStringLiteral("title"));
        body += CrLf;
    }
    return body;
}

std::optional<QString> TLetterComposer::AutoWritingPhrase()
{
    TResultSet &rs = openQuery(m_store, AutoWritingSql(1));
    if (rs.ResultIsEmpty())
        return std::nullopt;
    rs.MoveFirst();
    return rs.FieldText(QStringLiteral("title"));
}

PhraseClassRows TLetterComposer::PhraseClasses()
{
    TResultSet &rs = openQuery(m_store, PhraseClassesSql());
    PhraseClassRows rows;
    if (rs.ResultIsEmpty())
        return rows;
    rs.MoveFirst();
    rows.reserve(rs.RowCount());
    for (; !rs.AtEnd(); rs.MoveNext())
        rows.append({ rs.FieldInteger(QStringLiteral("ClassID")), rs.FieldText(QStringLiteral("Title")) });
    return rows;
}

std::optional<GroupRows> TLetterComposer::ClassPhrases(qint32 classId)
{
    TResultSet &rs = openQuery(m_store, ClassPhrasesSql(classId));
    if (rs.ResultIsEmpty())
        return std::nullopt;
    GroupRows rows;
    rs.MoveFirst();
    rows.reserve(rs.RowCount());
    for (; !rs.AtEnd(); rs.MoveNext()) {
        rows.append({ rs.FieldInteger(QStringLiteral("ID")), rs.FieldInteger(QStringLiteral("ClassID")),
            rs.FieldText(QStringLiteral("Title")), false });
    }
    return rows;
}

TemplateRows TLetterComposer::Templates()
{
    TResultSet &rs = openQuery(m_store, TemplatesSql());
    TemplateRows rows;
    if (rs.ResultIsEmpty())
        return rows;
    rs.MoveFirst();
    rows.reserve(rs.RowCount());
    for (; !rs.AtEnd(); rs.MoveNext()) {
        rows.append({ rs.FieldInteger(QStringLiteral("ID")),
            CutTitleGbk(rs.FieldText(QStringLiteral("TITLE"))), rs.FieldText(QStringLiteral("TEXT")) });
    }
    return rows;
}

} // namespace Letters
