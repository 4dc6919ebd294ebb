#include "masters/wipe.h"

#include "book/history.h"
#include "store/statements.h"

void Data初期化(Database& main, const QDateTime& when) {
    Transaction tx(main);
    Archive全請求書(main, when);
    for (const QString& s : {sql::W1(), sql::W2(), sql::W3(), sql::W4(), sql::W5(), sql::W6(), sql::W7(), sql::W8()})
        main.execute(s);
    tx.commit();
}
