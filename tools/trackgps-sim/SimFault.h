#pragma once

#include "ZeltError.h"

namespace sim {

// A refusal the service answers with a SOAP 1.2 fault.
class SimFault : public EZeltError {
public:
    enum class Code { Sender, Receiver };
    // Application faults are the service's own refusals (credentials, unknown device): they carry
    // a WebServiceFault detail, as the provider's typed faults do. The others are refusals of the
    // message itself.
    enum class Kind { Message, Application };

    SimFault(Code code, Kind kind, QString reason)
        : EZeltError(std::move(reason)), FCode(code), FKind(kind) {}

    static SimFault sender(QString reason) { return {Code::Sender, Kind::Message, std::move(reason)}; }
    static SimFault refusal(QString reason) { return {Code::Sender, Kind::Application, std::move(reason)}; }
    static SimFault receiver(QString reason) {
        return {Code::Receiver, Kind::Application, std::move(reason)};
    }

    Code code() const { return FCode; }
    Kind kind() const { return FKind; }

private:
    Code FCode;
    Kind FKind;
};

} // namespace sim
