#include "SoapReader.h"
#include "TrackGPSWs_Unit.h"

#include <cstddef>
#include <cstdint>
#include <exception>

// Any bytes as the service's reply to each of its operations: a value or an error, nothing else.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const TSoapInterface* intf = [] {
        TrackGPSWs::RegisterTrackGPSWs();
        return InvRegistry().Find(QStringLiteral("ITrackGPS"));
    }();
    if (!intf)
        __builtin_trap();
    const QByteArray xml(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const TSoapOperation& op : intf->Operations) {
        try {
            TSoapReader::RaiseIfFault(xml);
            (void)TSoapReader::ReadResponse(xml, *intf, op);
        } catch (const std::exception&) {
        }
    }
    return 0;
}
