#include "app/books.h"

#include "backup/backup.h"
#include "backup/restore.h"
#include "store/schema.h"
#include "store/server_book.h"
#include "store/tables.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>

namespace {
const QString ChoicesFile = QStringLiteral("Vornisa.ini");
const QString CopyFolderKey = QStringLiteral("folders/backupCopy");
const QString FileFolderKey = QStringLiteral("folders/files");
const QString PlaceKey = QStringLiteral("books/server"), ConnectionKey = QStringLiteral("books/connection");
} // namespace

Books::Books() {
    fileDialogs.existingDirectory = [](QWidget* parent, const QString& caption, const QString& start) {
        return QFileDialog::getExistingDirectory(parent, caption, start);
    };
    fileDialogs.saveFile = [](QWidget* parent, const QString& caption, const QString& suggested) {
        return QFileDialog::getSaveFileName(parent, caption, suggested, QStringLiteral("CSV (*.csv)"));
    };
    fileDialogs.openFile = [](QWidget* parent, const QString& caption, const QString& start, const QString& filter) {
        return QFileDialog::getOpenFileName(parent, caption, start, filter + QStringLiteral(";;すべてのファイル (*)"));
    };
}

QString Books::lastFolder(const QString& key) const {
    // A folder since removed or unplugged (a USB stick) starts in the home folder.
    const QString folder = QSettings(DataPath + ChoicesFile, QSettings::IniFormat).value(key).toString();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QDir::homePath();
}

QString Books::remember(const QString& key, const QString& chosen, const QString& folder) const {
    if (!chosen.isEmpty())
        QSettings(DataPath + ChoicesFile, QSettings::IniFormat).setValue(key, folder);
    return chosen;
}

QString Books::chooseCopyFolder(QWidget* parent, const QString& caption) {
    const QString chosen = fileDialogs.existingDirectory(parent, caption, lastFolder(CopyFolderKey));
    return remember(CopyFolderKey, chosen, chosen);
}

QString Books::chooseSaveFile(QWidget* parent, const QString& caption, const QString& fileName) {
    const QString chosen = fileDialogs.saveFile(parent, caption, QDir(lastFolder(FileFolderKey)).filePath(fileName));
    return remember(FileFolderKey, chosen, QFileInfo(chosen).absolutePath());
}

QString Books::chooseOpenFile(QWidget* parent, const QString& caption, const QString& filter) {
    const QString chosen = fileDialogs.openFile(parent, caption, lastFolder(FileFolderKey), filter);
    return remember(FileFolderKey, chosen, QFileInfo(chosen).absolutePath());
}

BookPlace Books::place() const {
    const QSettings kept(DataPath + ChoicesFile, QSettings::IniFormat);
    return {kept.value(PlaceKey).toBool(), kept.value(ConnectionKey).toString()};
}

void Books::keepPlace(const QString& dataPath, const BookPlace& p) {
    QSettings kept(dataPath + ChoicesFile, QSettings::IniFormat);
    kept.setValue(PlaceKey, p.server);
    kept.setValue(ConnectionKey, p.connection);
}

QString Books::usePlace(const BookPlace& p) {
    const BookPlace before = place();
    close();
    keepPlace(DataPath, p);
    QString failure;
    try {
        open();
    } catch (const DbError& e) {
        failure = e.text;
        keepPlace(DataPath, before);
        open(); // the books in use, as they were
    }
    emit swapped();
    return failure;
}

void Books::open() {
    const BookPlace where = place();
    auto main = where.server ? Database::connect(where.connection, mainTables)
                             : Database::open(MainDbPath, mainTables, Durability::Full);
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
    work->keepSpaceReclaimable(); // a work file from before gives its space back from now on
    if (main->onServer())
        work->linkServerBook(main.get()); // the pages' copies of the masters are read from the server
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

QString Books::restoreOntoServer(const QString& mainFile) {
    try {
        replaceServerBook(*Database::open(mainFile, mainTables, Durability::Full), *dbMain);
    } catch (const DbError& e) {
        return e.text;
    }
    close();
    open(); // a backup of an older version is brought up to date here, after a backup, as any older book
    emit swapped();
    return {};
}
