#pragma once

class QPrinter;

namespace Paper {
class LetterPaper;
}

// Sets `printer` to the letter's paper: its exact size, no margins (the paper design reaches the
// edges), the letter's first line as the job's name.
void PreparePrinter(QPrinter &printer, const Paper::LetterPaper &paper);
// Prints the pages chosen in the print dialog, each scaled whole onto the sheet the user chose.
// Throws EPlumaretError when the printer refuses.
void PrintLetter(const Paper::LetterPaper &paper, QPrinter &printer);
