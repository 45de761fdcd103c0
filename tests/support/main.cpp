// Test entry: a headless QApplication and a pinned environment for every test program.
#include <QApplication>
#include <QLocale>
#include <cstdio>
#include <gtest/gtest.h>

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("TZ", "UTC");
    QLocale::setDefault(QLocale::c());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv); // answers --help and takes its own --gtest_ options
    if (argc > 1) {
        std::fprintf(stderr, "%s: unknown argument %s (see --help)\n", argv[0], argv[1]);
        return 2;
    }
    return RUN_ALL_TESTS();
}
