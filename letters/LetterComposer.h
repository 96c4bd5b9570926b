#pragma once

#include "LetterRows.h"

#include <QDate>
#include <QString>
#include <optional>

class TDBBuilder;

namespace Letters {

inline constexpr QStringView CrLf = u"\r\n";
inline constexpr QStringView Indent = u"    ";

inline constexpr quint8 ckSalutation = 0;
inline constexpr quint8 ckOpening = 1;
inline constexpr quint8 ckClosing = 2;

inline constexpr int LineCountMin = 1;
inline constexpr int LineCountMax = 100;
inline constexpr int LineCountMaxChars = 3;
inline constexpr int TemplateTitleMaxBytes = 100;

// The SQL texts go to the store exactly as the Jet program wrote them.
QString CommonPhraseSql(quint8 kind);
QString AutoWritingSql(int lines);
QString PhraseClassesSql();
QString ClassPhrasesSql(qint32 classId);
QString TemplatesSql();

// The twelve pieces of a framed letter; the date is always yyyy-mm-dd, whatever the locale.
QString JoinLetter(const QString &salutationPhrase, const QString &sheName, const QString &openingPhrase,
    const QString &body, const QString &closingPhrase, const QString &yourName, const QDate &date);
QString FormatLetterDate(const QDate &date);

// One indented line ending in CR LF per picked row, in list order.
QString GroupBody(const GroupRows &rows);

// The spin field's text as a line count: anything that is not an integer reads as the minimum.
int LineCountFromText(const QString &text);
int ClampLineCount(qint64 value);

// Keeps at most maxBytes of the title's GBK encoding, dropping whole characters only.
QString CutTitleGbk(const QString &title, int maxBytes = TemplateTitleMaxBytes);

// Everything a letter mode reads from the phrase store, with no widget: the window and the
// command-line tool compose through this, so their letters differ only in the random draws.
class TLetterComposer
{
public:
    explicit TLetterComposer(TDBBuilder &store);

    // A random phrase of the kind, or empty text when the kind has none.
    QString PickCommonPhrase(quint8 kind);

    // Runs the three framing queries after the body is complete (the store has one result).
    QString FrameLetter(const QString &body, const QString &yourName, const QString &sheName,
        const QDate &date = QDate::currentDate());

    // nullopt when no phrase lies outside the excluded classes.
    std::optional<QString> AutoWritingBody(int lines);
    // One random phrase of those automatic writing draws from.
    std::optional<QString> AutoWritingPhrase();

    PhraseClassRows PhraseClasses();
    // nullopt for a class without phrases, so the caller can keep its list as it is.
    std::optional<GroupRows> ClassPhrases(qint32 classId);
    TemplateRows Templates();

private:
    TDBBuilder &m_store;
};

} // namespace Letters
