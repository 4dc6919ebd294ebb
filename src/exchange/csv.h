#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <stdexcept>
#include <utility>

// A file that cannot be taken in at all; the text says why.
struct CsvError : std::runtime_error {
    explicit CsvError(const QString& text) : std::runtime_error(text.toStdString()), text(text) {}
    QString text;
};

// Comma-separated text as spreadsheets read and write it: fields in double quotes may hold
// commas, doubled quotes and line breaks.
struct CsvRecord {
    int line = 0;              // the line it starts on, counted as a text editor counts them
    int lastLine = 0;          // the line it ends on (a quoted field may hold line breaks)
    QStringList fields;
    bool unterminated = false; // an opening quote never closed: the rest of the file was swallowed
};

// Reads the records one at a time, so that a large file is never held twice.
class CsvReader {
  public:
    explicit CsvReader(QString text) : text_(std::move(text)) {}
    // The next record; false at the end. Blank lines are passed over.
    bool next(CsvRecord& record);
    // How far it has read, of size(), for a progress bar.
    qsizetype position() const { return at_; }
    qsizetype size() const { return text_.size(); }

  private:
    QString text_;
    qsizetype at_ = 0;
    int line_ = 1;
};

QList<CsvRecord> parseCsv(const QString& text);
// Records joined with CRLF; a field is quoted only when it must be. A field a spreadsheet
// would run as a formula is written as text (see guardFormula).
QString writeCsv(const QList<QStringList>& records);

// A cell that starts with =, +, -, @, a tab or a carriage return runs as a formula when a
// spreadsheet opens the file; it is written with a leading apostrophe, which spreadsheets take
// as "this is text". A plain negative number stays a number. A cell that starts with an
// apostrophe gets one more, so that unguardFormula gives every cell back exactly.
QString guardFormula(const QString& cell);
QString unguardFormula(const QString& cell);

// Files go out as UTF-8 with a byte-order mark, which spreadsheet programs need to read them
// as UTF-8. Files come in as UTF-8 (with or without the mark) or Shift_JIS (CP932), decided
// once for the whole file by which of the two its lines are written in. A line whose bytes are
// not clean text in that encoding is named in badLines rather than taken as garbled text.
struct DecodedCsv {
    DecodedCsv(QString text = {}, QList<int> badLines = {}) : text(std::move(text)), badLines(std::move(badLines)) {}
    QString text;
    QList<int> badLines; // as an editor counts them
};
QByteArray encodeCsvFile(const QString& text);
DecodedCsv decodeCsvFile(const QByteArray& bytes);

// Files larger than this are not taken in at all, nor are more rows than CsvMaxRows: far
// above any real master, and below what would stall the window or swell the work file.
inline constexpr qint64 CsvMaxBytes = 100LL * 1024 * 1024;
inline constexpr int CsvMaxRows = 1'000'000;

// Reads and decodes a file the user chose. Throws CsvError when it cannot be
// read or is larger than CsvMaxBytes.
DecodedCsv readCsvFile(const QString& path);

// Writes CSV texts as files (path, text), all of them or none: each is written beside its
// place first, then all are put in place. On failure every file keeps what it held and the
// reason is given in the user's words.
bool writeCsvFiles(const QList<std::pair<QString, QString>>& files, QString* reason);
inline bool writeCsvFile(const QString& path, const QString& text, QString* reason) {
    return writeCsvFiles({{path, text}}, reason);
}
