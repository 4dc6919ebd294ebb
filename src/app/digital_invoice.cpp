#include "app/digital_invoice.h"

#include "app/books.h"
#include "app/page_parts.h"
#include "issued/stored.h"
#include "messages/msg.h"
#include "peppol/files.h"
#include "peppol/parties.h"

#include <QDir>

namespace {
const QString Kind = QStringLiteral("デジタルインボイス");
} // namespace

void ExportDigitalInvoices(QWidget* parent, Books& books, const QList<qint32>& numbers) {
    if (numbers.isEmpty())
        return;
    struct Ready {
        IssuedInvoice inv;
        pint::Customer customer;
    };
    QList<Ready> ready;
    pint::Company company;
    QStringList missing;
    try {
        company = pint::StoredCompany(*books.dbMain);
        for (const qint32 n : numbers) {
            std::optional<IssuedInvoice> inv = ReadIssued(*books.dbMain, n);
            if (!inv) {
                missing << QStringLiteral("請求書 %1: 登録された請求書がありません").arg(n);
                continue;
            }
            const pint::Customer customer = pint::StoredCustomer(*books.dbMain, inv->header.顧客名);
            const QStringList lacks = pint::BuildDocument(*inv, company, customer).missing;
            if (!lacks.isEmpty())
                missing << QStringLiteral("請求書 %1: ").arg(n) + lacks.join(QStringLiteral("、"));
            ready.append({std::move(*inv), customer});
        }
    } catch (const DbError& e) {
        notifyFailure(QStringLiteral("請求書を読み込めませんでした。"), e);
        return;
    }
    if (!missing.isEmpty()) {
        MsgConfirm(Kind, QStringLiteral("作成不可"), missing.join(u'\n'));
        return;
    }
    const QString folder = books.chooseCopyFolder(
        parent, QStringLiteral("デジタルインボイスを保存するフォルダーを選んでください"));
    if (folder.isEmpty())
        return;
    QStringList written;
    for (const Ready& r : ready) {
        const pint::Exported e = pint::ExportInvoice(r.inv, company, r.customer, folder);
        if (e.path.isEmpty()) {
            const QString done = written.isEmpty() ? QString() : QStringLiteral("\n作成済み:\n") + written.join(u'\n');
            MsgConfirm(Kind, QStringLiteral("保存失敗"),
                       QStringLiteral("請求書 %1: ").arg(r.inv.header.number) + e.failure + done);
            return;
        }
        written << QDir::toNativeSeparators(e.path);
    }
    MsgConfirm(Kind, QStringLiteral("完了"), written.join(u'\n'));
}
