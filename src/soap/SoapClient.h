#pragma once

#include "SoapOperations.h"
#include "SoapTransport.h"

#include <functional>

// A client object for one registered interface at one address: serializes a call from the
// registrations, hands the request to the before-execute hook (which may replace it), posts it
// and reads the reply. Every failure is raised: EZeltError with the transport's or the reader's
// text, ESOAPHTTPException for an HTTP error status, ERemotableException (or the registered error
// class) for a SOAP fault.
class THTTPRIO {
public:
    using TBeforeExecuteEvent = std::function<void(const QString& methodName, QByteArray& soapRequest)>;

    // Raises EZeltError when the interface is not registered.
    explicit THTTPRIO(const QString& interfaceName,
                      TSoapTransportOptions options = TSoapTransportOptions::Default());

    const QString& URL() const { return FURL; }
    void SetURL(const QString& url) { FURL = url; }
    void SetOnBeforeExecute(TBeforeExecuteEvent hook) { FOnBeforeExecute = std::move(hook); }
    const TSoapInterface& Interface() const { return *FInterface; }

    TSoapValue Invoke(const QString& operation, const std::vector<TSoapView>& args);

    // The Content-Type of a SOAP 1.2 request carrying the action.
    static QByteArray ContentTypeFor(const QString& action);

private:
    const TSoapInterface* FInterface;
    TSoapTransportOptions FOptions;
    QString FURL;
    TBeforeExecuteEvent FOnBeforeExecute;
};
