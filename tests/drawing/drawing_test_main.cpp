// Entry point of the drawing tests: the locales fixed as in the other suites, and a
// QGuiApplication on the offscreen platform, which the fonts of the drawings need.
#include <clocale>
#include <locale>

#include <QGuiApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    std::setlocale(LC_ALL, "C");
    std::locale::global(std::locale::classic());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
