#pragma once
// An SQLite statement that finalizes itself: prepared from a text, bound, stepped, read, and let
// go of when it goes out of scope, whichever way the scope is left.
#include <QByteArray>
#include <QString>
#include <sqlite3.h>
#include <utility>

namespace tv::engine {

class TStatement {
public:
    TStatement() = default;
    TStatement(sqlite3* db, const QString& sql, unsigned flags = 0) {
        const QByteArray utf8 = sql.toUtf8();
        const char* tail = nullptr;
        result_ = sqlite3_prepare_v3(db, utf8.constData(), static_cast<int>(utf8.size()), flags,
                                     &stmt_, &tail);
        if (tail)
            rest_ = QString::fromUtf8(tail).trimmed();
    }
    ~TStatement() { sqlite3_finalize(stmt_); }
    TStatement(TStatement&& other) noexcept
        : stmt_(std::exchange(other.stmt_, nullptr)), result_(other.result_),
          rest_(std::move(other.rest_)) {}
    TStatement& operator=(TStatement&& other) noexcept {
        if (this != &other) {
            sqlite3_finalize(stmt_);
            stmt_ = std::exchange(other.stmt_, nullptr);
            result_ = other.result_;
            rest_ = std::move(other.rest_);
        }
        return *this;
    }
    TStatement(const TStatement&) = delete;
    TStatement& operator=(const TStatement&) = delete;

    // True when the text held a statement and it compiled.
    bool Prepared() const { return result_ == SQLITE_OK && stmt_; }
    int PrepareResult() const { return result_; }
    // What followed the first statement of the text, trimmed.
    const QString& Rest() const { return rest_; }
    sqlite3_stmt* Get() const { return stmt_; }

    int Step() { return sqlite3_step(stmt_); }
    void Reset() { sqlite3_reset(stmt_); }
    // Runs the statement to its end; true when it finished without error.
    bool Run() {
        int rc;
        while ((rc = Step()) == SQLITE_ROW) {
        }
        return rc == SQLITE_DONE;
    }

    void BindText(int index, const QString& text) {
        const QByteArray utf8 = text.toUtf8();
        sqlite3_bind_text(stmt_, index, utf8.constData(), static_cast<int>(utf8.size()),
                          SQLITE_TRANSIENT);
    }
    QString Text(int column) const {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
        return QString::fromUtf8(text, sqlite3_column_bytes(stmt_, column));
    }
    int Int(int column) const { return sqlite3_column_int(stmt_, column); }

private:
    sqlite3_stmt* stmt_ = nullptr;
    int result_ = SQLITE_ERROR;
    QString rest_;
};

} // namespace tv::engine
