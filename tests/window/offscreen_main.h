#pragma once
// main() of a window test: the real application object (style, fonts, error backstop) on
// the offscreen platform, so that no display is needed and geometry matches the program.
#include <QtTest>

#include "ui/application.h"

#define KARTOVEL_OFFSCREEN_TEST_MAIN(TestClass)        \
    int main(int argc, char** argv)                    \
    {                                                  \
        qputenv("QT_QPA_PLATFORM", "offscreen");       \
        Application application(argc, argv);           \
        TestClass test;                                \
        return QTest::qExec(&test, argc, argv);        \
    }
