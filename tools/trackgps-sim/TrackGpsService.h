#pragma once

#include "SimData.h"
#include "SoapRequest.h"

#include <QHash>

namespace sim {

// The ITrackGPS operations over the data file's accounts, devices and carriers.
class TrackGpsService {
public:
    explicit TrackGpsService(SimData data) : FData(std::move(data)) {}

    // Answers one checked request; throws SimFault for every refusal.
    OperationResult call(const SoapRequest& request);

private:
    SimData FData;
    QHash<QString, QString> FTokens; // customer -> token, from SetAuthorizationToken
};

} // namespace sim
