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
struct FileDialogs {
    std::function<QString(QWidget* parent, const QString& caption)> existingDirectory;
    std::function<QString(QWidget* parent, const QString& caption, const QString& suggested)> saveFile;
    // `filter` lists the kinds of file offered, as QFileDialog takes them.
    std::function<QString(QWidget* parent, const QString& caption, const QString& filter)> openFile;
};

// The company as it goes on a printed invoice: its name and details, how it writes dates, its
// seal and logo (null when none).
struct Company {
    QString 自社名, 自社情報;
    bool 和暦 = false;
    QImage 印影, ロゴ;
};

// What the pages share: the data folder, its two open files, the settings in force. Made by the
// main window and handed to every page.
class Books : public QObject {
    Q_OBJECT
  public:
    Books();

    QString DataPath, MainDbPath, WorkDbPath;
    std::unique_ptr<Database> dbMain, dbWork;
    // Settings copies.
    QString cfg自社名, cfg自社情報, cfg税区分 = QStringLiteral("外税");
    qint64 cfgLineColor1 = 0;
    QString cfg登録番号, cfg税率方式 = Scheme10_8, cfg端数処理 = RoundHalf;
    QString cfg振込先, cfg支払期限既定 = DueDateRules.front();
    FileDialogs fileDialogs;
    // The company as the settings page shows it, registered or not: every print takes it from there.
    std::function<Company()> companyShown;

    // Opens both files, upgrading older ones after a backup; the handles are set only when both
    // are ready, so a failure leaves nothing open.
    void open();
    // Lets go of both files, the main one first; the pages let go of them before.
    void close();
    // Puts a checked backup's files in place of the current ones and takes them up. On a failure
    // the current files are taken up again and the reason is returned; throws DbError when not
    // even they open (nothing is open then).
    QString swap(StagedRestore& staged);

  signals:
    // The files are about to close: nothing may read or write them until they are taken up.
    void closing();
    // Other files were put in place (a restore): everything reading them reads them anew.
    void swapped();
};
