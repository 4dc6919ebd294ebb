#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Comma-separated text as spreadsheets read and write it: fields in double quotes may hold
// commas, doubled quotes and line breaks.
struct CsvRecord {
    int line = 0;             // the line it starts on, counted as a text editor counts them
    QStringList fields;
    bool unterminated = false; // an opening quote never closed: the rest of the file was swallowed
};

QList<CsvRecord> parseCsv(const QString& text);
// Records joined with CRLF; a field is quoted only when it must be.
QString writeCsv(const QList<QStringList>& records);

// Files go out as UTF-8 with a byte-order mark, which spreadsheet programs need to read them
// as UTF-8. Files come in as UTF-8 (with or without the mark) or Shift_JIS (CP932), told
// apart by whether the bytes are valid UTF-8.
QByteArray encodeCsvFile(const QString& text);
QString decodeCsvFile(const QByteArray& bytes);
// Writes the CSV text as such a file, whole or not at all; false with the reason when it could not.
bool writeCsvFile(const QString& path, const QString& text, QString* reason);
