#pragma once
// A small RAII layer over SQLite's C API: a connection, prepared statements that are made
// once and reused, and transactions that roll back unless committed.
//
// Failures throw SqliteError with SQLite's own message; the database layer catches them at
// its edge and turns them into results, so nothing above it sees an exception.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace marovin::database {

class SqliteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Statement;

class Connection {
public:
    // Opens (creating it when missing, unless readOnly) the database file at path.
    Connection(const std::string& path, bool readOnly = false);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Runs one or more statements that take no parameters.
    void execute(std::string_view sql);
    std::int64_t lastInsertId() const;
    sqlite3* handle() const { return m_db; }
    // Throws SqliteError with the connection's last message when code is an error.
    void check(int code, std::string_view what) const;

private:
    sqlite3* m_db = nullptr;
};

// A prepared statement. Parameters are numbered from 1, result columns from 0.
class Statement {
public:
    Statement(Connection& connection, std::string_view sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& bind(int index, std::int64_t value);
    Statement& bind(int index, int value) { return bind(index, static_cast<std::int64_t>(value)); }
    Statement& bindBlob(int index, std::string_view bytes); // copied at once
    Statement& bindText(int index, std::string_view text);  // copied at once
    Statement& bindNull(int index);

    // Runs the statement one step: true while it yields a row.
    bool step();
    // Runs it to its end (for statements that yield no rows).
    void run();
    // Makes it ready to run again; the bound values stay.
    void reset();

    std::int64_t integer(int column) const;
    std::string_view blob(int column) const; // valid until the next step or reset
    bool isNull(int column) const;
    bool isInteger(int column) const;

private:
    Connection& m_connection;
    sqlite3_stmt* m_statement = nullptr;
};

// BEGIN on construction, ROLLBACK on destruction unless commit() ran.
class Transaction {
public:
    explicit Transaction(Connection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Connection& m_connection;
    bool m_open = true;
};

} // namespace marovin::database
