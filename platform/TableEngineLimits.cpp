// Text columns keep their size in code-page-932 bytes: the tv_fits function and the temporary
// triggers that call it for every inserted or updated text of an attached table.
#include "platform/Cp932.h"
#include "platform/TableEngineInternal.h"

#include <QRegularExpression>
#include <optional>

namespace tv::engine {
namespace {

thread_local QString g_functionError;

// tv_fits(text, column, size): 1 when the text fits; otherwise fails the statement with a
// message that names the column and shows the text as it is.
void FitsFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_int(ctx, 1);
        return;
    }
    const auto* raw = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const QString text = QString::fromUtf8(raw, sqlite3_value_bytes(argv[0]));
    const QString column =
        QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(argv[1])));
    const int size = sqlite3_value_int(argv[2]);
    const QString error = TextLimitFailure(text, column, size);
    if (error.isEmpty()) {
        sqlite3_result_int(ctx, 1);
        return;
    }
    g_functionError = error;
    const QByteArray utf8 = error.toUtf8();
    sqlite3_result_error(ctx, utf8.constData(), static_cast<int>(utf8.size()));
}

} // namespace

QString TextLimitFailure(const QString& text, const QString& column, int size) {
    // ASCII text is one byte a character: no conversion needed.
    bool ascii = true;
    for (QChar c : text)
        ascii = ascii && c.unicode() < 0x80;
    const std::optional<int> bytes = ascii ? std::optional<int>(text.size()) : Cp932Length(text);
    if (!bytes)
        return QStringLiteral("列 %1 (%2 バイト) に保存できない文字 '%3' が含まれています: '%4'")
            .arg(column, QString::number(size), Cp932FirstUnencodable(text), text);
    if (*bytes > size)
        return QStringLiteral("列 %1 に入る文字は %2 バイトまでです: '%3' は %4 バイトです")
            .arg(column, QString::number(size), text, QString::number(*bytes));
    return QString();
}

QString& FunctionError() {
    return g_functionError;
}

void RegisterFunctions(sqlite3* db) {
    sqlite3_create_function_v2(db, "tv_fits", 3,
                               SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                               FitsFunction, nullptr, nullptr, nullptr);
}

QString TextLimitTriggerName(const QString& schema, bool insert) {
    return QStringLiteral("tv_fit_") + schema +
           (insert ? QStringLiteral("_ins") : QStringLiteral("_upd"));
}

QStringList TextLimitTriggers(sqlite3* db, const QString& schema, const QString& key) {
    static const QRegularExpression varchar(
        QStringLiteral("^\\s*VARCHAR\\s*\\(\\s*([0-9]+)\\s*\\)\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    // The table's own spelling of its name.
    QString table;
    {
        TStatement q(db, QStringLiteral("select name from %1.sqlite_master where type='table'")
                             .arg(Quoted(schema)));
        while (q.Prepared() && q.Step() == SQLITE_ROW) {
            const QString name = q.Text(0);
            if (name.toLower() == key)
                table = name;
        }
    }
    QStringList checks;
    TStatement info(db,
                    QStringLiteral("PRAGMA %1.table_info(%2)").arg(Quoted(schema), Quoted(table)));
    while (info.Prepared() && info.Step() == SQLITE_ROW) {
        const QString column = info.Text(1);
        const QRegularExpressionMatch m = varchar.match(info.Text(2));
        if (!m.hasMatch())
            continue;
        QString literal = column;
        literal.replace(QLatin1Char('\''), QStringLiteral("''"));
        checks << QStringLiteral("tv_fits(NEW.%1,'%2',%3)")
                      .arg(Quoted(column), literal, m.captured(1));
    }
    if (checks.isEmpty())
        return {};
    const QString target = Quoted(schema) + QLatin1Char('.') + Quoted(table);
    const QString body = QStringLiteral(" BEGIN SELECT %1; END").arg(checks.join(QLatin1Char(',')));
    QStringList triggers;
    for (const bool insert : {true, false})
        triggers << QStringLiteral("CREATE TEMP TRIGGER %1 BEFORE %2 ON %3")
                            .arg(Quoted(TextLimitTriggerName(schema, insert)),
                                 insert ? QStringLiteral("INSERT") : QStringLiteral("UPDATE"),
                                 target) +
                        body;
    return triggers;
}

} // namespace tv::engine
