#pragma once
#include "invoice/due_date.h"
#include "invoice/qualified.h"
#include "store/database.h"

#include <QImage>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QWidget;
class StagedRestore;

// The file dialogs the window opens; tests put their own answers in. An empty text is a cancel.
// Each is handed where it starts: a folder, or the file suggested in one.
struct FileDialogs {
    std::function<QString(QWidget* parent, const QString& caption, const QString& start)> existingDirectory;
    std::function<QString(QWidget* parent, const QString& caption, const QString& suggested)> saveFile;
    // Starts in `start`; `filter` lists the kinds of file offered, as QFileDialog takes them.
    std::function<QString(QWidget* parent, const QString& caption, const QString& start, const QString& filter)>
        openFile;
};

// The company as it goes on a printed invoice: its name and details, how it writes dates, its
// seal and logo (null when none).
struct Company {
    QString 自社名, 自社情報;
    bool 和暦 = false;
    QImage 印影, ロゴ;
    bool 締め明細印刷 = false; // a monthly summary lists its notes' item lines
};

// The settings in force: copies of the stored settings, as a start finds them before reading them.
struct SettingsInForce {
    QString cfg自社名, cfg自社情報, cfg税区分 = QStringLiteral("外税");
    qint64 cfgLineColor1 = 0;
    QString cfg登録番号, cfg税率方式 = Scheme10_8, cfg端数処理 = RoundHalf;
    QString cfg振込先, cfg支払期限既定 = DueDateRules.front();
};

// Where this PC keeps its books: its own file (the default) or a book on a PostgreSQL server, by
// libpq's connection text. Kept per PC in the data folder, never with a password.
struct BookPlace {
    bool server = false;
    QString connection;
};

// What the pages share: the data folder, its two open files, the settings in force. Made by the
// main window and handed to every page.
class Books : public QObject, public SettingsInForce {
    Q_OBJECT
  public:
    Books();

    QString DataPath, MainDbPath, WorkDbPath;
    std::unique_ptr<Database> dbMain, dbWork;
    FileDialogs fileDialogs;
    // The company as the settings page shows it, registered or not: every print takes it from there.
    std::function<Company()> companyShown;

    // Opens the books where this PC keeps them and the work file, upgrading older ones after a
    // backup; the handles are set only when both are ready, so a failure leaves nothing open.
    void open();
    BookPlace place() const;
    static void keepPlace(const QString& dataPath, const BookPlace& p);
    // Takes up the books at `p` and keeps the choice; on a failure the books in use are taken up
    // again and the reason is returned (throws DbError when not even they open).
    QString usePlace(const BookPlace& p);
    // Lets go of both files, the main one first; the pages let go of them before.
    void close();
    // Puts a checked backup's files in place of the current ones and takes them up. On a failure
    // the current files are taken up again and the reason is returned; throws DbError when not
    // even they open (nothing is open then).
    QString swap(StagedRestore& staged);
    // Replaces the server book's contents by a checked backup's main file and takes the books up
    // again; the work file stays as it is. Returns the reason when the server was not changed (the
    // books still in use); throws DbError when the restored book does not open (nothing is open then).
    QString restoreOntoServer(const QString& mainFile);
    // Back to the settings a start finds before it reads the stored ones (books without settings).
    void forgetSettings() { static_cast<SettingsInForce&>(*this) = {}; }

    // The file dialogs start in the folder the user took last, for a backup's copy or for a file,
    // and remember the one taken now. The folders are kept in the data folder, which is the user's own.
    QString chooseCopyFolder(QWidget* parent, const QString& caption);
    QString chooseSaveFile(QWidget* parent, const QString& caption, const QString& fileName);
    QString chooseOpenFile(QWidget* parent, const QString& caption, const QString& filter);

  signals:
    // The files are about to close: nothing may read or write them until they are taken up.
    void closing();
    // Other files were put in place (a restore): everything reading them reads them anew.
    void swapped();

  private:
    QString lastFolder(const QString& key) const;
    // Keeps `folder` under `key` when something was chosen; gives back `chosen`.
    QString remember(const QString& key, const QString& chosen, const QString& folder) const;
};
