#include "peppol/files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace pint {

QString InvoiceFileName(qint32 number, const QString& customer) {
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    QString name;
    for (const QChar c : customer.trimmed())
        name += c.unicode() < 0x20 || forbidden.contains(c) ? u'_' : c;
    while (name.startsWith(u'.'))
        name.remove(0, 1);
    name = name.left(80).trimmed();
    while (name.endsWith(u'.'))
        name.chop(1);
    return QString::number(number) + (name.isEmpty() ? QString() : u'_' + name) + QStringLiteral(".xml");
}

Exported ExportInvoice(const IssuedInvoice& inv, const Company& company, const Customer& customer,
                       const QString& folder) {
    Exported out;
    const Built built = BuildDocument(inv, company, customer);
    out.missing = built.missing;
    if (!out.missing.isEmpty())
        return out;
    const QString path = QDir(folder).filePath(InvoiceFileName(inv.header.number, inv.header.顧客名));
    const QByteArray bytes = WriteUbl(built.doc);
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        out.path = path;
    else
        out.failure = file.errorString();
    return out;
}

ReadResult ReadInvoiceFile(const QString& path) {
    ReadResult refused;
    const QFileInfo info(path);
    if (!info.isFile()) {
        refused.reason = QStringLiteral("ファイルがありません。");
        return refused;
    }
    const auto tooLarge = [&refused] {
        refused.reason = QStringLiteral("ファイルが大きすぎます（%1 MB まで）。").arg(kMaxInvoiceBytes / (1024 * 1024));
        return refused;
    };
    if (info.size() > kMaxInvoiceBytes)
        return tooLarge();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        refused.reason = file.errorString();
        return refused;
    }
    // The size is read again from the file itself, which may have grown since it was looked at.
    const QByteArray bytes = file.read(kMaxInvoiceBytes + 1);
    if (bytes.size() > kMaxInvoiceBytes)
        return tooLarge();
    return ReadUbl(bytes);
}

} // namespace pint
