// A prepared statement that finalizes itself.
#pragma once

#include <QByteArray>
#include <QString>

#include <sqlite3.h>

// A prepared statement that finalizes itself.
class SqliteStatement
{
public:
    SqliteStatement(sqlite3 *db, const char *sql) { m_rc = sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr); }
    ~SqliteStatement() { sqlite3_finalize(m_stmt); }
    SqliteStatement(const SqliteStatement &) = delete;
    SqliteStatement &operator=(const SqliteStatement &) = delete;

    bool ok() const { return m_rc == SQLITE_OK; }
    int prepareResult() const { return m_rc; }
    sqlite3_stmt *get() const { return m_stmt; }
    void bind(int i, const QString &text)
    {
        const QByteArray utf8 = text.toUtf8();
        sqlite3_bind_text(m_stmt, i, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }
    void bind(int i, qint64 v) { sqlite3_bind_int64(m_stmt, i, v); }

    // True when the database has a table (or virtual table) of this name.
    static bool hasTable(sqlite3 *db, const char *name)
    {
        SqliteStatement st(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1");
        if (!st.ok())
            return false;
        sqlite3_bind_text(st.get(), 1, name, -1, SQLITE_STATIC);
        return sqlite3_step(st.get()) == SQLITE_ROW;
    }

private:
    sqlite3_stmt *m_stmt = nullptr;
    int m_rc = SQLITE_ERROR;
};
