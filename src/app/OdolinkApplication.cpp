#include "OdolinkApplication.h"

#include <cstdio>

namespace {
OdolinkApplication::ErrorHandler& errorHandler() {
    static OdolinkApplication::ErrorHandler handler;
    return handler;
}
} // namespace

OdolinkApplication::OdolinkApplication(int& argc, char** argv) : QApplication(argc, argv) {}

void OdolinkApplication::SetErrorHandler(ErrorHandler handler) {
    errorHandler() = std::move(handler);
}

bool OdolinkApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        if (const ErrorHandler& h = errorHandler())
            h(receiver, e);
        else
            std::fprintf(stderr, "%s\n", e.what());
    }
    return false;
}
