#pragma once

#include <QCoreApplication>
#include <QTest>

#include <time.h>

// A Qt Test main that fixes the process's time zone before anything reads the time.
#define ODOLINK_TEST_MAIN_IN_ZONE(TestClass, zone)                                                           \
    int main(int argc, char** argv) {                                                                        \
        qputenv("TZ", zone);                                                                                 \
        tzset();                                                                                             \
        QCoreApplication app(argc, argv);                                                                    \
        TestClass test;                                                                                      \
        return QTest::qExec(&test, argc, argv);                                                              \
    }

// Switches the zone for one test row and back.
class TestZone final {
public:
    explicit TestZone(const QByteArray& zone) : FOld(qgetenv("TZ")) {
        qputenv("TZ", zone);
        tzset();
    }
    ~TestZone() {
        qputenv("TZ", FOld);
        tzset();
    }
    TestZone(const TestZone&) = delete;
    TestZone& operator=(const TestZone&) = delete;

private:
    QByteArray FOld;
};
