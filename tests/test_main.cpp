// Shared test entry point: fixes the C and C++ locales so that number tests give the
// same result on every machine. Locale-dependent behaviour is tested by passing other
// separators explicitly.
#include <clocale>
#include <locale>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    std::setlocale(LC_ALL, "C");
    std::locale::global(std::locale::classic());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
