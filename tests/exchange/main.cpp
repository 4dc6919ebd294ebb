#include <QCoreApplication>

int runCsvTests(int argc, char** argv);
int runMasterCsvTests(int argc, char** argv);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int failed = 0;
    for (auto run : {runCsvTests, runMasterCsvTests})
        failed += run(argc, argv);
    return failed == 0 ? 0 : 1;
}
