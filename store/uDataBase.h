#pragma once

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
    QStringList TableNames() const;

private:
    std::unique_ptr<TAdoConnection> Connection;
    std::unique_ptr<TResultSet> m_resultSet;
};
