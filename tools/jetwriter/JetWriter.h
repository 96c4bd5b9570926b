#pragma once

#include "PlumaretError.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariant>

// Writes a new Jet 4.0 database file (4096-byte pages) from tables held in memory.
// The layout it relies on is described in JetFormat.md beside this file.
namespace jet {

// Long, Text and Memo are what phrase books use; the others serve the system catalog.
enum class ColumnType { Long, Integer, DateTime, Text, Memo, Binary, Ole };

struct Column
{
    QString name;
    ColumnType type = ColumnType::Long;
    int maxLength = 255; // Text: characters (1..255); Binary: bytes
};

// A value is NULL when the QVariant is null; Long/Integer take integers, DateTime a
// QDateTime, Text/Memo a QString, Binary/Ole a QByteArray.
struct Table
{
    QString name;
    QList<Column> columns;
    QList<QVariantList> rows;
};

// A row the writer cannot store; row() counts from 0.
class ERowError : public EPlumaretError
{
public:
    ERowError(const QString &table, qsizetype row, const QString &reason);
    qsizetype row() const { return m_row; }
    QString reason() const { return m_reason; }

private:
    qsizetype m_row;
    QString m_reason;
};

class Writer
{
public:
    // Throws EPlumaretError when the table cannot be stored (names, types, sizes).
    void addTable(Table table);
    // Tests only: the database password as Jet 4 stores it (at most 20 characters).
    void setDatabasePassword(const QString &password);
    // Fixed creation time for reproducible files; the default is the time of writing.
    void setCreationTime(const QDateTime &time);

    // The whole file image.
    QByteArray toBytes() const;
    // Writes (or replaces) fileName atomically; throws EPlumaretError naming the reason.
    void write(const QString &fileName) const;

    const QList<Table> &tables() const { return m_tables; }

private:
    QList<Table> m_tables;
    QString m_password;
    QDateTime m_creationTime;
};

// Jet 4 text encoding: compressed (0xFF 0xFE marker, mode toggles on 0x00) when that is
// possible and shorter, otherwise plain UCS-2 little-endian.
QByteArray encodeText(const QString &text, bool allowCompression = true);

} // namespace jet
