#pragma once
#include "backup/backup.h"

#include <QDialog>
#include <QPushButton>
#include <QTableWidget>
#include <optional>

// The backups to restore from, newest first, with their descriptions. Accepted with a row
// selected, it names that backup.
class RestoreDialog : public QDialog {
    Q_OBJECT
  public:
    RestoreDialog(const QList<BackupInfo>& backups, QWidget* parent = nullptr);
    QTableWidget* Grid復元;
    QPushButton *cmd復元実行, *cmdキャンセル;
    std::optional<BackupInfo> chosen() const;

  private:
    QList<BackupInfo> backups_;
};
