#pragma once

#include "PaperSettings.h"

#include <QStringList>

class QTextDocument;

// The paper options of plumaret-cli render and letter --out:
// [--paper ruled|grid|plain|flower] [--size A4|A5|B5|16K] [--font NAME] [--ink black|blue|red] [--hand]
// [--long]
struct PaperOptions
{
    Paper::PaperSettings settings;
    bool longPicture = false; // one tall PNG of all pages (长图)
};

// Takes the paper options out of `args` and leaves the rest. An unknown value throws EPlumaretError
// naming the values allowed (for --font, the installed fonts).
PaperOptions TakePaperOptions(QStringList &args);
// " [--paper ...] ..." for the usage text.
QString PaperOptionsUsage();

// Writes the letter to `fileName` by its extension: .pdf, or .png (pages or the long picture).
// Throws EPlumaretError for any other extension and for a failed write.
void WriteLetterPaper(const QTextDocument &document, const PaperOptions &options, const QString &fileName);
bool IsPaperFileName(const QString &fileName);
// Whether the arguments ask for a letter on paper (--out FILE.pdf or FILE.png).
bool WritesPaper(const QStringList &args);
