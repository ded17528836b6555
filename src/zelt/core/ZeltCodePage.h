#pragma once

#include <QByteArray>
#include <QString>

// The system's 8-bit text encoding, as the locale's character set names it. A UTF-8 or plain ASCII
// locale counts as UTF-8; other single-byte sets (ISO-8859-2, CP1250, ...) go through iconv.
namespace ZeltCodePage {

// Name of the character set in use ("UTF-8", "ISO-8859-2", ...).
QByteArray name();

// Bytes of the system code page to text. Bytes that are not valid in a UTF-8 locale are read as
// Latin-1 instead of being dropped, so a file carried over from an 8-bit system loses nothing.
QString decode(const QByteArray& bytes);

// Text to the system code page; characters it cannot hold become "?".
QByteArray encode(const QString& text);

} // namespace ZeltCodePage
