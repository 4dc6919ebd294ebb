#include <QCoreApplication>

int runWriteTests(int argc, char** argv);
int runReadTests(int argc, char** argv);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int failed = 0;
    for (auto run : {runWriteTests, runReadTests})
        failed += run(argc, argv);
    return failed == 0 ? 0 : 1;
}
