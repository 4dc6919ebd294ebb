#pragma once
#include <QString>

// ==== Upgrade steps waiting to be appended to schemaSteps() in src/store/schema.cpp ====
// They stay here, unused by the program, until the steps list takes them (and the delivered
// schema files gain the same columns and tables); then this header goes.

// Main file, step "N": the parties' Peppol participant identifiers, post codes and addresses
// for the digital invoice; the journal CSV's account and tax-category names per accounting
// program (形式 is one of JournalFormatNames, 項目 a NameItems() caption); and a record of every
// journal export, so invoices corrected after the last export of a period can be named.
inline const QString kMainStepJournalPeppol =
    QStringLiteral("ALTER TABLE 自社情報 ADD COLUMN PeppolID TEXT;"
                   "ALTER TABLE 自社情報 ADD COLUMN 郵便番号 TEXT;"
                   "ALTER TABLE 自社情報 ADD COLUMN 住所 TEXT;"
                   "ALTER TABLE 顧客マスタ ADD COLUMN PeppolID TEXT;"
                   "ALTER TABLE 顧客マスタ ADD COLUMN 郵便番号 TEXT;"
                   "ALTER TABLE 顧客マスタ ADD COLUMN 住所 TEXT;"
                   "CREATE TABLE 仕訳設定 (形式 TEXT NOT NULL, 項目 TEXT NOT NULL, 名称 TEXT);"
                   "CREATE UNIQUE INDEX 仕訳設定_形式 ON 仕訳設定 (形式, 項目);"
                   "CREATE TABLE 仕訳出力記録 (形式 TEXT, 期間開始 DATETIME, 期間終了 DATETIME, 出力日時 TEXT);");

// Work file, step "N": the customer grid's copy shows the same three columns after 顧客情報.
inline const QString kWorkStepJournalPeppol = QStringLiteral("ALTER TABLE w顧客マスタ ADD COLUMN PeppolID TEXT;"
                                                             "ALTER TABLE w顧客マスタ ADD COLUMN 郵便番号 TEXT;"
                                                             "ALTER TABLE w顧客マスタ ADD COLUMN 住所 TEXT;");
