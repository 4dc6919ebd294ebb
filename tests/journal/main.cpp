#include <QCoreApplication>

int runFormatsTests(int argc, char** argv);
int runBookTests(int argc, char** argv);
int runStoredTests(int argc, char** argv);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int failed = 0;
    for (auto run : {runFormatsTests, runBookTests, runStoredTests})
        failed += run(argc, argv);
    return failed == 0 ? 0 : 1;
}
