#include <QApplication>

int runHintStoreTests(int argc, char** argv);
int runHintWindowTests(int argc, char** argv);

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    int failed = 0;
    for (auto run : {runHintStoreTests, runHintWindowTests})
        failed += run(argc, argv);
    return failed == 0 ? 0 : 1;
}
