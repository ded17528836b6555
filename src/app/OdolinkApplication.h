#pragma once

#include <QApplication>

#include <exception>
#include <functional>

// The application object. An error that escapes an event handler is caught here, before it could
// unwind through Qt, and handed to the unexpected-error handler; the program goes on running.
class OdolinkApplication : public QApplication {
    Q_OBJECT
public:
    using ErrorHandler = std::function<void(QObject* sender, const std::exception& error)>;

    OdolinkApplication(int& argc, char** argv);

    // Without a handler, the error's text goes to the standard error stream.
    static void SetErrorHandler(ErrorHandler handler);

    bool notify(QObject* receiver, QEvent* event) override;
};
