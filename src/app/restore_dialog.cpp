#include "app/restore_dialog.h"

#include "app/page_parts.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>

RestoreDialog::RestoreDialog(const QList<BackupInfo>& backups, QWidget* parent) : QDialog(parent), backups_(backups) {
    setObjectName(QStringLiteral("RestoreDialog"));
    setWindowTitle(QStringLiteral("バックアップから復元"));
    setModal(true);
    auto* l = new QVBoxLayout(this);
    l->addWidget(new QLabel(QStringLiteral("戻したいバックアップを選んでください。今のデータは復元の前にバックアップされます。")));
    Grid復元 = new QTableWidget(static_cast<int>(backups.size()), 5, this);
    Grid復元->setObjectName(QStringLiteral("Grid復元"));
    Grid復元->setHorizontalHeaderLabels({QStringLiteral("日時"), QStringLiteral("理由"), QStringLiteral("請求書数"),
                                         QStringLiteral("最大伝票番号"), QStringLiteral("フォルダー")});
    readOnlyRows(Grid復元);
    for (int r = 0; r < backups.size(); ++r) {
        const BackupInfo& b = backups[r];
        const QStringList cells = {b.made.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")), b.reason,
                                   b.invoices ? QString::number(*b.invoices) : QString(),
                                   b.highestNumber ? QString::number(*b.highestNumber) : QString(),
                                   QDir::toNativeSeparators(b.folder)};
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c == 2 || c == 3)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (b.linked) // listed so the user sees it, but never restored from
                item->setFlags(item->flags() & ~(Qt::ItemIsSelectable | Qt::ItemIsEnabled));
            Grid復元->setItem(r, c, item);
        }
    }
    Grid復元->resizeColumnsToContents();
    Grid復元->horizontalHeader()->setStretchLastSection(true);
    l->addWidget(Grid復元, 1);

    cmd復元実行 = new QPushButton(QStringLiteral("復元"));
    cmd復元実行->setObjectName(QStringLiteral("cmd復元実行"));
    cmd復元実行->setEnabled(false);
    cmdキャンセル = new QPushButton(QStringLiteral("キャンセル"));
    cmdキャンセル->setObjectName(QStringLiteral("cmdキャンセル"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmd復元実行);
    buttons->addWidget(cmdキャンセル);
    l->addLayout(buttons);
    connect(cmd復元実行, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdキャンセル, &QPushButton::clicked, this, &QDialog::reject);
    connect(Grid復元, &QTableWidget::itemSelectionChanged, this,
            [this] { cmd復元実行->setEnabled(chosen().has_value()); });
    connect(Grid復元, &QTableWidget::cellDoubleClicked, this, &QDialog::accept);
    resize(760, 420);
}

std::optional<BackupInfo> RestoreDialog::chosen() const {
    const QList<QTableWidgetSelectionRange> ranges = Grid復元->selectedRanges();
    if (ranges.isEmpty())
        return std::nullopt;
    return backups_.value(ranges.first().topRow());
}
