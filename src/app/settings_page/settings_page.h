#pragma once
#include "app/books.h"
#include "masters/images.h"
#include "journal/names.h"
#include "masters/settings.h"
#include "store/server_book.h"
#include "ui/number_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QWidget>

// The settings page: the company, the tax settings in force, what an invoice takes from the
// settings (account, due date, date style, a summary's item lines, seal and logo), the line colour of blank paper, where
// the books are kept, the wipe, backups.
class SettingsPage : public QWidget {
    Q_OBJECT
  public:
    explicit SettingsPage(Books& books);
    // The books are open: the page shows where they are kept.
    void FormInit();

    QLineEdit* txt自社名 = nullptr;
    QPlainTextEdit* txt自社情報 = nullptr;
    QComboBox* cmb税区分 = nullptr;
    QLineEdit* txt登録番号 = nullptr;
    QComboBox *cmb税率方式 = nullptr, *cmb端数処理 = nullptr;
    QPlainTextEdit* txt振込先 = nullptr;
    QComboBox *cmb支払期限既定 = nullptr, *cmb日付表記 = nullptr;
    QCheckBox* chk締め明細印刷 = nullptr;
    // The seal and logo are stored as soon as they are chosen or removed.
    QLabel *Pic印影 = nullptr, *Picロゴ = nullptr;
    QPushButton *cmd印影 = nullptr, *cmd印影削除 = nullptr, *cmdロゴ = nullptr, *cmdロゴ削除 = nullptr;
    QLabel* Pic罫線色 = nullptr;
    NumberBox* num白紙罫線色 = nullptr;
    QPushButton *cmd設定登録 = nullptr, *cmd設定クリア = nullptr, *cmd設定削除 = nullptr, *cmd設定読込 = nullptr,
                *cmd一括削除7 = nullptr, *cmdバックアップ = nullptr, *cmd復元 = nullptr;
    QLabel *Image2 = nullptr, *lblInfo = nullptr;
    QLabel* lblデータフォルダ = nullptr; // where the books are kept
    // The company's address for digital invoices, and the journal CSV's names per accounting program
    // (a row per item of NameItems(), a column per program).
    QLineEdit *txtPeppolID = nullptr, *txt郵便番号 = nullptr, *txt住所 = nullptr;
    QTableWidget* Grid仕訳設定 = nullptr;
    // Where this PC keeps its books: its own file or a book on a PostgreSQL server.
    QComboBox* cmb保存先 = nullptr;
    QLineEdit* txt接続先 = nullptr;
    QPushButton *cmd接続テスト = nullptr, *cmdサーバーへ移行 = nullptr, *cmd保存先切替 = nullptr;
    QLabel* lbl接続結果 = nullptr;

    void Clear設定();
    // False only when the page was refused (nothing saved, the page kept as typed).
    bool Entry設定();
    // Shows the stored settings and puts them in force.
    void Read設定();
    // The page and the settings in force as a start finds them: the stored settings over the
    // defaults, nothing of the former books left (a restore of books without settings).
    void Start設定();
    void Data初期化();
    // The company as the page shows it, registered or not.
    Company companyShown() const;

    // Event handlers.
    void cmd設定登録_Click() {
        // A refused number keeps the page as typed, so it can be put right.
        if (Entry設定())
            Read設定();
    }
    void Pic罫線色_Click();
    // Chooses a file and stores it as the seal or logo; a file that is no image changes nothing.
    void Import画像(CompanyImage which);
    void Delete画像(CompanyImage which);
    void cmdバックアップ_Click();
    void cmd接続テスト_Click();
    // Copies this PC's books into an empty server database, checked, and uses them from then on.
    void cmdサーバーへ移行_Click();
    // Uses the books of the chosen place: this PC's file, or Vornisa books of this version on the server.
    void cmd保存先切替_Click();

  signals:
    // The stored settings were read and are now in force.
    void settingsRead();
    // The full wipe emptied the masters and the settings.
    void wiped();
    // The books of another place were taken up.
    void placeChanged();
    // The restore button was pressed.
    void restoreRequested();
    // The banner was clicked: the user guide is asked for.
    void guideRequested();

  protected:
    bool eventFilter(QObject* o, QEvent* e) override;

  private:
    void build();
    QWidget* buildInvoiceBox();
    QWidget* buildPeppolJournal();
    QWidget* buildBookPlace();
    void showBookPlace();
    // Says whether the typed connection connects and what the database holds.
    std::optional<ServerBookState> testConnection();
    // The stored Peppol ID, post code, address and journal names shown.
    void showPeppolJournal(const StoredSettings& s);
    // The page's Peppol ID, post code and address into the settings, the journal names out of the
    // grid; false (the user told why, focus on the field) when the Peppol ID cannot be read.
    bool takePeppolJournal(CompanySettings& s, QList<JournalNames>& names);
    void showLineColor(qint64 colour);
    void showTaxCategory(const QString& category);
    // Reads the stored seal and logo and shows them.
    void showImages();
    QImage seal_, logo_; // as stored, for printing
    Books& books_;
};
