#pragma once

#include "SimValue.h"
#include "ZeltError.h"

#include <QDateTime>
#include <QHash>
#include <QMap>
#include <QString>

#include <optional>

namespace sim {

// How far a device drove in an interval.
struct DistanceRule {
    enum class Kind { Fixed, PerHour };
    Kind kind = Kind::Fixed;
    double value = 0.0;

    // Fixed: the same number for every interval. PerHour: the rate times the hours from start to
    // end, negative when the start lies after the end.
    double between(const QDateTime& start, const QDateTime& end) const;
};

struct Device {
    QString imei;
    DistanceRule distance;
    std::optional<int> carrierId;
    SimObject information{&types::DeviceInformation};
    SimObject tech{&types::DeviceInfoTech};
};

struct Carrier {
    int id = 0;
    SimObject location{&types::CarrierLocation};
    QList<SimObject> stops;
    QList<SimObject> way;
};

struct Place {
    QString judet, oras, localitate, adresa;
    SimObject address{&types::Address};
};

// The service's accounts, devices and carriers, read from the data file.
class SimData {
public:
    // Raise EZeltError naming the file and the offending entry.
    static SimData load(const QString& path);
    static SimData fromJson(const QByteArray& json, const QString& source);

    bool checkCredentials(const QString& user, const QString& password) const;
    bool hasAccount(const QString& user) const { return FAccounts.contains(user); }
    const Device* device(const QString& imei) const;
    const Carrier* carrier(int id) const;
    const Device* deviceOfCarrier(int carrierId) const;
    // By ascending id.
    QList<const Carrier*> carriers() const;
    // Matched without regard to case or surrounding blanks.
    const Place* place(const QString& judet, const QString& oras, const QString& localitate,
                       const QString& adresa) const;

private:
    QHash<QString, QString> FAccounts;
    QHash<QString, Device> FDevices;
    QMap<int, Carrier> FCarriers;
    QList<Place> FPlaces;
};

} // namespace sim
