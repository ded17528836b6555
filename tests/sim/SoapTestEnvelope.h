#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

// Requests written the way the Odolink client writes them: a fixed 1.2 envelope with constant
// WS-Addressing identifiers, one line per element, CRLF after every line.
namespace soaptest {

inline const QString kServiceNs = QStringLiteral("http://tempuri.org/");
inline const QString kMessageId = QStringLiteral("urn:uuid:f5dacb04-c862-4a05-9291-d59fde6212ea");

using Params = QList<std::pair<QString, QString>>;

QString actionOf(const QString& operation);
// The content type the client sends: SOAP 1.2 with the action.
QByteArray contentTypeFor(const QString& operation);
// `params` after the user and password lines; `userElement` is "user" or "username".
QByteArray envelope(const QString& operation, const QString& userElement, const QString& user,
                    const QString& password, const Params& params = {});
// An operation element holding exactly `params`.
QByteArray envelope(const QString& operation, const Params& params);

} // namespace soaptest
