#include <QCoreApplication>

int runBackupTests(int argc, char** argv);
int runRestoreTests(int argc, char** argv);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int failed = 0;
    for (auto run : {runBackupTests, runRestoreTests})
        failed += run(argc, argv);
    return failed == 0 ? 0 : 1;
}
