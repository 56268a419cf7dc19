// Entry point of the report tests: the locales fixed as in the other suites, and a
// QApplication on the offscreen platform (fonts, and the charts' scenes).
#include <clocale>
#include <locale>

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_ALL, "C");
    std::locale::global(std::locale::classic());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
