-- Main database: the books, at schema version 10 (see src/store/schema.cpp). Money is CURRENCY, stored as an integer count of
-- ten-thousandths so that values and their sums come back exact.
CREATE TABLE 顧客マスタ (顧客名 TEXT, 顧客情報 TEXT, 敬称 TEXT DEFAULT '様', PeppolID TEXT, 郵便番号 TEXT,
                       住所 TEXT, 締日 TEXT, 支払月 TEXT, 支払日 TEXT, 請求方法 TEXT DEFAULT '都度',
                       更新回数 INTEGER NOT NULL DEFAULT 0);
CREATE TABLE 商品マスタ (品名 TEXT, 単位 TEXT, 単価 CURRENCY, 非課税 BOOLEAN NOT NULL DEFAULT 0,
                       税率 INTEGER, 更新回数 INTEGER NOT NULL DEFAULT 0);
CREATE TABLE 自社情報 (自社名 TEXT, 自社情報 TEXT, 税区分 TEXT, LineColor1 INTEGER, 最大請求書番号 INTEGER,
                     登録番号 TEXT, 税率方式 TEXT, 端数処理 TEXT, 振込先 TEXT, 支払期限既定 TEXT, 日付表記 TEXT,
                     PeppolID TEXT, 郵便番号 TEXT, 住所 TEXT, 最大見積書番号 INTEGER, 最大納品書番号 INTEGER,
                     最大領収書番号 INTEGER, 締め明細印刷 BOOLEAN NOT NULL DEFAULT 0);
CREATE TABLE 請求書 (伝票番号 INTEGER, 顧客名 TEXT, 日付 DATETIME, 行番号 INTEGER, 伝票区分 INTEGER,
                     品名 TEXT, 数量 DOUBLE, 単位 TEXT, 単価 CURRENCY, 金額 CURRENCY,
                     非課税 BOOLEAN NOT NULL DEFAULT 0, 税率 INTEGER, 種別 TEXT NOT NULL DEFAULT '請求書');
CREATE TABLE 請求書ヘッダ (伝票番号 INTEGER, 日付 DATETIME, 顧客名 TEXT, 顧客情報 TEXT,
                         消費税 CURRENCY, 税抜計 CURRENCY, 合計 CURRENCY,
                         税率方式 TEXT, 税区分 TEXT, 端数処理 TEXT, 対象10 CURRENCY, 消費税10 CURRENCY,
                         対象8 CURRENCY, 消費税8 CURRENCY, 登録番号 TEXT,
                         件名 TEXT, 支払期限 DATETIME, 備考 TEXT, 振込先 TEXT, 敬称 TEXT DEFAULT '様',
                         種別 TEXT NOT NULL DEFAULT '請求書', 元種別 TEXT, 元番号 INTEGER, 有効期限 DATETIME,
                         但し書き TEXT,
                         更新回数 INTEGER NOT NULL DEFAULT 0); -- counts its changes: a PC registers only over the copy it read
CREATE TABLE コードマスタ (kcode TEXT, code INTEGER, sname TEXT);
-- The invoice book: every replaced (訂正), deleted (削除) or wiped (初期化) copy of an invoice, under
-- its version 1, 2, … per number and generation of the book. Rows are only ever added.
CREATE TABLE 請求書ヘッダ履歴 (伝票番号 INTEGER, 日付 DATETIME, 顧客名 TEXT, 顧客情報 TEXT,
                         消費税 CURRENCY, 税抜計 CURRENCY, 合計 CURRENCY,
                         税率方式 TEXT, 税区分 TEXT, 端数処理 TEXT, 対象10 CURRENCY, 消費税10 CURRENCY,
                         対象8 CURRENCY, 消費税8 CURRENCY, 登録番号 TEXT,
                         版 INTEGER, 変更種別 TEXT, 変更日時 TEXT, 世代 INTEGER,
                         件名 TEXT, 支払期限 DATETIME, 備考 TEXT, 振込先 TEXT, 敬称 TEXT DEFAULT '様',
                         種別 TEXT NOT NULL DEFAULT '請求書', 元種別 TEXT, 元番号 INTEGER, 有効期限 DATETIME,
                         但し書き TEXT, 更新回数 INTEGER);
CREATE TABLE 請求書履歴 (伝票番号 INTEGER, 顧客名 TEXT, 日付 DATETIME, 行番号 INTEGER, 伝票区分 INTEGER,
                       品名 TEXT, 数量 DOUBLE, 単位 TEXT, 単価 CURRENCY, 金額 CURRENCY,
                       非課税 BOOLEAN NOT NULL DEFAULT 0, 税率 INTEGER, 版 INTEGER, 世代 INTEGER,
                       種別 TEXT NOT NULL DEFAULT '請求書');
-- The full wipes: each ends a generation of the book (1, 2, …); the book now is one more.
CREATE TABLE 初期化履歴 (世代 INTEGER, 初期化日時 TEXT);
-- The company's seal (印影) and logo (ロゴ), as PNG scaled to what the printed page needs.
CREATE TABLE 画像 (種類 TEXT PRIMARY KEY, データ BLOB NOT NULL);
-- The journal CSV: account and tax-category names per accounting program (a missing row keeps
-- the program's standard name), and every export made, for the corrected-since warning.
CREATE TABLE 仕訳設定 (形式 TEXT NOT NULL, 項目 TEXT NOT NULL, 名称 TEXT);
CREATE TABLE 仕訳出力記録 (形式 TEXT, 期間開始 DATETIME, 期間終了 DATETIME, 出力日時 TEXT);
-- Payments received against an invoice of a generation of the book; one taken back keeps its row
-- with 取消日時 set. 振込手数料 is the bank fee the customer kept, which counts as paid.
CREATE TABLE 入金 (入金番号 INTEGER PRIMARY KEY, 伝票番号 INTEGER NOT NULL, 世代 INTEGER NOT NULL,
                  入金日 DATETIME NOT NULL, 入金額 CURRENCY NOT NULL, 入金方法 TEXT,
                  振込手数料 CURRENCY NOT NULL DEFAULT 0, 摘要 TEXT, 登録日時 TEXT, 取消日時 TEXT);
-- Monthly cut-offs: a summary invoice (請求書番号) per customer and cut-off date with its figures,
-- and the delivery notes it billed (締め明細). One undone keeps its row, with 取消日時 set.
CREATE TABLE 請求締め (締め番号 INTEGER PRIMARY KEY, 顧客名 TEXT NOT NULL, 締日 DATETIME NOT NULL,
                    請求書番号 INTEGER NOT NULL, 世代 INTEGER NOT NULL, 前回御請求額 CURRENCY, 御入金額 CURRENCY,
                    繰越金額 CURRENCY, 今回御買上額 CURRENCY, 消費税額 CURRENCY, 今回御請求額 CURRENCY,
                    実行日時 TEXT, 取消日時 TEXT);
CREATE TABLE 締め明細 (締め番号 INTEGER NOT NULL, 納品書番号 INTEGER NOT NULL);
-- Look-ups by number and by name.
CREATE INDEX 請求書_伝票番号 ON 請求書 (伝票番号);
CREATE INDEX 請求書ヘッダ_伝票番号 ON 請求書ヘッダ (伝票番号);
CREATE INDEX 顧客マスタ_顧客名 ON 顧客マスタ (顧客名);
CREATE INDEX 商品マスタ_品名 ON 商品マスタ (品名);
CREATE INDEX コードマスタ_kcode ON コードマスタ (kcode, code);
-- The invoice list: search by date and total, versions by number.
CREATE INDEX 請求書ヘッダ_日付 ON 請求書ヘッダ (日付, 伝票番号);
CREATE INDEX 請求書ヘッダ_合計 ON 請求書ヘッダ (合計, 伝票番号);
CREATE INDEX 請求書ヘッダ_種別 ON 請求書ヘッダ (種別, 伝票番号);
CREATE INDEX 請求書ヘッダ履歴_伝票番号 ON 請求書ヘッダ履歴 (伝票番号, 世代, 版);
CREATE INDEX 請求書履歴_伝票番号 ON 請求書履歴 (伝票番号, 世代, 版, 行番号);
CREATE UNIQUE INDEX 仕訳設定_形式 ON 仕訳設定 (形式, 項目);
CREATE INDEX 入金_伝票番号 ON 入金 (伝票番号, 世代);
CREATE INDEX 入金_入金日 ON 入金 (入金日);
CREATE INDEX 請求締め_顧客名 ON 請求締め (顧客名, 締日);
CREATE INDEX 締め明細_納品書番号 ON 締め明細 (納品書番号, 締め番号);
CREATE INDEX 請求書ヘッダ_顧客名 ON 請求書ヘッダ (顧客名, 種別, 日付);
PRAGMA user_version = 10;
