-- Work database, at schema version 5: scratch tables behind the grids and the report, and the hints.
-- Space freed by a large import cleared away goes back page by page, rowids kept (see Database).
PRAGMA auto_vacuum = INCREMENTAL;
CREATE TABLE w明細 (行番号 INTEGER, 品名 TEXT, 数量 DOUBLE, 単位 TEXT, 単価 CURRENCY, 金額 CURRENCY,
                   非課税 BOOLEAN NOT NULL DEFAULT 0, 税率 INTEGER);
-- The master copies hold their fields in the order their grids show them, tick first.
CREATE TABLE w顧客マスタ (チェック BOOLEAN NOT NULL DEFAULT 0, 顧客名 TEXT, 顧客情報 TEXT, 敬称 TEXT DEFAULT '様',
                         PeppolID TEXT, 郵便番号 TEXT, 住所 TEXT, 締日 TEXT, 支払月 TEXT, 支払日 TEXT,
                         請求方法 TEXT DEFAULT '都度');
CREATE TABLE w商品マスタ (チェック BOOLEAN NOT NULL DEFAULT 0, 品名 TEXT, 単位 TEXT, 単価 CURRENCY,
                         非課税 BOOLEAN NOT NULL DEFAULT 0, 税率 INTEGER);
CREATE TABLE w商品参照 (品名 TEXT, 単位 TEXT, 単価 CURRENCY, 非課税 BOOLEAN NOT NULL DEFAULT 0, 税率 INTEGER);
CREATE TABLE ClHint (FormName TEXT, CtlName TEXT, FormTitle TEXT, Contents TEXT);
PRAGMA user_version = 5;
