#include "exchange/csv.h"

#include <QSaveFile>

#include <QStringDecoder>
#include <QStringEncoder>

QList<CsvRecord> parseCsv(const QString& text) {
    QList<CsvRecord> out;
    CsvRecord rec;
    QString field;
    bool quoted = false;     // inside a quoted field
    bool fieldStarted = false;
    int line = 1;
    const qsizetype n = text.size();

    const auto endField = [&] {
        rec.fields << field;
        field.clear();
        fieldStarted = false;
    };
    const auto endRecord = [&] {
        endField();
        // A blank line is no record.
        if (!(rec.fields.size() == 1 && rec.fields[0].isEmpty()))
            out << rec;
        rec = CsvRecord{};
    };
    rec.line = line;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        const bool lineBreak = c == u'\n' || c == u'\r';
        if (lineBreak && c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i; // CRLF is one break
        if (quoted) {
            if (c == u'"') {
                if (i + 1 < n && text[i + 1] == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else if (lineBreak) {
                field += u'\n';
                ++line;
            } else {
                field += c;
            }
            continue;
        }
        if (c == u',') {
            endField();
        } else if (lineBreak) {
            ++line;
            endRecord();
            rec.line = line;
        } else if (c == u'"' && !fieldStarted && field.isEmpty()) {
            quoted = true;
            fieldStarted = true;
        } else {
            // A quote inside an unquoted field is taken as written, as spreadsheets do.
            field += c;
            fieldStarted = true;
        }
    }
    if (quoted)
        rec.unterminated = true;
    if (quoted || !field.isEmpty() || fieldStarted || !rec.fields.isEmpty())
        endRecord();
    return out;
}

QString writeCsv(const QList<QStringList>& records) {
    QString out;
    for (const QStringList& r : records) {
        for (qsizetype i = 0; i < r.size(); ++i) {
            if (i)
                out += u',';
            QString f = r[i];
            if (f.contains(u',') || f.contains(u'"') || f.contains(u'\n') || f.contains(u'\r') ||
                f.startsWith(u' ') || f.endsWith(u' '))
                f = u'"' + f.replace(u'"', QStringLiteral("\"\"")) + u'"';
            out += f;
        }
        out += QStringLiteral("\r\n");
    }
    return out;
}

QByteArray encodeCsvFile(const QString& text) {
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

QString decodeCsvFile(const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString asUtf8 = utf8.decode(bytes);
    if (!utf8.hasError())
        return asUtf8;
    // CP932, the Shift_JIS of Japanese Windows and its spreadsheets (NEC and IBM extensions).
    QStringDecoder sjis("windows-31j");
    return sjis.decode(bytes);
}

bool writeCsvFile(const QString& path, const QString& text, QString* reason) {
    QSaveFile f(path);
    const QByteArray bytes = encodeCsvFile(text);
    if (f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.commit())
        return true;
    if (reason)
        *reason = f.errorString();
    return false;
}
