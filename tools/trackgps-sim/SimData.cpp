#include "SimData.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <limits>

namespace sim {

namespace {

[[noreturn]] void fail(const QString& where, const QString& what) {
    throw EZeltError(where + QStringLiteral(": ") + what);
}

QJsonObject objectAt(const QJsonObject& parent, const QString& key, const QString& where) {
    const QJsonValue v = parent.value(key);
    if (v.isUndefined() || v.isNull())
        return {};
    if (!v.isObject())
        fail(where + u'.' + key, QStringLiteral("expected an object"));
    return v.toObject();
}

void checkKeys(const QJsonObject& json, const QStringList& allowed, const QString& where) {
    for (auto it = json.begin(); it != json.end(); ++it) {
        if (!allowed.contains(it.key()))
            fail(where + u'.' + it.key(), QStringLiteral("unknown entry (expected one of: %1)")
                                              .arg(allowed.join(QStringLiteral(", "))));
    }
}

int carrierIdFrom(const QString& text, const QString& where) {
    bool ok = false;
    const qlonglong id = text.toLongLong(&ok);
    if (!ok || id < std::numeric_limits<int>::min() || id > std::numeric_limits<int>::max())
        fail(where, QStringLiteral("a carrier id is a whole number (32-bit)"));
    return int(id);
}

DistanceRule distanceFrom(const QJsonObject& json, const QString& where) {
    const bool fixed = json.contains(QLatin1StringView("distanceKm"));
    const bool perHour = json.contains(QLatin1StringView("kmPerHour"));
    if (fixed == perHour)
        fail(where, QStringLiteral("give exactly one of \"distanceKm\" and \"kmPerHour\""));
    const QString key = fixed ? QStringLiteral("distanceKm") : QStringLiteral("kmPerHour");
    const QJsonValue v = json.value(key);
    if (!v.isDouble())
        fail(where + u'.' + key, QStringLiteral("expected a number"));
    return {fixed ? DistanceRule::Kind::Fixed : DistanceRule::Kind::PerHour, v.toDouble()};
}

QList<SimObject> listFrom(const TypeDef& type, const QJsonObject& parent, const QString& key,
                          const QString& where) {
    QList<SimObject> result;
    const QJsonValue v = parent.value(key);
    if (v.isUndefined())
        return result;
    if (!v.isArray())
        fail(where + u'.' + key, QStringLiteral("expected a list"));
    const QJsonArray items = v.toArray();
    for (qsizetype i = 0; i < items.size(); ++i) {
        const QString itemWhere = QStringLiteral("%1.%2[%3]").arg(where, key).arg(i);
        if (!items[i].isObject())
            fail(itemWhere, QStringLiteral("expected an object"));
        result.append(objectFromJson(type, items[i].toObject(), itemWhere));
    }
    return result;
}

QString placeKey(const QString& judet, const QString& oras, const QString& localitate,
                 const QString& adresa) {
    return QStringList{judet.trimmed(), oras.trimmed(), localitate.trimmed(), adresa.trimmed()}
        .join(u'\x1f')
        .toCaseFolded();
}

} // namespace

double DistanceRule::between(const QDateTime& start, const QDateTime& end) const {
    if (kind == Kind::Fixed)
        return value;
    return value * double(start.msecsTo(end)) / 3600000.0;
}

SimData SimData::load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EZeltError(QStringLiteral("%1: %2").arg(path, file.errorString()));
    return fromJson(file.readAll(), path);
}

SimData SimData::fromJson(const QByteArray& json, const QString& source) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        throw EZeltError(QStringLiteral("%1: not valid JSON at offset %2: %3")
                             .arg(source)
                             .arg(error.offset)
                             .arg(error.errorString()));
    if (!doc.isObject())
        throw EZeltError(source + QStringLiteral(": the data file holds one JSON object"));
    const QJsonObject root = doc.object();
    checkKeys(root, {"accounts", "devices", "carriers", "addresses"}, source);

    SimData data;
    const QJsonObject accounts = objectAt(root, QStringLiteral("accounts"), source);
    for (auto it = accounts.begin(); it != accounts.end(); ++it) {
        if (!it.value().isString())
            fail(QStringLiteral("%1: accounts.%2").arg(source, it.key()),
                 QStringLiteral("the password is a text"));
        data.FAccounts.insert(it.key(), it.value().toString());
    }

    const QJsonObject carriers = objectAt(root, QStringLiteral("carriers"), source);
    for (auto it = carriers.begin(); it != carriers.end(); ++it) {
        const QString where = QStringLiteral("%1: carriers.%2").arg(source, it.key());
        if (!it.value().isObject())
            fail(where, QStringLiteral("expected an object"));
        const QJsonObject json = it.value().toObject();
        Carrier carrier;
        carrier.id = carrierIdFrom(it.key(), where);
        carrier.location = objectFromJson(types::CarrierLocation, json, where, {"stops", "way"});
        if (carrier.location.get("CarrierID") &&
            carrier.location.text("CarrierID") != QString::number(carrier.id))
            fail(where + QStringLiteral(".CarrierID"), QStringLiteral("differs from the carrier's key"));
        carrier.location.set("CarrierID", FieldValue::ofText(QString::number(carrier.id)));
        carrier.stops = listFrom(types::Stop, json, QStringLiteral("stops"), where);
        carrier.way = listFrom(types::GPSCoordinate, json, QStringLiteral("way"), where);
        data.FCarriers.insert(carrier.id, std::move(carrier));
    }

    const QJsonObject devices = objectAt(root, QStringLiteral("devices"), source);
    for (auto it = devices.begin(); it != devices.end(); ++it) {
        const QString where = QStringLiteral("%1: devices.%2").arg(source, it.key());
        if (!it.value().isObject())
            fail(where, QStringLiteral("expected an object"));
        const QJsonObject json = it.value().toObject();
        checkKeys(json, {"distanceKm", "kmPerHour", "carrierId", "information", "tech"}, where);
        Device device;
        device.imei = it.key();
        device.distance = distanceFrom(json, where);
        if (json.contains(QLatin1StringView("carrierId"))) {
            const QJsonValue id = json.value(QLatin1StringView("carrierId"));
            const bool whole = id.isDouble() && id.toDouble() == std::floor(id.toDouble());
            const int carrierId = carrierIdFrom(whole ? QString::number(qint64(id.toDouble())) : QString(),
                                                where + QStringLiteral(".carrierId"));
            if (!data.FCarriers.contains(carrierId))
                fail(where + QStringLiteral(".carrierId"),
                     QStringLiteral("no carrier %1 under \"carriers\"").arg(carrierId));
            device.carrierId = carrierId;
        }
        device.information =
            objectFromJson(types::DeviceInformation, objectAt(json, QStringLiteral("information"), where),
                           where + QStringLiteral(".information"));
        device.tech = objectFromJson(types::DeviceInfoTech, objectAt(json, QStringLiteral("tech"), where),
                                     where + QStringLiteral(".tech"));
        data.FDevices.insert(device.imei, std::move(device));
    }

    const QJsonValue addresses = root.value(QLatin1StringView("addresses"));
    if (!addresses.isUndefined() && !addresses.isArray())
        fail(source + QStringLiteral(": addresses"), QStringLiteral("expected a list"));
    const QJsonArray places = addresses.toArray();
    for (qsizetype i = 0; i < places.size(); ++i) {
        const QString where = QStringLiteral("%1: addresses[%2]").arg(source).arg(i);
        if (!places[i].isObject())
            fail(where, QStringLiteral("expected an object"));
        const QJsonObject json = places[i].toObject();
        Place place;
        QString* parts[] = {&place.judet, &place.oras, &place.localitate, &place.adresa};
        const char* names[] = {"judet", "oras", "localitate", "adresa"};
        for (int p = 0; p < 4; ++p) {
            const QJsonValue v = json.value(QLatin1StringView(names[p]));
            if (!v.isString())
                fail(where + u'.' + QLatin1StringView(names[p]), QStringLiteral("expected a text"));
            *parts[p] = v.toString();
        }
        place.address =
            objectFromJson(types::Address, json, where, {"judet", "oras", "localitate", "adresa"});
        data.FPlaces.append(std::move(place));
    }
    return data;
}

bool SimData::checkCredentials(const QString& user, const QString& password) const {
    const auto it = FAccounts.constFind(user);
    return it != FAccounts.constEnd() && *it == password;
}

const Device* SimData::device(const QString& imei) const {
    const auto it = FDevices.constFind(imei);
    return it == FDevices.constEnd() ? nullptr : &*it;
}

const Carrier* SimData::carrier(int id) const {
    const auto it = FCarriers.constFind(id);
    return it == FCarriers.constEnd() ? nullptr : &*it;
}

const Device* SimData::deviceOfCarrier(int carrierId) const {
    const Device* found = nullptr;
    for (const Device& d : FDevices) {
        // Lowest IMEI wins, so the answer does not depend on hash order.
        if (d.carrierId == carrierId && (!found || d.imei < found->imei))
            found = &d;
    }
    return found;
}

QList<const Carrier*> SimData::carriers() const {
    QList<const Carrier*> result;
    for (const Carrier& c : FCarriers)
        result.append(&c);
    return result;
}

const Place* SimData::place(const QString& judet, const QString& oras, const QString& localitate,
                            const QString& adresa) const {
    const QString key = placeKey(judet, oras, localitate, adresa);
    for (const Place& p : FPlaces) {
        if (placeKey(p.judet, p.oras, p.localitate, p.adresa) == key)
            return &p;
    }
    return nullptr;
}

} // namespace sim
