#include "report/preview.h"

#include "messages/msg.h"
#include "report/number_format.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QScreen>
#include <QStandardPaths>
#include <QToolBar>
#include <cmath>

namespace report {

namespace {

SaveAsker& saveAsker() {
    static SaveAsker asker;
    return asker;
}

QString askWithDialog(QWidget* parent, const QString& suggested) {
    QFileDialog dialog(parent, QStringLiteral("PDFで保存"), suggested, QStringLiteral("PDF (*.pdf)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.selectFile(suggested);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

// One part of a file name: characters no file system takes, and line breaks, become "_".
QString namePart(const QString& text, qsizetype maxChars) {
    QString part = text.simplified();
    for (QChar& ch : part)
        if (ch.category() == QChar::Other_Control || QStringLiteral("/\\:*?\"<>|").contains(ch))
            ch = QLatin1Char('_');
    if (part.size() > maxChars)
        part.truncate(part.at(maxChars - 1).isHighSurrogate() ? maxChars - 1 : maxChars);
    while (part.startsWith(QLatin1Char('.')))
        part.remove(0, 1);
    return part.trimmed();
}

void savePdf(QWidget* parent, const std::shared_ptr<rpt請求書>& report) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    const QString suggested = QDir(folder).filePath(suggestedPdfName(report->printValues()));
    const SaveAsker& asker = saveAsker();
    const QString path = asker ? asker(parent, suggested) : askWithDialog(parent, suggested);
    if (path.isEmpty())
        return;
    if (!report->exportPdf(path))
        MsgConfirm(QStringLiteral("その他"), QStringLiteral("注意"),
                   QStringLiteral("PDFを保存できませんでした。保存先のフォルダーに書き込めるか確認してください。\n%1")
                       .arg(QDir::toNativeSeparators(path)));
}

} // namespace

void setSaveAsker(SaveAsker asker) {
    saveAsker() = std::move(asker);
}

QString suggestedPdfName(const PrintValues& v) {
    QStringList parts;
    parts << reformatDate(v.prn日付).remove(QLatin1Char('/'));
    parts << namePart(v.prn顧客名, 50);
    if (v.prn請求金額 && std::isfinite(*v.prn請求金額))
        parts << QString::number(std::round(*v.prn請求金額), 'f', 0) + QStringLiteral("円");
    // Another kind names itself, so that a quote and an invoice of one number and day never share a file.
    const QString kind = v.prn種別 == Kind請求書 ? QString() : v.prn種別;
    const QString number = namePart(v.prn伝票番号, 20);
    if (!number.isEmpty())
        parts << kind + QStringLiteral("No") + number;
    else
        parts << kind;
    parts.removeAll(QString());
    return (parts.isEmpty() ? QStringLiteral("請求書") : namePart(parts.join(QLatin1Char('_')), 120)) +
           QStringLiteral(".pdf");
}

void showPreview(QWidget* parent, std::shared_ptr<rpt請求書> report) {
    auto* dialog = new QPrintPreviewDialog(parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(report->printValues().prn種別);
    report->pageCount(); // lays out and settles the page setup before the printer is configured
    dialog->printer()->setPageLayout(report->pageSetup().pageLayout());
    QObject::connect(dialog, &QPrintPreviewDialog::paintRequested, dialog,
                     [report](QPrinter* printer) { report->render(printer); });

    auto* toolbar = dialog->findChild<QToolBar*>();
    if (toolbar) {
        // First in the bar, so a narrow screen folding the bar's end away never hides it.
        QAction* first = toolbar->actions().value(0);
        auto* save = new QAction(QStringLiteral("PDFで保存"), dialog);
        toolbar->insertAction(first, save);
        toolbar->insertSeparator(first);
        save->setObjectName(QStringLiteral("cmdPDF保存"));
        save->setToolTip(QStringLiteral("この請求書をPDFファイルに保存します"));
        QObject::connect(save, &QAction::triggered, dialog, [dialog, report] { savePdf(dialog, report); });
    }

    // Large enough to read: most of the screen's height, the page filling the width, and wide enough
    // for the whole toolbar where the screen allows.
    const QScreen* screen = parent ? parent->screen() : dialog->screen();
    if (screen) {
        const QRect avail = screen->availableGeometry();
        const int height = avail.height() * 9 / 10;
        const int toolbarWidth = toolbar ? toolbar->sizeHint().width() + 40 : 0;
        const int width = std::min(avail.width() * 9 / 10, std::max(height * 4 / 5, toolbarWidth));
        dialog->resize(width, height);
        dialog->move(avail.center() - QPoint(width / 2, height / 2));
    }
    if (auto* fitWidth = dialog->findChild<QAction*>(QStringLiteral("fitWidthAction")))
        fitWidth->trigger();
    else if (auto* preview = dialog->findChild<QPrintPreviewWidget*>())
        preview->fitToWidth();
    dialog->setModal(false);
    dialog->show();
}

} // namespace report
