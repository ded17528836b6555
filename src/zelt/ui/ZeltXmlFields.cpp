#include "ZeltXmlFields.h"

#include <QByteArray>
#include <QList>

namespace {

bool isXmlChar(uint c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

} // namespace

namespace ZeltXmlFields {

bool IsXmlSafe(const QString& text) {
    const QList<uint> ucs4 = text.toUcs4();
    for (uint c : ucs4)
        if (!isXmlChar(c))
            return false;
    // A lone surrogate does not survive the conversion as itself.
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(ucs4.constData()), ucs4.size()) == text;
}

void Write(QXmlStreamWriter& w, const QString& name, const QString& text) {
    if (IsXmlSafe(text))
        w.writeAttribute(name, text);
    else
        w.writeAttribute(name + QStringLiteral("64"), QString::fromLatin1(text.toUtf8().toBase64()));
}

std::optional<QString> Read(const QXmlStreamAttributes& a, const QString& name) {
    if (a.hasAttribute(name))
        return a.value(name).toString();
    const QString name64 = name + QStringLiteral("64");
    if (!a.hasAttribute(name64))
        return std::nullopt;
    const auto decoded =
        QByteArray::fromBase64Encoding(a.value(name64).toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return std::nullopt;
    return QString::fromUtf8(*decoded);
}

} // namespace ZeltXmlFields
