#pragma once

#include <QString>
#include <QXmlStreamAttributes>
#include <QXmlStreamWriter>

#include <optional>

// Text fields of the framework's small XML files, written as attributes. A text that XML 1.0
// cannot carry (control characters, lone surrogates) is written as the attribute name + "64"
// holding the base64 of its UTF-8, so every text comes back as it went in.
namespace ZeltXmlFields {

bool IsXmlSafe(const QString& text);
void Write(QXmlStreamWriter& w, const QString& name, const QString& text);
// Nothing when the field is absent or its base64 is broken.
std::optional<QString> Read(const QXmlStreamAttributes& a, const QString& name);

} // namespace ZeltXmlFields
