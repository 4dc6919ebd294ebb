// The settings page's part for the digital invoice and the journal CSV: the company's Peppol ID,
// post code and address, and the account and tax-category names each accounting program uses.
#include "app/page_parts.h"
#include "app/settings_page/settings_page.h"
#include "journal/stored.h"
#include "messages/msg.h"
#include "peppol/parties.h"

#include <QFormLayout>
#include <QHeaderView>
#include <QVBoxLayout>

QWidget* SettingsPage::buildPeppolJournal() {
    auto* f = frame();
    auto* v = new QVBoxLayout(f);
    auto* form = new QFormLayout;
    txtPeppolID = named(new QLineEdit, QStringLiteral("txtPeppolID"));
    txtPeppolID->setMaxLength(40);
    txtPeppolID->setToolTip(QStringLiteral("デジタルインボイスの宛先。0188:法人番号13桁、または 0221:T+登録番号13桁"));
    txt郵便番号 = named(new QLineEdit, QStringLiteral("txt郵便番号"));
    txt郵便番号->setMaxLength(10);
    txt住所 = named(new QLineEdit, QStringLiteral("txt住所"));
    txt住所->setMaxLength(120);
    form->addRow(caption(QStringLiteral("Peppol ID")), txtPeppolID);
    form->addRow(caption(QStringLiteral("郵便番号")), txt郵便番号);
    form->addRow(caption(QStringLiteral("住所")), txt住所);
    v->addLayout(form);
    v->addWidget(caption(QStringLiteral("仕訳CSVの勘定科目・税区分")));
    Grid仕訳設定 =
        named(new QTableWidget(NameItems().size(), JournalFormatNames.size()), QStringLiteral("Grid仕訳設定"));
    Grid仕訳設定->setHorizontalHeaderLabels(JournalFormatNames);
    QStringList items;
    for (const NameItem& i : NameItems())
        items << i.項目;
    Grid仕訳設定->setVerticalHeaderLabels(items);
    Grid仕訳設定->setToolTip(
        QStringLiteral("会計ソフトで使っている名前に合わせて直せます。空欄は標準の名前になります"));
    Grid仕訳設定->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    Grid仕訳設定->setMinimumWidth(420);
    Grid仕訳設定->verticalHeader()->setDefaultSectionSize(24); // every item in view without scrolling
    v->addWidget(Grid仕訳設定);
    return f;
}

void SettingsPage::showPeppolJournal(const StoredSettings& s) {
    txtPeppolID->setText(s.PeppolID.value_or(QString()));
    txt郵便番号->setText(s.郵便番号.value_or(QString()));
    txt住所->setText(s.住所.value_or(QString()));
    for (int c = 0; c < JournalFormatNames.size(); ++c) {
        JournalNames names;
        try {
            names = ReadJournalNames(*books_.dbMain, JournalFormat(c));
        } catch (const DbError& e) {
            notifyFailure(QStringLiteral("仕訳CSVの設定を読み込めませんでした。"), e);
            names = DefaultNames(JournalFormat(c));
        }
        for (int r = 0; r < NameItems().size(); ++r)
            Grid仕訳設定->setItem(r, c, new QTableWidgetItem(names.*NameItems()[r].name));
    }
}

bool SettingsPage::takePeppolJournal(CompanySettings& s, QList<JournalNames>& names) {
    const std::optional<QString> id = pint::StoredParticipantId(txtPeppolID->text());
    if (!id) {
        MsgConfirm(QStringLiteral("その他"), QStringLiteral("注意"),
                   QStringLiteral("Peppol ID を読み取れません。「0188:」と法人番号13桁、または「0221:」と登録番号"
                                  "（T と13桁）を入力してください。設定は登録していません。"));
        txtPeppolID->setFocus();
        return false;
    }
    s.PeppolID = *id;
    s.郵便番号 = txt郵便番号->text().trimmed();
    s.住所 = txt住所->text().trimmed();
    for (int c = 0; c < JournalFormatNames.size(); ++c) {
        JournalNames n = DefaultNames(JournalFormat(c));
        for (int r = 0; r < NameItems().size(); ++r)
            if (const QTableWidgetItem* cell = Grid仕訳設定->item(r, c); cell && !cell->text().trimmed().isEmpty())
                n.*NameItems()[r].name = cell->text().trimmed();
        names << n;
    }
    return true;
}
