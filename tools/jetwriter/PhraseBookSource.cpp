#include "PhraseBookSource.h"

#include "PlumaretError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

namespace phrasebook {
namespace {

[[noreturn]] void fail(const QString &label, int line, const QString &reason)
{
    throw EPlumaretError(QStringLiteral("%1:%2: %3").arg(label).arg(line).arg(reason));
}

jet::Column parseColumn(const QString &columnText, const QString &label, int line)
{
    static const QRegularExpression pattern(QStringLiteral("^([^:]+):(long|text|memo|text\\((\\d+)\\))$"));
    const QRegularExpressionMatch m = pattern.match(columnText);
    if (!m.hasMatch())
        fail(label, line,
            QStringLiteral("column \"%1\" is not name:type with type long, text, text(N) or memo")
                .arg(columnText));
    jet::Column column;
    column.name = m.captured(1);
    const QString type = m.captured(2);
    if (type == QLatin1String("long")) {
        column.type = jet::ColumnType::Long;
    } else if (type == QLatin1String("memo")) {
        column.type = jet::ColumnType::Memo;
    } else {
        column.type = jet::ColumnType::Text;
        if (m.hasCaptured(3)) {
            bool ok = false;
            column.maxLength = m.captured(3).toInt(&ok);
            if (!ok || column.maxLength < 1 || column.maxLength > 255)
                fail(label, line,
                    QStringLiteral("column \"%1\": text(N) takes N from 1 to 255").arg(column.name));
        }
    }
    return column;
}

QString unescape(const QString &field, const QString &label, int line)
{
    QString out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const QChar c = field.at(i);
        if (c != u'\\') {
            out.append(c);
            continue;
        }
        if (++i == field.size())
            fail(label, line, QStringLiteral("a backslash ends the field; write \\\\ for a backslash"));
        switch (field.at(i).unicode()) {
        case u't':
            out.append(u'\t');
            break;
        case u'n':
            out.append(u'\n');
            break;
        case u'r':
            out.append(u'\r');
            break;
        case u'\\':
            out.append(u'\\');
            break;
        default:
            fail(label, line,
                QStringLiteral("unknown escape \\%1 (use \\t, \\n, \\r, \\\\ or a field of just \\N)")
                    .arg(field.at(i)));
        }
    }
    return out;
}

QVariant fieldValue(const jet::Column &column, const QString &value, const QString &label, int line)
{
    if (column.type == jet::ColumnType::Long) {
        bool ok = false;
        const qint32 number = value.toInt(&ok);
        if (!ok || value.trimmed() != value)
            fail(label, line,
                QStringLiteral("column \"%1\": \"%2\" is not a long integer (use \\N for NULL)")
                    .arg(column.name, value));
        return number;
    }
    if (column.type == jet::ColumnType::Text && value.size() > column.maxLength)
        fail(label, line,
            QStringLiteral("column \"%1\": %2 characters, the column holds at most %3")
                .arg(column.name)
                .arg(value.size())
                .arg(column.maxLength));
    return value;
}

} // namespace

jet::Table parseTable(
    const QString &tableName, const QByteArray &content, const QString &label, QList<int> *rowLines)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QByteArray bytes = content;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);

    jet::Table table;
    table.name = tableName;
    bool haveHeader = false;
    int lineNumber = 0;
    qsizetype pos = 0;
    auto nextLine = [&](QString *line) {
        if (pos >= bytes.size())
            return false;
        qsizetype end = bytes.indexOf('\n', pos);
        if (end < 0)
            end = bytes.size();
        QByteArray raw = bytes.mid(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        if (raw.endsWith('\r'))
            raw.chop(1);
        *line = decoder.decode(raw);
        if (decoder.hasError())
            fail(label, lineNumber, QStringLiteral("the line is not valid UTF-8"));
        return true;
    };

    QString line;
    while (nextLine(&line)) {
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QStringList fields = line.split(u'\t');
        if (!haveHeader) {
            for (const QString &columnText : fields) {
                const jet::Column column = parseColumn(columnText, label, lineNumber);
                for (const jet::Column &other : std::as_const(table.columns)) {
                    if (other.name.compare(column.name, Qt::CaseInsensitive) == 0)
                        fail(label, lineNumber,
                            QStringLiteral("column \"%1\" is named twice").arg(column.name));
                }
                table.columns.append(column);
            }
            haveHeader = true;
            continue;
        }
        const int rowLine = lineNumber;
        if (fields.size() != table.columns.size())
            fail(label, rowLine,
                QStringLiteral("%1 fields, the header names %2 columns")
                    .arg(fields.size())
                    .arg(table.columns.size()));
        QVariantList row;
        row.reserve(fields.size());
        for (qsizetype i = 0; i < fields.size(); ++i) {
            const jet::Column &column = table.columns.at(i);
            const QString &field = fields.at(i);
            if (field == QLatin1String("\\N")) {
                row.append(QVariant());
            } else if (i + 1 == fields.size() && field == QLatin1String("<<<")) {
                QStringList block;
                bool closed = false;
                QString blockLine;
                while (nextLine(&blockLine)) {
                    if (blockLine == QLatin1String(">>>")) {
                        closed = true;
                        break;
                    }
                    block.append(blockLine);
                }
                if (!closed)
                    fail(label, rowLine, QStringLiteral("the block started here has no closing line >>>"));
                row.append(fieldValue(column, block.join(QLatin1String("\r\n")), label, rowLine));
            } else {
                row.append(fieldValue(column, unescape(field, label, rowLine), label, rowLine));
            }
        }
        table.rows.append(row);
        if (rowLines)
            rowLines->append(rowLine);
    }
    if (!haveHeader)
        fail(label, qMax(lineNumber, 1), QStringLiteral("no header line of name:type columns"));
    return table;
}

QList<Source> readSources(const QString &folder)
{
    const QDir dir(folder);
    if (!dir.exists())
        throw EPlumaretError(QStringLiteral("%1: no such folder").arg(QDir::toNativeSeparators(folder)));
    const QFileInfoList files = dir.entryInfoList({ QStringLiteral("*.tsv") }, QDir::Files, QDir::Name);
    if (files.isEmpty())
        throw EPlumaretError(QStringLiteral("%1: no TABLE.tsv files").arg(QDir::toNativeSeparators(folder)));
    QList<Source> sources;
    for (const QFileInfo &info : files) {
        Source source;
        source.label = QDir::toNativeSeparators(info.filePath());
        QFile file(info.filePath());
        if (!file.open(QIODevice::ReadOnly))
            throw EPlumaretError(QStringLiteral("%1: %2").arg(source.label, file.errorString()));
        source.table = parseTable(info.completeBaseName(), file.readAll(), source.label, &source.rowLines);
        sources.append(std::move(source));
    }
    return sources;
}

QList<jet::Table> readFolder(const QString &folder)
{
    QList<jet::Table> tables;
    for (Source &source : readSources(folder))
        tables.append(std::move(source.table));
    return tables;
}

void addToWriter(const QList<Source> &sources, jet::Writer &writer)
{
    for (const Source &source : sources) {
        try {
            writer.addTable(source.table);
        } catch (const jet::ERowError &e) {
            throw EPlumaretError(QStringLiteral("%1:%2: %3")
                                     .arg(source.label)
                                     .arg(source.rowLines.value(e.row()))
                                     .arg(e.reason()));
        } catch (const EPlumaretError &e) {
            throw EPlumaretError(QStringLiteral("%1: %2").arg(source.label, e.message()));
        }
    }
}

} // namespace phrasebook
