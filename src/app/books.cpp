#include "app/books.h"

#include "backup/backup.h"
#include "backup/restore.h"
#include "store/schema.h"
#include "store/tables.h"

#include <QDir>
#include <QFileDialog>

Books::Books() {
    fileDialogs.existingDirectory = [](QWidget* parent, const QString& caption) {
        return QFileDialog::getExistingDirectory(parent, caption, QDir::homePath());
    };
    fileDialogs.saveFile = [](QWidget* parent, const QString& caption, const QString& suggested) {
        return QFileDialog::getSaveFileName(parent, caption, suggested, QStringLiteral("CSV (*.csv)"));
    };
    fileDialogs.openFile = [](QWidget* parent, const QString& caption) {
        return QFileDialog::getOpenFileName(parent, caption, QDir::homePath(),
                                            QStringLiteral("CSV・XML (*.csv *.txt *.xml);;すべてのファイル (*)"));
    };
}

void Books::open() {
    auto main = Database::open(MainDbPath, mainTables, Durability::Full);
    auto work = Database::open(WorkDbPath, workTables, Durability::Scratch);
    // An upgrade changes the books for good: one backup of both files comes first, and a
    // start without it is refused rather than upgrading without a copy.
    bool putAside = false;
    const auto backupFirst = [&](int) {
        if (putAside)
            return;
        try {
            makeBackup(*main, *work, DataPath, reason::BeforeUpgrade);
        } catch (const BackupError& e) {
            throw DbError(0, QStringLiteral("データ形式を更新する前のバックアップを作成できませんでした。\n") + e.text);
        }
        putAside = true;
    };
    upgradeSchema(*main, SchemaFile::Main, backupFirst);
    upgradeSchema(*work, SchemaFile::Work, backupFirst);
    dbMain = std::move(main);
    dbWork = std::move(work);
}

void Books::close() {
    emit closing();
    dbMain.reset();
    dbWork.reset();
}

QString Books::swap(StagedRestore& staged) {
    close();
    QString failure;
    try {
        staged.swap([this] { open(); });
    } catch (const BackupError& e) {
        failure = e.text;
    } catch (const DbError& e) {
        failure = e.text;
    }
    if (!failure.isEmpty()) {
        try {
            open(); // the current files, put back as they were
        } catch (const DbError& e) {
            throw DbError(e.code, failure + u'\n' + e.text);
        }
    }
    emit swapped();
    return failure;
}
