#include "store/dialect.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringList>
#include <vector>

namespace {

enum class Tok { Word, Quoted, String, Number, Punct };

struct Token {
    Tok kind;
    QString text; // Word: as written; Quoted: the bare name; String: with its quotes
};

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c.unicode() >= 0x80;
}

std::vector<Token> tokenize(const QString& s) {
    std::vector<Token> out;
    int i = 0;
    const int n = s.size();
    while (i < n) {
        const QChar c = s[i];
        if (c.isSpace() || c == QChar(0x3000)) {
            ++i;
        } else if (c == u'\'') {
            int j = i + 1;
            for (;; ++j) {
                if (j >= n)
                    throw DialectError("unterminated text literal");
                if (s[j] == u'\'') {
                    if (j + 1 < n && s[j + 1] == u'\'') {
                        ++j;
                        continue;
                    }
                    break;
                }
            }
            out.push_back({Tok::String, s.mid(i, j - i + 1)});
            i = j + 1;
        } else if (c == u'[') {
            const int j = s.indexOf(u']', i + 1);
            if (j < 0)
                throw DialectError("unterminated bracketed name");
            const QString name = s.mid(i + 1, j - i - 1);
            if (name.isEmpty() || name.contains(u'"') || name.contains(u'['))
                throw DialectError("bad bracketed name");
            out.push_back({Tok::Quoted, name});
            i = j + 1;
        } else if (c.isDigit() && c.unicode() < 0x80) {
            int j = i;
            while (j < n && ((s[j].isDigit() && s[j].unicode() < 0x80) || s[j] == u'.'))
                ++j;
            out.push_back({Tok::Number, s.mid(i, j - i)});
            i = j;
        } else if (isWordChar(c)) {
            int j = i;
            while (j < n && isWordChar(s[j]) && s[j] != QChar(0x3000))
                ++j;
            out.push_back({Tok::Word, s.mid(i, j - i)});
            i = j;
        } else if (QStringLiteral("=<>(),*;.-+").contains(c)) {
            if ((c == u'<' || c == u'>') && i + 1 < n && (s[i + 1] == u'=' || s[i + 1] == u'>')) {
                out.push_back({Tok::Punct, s.mid(i, 2)});
                i += 2;
            } else {
                out.push_back({Tok::Punct, QString(c)});
                ++i;
            }
        } else {
            throw DialectError("unexpected character in statement");
        }
    }
    return out;
}

bool is(const Token& t, const char* word) {
    return t.kind == Tok::Word && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}
bool isPunct(const Token& t, const char* p) {
    return t.kind == Tok::Punct && t.text == QLatin1String(p);
}
bool isName(const Token& t) {
    return t.kind == Tok::Word || t.kind == Tok::Quoted;
}

QString quoteName(const QString& name) {
    return u'"' + name + u'"';
}

// SQLite reads statement text only up to a NUL, so a text literal holding one is written as
// its UTF-8 bytes in hex read back as text: the value arrives whole, as one operand however
// many NULs it holds.
QString sqliteText(const QString& literal) {
    if (!literal.contains(QChar(0)))
        return literal;
    const QString value = literal.mid(1, literal.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"));
    return QStringLiteral("CAST(X'") + QString::fromLatin1(value.toUtf8().toHex()) + QStringLiteral("' AS TEXT)");
}

// The value a text literal stands for.
QString literalValue(const QString& literal) {
    return literal.mid(1, literal.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"));
}

// A token as the engine's text: names quoted; for the file the words True and False as 1 and 0,
// for the server text literals as parameters and LIKE as ILIKE (the file's LIKE ignores the case
// of ASCII letters).
struct Writer {
    Engine engine;
    QStringList* params;
    QString operator()(const Token& t) const {
        if (t.kind == Tok::Quoted)
            return quoteName(t.text);
        if (engine == Engine::Server) {
            if (t.kind == Tok::String) {
                const QString value = literalValue(t.text);
                *params << (value.isNull() ? QStringLiteral("") : value); // '' is text, never Null
                return u'$' + QString::number(params->size());
            }
            if (is(t, "like"))
                return QStringLiteral("ILIKE");
            return t.text;
        }
        if (t.kind == Tok::String)
            return sqliteText(t.text);
        if (is(t, "true") || is(t, "false"))
            return is(t, "true") ? QStringLiteral("1") : QStringLiteral("0");
        return t.text;
    }
};

const QStringList knownFunctions = {QStringLiteral("sum"), QStringLiteral("count"), QStringLiteral("min"),
                                    QStringLiteral("max"), QStringLiteral("isnull")};
// Words a parenthesis may follow without being a function call: conditions, lists and subqueries.
const QStringList keywordsBeforeParenthesis = {
    QStringLiteral("in"),   QStringLiteral("not"),  QStringLiteral("and"),  QStringLiteral("or"),
    QStringLiteral("values"), QStringLiteral("where"), QStringLiteral("from"), QStringLiteral("join"),
    QStringLiteral("when"), QStringLiteral("then"), QStringLiteral("else"), QStringLiteral("on"),
    QStringLiteral("exists")};

} // namespace

Rewritten rewriteStatement(const QString& statement, const AttachFn& attach, Engine engine) {
    std::vector<Token> t = tokenize(statement);
    while (!t.empty() && isPunct(t.back(), ";"))
        t.pop_back();
    if (t.empty())
        throw DialectError("empty statement");
    for (const Token& k : t)
        if (isPunct(k, ";"))
            throw DialectError("more than one statement");
    const bool select = is(t[0], "select");
    if (!select && !is(t[0], "insert") && !is(t[0], "delete") && !is(t[0], "update"))
        throw DialectError("unknown statement kind");
    for (size_t i = 0; i + 1 < t.size(); ++i)
        if (isName(t[i]) && isPunct(t[i + 1], "(") && !knownFunctions.contains(t[i].text, Qt::CaseInsensitive) &&
            !keywordsBeforeParenthesis.contains(t[i].text, Qt::CaseInsensitive))
            throw DialectError("unknown function in statement");

    Rewritten result;
    const Writer sqlite{engine, &result.params};
    // Single-table select whose rows can be written back by rowid.
    if (select) {
        size_t from = 0;
        bool plain = true;
        for (size_t i = 1; i < t.size(); ++i) {
            if (is(t[i], "from")) {
                from = i;
                break;
            }
            if (isPunct(t[i], "("))
                plain = false;
        }
        // A compound select has no one table to write back to.
        for (const Token& k : t)
            if (is(k, "union"))
                plain = false;
        if (plain && from > 1 && from + 1 < t.size() && isName(t[from + 1]) &&
            (from + 2 == t.size() || is(t[from + 2], "where") || is(t[from + 2], "order")))
            result.updatableTable = t[from + 1].text;
    }

    QStringList out;
    // The isnull calls being rewritten: where each argument ends, and where its text starts in out.
    std::vector<std::pair<size_t, qsizetype>> isnullEnds;
    for (size_t i = 0; i < t.size(); ++i) {
        const Token& k = t[i];
        if (i == 1 && is(t[0], "delete") && isPunct(k, "*"))
            continue; // "delete * from"
        if (!isnullEnds.empty() && isnullEnds.back().first == i) {
            // The argument, rewritten, joined into one piece.
            const qsizetype from = isnullEnds.back().second;
            const QString inner = out.mid(from).join(u' ');
            out.erase(out.begin() + from, out.end());
            out << QStringLiteral("((") + inner + QStringLiteral(") IS NULL)");
            isnullEnds.pop_back();
            continue;
        }
        if (is(k, "isnull")) {
            // isnull(x) -> ((x) IS NULL), x up to the matching parenthesis and rewritten as well
            if (i + 1 >= t.size() || !isPunct(t[i + 1], "("))
                throw DialectError("isnull without argument");
            int depth = 0;
            size_t j = i + 1;
            for (; j < t.size(); ++j) {
                if (isPunct(t[j], "("))
                    ++depth;
                else if (isPunct(t[j], ")") && --depth == 0)
                    break;
            }
            if (j >= t.size() || j == i + 2)
                throw DialectError("unbalanced isnull");
            isnullEnds.push_back({j, out.size()});
            ++i; // past the opening parenthesis
            continue;
        }
        if (isName(k) && i + 2 < t.size() && is(t[i + 1], "in") && t[i + 2].kind == Tok::String && i > 0 &&
            is(t[i - 1], "from")) {
            // from T in 'file' -> from alias."T"
            if (!attach || engine == Engine::Server)
                throw DialectError("external database not available here");
            QString path = t[i + 2].text.mid(1, t[i + 2].text.size() - 2);
            path.replace(QStringLiteral("''"), QStringLiteral("'"));
            out << attach(path) + u'.' + quoteName(k.text);
            i += 2;
            continue;
        }
        if (is(k, "in") && i + 1 < t.size() && t[i + 1].kind == Tok::String)
            throw DialectError("external database clause in an unknown place");
        out << sqlite(k);
        // insert into T select a,b -> insert into T (a,b) select a,b
        if (i == 2 && is(t[0], "insert") && is(t[1], "into") && i + 1 < t.size() && is(t[i + 1], "select")) {
            QStringList cols;
            size_t j = i + 2;
            for (; j < t.size() && !is(t[j], "from"); ++j) {
                if (isPunct(t[j], ","))
                    continue;
                if (!isName(t[j]) || isPunct(t[j], "*"))
                    throw DialectError("insert-select needs a plain column list");
                cols << quoteName(t[j].text);
            }
            if (cols.isEmpty() || j >= t.size())
                throw DialectError("insert-select without columns");
            out << u'(' + cols.join(u',') + u')';
        }
    }
    result.sql = out.join(u' ');
    return result;
}

std::optional<ExternalInsert> externalInsert(const QString& statement) {
    const std::vector<Token> t = tokenize(statement);
    if (t.size() < 8 || !is(t[0], "insert") || !is(t[1], "into") || !isName(t[2]) || !is(t[3], "select"))
        return std::nullopt;
    for (size_t i = 4; i + 2 < t.size(); ++i)
        if (is(t[i], "from") && isName(t[i + 1]) && is(t[i + 2], "in") && i + 3 < t.size() &&
            t[i + 3].kind == Tok::String) {
            QStringList source;
            for (size_t j = 3; j < t.size(); ++j) {
                if (j == i + 2 || j == i + 3)
                    continue; // the in-clause: the rows come from the book itself
                source << (t[j].kind == Tok::Quoted ? u'[' + t[j].text + u']' : t[j].text);
            }
            return ExternalInsert{t[2].text, source.join(u' '), literalValue(t[i + 3].text)};
        }
    return std::nullopt;
}

QStringList serverSchema(const QString& fileSchema) {
    static const auto types = [] {
        const std::pair<const char*, const char*> words[] = {
            {"\\bBOOLEAN NOT NULL DEFAULT 0\\b", "boolean NOT NULL DEFAULT false"},
            {"\\bCURRENCY\\b", "currency"},
            {"\\bDATETIME\\b", "datetime"},
            {"\\bDOUBLE\\b", "double precision"},
            {"\\bBLOB\\b", "bytea"},
            {"\\bINTEGER\\b", "bigint"},
            {"^(CREATE TABLE\\s+\\S+\\s*)\\(", "\\1(rowid bigint GENERATED BY DEFAULT AS IDENTITY UNIQUE, "}};
        std::vector<std::pair<QRegularExpression, QString>> out;
        for (const auto& [from, to] : words)
            out.emplace_back(QRegularExpression(QString::fromLatin1(from), QRegularExpression::CaseInsensitiveOption),
                             QString::fromLatin1(to));
        return out;
    }();
    static const QRegularExpression comment(QStringLiteral("--[^\\n]*"));
    QStringList out;
    // Schema text holds no ';' inside a literal.
    for (QString s : QString(fileSchema).remove(comment).split(u';')) {
        s = s.simplified();
        if (s.isEmpty() || s.startsWith(QLatin1String("PRAGMA"), Qt::CaseInsensitive))
            continue;
        for (const auto& [from, to] : types)
            s.replace(from, to);
        out << s;
    }
    return out;
}

const QList<std::pair<QString, QString>>& serverDomains() {
    static const QList<std::pair<QString, QString>> domains = {
        {QStringLiteral("currency"), QStringLiteral("CREATE DOMAIN currency AS bigint")},
        {QStringLiteral("datetime"), QStringLiteral("CREATE DOMAIN datetime AS text")}};
    return domains;
}

QString fileType(const QString& serverType) {
    static const QHash<QString, QString> types = {
        {QStringLiteral("currency"), QStringLiteral("CURRENCY")}, {QStringLiteral("datetime"), QStringLiteral("DATETIME")},
        {QStringLiteral("boolean"), QStringLiteral("BOOLEAN")},   {QStringLiteral("bigint"), QStringLiteral("INTEGER")},
        {QStringLiteral("integer"), QStringLiteral("INTEGER")},   {QStringLiteral("double precision"), QStringLiteral("DOUBLE")},
        {QStringLiteral("bytea"), QStringLiteral("BLOB")},        {QStringLiteral("text"), QStringLiteral("TEXT")}};
    return types.value(serverType, serverType.toUpper());
}
