#include <QApplication>

int runCustomerTests(int argc, char** argv);
int runProductTests(int argc, char** argv);
int runSettingsTests(int argc, char** argv);
int runWipeTests(int argc, char** argv);

int main(int argc, char** argv) {
    // The colour chooser is a widget; the rest only needs the event loop.
    QApplication app(argc, argv);
    int failed = 0;
    for (auto run : {runCustomerTests, runProductTests, runSettingsTests, runWipeTests})
        failed += run(argc, argv);
    return failed == 0 ? 0 : 1;
}
