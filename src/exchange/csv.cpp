#include "exchange/csv.h"

#include "messages/msg.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

bool CsvReader::next(CsvRecord& rec) {
    const qsizetype n = text_.size();
    while (at_ < n) {
        rec = CsvRecord{};
        rec.line = line_;
        QString field;
        bool quoted = false; // inside a quoted field
        bool fieldStarted = false;
        bool lineEnded = false;
        for (; at_ < n; ++at_) {
            const QChar c = text_[at_];
            const bool lineBreak = c == u'\n' || c == u'\r';
            if (lineBreak && c == u'\r' && at_ + 1 < n && text_[at_ + 1] == u'\n')
                ++at_; // CRLF is one break
            if (quoted) {
                if (c == u'"') {
                    if (at_ + 1 < n && text_[at_ + 1] == u'"') {
                        field += u'"';
                        ++at_;
                    } else {
                        quoted = false;
                    }
                } else if (lineBreak) {
                    field += u'\n';
                    ++line_;
                } else {
                    field += c;
                }
                continue;
            }
            if (c == u',') {
                rec.fields << field;
                field.clear();
                fieldStarted = false;
            } else if (lineBreak) {
                ++at_;
                lineEnded = true;
                break;
            } else if (c == u'"' && !fieldStarted && field.isEmpty()) {
                quoted = true;
                fieldStarted = true;
            } else {
                // A quote inside an unquoted field is taken as written, as spreadsheets do.
                field += c;
                fieldStarted = true;
            }
        }
        rec.lastLine = line_;
        if (quoted) {
            rec.unterminated = true;
            // A break at the very end closes the last line; it starts none.
            if (n > 0 && (text_[n - 1] == u'\n' || text_[n - 1] == u'\r'))
                rec.lastLine = std::max(rec.line, line_ - 1);
        }
        if (lineEnded)
            ++line_;
        // A blank line is no record.
        if (!quoted && rec.fields.isEmpty() && field.isEmpty())
            continue;
        rec.fields << field;
        return true;
    }
    return false;
}

QList<CsvRecord> parseCsv(const QString& text) {
    QList<CsvRecord> out;
    CsvReader reader(text);
    CsvRecord r;
    while (reader.next(r))
        out << r;
    return out;
}

namespace {

bool startsFormula(const QString& cell) {
    // A line feed is no formula; it stands here because the reader turns a quoted CR into one.
    static const QString triggers = QStringLiteral("=+-@\t\r\n");
    return !cell.isEmpty() && triggers.contains(cell[0]);
}

// An apostrophe before what would be a formula, or before another apostrophe.
bool wearsGuard(const QString& cell) {
    return cell.size() >= 2 && cell[0] == u'\'' && (startsFormula(cell.sliced(1)) || cell[1] == u'\'');
}

bool plainNegativeNumber(const QString& cell) {
    static const QRegularExpression number(QStringLiteral("^-[0-9]+(\\.[0-9]+)?$"));
    return number.match(cell).hasMatch();
}

} // namespace

QString guardFormula(const QString& cell) {
    if ((startsFormula(cell) && !plainNegativeNumber(cell)) || wearsGuard(cell))
        return u'\'' + cell;
    return cell;
}

QString unguardFormula(const QString& cell) {
    return wearsGuard(cell) ? cell.mid(1) : cell;
}

QString writeCsv(const QList<QStringList>& records) {
    QString out;
    for (const QStringList& r : records) {
        for (qsizetype i = 0; i < r.size(); ++i) {
            if (i)
                out += u',';
            QString f = guardFormula(r[i]);
            if (f != r[i] || f.contains(u',') || f.contains(u'"') || f.contains(u'\n') || f.contains(u'\r') ||
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

namespace {

// The lines of the bytes with their breaks; a line ends at LF, CR LF or a lone CR, as the
// reader counts them. Neither byte occurs inside a character of UTF-8 or CP932.
QList<QByteArrayView> linesOf(QByteArrayView bytes) {
    QList<QByteArrayView> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\n' && bytes[i] != '\r')
            continue;
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        lines << bytes.sliced(start, i + 1 - start);
        start = i + 1;
    }
    if (start < bytes.size())
        lines << bytes.sliced(start);
    return lines;
}

bool ascii(QByteArrayView line) {
    return std::all_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The line as text, and whether the bytes were clean text in the decoder's encoding.
std::pair<QString, bool> decodeLine(QStringDecoder& d, QByteArrayView line) {
    d.resetState();
    QString text = d.decode(line);
    return {std::move(text), !d.hasError()};
}

} // namespace

DecodedCsv decodeCsvFile(const QByteArray& bytes) {
    const bool bom = bytes.startsWith("\xEF\xBB\xBF");
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    // Most files are clean UTF-8 throughout: one pass tells, and nothing is looked at line by line.
    QString whole = utf8.decode(QByteArrayView(bytes).sliced(bom ? 3 : 0));
    if (!utf8.hasError())
        return DecodedCsv(std::move(whole));
    whole.clear();
    const QList<QByteArrayView> lines = linesOf(QByteArrayView(bytes).sliced(bom ? 3 : 0));
    // CP932, the Shift_JIS of Japanese Windows and its spreadsheets (NEC and IBM extensions).
    QStringDecoder sjis("windows-31j", QStringDecoder::Flag::Stateless);
    // The encoding most lines with other than ASCII are written in; a mark says UTF-8 outright.
    qsizetype inUtf8 = 0, inOther = 0;
    if (!bom)
        for (const QByteArrayView line : lines)
            if (!ascii(line))
                ++(decodeLine(utf8, line).second ? inUtf8 : inOther);
    const bool isUtf8 = bom || inUtf8 >= inOther;

    DecodedCsv out;
    out.text.reserve(bytes.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArrayView line = lines[i];
        if (ascii(line)) {
            out.text += QLatin1StringView(line.data(), line.size());
            continue;
        }
        auto [text, clean] = decodeLine(isUtf8 ? utf8 : sjis, line);
        // In a Shift_JIS file a line that reads as UTF-8 was written by another program: it
        // would come out as garbled kanji without a decoding error.
        if (!isUtf8 && clean && decodeLine(utf8, line).second)
            clean = false;
        if (!clean)
            out.badLines << static_cast<int>(i + 1);
        out.text += text;
    }
    return out;
}

DecodedCsv readCsvFile(const QString& path) {
    const QString shown = QDir::toNativeSeparators(path);
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw CsvError(msg::text(QStringLiteral("文言"), QStringLiteral("読込不可"), shown));
    // Read in pieces and stopped one byte past the limit: a file that is no plain file (a
    // device, a pipe) says nothing true about its size beforehand.
    if (!f.isSequential() && f.size() > CsvMaxBytes)
        throw CsvError(msg::text(QStringLiteral("文言"), QStringLiteral("大きすぎ"), shown));
    QByteArray bytes;
    while (!f.atEnd() && bytes.size() <= CsvMaxBytes) {
        const QByteArray piece = f.read(1 << 20);
        if (piece.isEmpty())
            break;
        bytes += piece;
    }
    if (f.error() != QFileDevice::NoError)
        throw CsvError(msg::text(QStringLiteral("文言"), QStringLiteral("読込不可"), shown));
    if (bytes.size() > CsvMaxBytes)
        throw CsvError(msg::text(QStringLiteral("文言"), QStringLiteral("大きすぎ"), shown));
    return decodeCsvFile(bytes);
}

namespace {

const QString NewSuffix = QStringLiteral(".vornisa-new");
const QString OldSuffix = QStringLiteral(".vornisa-old");

QString writeFailure(int error, const QString& path) {
    if (error == ENOSPC || error == EDQUOT || error == EFBIG)
        return msg::text(QStringLiteral("文言"), QStringLiteral("空き容量"));
    if (error == EACCES || error == EPERM || error == EROFS)
        return msg::text(QStringLiteral("文言"), QStringLiteral("書込権限"));
    return msg::text(QStringLiteral("文言"), QStringLiteral("書込不可"), QDir::toNativeSeparators(path));
}

// Writes the bytes to a new file and makes sure they are on the disk; errno on failure.
int writeWhole(const QString& path, const QByteArray& bytes) {
    const QByteArray name = QFile::encodeName(path);
    ::unlink(name.constData()); // left by a write that was cut off
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0)
        return errno;
    qsizetype done = 0;
    int error = 0;
    while (done < bytes.size() && !error) {
        const ssize_t n = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n > 0)
            done += n;
        else if (n < 0 && errno != EINTR)
            error = errno;
    }
    if (!error && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && !error)
        error = errno;
    if (error)
        ::unlink(name.constData());
    return error;
}

// Keeps the current file's contents under the aside name, so it can be put back.
bool keepAside(const QString& path, const QString& aside) {
    QFile::remove(aside);
    const QByteArray from = QFile::encodeName(path), to = QFile::encodeName(aside);
    return ::link(from.constData(), to.constData()) == 0 || QFile::copy(path, aside); // no hard links on a USB stick
}

} // namespace

bool writeCsvFiles(const QList<std::pair<QString, QString>>& files, QString* reason) {
    struct File {
        QString path, fresh, old;
        bool hadOld = false, placed = false;
    };
    QList<File> plan;
    for (const auto& [path, text] : files)
        plan << File{path, path + NewSuffix, path + OldSuffix};
    const auto fail = [&](const QString& why) {
        for (File& f : plan) {
            if (f.placed && f.hadOld)
                ::rename(QFile::encodeName(f.old).constData(), QFile::encodeName(f.path).constData());
            else if (f.placed)
                QFile::remove(f.path);
            QFile::remove(f.fresh);
            QFile::remove(f.old);
        }
        if (reason)
            *reason = why;
        return false;
    };
    // Every new file is written whole before any old one is touched.
    for (qsizetype i = 0; i < plan.size(); ++i)
        if (const int error = writeWhole(plan[i].fresh, encodeCsvFile(files[i].second)))
            return fail(writeFailure(error, plan[i].path));
    for (File& f : plan) {
        f.hadOld = QFileInfo::exists(f.path);
        if (f.hadOld && !keepAside(f.path, f.old))
            return fail(writeFailure(EIO, f.path));
    }
    // Each rename replaces its file in one step; the kept copies put them back on failure.
    for (File& f : plan) {
        if (::rename(QFile::encodeName(f.fresh).constData(), QFile::encodeName(f.path).constData()) != 0)
            return fail(writeFailure(errno, f.path));
        f.placed = true;
    }
    for (const File& f : plan)
        QFile::remove(f.old);
    return true;
}
