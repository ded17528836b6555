#include "SoapClient.h"

#include "SoapFault.h"
#include "SoapReader.h"
#include "SoapWriter.h"

namespace {

QString mediaType(const QString& contentType) {
    return contentType.section(u';', 0, 0).trimmed().toLower();
}

} // namespace

THTTPRIO::THTTPRIO(const QString& interfaceName, TSoapTransportOptions options)
    : FInterface(InvRegistry().Find(interfaceName)), FOptions(std::move(options)) {
    if (!FInterface)
        throw EZeltError(QStringLiteral("Interface \"%1\" is not registered.").arg(interfaceName));
}

QByteArray THTTPRIO::ContentTypeFor(const QString& action) {
    return QByteArrayLiteral("application/soap+xml; charset=utf-8") + ";action=\"" + action.toUtf8() + '"';
}

TSoapValue THTTPRIO::Invoke(const QString& operation, const std::vector<TSoapView>& args) {
    const TSoapOperation* op = FInterface->FindOperation(operation);
    if (!op)
        throw EZeltError(
            QStringLiteral("Operation \"%1\" is not registered for %2.").arg(operation, FInterface->Name));
    QByteArray request = TSoapWriter::WriteRequest(*FInterface, *op, args);
    if (FOnBeforeExecute)
        FOnBeforeExecute(op->Name, request);

    const QUrl url(FURL);
    const TSoapHttpReply reply =
        TSoapHttpTransport(FOptions).Post(url, ContentTypeFor(FInterface->ActionOf(*op)), request);

    const QString type = mediaType(reply.ContentType);
    const bool failedStatus = reply.Status >= 300 && reply.Status != 500;
    if (failedStatus) {
        // A fault says more than the status line does, whatever status carries it.
        if (type != u"text/plain" && type != u"text/html")
            TSoapReader::RaiseIfFault(reply.Body);
        const QString statusText =
            reply.StatusText.isEmpty() ? QStringLiteral("HTTP error") : reply.StatusText;
        throw ESOAPHTTPException(QStringLiteral("%1 (%2) - '%3'").arg(statusText).arg(reply.Status).arg(FURL),
                                 reply.Status);
    }
    if (type == u"text/plain" || type == u"text/html")
        throw EZeltError(
            QStringLiteral("The service answered with content of type \"%1\" instead of a SOAP message "
                           "(\"application/soap+xml\").")
                .arg(reply.ContentType));
    return TSoapReader::ReadResponse(reply.Body, *FInterface, *op);
}
