#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

class TResultCursor;

// The open result of the store's one query: rows copied out of the engine when the query ran.
class TResultSet
{
public:
    TResultSet();
    ~TResultSet();
    TResultSet(const TResultSet &) = delete;
    TResultSet &operator=(const TResultSet &) = delete;

    bool ResultIsEmpty() const;
    void MoveFirst();
    bool AtEnd() const;
    void MoveNext();
    int RowCount() const;
    int RowNumber() const;
    // NULL reads as empty text / 0; an unknown column (compared without regard to case) throws.
    QString FieldText(const QString &name) const;
    qint32 FieldInteger(const QString &name) const;
    // Column names of the open result, in select order, as the engine names them.
    QStringList FieldNames() const;
    // Value of column index (0-based) of the current row. Date/time reads as
    // "yyyy-MM-dd HH:mm:ss", binary and OLE values as hex; FieldIsNull tells NULL from "".
    // Reading with no current row (empty result) throws; past the last row the last row stays current.
    QString FieldTextAt(int column) const;
    bool FieldIsNull(int column) const;

private:
    friend class TAdoBuilder;
    std::unique_ptr<TResultCursor> d;
};

// Abstract phrase store: the main window knows only these two operations and the cursor.
class TDBBuilder
{
public:
    virtual ~TDBBuilder();
    virtual void Connect() = 0;
    virtual void OpenQuery(const QString &sql) = 0;

    TResultSet *ResultSet = nullptr;
};

class TAdoConnection;
struct TLoadedStore;

inline constexpr char DatabaseFileName[] = "db.dll";

// The Jet store: the file is read once at Connect, queries run on an in-memory engine.
class TAdoBuilder : public TDBBuilder
{
public:
    // The program always uses DatabaseFileName (relative: the current folder); tools pass a path.
    explicit TAdoBuilder(const QString &fileName = QString::fromLatin1(DatabaseFileName));
    ~TAdoBuilder() override;

    void Connect() override;
    void OpenQuery(const QString &sql) override;
    // Same as Connect, for a database image already in memory (tests, fuzzing). The reading of a
    // damaged file is given up after timeLimitMs.
    void ConnectImage(const QByteArray &image, int timeLimitMs = 4000);
    // User tables of the connected database, in catalogue order.
    QStringList TableNames() const;
    // Why the last Connect failed (the user only sees the fixed message); for tools and tests.
    QString LastConnectError() const;

private:
    void adopt(TLoadedStore loaded);

    std::unique_ptr<TAdoConnection> Connection;
    std::unique_ptr<TResultSet> m_resultSet;
    QString m_fileName;
    QString m_lastConnectError;
};
