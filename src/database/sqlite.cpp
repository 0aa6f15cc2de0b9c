#include "database/sqlite.h"

#include <sqlite3.h>

namespace marovin::database {

Connection::Connection(const std::string& path, bool readOnly)
{
    const int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    const int code = sqlite3_open_v2(path.c_str(), &m_db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (code != SQLITE_OK) {
        const std::string message = m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(code);
        sqlite3_close(m_db);
        m_db = nullptr;
        throw SqliteError(path + ": " + message);
    }
    sqlite3_extended_result_codes(m_db, 1);
}

Connection::~Connection()
{
    sqlite3_close_v2(m_db);
}

void Connection::execute(std::string_view sql)
{
    char* message = nullptr;
    const int code = sqlite3_exec(m_db, std::string(sql).c_str(), nullptr, nullptr, &message);
    if (code != SQLITE_OK) {
        const std::string text = message ? message : sqlite3_errstr(code);
        sqlite3_free(message);
        throw SqliteError(text);
    }
}

std::int64_t Connection::lastInsertId() const
{
    return sqlite3_last_insert_rowid(m_db);
}

void Connection::check(int code, std::string_view what) const
{
    if (code != SQLITE_OK && code != SQLITE_ROW && code != SQLITE_DONE)
        throw SqliteError(std::string(what) + ": " + sqlite3_errmsg(m_db));
}

Statement::Statement(Connection& connection, std::string_view sql) : m_connection(connection)
{
    const int code = sqlite3_prepare_v3(connection.handle(), sql.data(), static_cast<int>(sql.size()),
                                        SQLITE_PREPARE_PERSISTENT, &m_statement, nullptr);
    connection.check(code, "preparing a statement");
}

Statement::~Statement()
{
    sqlite3_finalize(m_statement);
}

Statement& Statement::bind(int index, std::int64_t value)
{
    m_connection.check(sqlite3_bind_int64(m_statement, index, value), "binding a value");
    return *this;
}

Statement& Statement::bindBlob(int index, std::string_view bytes)
{
    // A zero-length blob still needs a pointer, or SQLite stores NULL.
    static const char empty = 0;
    m_connection.check(sqlite3_bind_blob64(m_statement, index, bytes.empty() ? &empty : bytes.data(),
                                           bytes.size(), SQLITE_TRANSIENT),
                       "binding a value");
    return *this;
}

Statement& Statement::bindText(int index, std::string_view text)
{
    m_connection.check(sqlite3_bind_text64(m_statement, index, text.data(), text.size(), SQLITE_TRANSIENT,
                                           SQLITE_UTF8),
                       "binding a value");
    return *this;
}

Statement& Statement::bindNull(int index)
{
    m_connection.check(sqlite3_bind_null(m_statement, index), "binding a value");
    return *this;
}

bool Statement::step()
{
    const int code = sqlite3_step(m_statement);
    if (code == SQLITE_ROW)
        return true;
    if (code == SQLITE_DONE)
        return false;
    const std::string message = sqlite3_errmsg(m_connection.handle());
    sqlite3_reset(m_statement);
    throw SqliteError(message);
}

void Statement::run()
{
    while (step()) {
    }
    reset();
}

void Statement::reset()
{
    sqlite3_reset(m_statement);
}

std::int64_t Statement::integer(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

std::string_view Statement::blob(int column) const
{
    const void* data = sqlite3_column_blob(m_statement, column);
    const int size = sqlite3_column_bytes(m_statement, column);
    return data ? std::string_view(static_cast<const char*>(data), static_cast<std::size_t>(size))
                : std::string_view();
}

bool Statement::isNull(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

bool Statement::isInteger(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_INTEGER;
}

Transaction::Transaction(Connection& connection) : m_connection(connection)
{
    m_connection.execute("BEGIN IMMEDIATE");
}

Transaction::~Transaction()
{
    if (m_open) {
        try {
            m_connection.execute("ROLLBACK");
        } catch (const SqliteError&) {
            // SQLite has rolled back by itself after the error that brought us here.
        }
    }
}

void Transaction::commit()
{
    m_connection.execute("COMMIT");
    m_open = false;
}

} // namespace marovin::database
