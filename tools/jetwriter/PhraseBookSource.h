#pragma once

#include "JetWriter.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Reads the readable phrase-book sources (one TABLE.tsv per table, described in the
// README's "A phrase book of your own") into tables for the Jet writer.
namespace phrasebook {

// Parses one file; errors are thrown as EPlumaretError "label:line: reason". rowLines, when
// given, receives the line number where each row starts.
jet::Table parseTable(const QString &tableName, const QByteArray &content, const QString &label,
    QList<int> *rowLines = nullptr);

struct Source
{
    jet::Table table;
    QString label; // the file, for messages
    QList<int> rowLines;
};

// Every *.tsv file of folder, in file-name order.
QList<Source> readSources(const QString &folder);
QList<jet::Table> readFolder(const QString &folder);

// Adds the sources to writer; a row the writer refuses is reported as "file:line: reason".
void addToWriter(const QList<Source> &sources, jet::Writer &writer);

} // namespace phrasebook
