#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

// The ordinary error class: every error the program raises derives from it.
class EZeltError : public std::exception {
public:
    explicit EZeltError(QString message);
    ~EZeltError() override;

    const QString& Message() const noexcept { return FMessage; }
    // Handlers may rewrite the text of an error they pass on.
    void SetMessage(QString message);
    const char* what() const noexcept override { return FUtf8.constData(); }

private:
    QString FMessage;
    QByteArray FUtf8;
};
