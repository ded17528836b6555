#pragma once

#include "OdolinkApplication.h"
#include "ZeltFormats.h"
#include "ZeltUi.h"

#include <QTest>

// Like QTEST_MAIN, but on the program's own application object, so an error that escapes an event
// handler reaches the program's handler instead of ending the test process.
#define ODOLINK_TEST_MAIN(TestClass)                                                                         \
    int main(int argc, char** argv) {                                                                        \
        OdolinkApplication app(argc, argv);                                                                  \
        app.setQuitOnLastWindowClosed(false);                                                                \
        ZeltUiSession ui;                                                                                    \
        FixProcessFormats();                                                                                 \
        TestClass tc;                                                                                        \
        QTEST_SET_MAIN_SOURCE_PATH                                                                           \
        return QTest::qExec(&tc, argc, argv);                                                                \
    }
