#pragma once

#include "report/invoice_report.h"

#include <QString>
#include <functional>
#include <memory>

class QWidget;

namespace report {

// Asks where to save a PDF, offering a suggested path; an empty answer means the user cancelled.
// Injectable so tests can answer instead of a modal file dialog; an empty function restores the real one.
using SaveAsker = std::function<QString(QWidget* parent, const QString& suggested)>;
void setSaveAsker(SaveAsker asker);

// A file name for the saved invoice from its date, customer, total and number, e.g.
// "20261207_株式会社テスト商事_13200円_No12.pdf"; blank parts are left out, unsafe characters replaced.
QString suggestedPdfName(const PrintValues& values);

// Opens the non-modal preview, sized to read the page, with a "PDFで保存" button; it deletes itself on close.
void showPreview(QWidget* parent, std::shared_ptr<rpt請求書> report);

} // namespace report
