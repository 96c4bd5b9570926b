#pragma once

#include "JetWriter.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Reads the readable phrase-book sources (one TABLE.tsv per table, described in the
// README's "A phrase book of your own") into tables for the Jet writer.
namespace phrasebook {

// Parses one file; errors are thrown as EPlumaretError "label:line: reason".
jet::Table parseTable(const QString &tableName, const QByteArray &content, const QString &label);

// Every *.tsv file of folder, in file-name order.
QList<jet::Table> readFolder(const QString &folder);

} // namespace phrasebook
