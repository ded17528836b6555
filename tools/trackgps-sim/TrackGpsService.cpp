#include "TrackGpsService.h"

#include "SimFault.h"
#include "SimTime.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <limits>

namespace sim {

namespace {

class Call {
public:
    Call(const SoapRequest& request, const SimData& data) : FRequest(request), FData(data) {}

    std::optional<QString> optionalText(const char* name) const {
        const SoapParameter* p = FRequest.parameter(name);
        return p ? p->value : std::nullopt;
    }

    QString text(const char* name) const {
        const std::optional<QString> value = optionalText(name);
        if (!value)
            throw SimFault::sender(QStringLiteral("The parameter %1 of %2 is missing.")
                                       .arg(QLatin1StringView(name), FRequest.operationName));
        return *value;
    }

    qint64 integer(const char* name, qint64 min, qint64 max, const char* xsdType) const {
        const QString value = text(name).trimmed();
        static const QRegularExpression form(QStringLiteral(R"(^[+-]?\d+$)"));
        bool ok = form.match(value).hasMatch();
        const qint64 number = ok ? value.toLongLong(&ok) : 0;
        if (!ok || number < min || number > max)
            throw SimFault::sender(QStringLiteral("The value '%1' of the parameter %2 is not a valid xs:%3.")
                                       .arg(value, QLatin1StringView(name), QLatin1StringView(xsdType)));
        return number;
    }

    int int32(const char* name) const {
        return int(
            integer(name, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max(), "int"));
    }

    int int16(const char* name) const {
        return int(
            integer(name, std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max(), "short"));
    }

    QDateTime dateTime(const char* name) const {
        const QString value = text(name);
        const std::optional<QDateTime> instant = parseXmlDateTime(value);
        if (!instant)
            throw SimFault::sender(
                QStringLiteral("The value '%1' of the parameter %2 is not a valid xs:dateTime.")
                    .arg(value, QLatin1StringView(name)));
        return *instant;
    }

    void authenticate() const {
        const char* userParam = FRequest.operation->userParam();
        const QString user = optionalText(userParam).value_or(QString());
        const QString password = optionalText("password").value_or(QString());
        if (!FData.checkCredentials(user, password))
            throw SimFault::refusal(QStringLiteral("Invalid user name or password."));
    }

    const Device& device() const {
        const QString imei = text("imei").trimmed();
        const Device* d = FData.device(imei);
        if (!d)
            throw SimFault::refusal(QStringLiteral("Unknown device IMEI '%1'.").arg(imei));
        return *d;
    }

    const Carrier& carrier(int id) const {
        const Carrier* c = FData.carrier(id);
        if (!c)
            throw SimFault::refusal(QStringLiteral("Unknown carrier id %1.").arg(id));
        return *c;
    }

    const Carrier& carrierOf(const Device& d) const {
        if (!d.carrierId)
            throw SimFault::receiver(
                QStringLiteral("The device '%1' is not fitted to a carrier.").arg(d.imei));
        return carrier(*d.carrierId);
    }

    const Device& deviceOf(const Carrier& c) const {
        const Device* d = FData.deviceOfCarrier(c.id);
        if (!d)
            throw SimFault::receiver(QStringLiteral("The carrier %1 has no GPS device.").arg(c.id));
        return *d;
    }

    const SimData& data() const { return FData; }

private:
    const SoapRequest& FRequest;
    const SimData& FData;
};

OperationResult number(double value) {
    OperationResult r;
    r.lexical = xmlDouble(value);
    return r;
}

OperationResult textResult(const QString& text) {
    OperationResult r;
    r.lexical = text;
    return r;
}

OperationResult objectResult(SimObject object) {
    OperationResult r;
    r.object = std::move(object);
    return r;
}

QJsonValue jsonOf(const FieldDef& field, const FieldValue& value);

QJsonObject jsonOf(const SimObject& object) {
    QJsonObject json;
    for (std::size_t i = 0; i < object.values.size(); ++i) {
        if (object.values[i])
            json.insert(QLatin1StringView(object.type->fields[i].name),
                        jsonOf(object.type->fields[i], *object.values[i]));
    }
    return json;
}

QJsonValue jsonOf(const FieldDef& field, const FieldValue& value) {
    switch (value.form) {
    case FieldValue::Form::Nil:
        return QJsonValue::Null;
    case FieldValue::Form::Strings:
        return QJsonArray::fromStringList(value.strings);
    case FieldValue::Form::Object:
        return jsonOf(*value.object);
    case FieldValue::Form::Text:
        break;
    }
    switch (field.kind) {
    case FieldKind::Int:
    case FieldKind::Short:
    case FieldKind::Double:
        if (const double d = value.text.toDouble(); std::isfinite(d))
            return d;
        return value.text;
    case FieldKind::Boolean:
        return value.text == QLatin1StringView("true");
    default:
        return value.text;
    }
}

QString jsonText(const QJsonArray& array) {
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

QJsonArray locationsJson(const SimData& data) {
    QJsonArray array;
    for (const Carrier* c : data.carriers())
        array.append(jsonOf(c->location));
    return array;
}

SimObject carOf(const Carrier& c) {
    SimObject car(&types::Car);
    for (const char* field : {"CarrierCode", "CarrierName"}) {
        if (const FieldValue* v = c.location.get(field))
            car.set(field, *v);
    }
    car.set("CarrierId", FieldValue::ofText(QString::number(c.id)));
    return car;
}

double kmBetween(double lat1, double lon1, double lat2, double lon2) {
    constexpr double radius = 6371.0, rad = M_PI / 180.0;
    const double dLat = (lat2 - lat1) * rad, dLon = (lon2 - lon1) * rad;
    const double a = std::pow(std::sin(dLat / 2), 2) +
                     std::cos(lat1 * rad) * std::cos(lat2 * rad) * std::pow(std::sin(dLon / 2), 2);
    return 2 * radius * std::asin(std::min(1.0, std::sqrt(a)));
}

// Codes of the (at most five) carriers nearest to the point.
QStringList nearestCars(const SimData& data, double latitude, double longitude) {
    QList<std::pair<double, QString>> byDistance;
    for (const Carrier* c : data.carriers()) {
        bool okLat = false, okLon = false;
        const double lat = c->location.text("Latitude").toDouble(&okLat);
        const double lon = c->location.text("Longitude").toDouble(&okLon);
        if (!okLat || !okLon)
            continue;
        const QString code = c->location.text("CarrierCode");
        byDistance.append(
            {kmBetween(latitude, longitude, lat, lon), code.isEmpty() ? QString::number(c->id) : code});
    }
    std::stable_sort(byDistance.begin(), byDistance.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    QStringList codes;
    for (qsizetype i = 0; i < byDistance.size() && i < 5; ++i)
        codes.append(byDistance[i].second);
    return codes;
}

SimObject locationAt(const SimData& data, const QString& latitude, const QString& longitude) {
    bool okLat = false, okLon = false;
    const double lat = latitude.trimmed().toDouble(&okLat), lon = longitude.trimmed().toDouble(&okLon);
    if (!okLat || !okLon || std::fabs(lat) > 90 || std::fabs(lon) > 180)
        throw SimFault::sender(
            QStringLiteral("The coordinates '%1', '%2' are not a valid latitude and longitude.")
                .arg(latitude, longitude));
    SimObject location(&types::Location);
    location.set("ErrorCode", FieldValue::ofText(QStringLiteral("0")));
    location.set("Latitude", FieldValue::ofText(latitude.trimmed()));
    location.set("Longitude", FieldValue::ofText(longitude.trimmed()));
    FieldValue cars{FieldValue::Form::Strings, {}, nearestCars(data, lat, lon), {}};
    location.set("NearestCars", std::move(cars));
    return location;
}

const Place& placeOf(const Call& call) {
    const QString judet = call.text("judet"), oras = call.text("oras"), localitate = call.text("localitate"),
                  adresa = call.text("adresa");
    const Place* place = call.data().place(judet, oras, localitate, adresa);
    if (!place)
        throw SimFault::refusal(
            QStringLiteral("Address not found: %1, %2, %3, %4.").arg(adresa, localitate, oras, judet));
    return *place;
}

bool within(const QString& when, const QDateTime& start, const QDateTime& end) {
    if (when.isEmpty())
        return start <= end;
    const std::optional<QDateTime> instant = parseXmlDateTime(when);
    return instant && start <= *instant && *instant <= end;
}

// The report's dates: a day ("2024-05-01") or a date-time of which the day counts.
QDate reportDay(const Call& call, const char* name) {
    const QString value = call.text(name).trimmed();
    QDate day = QDate::fromString(value, Qt::ISODate);
    if (!day.isValid()) {
        if (const std::optional<QDateTime> instant = parseXmlDateTime(value))
            day = instant->date();
    }
    if (!day.isValid())
        throw SimFault::sender(
            QStringLiteral("The value '%1' of the parameter %2 is not a date (yyyy-mm-dd).")
                .arg(value, QLatin1StringView(name)));
    return day;
}

OperationResult dailyDriveReport(const Call& call) {
    const Carrier& carrier = call.carrier(call.int16("carrierID"));
    const QDate first = reportDay(call, "startDate"), last = reportDay(call, "endDate");
    if (first.daysTo(last) > 366)
        throw SimFault::sender(QStringLiteral("The report covers at most 366 days."));
    const Device& device = call.deviceOf(carrier);
    QJsonArray days;
    for (QDate day = first; day <= last; day = day.addDays(1)) {
        const QDateTime start(day, QTime(0, 0), Qt::UTC);
        QJsonObject line;
        line.insert(QLatin1StringView("Date"), day.toString(Qt::ISODate));
        line.insert(QLatin1StringView("CarrierId"), carrier.id);
        line.insert(QLatin1StringView("DistanceKm"), device.distance.between(start, start.addDays(1)));
        days.append(line);
    }
    return textResult(jsonText(days));
}

QList<int> carrierIds(const Call& call) {
    QList<int> ids;
    const QString text = call.text("carrierIds");
    for (const QString& part :
         text.split(QRegularExpression(QStringLiteral("[,;\\s]+")), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int id = part.toInt(&ok);
        if (!ok)
            throw SimFault::sender(QStringLiteral("'%1' in carrierIds is not a carrier id.").arg(part));
        ids.append(id);
    }
    return ids;
}

} // namespace

OperationResult TrackGpsService::call(const SoapRequest& request) {
    const Call call(request, FData);
    const QLatin1StringView op(request.operation->name);
    if (op == QLatin1StringView("SetAuthorizationToken")) {
        const QString customer = call.optionalText("customer").value_or(QString());
        const QString token = call.optionalText("token").value_or(QString());
        const bool accepted = FData.hasAccount(customer) && !token.isEmpty();
        if (accepted)
            FTokens.insert(customer, token);
        OperationResult r;
        r.lexical = xmlBoolean(accepted);
        return r;
    }

    call.authenticate();
    if (op == QLatin1StringView("GetDistanceByIMEI") || op == QLatin1StringView("GetDistanceByIMEICargus")) {
        const Device& device = call.device();
        const QDateTime start = call.dateTime("startDate"), end = call.dateTime("endDate");
        return number(device.distance.between(start, end));
    }
    if (op == QLatin1StringView("GetDistance")) {
        const Carrier& carrier = call.carrier(call.int32("carrierID"));
        const QDateTime start = call.dateTime("startDate"), end = call.dateTime("endDate");
        return number(call.deviceOf(carrier).distance.between(start, end));
    }
    if (op == QLatin1StringView("GetCarrierLocation"))
        return objectResult(call.carrier(call.int32("carrierId")).location);
    if (op == QLatin1StringView("GetCarrierLocationByIMEI"))
        return objectResult(call.carrierOf(call.device()).location);
    if (op == QLatin1StringView("GetUserCarsWithLocation")) {
        OperationResult r;
        for (const Carrier* c : FData.carriers())
            r.items.append(c->location);
        return r;
    }
    if (op == QLatin1StringView("GetUserCarriersLocation")) {
        OperationResult r;
        for (int id : carrierIds(call))
            r.items.append(call.carrier(id).location);
        return r;
    }
    if (op == QLatin1StringView("GetUserCars")) {
        OperationResult r;
        for (const Carrier* c : FData.carriers())
            r.items.append(carOf(*c));
        return r;
    }
    if (op == QLatin1StringView("GetCars")) {
        QJsonArray cars;
        for (const Carrier* c : FData.carriers())
            cars.append(jsonOf(carOf(*c)));
        return textResult(jsonText(cars));
    }
    if (op == QLatin1StringView("GetCarriersLocation") ||
        op == QLatin1StringView("GetCarriersLocationForAuthenticatedUsers"))
        return textResult(jsonText(locationsJson(FData)));
    if (op == QLatin1StringView("GetGpsLocations")) {
        OperationResult r;
        r.bytes = QJsonDocument(locationsJson(FData)).toJson(QJsonDocument::Compact);
        return r;
    }
    if (op == QLatin1StringView("GetDailyDriveReport"))
        return dailyDriveReport(call);
    if (op == QLatin1StringView("GetCarrierStops") || op == QLatin1StringView("GetCarrierWayCoordinates")) {
        const Carrier& carrier = call.carrier(call.int32("carrierId"));
        const QDateTime start = call.dateTime("startDate"), end = call.dateTime("endDate");
        OperationResult r;
        if (op == QLatin1StringView("GetCarrierStops")) {
            for (const SimObject& stop : carrier.stops) {
                const FieldValue* precalc = stop.get("PrecalcData");
                const QString when =
                    precalc && precalc->object ? precalc->object->text("StartDate") : QString();
                if (within(when, start, end))
                    r.items.append(stop);
            }
        } else {
            for (SimObject point : carrier.way) {
                if (!within(point.text("GPSDate"), start, end))
                    continue;
                for (const char* field : {"CarrierCode", "CarrierName"}) {
                    if (const FieldValue* v = carrier.location.get(field))
                        point.setIfAbsent(field, *v);
                }
                if (carrier.id >= std::numeric_limits<qint16>::min() &&
                    carrier.id <= std::numeric_limits<qint16>::max())
                    point.setIfAbsent("CarrierID", FieldValue::ofText(QString::number(carrier.id)));
                r.items.append(point);
            }
        }
        return r;
    }
    if (op == QLatin1StringView("GetDeviceInformationByIMEI")) {
        const Device& device = call.device();
        SimObject info = device.information;
        if (device.carrierId) {
            const Carrier& carrier = call.carrier(*device.carrierId);
            info.setIfAbsent("CarrierId", FieldValue::ofText(QString::number(carrier.id)));
            for (const char* field : {"CarrierCode", "CarrierName", "Latitude", "Longitude", "GPSDate"}) {
                if (const FieldValue* v = carrier.location.get(field))
                    info.setIfAbsent(field, *v);
            }
        }
        return objectResult(std::move(info));
    }
    if (op == QLatin1StringView("GetDeviceInfoByIMEITech"))
        return objectResult(call.device().tech);
    if (op == QLatin1StringView("GetNearestCarsForGPSCoordinates"))
        return objectResult(locationAt(FData, call.text("latitude"), call.text("longitude")));
    if (op == QLatin1StringView("GetNearestCars")) {
        const Place& place = placeOf(call);
        return objectResult(
            locationAt(FData, place.address.text("Latitude"), place.address.text("Longitude")));
    }
    if (op == QLatin1StringView("GetAddress"))
        return objectResult(placeOf(call).address);
    throw SimFault::receiver(QStringLiteral("The operation %1 is not served.").arg(op));
}

} // namespace sim
