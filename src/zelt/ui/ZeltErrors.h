#pragma once

#include "ZeltError.h"

#include <QObject>
#include <QString>

#include <exception>
#include <functional>

// Raised by the framework's record-saving operation while it saves documents; changes how a
// "resource busy" server error reads. Lowered by the handler once used.
extern bool ZeltDocumentSaving;

// The process-wide handler for errors that no step caught: it reformats database server errors,
// translates a few well-known ones and shows the text in the message dialog. Nothing is logged.
class TZeltGlobalException {
public:
    using Dialog = std::function<void(const QString& text, const QString& caption)>;

    // Without a dialog of the caller's, the framework's message dialog shows the text.
    explicit TZeltGlobalException(Dialog dialog = {});

    void OnException(QObject* Sender, const std::exception& E);

    // The error's text with the data layer's prefixes removed and server errors in a fixed form.
    // Writes the stripped text back into the error when it is one of ours.
    QString BuildErrorText();
    static QString TranslateOracleError(const QString& S);

    const QString& Message() const { return FMessage; }

private:
    const std::exception* FExcept = nullptr;
    QString FMessage;
    Dialog FDialog;
};
