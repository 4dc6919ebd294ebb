// The invoice page's digital invoice: the registered invoice on screen, as it is registered.
#include "app/digital_invoice.h"
#include "app/invoice_page/invoice_page.h"
#include "invoice/invoice_io.h"
#include "messages/msg.h"

void InvoicePage::cmdデジタルインボイス_Click() {
    qint32 number = 0;
    // What is sent must be what was registered: unregistered changes on screen would not be in it.
    if (CheckInvoiceNumber(txtNo->text(), &number) != NumberCheck::Ok || hasUnsavedChanges()) {
        MsgConfirm(
            QStringLiteral("その他"), QStringLiteral("注意"),
            QStringLiteral("画面の請求書は登録されていません。登録してからデジタルインボイスを作成してください。"));
        return;
    }
    ExportDigitalInvoices(window(), books_, {number});
}
