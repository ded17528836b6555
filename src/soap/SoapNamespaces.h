#pragma once

#include <QString>

// Namespaces of the standards the runtime speaks.
namespace SoapNs {
inline const QString Envelope12 = QStringLiteral("http://www.w3.org/2003/05/soap-envelope");
inline const QString Envelope11 = QStringLiteral("http://schemas.xmlsoap.org/soap/envelope/");
inline const QString XmlSchemaInstance = QStringLiteral("http://www.w3.org/2001/XMLSchema-instance");
inline const QString Xml = QStringLiteral("http://www.w3.org/XML/1998/namespace");
} // namespace SoapNs
