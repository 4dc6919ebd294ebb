#include <QCoreApplication>

int runRoundingTests(int argc, char** argv);
int runTotalsTests(int argc, char** argv);
int runLinesTests(int argc, char** argv);
int runNumberingTests(int argc, char** argv);
int runRegisterTests(int argc, char** argv);
int runQualifiedTests(int argc, char** argv);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int failed = 0;
    for (auto run : {runRoundingTests, runTotalsTests, runLinesTests, runNumberingTests, runRegisterTests,
                     runQualifiedTests})
        failed += run(argc, argv);
    return failed == 0 ? 0 : 1;
}
