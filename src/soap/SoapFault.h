#pragma once

#include "SoapValues.h"
#include "ZeltError.h"

// A SOAP fault received from a service. A fault whose detail carries an element of a registered
// error class is raised as that class (derived from this one), its fields read from the detail.
class ERemotableException : public EZeltError, public TRemotable {
public:
    explicit ERemotableException(QString message = {});
    ERemotableException(const ERemotableException&) = default;
    ERemotableException(ERemotableException&&) = default;
    ~ERemotableException() override;

    const QString& FaultCode() const { return FFaultCode; }
    // SOAP 1.1 called it the actor; in SOAP 1.2 it is the node.
    const QString& FaultActor() const { return FFaultNode; }
    const QString& FaultNode() const { return FFaultNode; }
    const QString& FaultRole() const { return FFaultRole; }
    const QString& FaultReasonLang() const { return FFaultReasonLang; }
    // The XML text of the fault's Detail element, empty without one.
    const QString& FaultDetail() const { return FFaultDetail; }

    void SetFaultCode(QString v) { FFaultCode = std::move(v); }
    void SetFaultNode(QString v) { FFaultNode = std::move(v); }
    void SetFaultRole(QString v) { FFaultRole = std::move(v); }
    void SetFaultReasonLang(QString v) { FFaultReasonLang = std::move(v); }
    void SetFaultDetail(QString v) { FFaultDetail = std::move(v); }

private:
    QString FFaultCode;
    QString FFaultNode;
    QString FFaultRole;
    QString FFaultReasonLang;
    QString FFaultDetail;
};

// An HTTP reply whose status says the request failed (300 and above, other than 500).
class ESOAPHTTPException : public EZeltError {
public:
    ESOAPHTTPException(QString message, int statusCode)
        : EZeltError(std::move(message)), FStatusCode(statusCode) {}
    int StatusCode() const { return FStatusCode; }

private:
    int FStatusCode;
};
