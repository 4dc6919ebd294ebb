// Builds the two delivered database files from the schema files.
// Usage: vornisa_mkdb <main.sql> <work.sql> <out-folder>; existing files are left alone.
#include "store/delivered.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() != 4) {
        std::fprintf(stderr, "usage: vornisa_mkdb main.sql work.sql out-folder\n");
        return 2;
    }
    const DeliveredFiles r = makeDeliveredFiles(a[1], a[2], a[3]);
    for (const QString& p : r.kept)
        std::printf("kept %s\n", qPrintable(p));
    for (const QString& p : r.built)
        std::printf("built %s\n", qPrintable(p));
    if (!r.ok())
        std::fprintf(stderr, "%s\n", qPrintable(r.error));
    return r.ok() ? 0 : 1;
}
