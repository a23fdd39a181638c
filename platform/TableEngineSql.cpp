// The SQL scanner: the parameters of a statement and the tables it names.
#include "platform/TableEngineInternal.h"

#include <QSet>

namespace tv::engine {
namespace {

struct Token {
    enum Kind { Word, QuotedName, Param, Punct } kind;
    QString text;
};

bool IsKeyword(const QString& w) {
    static const QSet<QString> keywords = {
        QStringLiteral("select"), QStringLiteral("where"),  QStringLiteral("set"),
        QStringLiteral("values"), QStringLiteral("on"),     QStringLiteral("group"),
        QStringLiteral("order"),  QStringLiteral("inner"),  QStringLiteral("left"),
        QStringLiteral("join"),   QStringLiteral("as"),     QStringLiteral("having"),
        QStringLiteral("limit"),  QStringLiteral("union"),  QStringLiteral("outer"),
        QStringLiteral("cross"),  QStringLiteral("natural")};
    return keywords.contains(w.toLower());
}

// The index just past the string literal that starts at `i`.
int SkipStringLiteral(const QString& sql, int i) {
    const int n = sql.size();
    ++i;
    while (i < n) {
        if (sql.at(i) == QLatin1Char('\'')) {
            if (i + 1 < n && sql.at(i + 1) == QLatin1Char('\'')) {
                i += 2;
                continue;
            }
            break;
        }
        ++i;
    }
    return i + 1;
}

// A quoted name ("name", `name` or [name]) starting at `i`; returns the index past it.
int ReadQuotedName(const QString& sql, int i, QString* name) {
    const int n = sql.size();
    const QChar open = sql.at(i);
    const QChar close = open == QLatin1Char('[') ? QLatin1Char(']') : open;
    int j = i + 1;
    while (j < n) {
        if (sql.at(j) == close) {
            if (close != QLatin1Char(']') && j + 1 < n && sql.at(j + 1) == close) {
                *name += close;
                j += 2;
                continue;
            }
            break;
        }
        *name += sql.at(j++);
    }
    return j + 1;
}

int SkipWord(const QString& sql, int i) {
    while (i < sql.size() && IsWordChar(sql.at(i)))
        ++i;
    return i;
}

// Splits the text into words, quoted names, parameters and punctuation; comments and string
// literals are dropped.
std::vector<Token> Tokenize(const QString& sql) {
    std::vector<Token> tokens;
    const int n = sql.size();
    int i = 0;
    while (i < n) {
        const QChar c = sql.at(i);
        const QChar next = i + 1 < n ? sql.at(i + 1) : QChar();
        if (c.isSpace()) {
            ++i;
        } else if (c == QLatin1Char('-') && next == QLatin1Char('-')) {
            while (i < n && sql.at(i) != QLatin1Char('\n'))
                ++i;
        } else if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
            const int end = sql.indexOf(QStringLiteral("*/"), i + 2);
            i = end < 0 ? n : end + 2;
        } else if (c == QLatin1Char('\'')) {
            i = SkipStringLiteral(sql, i);
        } else if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('[')) {
            QString name;
            i = ReadQuotedName(sql, i, &name);
            tokens.push_back({Token::QuotedName, name});
        } else if (c == QLatin1Char(':') && i + 1 < n && IsWordChar(next)) {
            const int j = SkipWord(sql, i + 1);
            tokens.push_back({Token::Param, sql.mid(i + 1, j - i - 1)});
            i = j;
        } else if (IsWordChar(c)) {
            const int j = SkipWord(sql, i);
            tokens.push_back({Token::Word, sql.mid(i, j - i)});
            i = j;
        } else {
            tokens.push_back({Token::Punct, QString(c)});
            ++i;
        }
    }
    return tokens;
}

void AddOnce(QStringList& list, const QString& name) {
    for (const QString& known : std::as_const(list))
        if (known.compare(name, Qt::CaseInsensitive) == 0)
            return;
    list << name;
}

class TableRefScanner {
public:
    explicit TableRefScanner(const std::vector<Token>& tokens) : tokens_(tokens) {}

    // The names after FROM (a list, with aliases), JOIN, INTO and UPDATE.
    QStringList Scan() {
        QStringList refs;
        for (size_t k = 0; k < tokens_.size(); ++k) {
            if (tokens_[k].kind != Token::Word)
                continue;
            const QString w = tokens_[k].text.toLower();
            if (w == QLatin1String("from"))
                AddFromList(k + 1, refs);
            else if ((w == QLatin1String("join") || w == QLatin1String("into") ||
                      w == QLatin1String("update")) &&
                     IsName(k + 1))
                AddOnce(refs, tokens_[k + 1].text);
        }
        return refs;
    }

private:
    bool IsName(size_t k) const {
        return k < tokens_.size() &&
               ((tokens_[k].kind == Token::Word && !IsKeyword(tokens_[k].text)) ||
                tokens_[k].kind == Token::QuotedName);
    }

    // "from A a, B as b": every table of the list, skipping aliases.
    void AddFromList(size_t m, QStringList& refs) const {
        while (IsName(m)) {
            AddOnce(refs, tokens_[m].text);
            size_t next = m + 1;
            if (next < tokens_.size() && tokens_[next].kind == Token::Word &&
                tokens_[next].text.compare(QLatin1String("as"), Qt::CaseInsensitive) == 0)
                ++next;
            if (IsName(next))
                ++next;
            if (next >= tokens_.size() || tokens_[next].kind != Token::Punct ||
                tokens_[next].text != QLatin1String(","))
                return;
            m = next + 1;
        }
    }

    const std::vector<Token>& tokens_;
};

bool IsWord(const Token& t, const char* word) {
    return t.kind == Token::Word && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

bool IsPunct(const Token& t, char c) {
    return t.kind == Token::Punct && t.text == QLatin1Char(c);
}

// The expressions of a parenthesised list starting at `k` (the opening parenthesis), each as its
// tokens; `k` ends past the closing one.
std::vector<std::vector<Token>> ReadList(const std::vector<Token>& tokens, size_t& k) {
    std::vector<std::vector<Token>> items(1);
    int depth = 0;
    for (++k; k < tokens.size(); ++k) {
        const Token& t = tokens[k];
        if (IsPunct(t, '('))
            ++depth;
        if (IsPunct(t, ')') && depth-- == 0) {
            ++k;
            return items;
        }
        if (depth == 0 && IsPunct(t, ','))
            items.emplace_back();
        else
            items.back().push_back(t);
    }
    return items;
}

// "insert into T (a, b) values (:A, :B)" and "update T set a = :A, b = :B where ...": the table
// written and each column given a parameter as its whole value.
void ScanWrites(const std::vector<Token>& tokens, ParsedSql& parsed) {
    if (tokens.size() < 4)
        return;
    const bool insert = IsWord(tokens[0], "insert") && IsWord(tokens[1], "into");
    const bool update = IsWord(tokens[0], "update");
    size_t k = insert ? 2 : 1;
    if ((!insert && !update) || tokens[k].kind == Token::Punct)
        return;
    parsed.writeTable = tokens[k++].text;
    if (insert) {
        if (k >= tokens.size() || !IsPunct(tokens[k], '('))
            return;
        const auto columns = ReadList(tokens, k);
        if (k + 1 >= tokens.size() || !IsWord(tokens[k], "values") || !IsPunct(tokens[k + 1], '('))
            return;
        ++k;
        const auto values = ReadList(tokens, k);
        for (size_t i = 0; i < columns.size() && i < values.size(); ++i)
            if (columns[i].size() == 1 && values[i].size() == 1 &&
                values[i][0].kind == Token::Param)
                parsed.columnParams.push_back({columns[i][0].text, values[i][0].text});
        return;
    }
    if (k >= tokens.size() || !IsWord(tokens[k], "set"))
        return;
    ++k;
    while (k + 2 < tokens.size() && IsPunct(tokens[k + 1], '=')) {
        const QString column = tokens[k].text;
        size_t end = k + 2;
        int depth = 0;
        while (end < tokens.size() &&
               !(depth == 0 && (IsPunct(tokens[end], ',') || IsWord(tokens[end], "where")))) {
            depth += IsPunct(tokens[end], '(') ? 1 : IsPunct(tokens[end], ')') ? -1 : 0;
            ++end;
        }
        if (end == k + 3 && tokens[k + 2].kind == Token::Param)
            parsed.columnParams.push_back({column, tokens[k + 2].text});
        if (end >= tokens.size() || !IsPunct(tokens[end], ','))
            return;
        k = end + 1;
    }
}

} // namespace

bool IsWordChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

bool IsIdentifier(const QString& name) {
    if (name.isEmpty())
        return false;
    for (QChar c : name)
        if (!IsWordChar(c))
            return false;
    return true;
}

ParsedSql ParseSql(const QString& sql) {
    const std::vector<Token> tokens = Tokenize(sql);
    ParsedSql parsed;
    for (const Token& t : tokens)
        if (t.kind == Token::Param)
            AddOnce(parsed.params, t.text);
    parsed.tableRefs = TableRefScanner(tokens).Scan();
    ScanWrites(tokens, parsed);
    return parsed;
}

std::shared_ptr<const ParsedSql> ParseCached(const QString& sql) {
    static QHash<QString, std::shared_ptr<const ParsedSql>> cache;
    auto it = cache.constFind(sql);
    if (it != cache.constEnd())
        return *it;
    if (cache.size() > 512)
        cache.clear();
    auto parsed = std::make_shared<const ParsedSql>(ParseSql(sql));
    cache.insert(sql, parsed);
    return parsed;
}

} // namespace tv::engine
