#include "ZeltLabelMarkup.h"

#include <QGuiApplication>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// Any caption parses into at least one line with one run.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QGuiApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "fuzz_labelmarkup";
        static char* argv[] = {name, nullptr};
        return new QGuiApplication(argc, argv);
    }();
    (void)app;
    const QString caption = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QList<TZeltMarkupLine> lines = ZeltParseLabelMarkup(caption, QFont(), clBlack);
    if (lines.isEmpty() || lines.first().Runs.isEmpty())
        __builtin_trap();
    return 0;
}
