#include "SimContract.h"

#include <array>

namespace sim {

namespace {

using K = FieldKind;
constexpr bool N = true;  // nillable
constexpr bool O = false; // optional only

// Fields are listed in wire order: the XML names sorted by character code.
const FieldDef kAddressFields[] = {{"Latitude", K::String, N},
                                   {"Longitude", K::String, N},
                                   {"Numar", K::String, N},
                                   {"Strada", K::String, N}};

const FieldDef kLocationFields[] = {{"ErrorCode", K::String, N},
                                    {"Latitude", K::String, N},
                                    {"Longitude", K::String, N},
                                    {"NearestCars", K::StringArray, N}};

const FieldDef kCarFields[] = {
    {"CarrierCode", K::String, N}, {"CarrierId", K::Int, O}, {"CarrierName", K::String, N}};

const FieldDef kWebServiceFaultFields[] = {{"Message", K::String, N}};

const FieldDef kCarrierLocationFields[] = {
    {"Address", K::String, N},           {"CarrierCode", K::String, N},  {"CarrierID", K::Int, O},
    {"CarrierName", K::String, N},       {"Course", K::Double, O},       {"EngineEvent", K::Short, O},
    {"EngineEventDate", K::DateTime, O}, {"GPSDate", K::DateTime, O},    {"Latitude", K::Double, O},
    {"Longitude", K::Double, O},         {"ServerDate", K::DateTime, O}, {"Speed", K::Double, O}};

const FieldDef kDeviceInfoTechFields[] = {
    {"FuelLevel", K::Decimal, O}, {"FuelUsed", K::Int, O}, {"IndexKm", K::Double, O}};

const FieldDef kGPSCoordinateFields[] = {{"CarrierCode", K::String, N}, {"CarrierID", K::Short, O},
                                         {"CarrierName", K::String, N}, {"Course", K::Double, N},
                                         {"Firmware", K::String, N},    {"GPSCoordinatesID", K::Long, O},
                                         {"GPSDate", K::DateTime, O},   {"LatDecimal", K::Double, O},
                                         {"LongDecimal", K::Double, O}, {"Speed", K::Double, O}};

const FieldDef kPrecalculateStrFields[] = {{"Address", K::String, N},
                                           {"AverageSpeed", K::Double, O},
                                           {"CarrierId", K::Int, O},
                                           {"DeviceProblemMobile", K::Boolean, O},
                                           {"DeviceProblemStationary", K::Boolean, O},
                                           {"DeviceProblems", K::String, N},
                                           {"DistanceIn", K::Double, O},
                                           {"DistanceOut", K::Double, O},
                                           {"EndDate", K::DateTime, O},
                                           {"EngineOnStops", K::String, N},
                                           {"FunctioningTimeFromPrev", K::Double, O},
                                           {"HotSpot", K::String, N},
                                           {"IndexHours", K::Double, O},
                                           {"IndexKm", K::Double, O},
                                           {"Latitude", K::Double, O},
                                           {"Longitude", K::Double, O},
                                           {"MaxSpeed", K::Double, O},
                                           {"SpeedCount", K::Int, O},
                                           {"StartDate", K::DateTime, O},
                                           {"StationaryEngineOnTime", K::Double, O},
                                           {"StopDuration", K::Double, O},
                                           {"UserId", K::Int, O}};

} // namespace

namespace types {
const TypeDef PrecalculateStr{"PrecalculateStr", kDataAccessEntitiesNs, kPrecalculateStrFields};
} // namespace types

namespace {

const FieldDef kStopFields[] = {{"Consumption", K::Double, O},
                                {"PrecalcData", K::Object, N, &types::PrecalculateStr},
                                {"UserName", K::String, N}};

const FieldDef kDeviceInformationFields[] = {{"CANDate", K::DateTime, O},
                                             {"Capacity", K::Short, O},
                                             {"CarrierCode", K::String, N},
                                             {"CarrierId", K::Int, O},
                                             {"CarrierName", K::String, N},
                                             {"CompanyId", K::Short, O},
                                             {"CompanyName", K::String, N},
                                             {"DateIndexKm", K::DateTime, O},
                                             {"DeviceEvent", K::Short, O},
                                             {"DeviceEventDate", K::DateTime, O},
                                             {"DeviceID", K::Int, O},
                                             {"DeviceName", K::String, N},
                                             {"DriverFirstName", K::String, N},
                                             {"DriverLastName", K::String, N},
                                             {"DriverUserId", K::Int, O},
                                             {"EngineSpeed", K::Decimal, O},
                                             {"EngineTemperature", K::Short, O},
                                             {"FailedAuthLatitude", K::Double, O},
                                             {"FailedAuthLongitude", K::Double, O},
                                             {"FailedUserCode", K::String, N},
                                             {"FuelCounter", K::Int, O},
                                             {"FuelLevel", K::Decimal, O},
                                             {"FuelUsed", K::Int, O},
                                             {"GPSDate", K::DateTime, O},
                                             {"IndexH", K::Double, O},
                                             {"IndexKm", K::Double, O},
                                             {"KM", K::Long, O},
                                             {"LLSFuel", K::Decimal, N},
                                             {"LLSFuelAnalogic", K::Decimal, N},
                                             {"LastAuthDate", K::DateTime, O},
                                             {"LastAuthLatitude", K::Double, O},
                                             {"LastAuthLongitude", K::Double, O},
                                             {"LastFailedAuthDate", K::DateTime, O},
                                             {"Latitude", K::Double, O},
                                             {"Longitude", K::Double, O},
                                             {"Phone", K::String, N},
                                             {"SensorEvent", K::Short, O},
                                             {"Temperature", K::Double, O},
                                             {"UserCodeLSC", K::String, N},
                                             {"VoltageThresholdIGOFFValue", K::String, N},
                                             {"VoltageThresholdIGONValue", K::String, N}};

} // namespace

namespace types {
const TypeDef Address{"Address", kDataContractsNs, kAddressFields};
const TypeDef Location{"Location", kDataContractsNs, kLocationFields};
const TypeDef Car{"Car", kDataContractsNs, kCarFields};
const TypeDef WebServiceFault{"WebServiceFault", kDataContractsNs, kWebServiceFaultFields};
const TypeDef CarrierLocation{"CarrierLocation", kWebServiceEntitiesNs, kCarrierLocationFields};
const TypeDef DeviceInfoTech{"DeviceInfoTech", kDataAccessEntitiesNs, kDeviceInfoTechFields};
const TypeDef Stop{"Stop", kDataAccessEntitiesNs, kStopFields};
const TypeDef GPSCoordinate{"GPSCoordinate", kDataAccessEntitiesNs, kGPSCoordinateFields};
const TypeDef DeviceInformation{"DeviceInformation", kDataAccessEntitiesNs, kDeviceInformationFields};
} // namespace types

const FieldDef* TypeDef::field(QStringView fieldName) const {
    for (const FieldDef& f : fields) {
        if (fieldName == QLatin1StringView(f.name))
            return &f;
    }
    return nullptr;
}

namespace {

using P = ParamKind;
using R = ResultKind;

const ParamDef kUserPassword[] = {{"user", P::Text}, {"password", P::Text}};
const ParamDef kUsernamePassword[] = {{"username", P::Text}, {"password", P::Text}};
const ParamDef kCoordinates[] = {
    {"user", P::Text}, {"password", P::Text}, {"latitude", P::Text}, {"longitude", P::Text}};
const ParamDef kPlace[] = {{"username", P::Text}, {"password", P::Text},   {"judet", P::Text},
                           {"oras", P::Text},     {"localitate", P::Text}, {"adresa", P::Text}};
const ParamDef kDailyReport[] = {{"user", P::Text},
                                 {"password", P::Text},
                                 {"carrierID", P::Short},
                                 {"startDate", P::Text},
                                 {"endDate", P::Text}};
const ParamDef kCarrier[] = {{"username", P::Text}, {"password", P::Text}, {"carrierId", P::Int}};
const ParamDef kCarrierInterval[] = {{"username", P::Text},
                                     {"password", P::Text},
                                     {"carrierID", P::Int},
                                     {"startDate", P::DateTime},
                                     {"endDate", P::DateTime}};
const ParamDef kCarrierIdInterval[] = {{"username", P::Text},
                                       {"password", P::Text},
                                       {"carrierId", P::Int},
                                       {"startDate", P::DateTime},
                                       {"endDate", P::DateTime}};
const ParamDef kImei[] = {{"username", P::Text}, {"password", P::Text}, {"imei", P::Text}};
const ParamDef kImeiInterval[] = {{"username", P::Text},
                                  {"password", P::Text},
                                  {"imei", P::Text},
                                  {"startDate", P::DateTime},
                                  {"endDate", P::DateTime}};
const ParamDef kToken[] = {{"customer", P::Text}, {"token", P::Text}};
const ParamDef kCarrierIds[] = {{"username", P::Text}, {"password", P::Text}, {"carrierIds", P::Text}};

const OperationDef kOperations[] = {
    {"GetNearestCarsForGPSCoordinates", kCoordinates, R::Object, &types::Location},
    {"GetNearestCars", kPlace, R::Object, &types::Location},
    {"GetAddress", kPlace, R::Object, &types::Address},
    {"GetCars", kUserPassword, R::Text},
    {"GetUserCars", kUserPassword, R::ObjectArray, &types::Car},
    {"GetUserCarsWithLocation", kUsernamePassword, R::ObjectArray, &types::CarrierLocation},
    {"GetDailyDriveReport", kDailyReport, R::Text},
    {"GetGpsLocations", kUserPassword, R::Bytes},
    {"GetCarrierLocation", kCarrier, R::Object, &types::CarrierLocation},
    {"GetCarriersLocation", kUsernamePassword, R::Text},
    {"GetCarriersLocationForAuthenticatedUsers", kUsernamePassword, R::Text},
    {"GetDistance", kCarrierInterval, R::Double},
    {"GetCarrierLocationByIMEI", kImei, R::Object, &types::CarrierLocation},
    {"GetDistanceByIMEICargus", kImeiInterval, R::Double},
    {"GetDistanceByIMEI", kImeiInterval, R::Double},
    {"SetAuthorizationToken", kToken, R::Boolean},
    {"GetCarrierStops", kCarrierIdInterval, R::ObjectArray, &types::Stop},
    {"GetCarrierWayCoordinates", kCarrierIdInterval, R::ObjectArray, &types::GPSCoordinate},
    {"GetUserCarriersLocation", kCarrierIds, R::ObjectArray, &types::CarrierLocation},
    {"GetDeviceInformationByIMEI", kImei, R::Object, &types::DeviceInformation},
    {"GetDeviceInfoByIMEITech", kImei, R::Object, &types::DeviceInfoTech},
};

} // namespace

QString OperationDef::action() const {
    return kServiceNs + QLatin1StringView("ITrackGPS/") + QLatin1StringView(name);
}

QString OperationDef::responseAction() const {
    return action() + QLatin1StringView("Response");
}

QString OperationDef::responseElement() const {
    return QLatin1StringView(name) + QLatin1StringView("Response");
}

QString OperationDef::resultElement() const {
    return QLatin1StringView(name) + QLatin1StringView("Result");
}

const char* OperationDef::userParam() const {
    const char* first = params.front().name;
    return (qstrcmp(first, "user") == 0 || qstrcmp(first, "username") == 0) ? first : nullptr;
}

std::span<const OperationDef> operations() {
    return kOperations;
}

const OperationDef* findOperation(QStringView name) {
    for (const OperationDef& op : kOperations) {
        if (name == QLatin1StringView(op.name))
            return &op;
    }
    return nullptr;
}

} // namespace sim
