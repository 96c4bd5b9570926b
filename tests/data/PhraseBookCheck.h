#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// The four tables of a phrase book as the program reads them.
struct PhraseBook
{
    struct Phrase
    {
        int id;
        QString title;
        int classId;
    };
    struct Common
    {
        int id;
        QString title;
        int type;
    };
    struct Template
    {
        int id;
        QString title;
        QString text;
    };
    QMap<int, QString> classes;
    QList<Phrase> phrases;
    QList<Common> common;
    QList<Template> templates;
};

// What a phrase book must hold; the defaults are those of the shipped book.
struct PhraseBookLimits
{
    int minClasses = 20;
    int minPhrases = 2000;
    int minPerClass = 50;
    int minCommonPerType = 60;
    int minTemplates = 50;
    // Largest share of phrases that may begin with the same two characters, in the book and in a class.
    double maxOpeningShare = 0.04;
    double maxClassOpeningShare = 0.15;
    // Largest share of drawable phrases on one common theme: at 3 %, about one twelve-line letter in
    // twenty holds two lines on it.
    double maxThemeShare = 0.03;
};

// Classes that automatic writing never draws; they must exist.
inline const QList<int> ExcludedClasses = { 2, 3, 4, 5, 6, 15 };
// The class of English lines, where ASCII punctuation belongs.
inline constexpr int EnglishClass = 3;

// One line per fault found; empty when the book is sound.
QStringList checkPhraseBook(const PhraseBook &book, const PhraseBookLimits &limits = {});

// Text with punctuation and blanks removed and letters folded, for duplicate detection.
QString normalisedForComparison(const QString &text);
