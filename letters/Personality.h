#pragma once

// The fill-in letters of the page "个性情书": their texts and the filling of the blanks. No widget
// here; the window reads its fields and hands the texts over.

#include <QList>
#include <QString>
#include <QStringList>
#include <variant>

namespace Personality {

// Pages of the personality page control, in tab order.
enum TPersonalityPage : int { ppBold = 0, ppInvincible = 1, ppSpring = 2, ppRevolution = 3 };

// Removes leading and trailing characters with codes up to 32; a full-width blank is kept.
QString TrimBlanks(const QString &text);

// The template of page 0, 1 or 2: lines ending in CR LF, one "%s" per field of the page.
QString LetterTemplate(int page);

// How many texts the template of page 0, 1 or 2 takes.
int FieldCount(int page);

// One value for a directive of a template: text for "%s", a number for "%2f" and "%.2f".
using TTemplateArg = std::variant<QString, long double>;

// Fills a template: "%s" takes the next text, "%2f" and "%.2f" the next number printed with two
// decimals and `decimalPoint`, "%%" prints "%". Inserted texts are never read as directives.
// Throws EPlumaretError when a directive is unknown or the values do not match the directives.
QString FillTemplate(const QString &templ, const QList<TTemplateArg> &args, QChar decimalPoint = u'.');

// The letter of page 0, 1 or 2 from the fields' texts in field order; the texts are trimmed here.
QString MakeLetter(int page, const QStringList &fieldTexts);

} // namespace Personality
