#pragma once

#include <QString>

// The shape of a generated phrase book: 20 classes, 200 framing phrases and 2 kB templates; the
// texts are random runs of Chinese characters from a fixed seed, so every run writes the same file.
struct TSyntheticPhraseBook
{
    int phrases = 100000;
    // Phrases 1 to bigClassPhrases go to class 1 and the rest to classes 2 to 20; 0 spreads all of
    // them over the 20 classes.
    int bigClassPhrases = 0;
    int templates = 1000;
    // Template titles of 8 to 67 characters instead of always 8.
    bool variedTitles = false;

    void write(const QString &path) const;
};
