-- Work database, at schema version 6: scratch tables behind the grids and the report, and the hints.
-- Space freed by a large import cleared away goes back page by page, rowids kept (see Database).
PRAGMA auto_vacuum = INCREMENTAL;
CREATE TABLE w明細 (行番号 INTEGER, 品名 TEXT, 数量 DOUBLE, 単位 TEXT, 単価 CURRENCY, 金額 CURRENCY,
                   非課税 BOOLEAN NOT NULL DEFAULT 0, 税率 INTEGER);
-- The master copies hold their fields in the order their grids show them, tick first.
CREATE TABLE w顧客マスタ (チェック BOOLEAN NOT NULL DEFAULT 0, 顧客名 TEXT, 顧客情報 TEXT, 敬称 TEXT DEFAULT '様',
                         PeppolID TEXT, 郵便番号 TEXT, 住所 TEXT, 締日 TEXT, 支払月 TEXT, 支払日 TEXT,
                         請求方法 TEXT DEFAULT '都度', 更新回数 INTEGER, 読込名 TEXT, 変更 BOOLEAN NOT NULL DEFAULT 0);
CREATE TABLE w商品マスタ (チェック BOOLEAN NOT NULL DEFAULT 0, 品名 TEXT, 単位 TEXT, 単価 CURRENCY,
                         非課税 BOOLEAN NOT NULL DEFAULT 0, 税率 INTEGER, 更新回数 INTEGER, 読込名 TEXT,
                         変更 BOOLEAN NOT NULL DEFAULT 0);
-- After them, hidden from the grids: each row's change count as read, the name it was read under once
-- it is renamed, and whether it was edited since (set by the triggers below, so registering writes
-- edited rows only).
CREATE TRIGGER w顧客マスタ_変更 AFTER UPDATE ON w顧客マスタ WHEN new.変更 = 0 AND (
    new.顧客名 IS NOT old.顧客名 OR new.顧客情報 IS NOT old.顧客情報 OR new.敬称 IS NOT old.敬称 OR
    new.PeppolID IS NOT old.PeppolID OR new.郵便番号 IS NOT old.郵便番号 OR new.住所 IS NOT old.住所 OR
    new.締日 IS NOT old.締日 OR new.支払月 IS NOT old.支払月 OR new.支払日 IS NOT old.支払日 OR
    new.請求方法 IS NOT old.請求方法)
BEGIN UPDATE w顧客マスタ SET 変更 = 1 WHERE rowid = new.rowid; END;
CREATE TRIGGER w顧客マスタ_改名 AFTER UPDATE OF 顧客名 ON w顧客マスタ WHEN new.読込名 IS NULL AND new.顧客名 IS NOT old.顧客名
BEGIN UPDATE w顧客マスタ SET 読込名 = old.顧客名 WHERE rowid = new.rowid; END;
CREATE TRIGGER w商品マスタ_変更 AFTER UPDATE ON w商品マスタ WHEN new.変更 = 0 AND (
    new.品名 IS NOT old.品名 OR new.単位 IS NOT old.単位 OR new.単価 IS NOT old.単価 OR
    new.非課税 IS NOT old.非課税 OR new.税率 IS NOT old.税率)
BEGIN UPDATE w商品マスタ SET 変更 = 1 WHERE rowid = new.rowid; END;
CREATE TRIGGER w商品マスタ_改名 AFTER UPDATE OF 品名 ON w商品マスタ WHEN new.読込名 IS NULL AND new.品名 IS NOT old.品名
BEGIN UPDATE w商品マスタ SET 読込名 = old.品名 WHERE rowid = new.rowid; END;
CREATE TABLE w商品参照 (品名 TEXT, 単位 TEXT, 単価 CURRENCY, 非課税 BOOLEAN NOT NULL DEFAULT 0, 税率 INTEGER);
CREATE TABLE ClHint (FormName TEXT, CtlName TEXT, FormTitle TEXT, Contents TEXT);
PRAGMA user_version = 6;
