#pragma once
#include "book/kinds.h"
#include "invoice/due_date.h"
#include "invoice/lines.h"
#include "invoice/qualified.h"
#include "ui/data_grid.h"
#include "ui/number_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>
#include <functional>
#include <optional>

class Books;

// The invoice page: one invoice typed, loaded, registered, deleted or printed.
class InvoicePage : public QWidget {
    Q_OBJECT
  public:
    explicit InvoicePage(Books& books);
    // The books are open: the lists and the grid take them up.
    void FormInit();

    // The tax basis of the invoice on screen.
    TaxBasis inv;

    // The kind of document on screen; the number, its label and the page's title follow it.
    QComboBox* cmb帳票種別 = nullptr;
    // What the document on screen can become: a menu of ConversionTargets.
    QPushButton* cmd作成 = nullptr;
    QLabel* lbl伝票番号 = nullptr;
    QLineEdit* txtNo = nullptr;
    QDateEdit* dt日付 = nullptr;
    QComboBox* cmb顧客名 = nullptr;
    QLabel* lbl様 = nullptr; // the customer's honorific, "" for none
    QPlainTextEdit* txt顧客情報 = nullptr;
    QLineEdit* txt件名 = nullptr;
    // The payment due date, set while the box is ticked.
    QCheckBox* chk支払期限 = nullptr;
    QDateEdit* dt支払期限 = nullptr;
    QPlainTextEdit* txt備考 = nullptr;
    // A quote's validity, a receipt's purpose; each shown for its kind only.
    QLabel *lbl有効期限 = nullptr, *lbl但し書き = nullptr;
    QDateEdit* dt有効期限 = nullptr;
    QLineEdit* txt但し書き = nullptr;
    QLabel* lbl元伝票 = nullptr; // the source a document was made from, 「見積書 No. 7 より」
    DataGrid* Grid明細 = nullptr;
    QComboBox* DD商品参照 = nullptr; // the product pick list shown in column 1
    NumberBox *num税抜計 = nullptr, *num消費税 = nullptr, *num合計 = nullptr;
    // Per-rate boxes, shown under "10%・8%" only.
    QWidget* rateBoxes = nullptr;
    NumberBox *num対象10 = nullptr, *num消費税10 = nullptr, *num対象8 = nullptr, *num消費税8 = nullptr;
    QLabel *lbl対象10 = nullptr, *lbl対象8 = nullptr;
    QLabel *lbl自社名 = nullptr, *lbl自社情報 = nullptr;
    QLabel* lbl未登録 = nullptr; // shown while the invoice area holds unregistered changes
    QPushButton *cmd登録 = nullptr, *cmd削除 = nullptr, *cmdクリア = nullptr, *cmd印刷 = nullptr, *cmd閉じる = nullptr,
                *cmdHint = nullptr;
    QPushButton* cmdデジタルインボイス = nullptr; // the registered invoice on screen as a JP PINT file
    QPushButton* cmd入金 = nullptr;              // the payments of the registered invoice on screen
    BoundTable *dat明細 = nullptr, *dat商品参照 = nullptr;

    void Clear請求書(bool bln新規);
    // Refills the customer list from the master; the typed name stays.
    void AddCmb顧客名();
    void Read請求書();
    void Entry請求書();
    void Delete請求書();
    void Calc明細();
    // Puts the invoice on screen under a tax basis: the detail grid's columns and the boxes.
    void SetInvoiceBasis(const TaxBasis& basis);
    // The category, rounding and issuer's number the invoice on screen is worked out under.
    QString inv税区分() const;
    QString inv端数処理() const;
    QString inv登録番号() const;
    // The account the invoice on screen names: a loaded one its own copy, a new one the settings'.
    QString inv振込先() const;
    // Line operations of the detail grid's menu, on a grid row; the totals follow.
    void Clear明細行(int row);
    void Insert明細行(int row);
    void Delete明細行(int row);
    void Clear明細ワーク();
    // Puts the lines back as they were before the last line operation (Ctrl+Z in the grid).
    void undoLineOperation();
    void SetDD品名();
    void SetPrnData請求書A4(bool preview);
    // Loads a registered invoice as typing its number does, without asking first.
    void Load伝票(qint32 number, const QString& kind = Kind請求書);
    // The kind of the document on screen.
    const QString& kind() const { return kind_; }
    // The user chose another kind: a loaded document gives way to a new one of that kind (after
    // the unsaved-work question); a document being typed keeps its typing under the new kind.
    void cmb帳票種別_Change();
    // Shows a new, unregistered document of kind `target` made from the one on screen: a loaded
    // one as registered (refused when it has been deleted meanwhile), one being typed as typed.
    void Convert伝票(const QString& target);
    // Settings registered or read: the invoice on screen follows them at once, its typing kept.
    // One not registered yet takes the scheme in force; every invoice shows the company and
    // works its totals out again (one issued under "10%・8%" on the basis it was issued under).
    void followSettings();

    // Unregistered work on the page: a typed customer, details, date or line since the last new
    // invoice, load or register.
    bool hasUnsavedChanges() const { return unsaved_; }
    // True when nothing would be lost, or the user agreed to the clear question.
    bool askDiscardUnsaved();

    // Event handlers.
    void cmd登録_Click();
    void cmd削除_Click() { Delete請求書(); }
    void cmdクリア_Click();
    void cmd印刷_Click() { SetPrnData請求書A4(true); }
    void cmdデジタルインボイス_Click();
    void cmd入金_Click();
    void txtNo_LostFocus();
    void cmb顧客名_LostFocus();
    void Grid明細_AfterColUpdate(int col);
    bool Grid明細_EnterKey(int col);

  signals:
    // The hint button was pressed: the window's note on this control is asked for.
    void hintRequested(const QString& control);
    // The document on screen is now of this kind: the page's title follows it.
    void kindShown(const QString& kind);

  protected:
    bool eventFilter(QObject* o, QEvent* e) override;

  private:
    void build();
    void connectHandlers();
    // Runs one line operation on the line shown in a grid row, then shows the lines with the
    // cursor kept on that row; false only when the operation refused.
    bool lineOperation(int row, const std::function<bool(Database&, int line)>& op);
    void setUnsaved(bool on);
    // Puts the kind box and every text that follows the kind in step with kind_.
    void showKind(const QString& kind);
    // The next number of the kind on screen into the number box.
    void offerNumber();
    void setSource(const QString& kind, qint32 number); // number 0 for none
    void setDueDate(const QDate& date); // an invalid date clears it
    // A new invoice's due date for its date: by the customer's terms when they are set, else by
    // the settings' rule.
    QDate dueFor(const QDate& date) const;
    void trackUnsavedChanges();
    // The files closing or swapped: the lists let go of them or read them anew, not as a user's
    // change; the grid's columns are set up again as at a start.
    void rebind(bool open);
    // Whether a grid row holds anything typed.
    bool lineHoldsData(int row) const;
    // Under "10%・8%" a line's rate says whether it is exempt: the lines typed under "5%" keep
    // their exempt flags as rates when the invoice changes over.
    void carryExemptFlags(const std::vector<bool>& exempt);
    Books& books_;
    // The number the invoice area belongs to (offered, loaded or typed and read): leaving the
    // number box with it loads nothing, and it goes back in the box when the user keeps the area.
    QString shownNo_;
    bool loaded_ = false;                   // the area holds an invoice read from the books
    qint64 loadedCount_ = 0;                // its change count as read: a register over another PC's change is refused
    QString offeredNo_;                     // the next number offered: registering takes the next free one
    QString gridScheme_;                    // the scheme Grid明細's columns are set up for
    std::optional<WorkLines> beforeLineOp_; // the lines before the last line operation, until the next change
    std::optional<QString> issued振込先_; // a loaded invoice's account; none for a new invoice
    // A new invoice's due date follows its date by the settings' rule until the user sets it.
    bool dueFollowsDate_ = false;
    PaymentTerms terms_; // the chosen customer's terms of payment, as the master holds them
    bool validityFollowsDate_ = false; // likewise a new quote's validity
    QString kind_ = Kind請求書;
    QString source種別_; // the source of the document on screen; 0 for none
    qint32 source番号_ = 0;
    bool unsaved_ = false;
    int filling_ = 0; // the program itself is filling the invoice area: no user change
};
