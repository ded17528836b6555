#include "TrackGPSWs_Unit.h"

#include "SoapTypeRegistry.h"

#include <mutex>

namespace TrackGPSWs {

namespace {
// Function statics, so registration may run during another unit's static initialisation.
const QString& serviceNs() {
    static const QString s = QStringLiteral("http://tempuri.org/");
    return s;
}
const QString& dataContractsNs() {
    static const QString s =
        QStringLiteral("http://schemas.datacontract.org/2004/07/Provider.TrackGPS.WebService.DataContracts");
    return s;
}
const QString& webServiceEntitiesNs() {
    static const QString s =
        QStringLiteral("http://schemas.datacontract.org/2004/07/Provider.TrackGPS.WebService.Entities");
    return s;
}
const QString& dataAccessEntitiesNs() {
    static const QString s =
        QStringLiteral("http://schemas.datacontract.org/2004/07/Provider.TrackGPS.DataAccess.Entities");
    return s;
}
const QString& serializationArraysNs() {
    static const QString s = QStringLiteral("http://schemas.microsoft.com/2003/10/Serialization/Arrays");
    return s;
}
const QString& interfaceName() {
    static const QString s = QStringLiteral("ITrackGPS");
    return s;
}
} // namespace

const QString ServiceNamespace = serviceNs();
const QString DataContractsNamespace = dataContractsNs();
const QString WebServiceEntitiesNamespace = webServiceEntitiesNs();
const QString DataAccessEntitiesNamespace = dataAccessEntitiesNs();
const QString SerializationArraysNamespace = serializationArraysNs();

// Owned objects are freed in the contract's order.
CarrierLocation2::CarrierLocation2() = default;
CarrierLocation2::~CarrierLocation2() {
    FEngineEventDate.reset();
    FGPSDate.reset();
    FServerDate.reset();
}

DeviceInfoTech2::DeviceInfoTech2() = default;
DeviceInfoTech2::~DeviceInfoTech2() {
    FFuelLevel.reset();
}

PrecalculateStr2::PrecalculateStr2() = default;
PrecalculateStr2::~PrecalculateStr2() {
    FEndDate.reset();
    FStartDate.reset();
}

Stop2::Stop2() = default;
Stop2::~Stop2() {
    FPrecalcData.reset();
}

GPSCoordinate2::GPSCoordinate2() = default;
GPSCoordinate2::~GPSCoordinate2() {
    FGPSDate.reset();
}

DeviceInformation2::DeviceInformation2() = default;
DeviceInformation2::~DeviceInformation2() {
    FCANDate.reset();
    FDateIndexKm.reset();
    FDeviceEventDate.reset();
    FEngineSpeed.reset();
    FFuelLevel.reset();
    FGPSDate.reset();
    FLLSFuel.reset();
    FLLSFuelAnalogic.reset();
    FLastAuthDate.reset();
    FLastFailedAuthDate.reset();
}

ITrackGPS::~ITrackGPS() = default;

namespace {

constexpr unsigned O = sfOptional;
constexpr unsigned ON = sfOptional | sfNillable;

std::shared_ptr<const TSoapFieldTable> address2Fields() {
    TSoapFieldsOf<Address2> t;
    SOAP_FIELD(t, Address2, Latitude, ON);
    SOAP_FIELD(t, Address2, Longitude, ON);
    SOAP_FIELD(t, Address2, Numar, ON);
    SOAP_FIELD(t, Address2, Strada, ON);
    return t.Table();
}

std::shared_ptr<const TSoapFieldTable> location2Fields() {
    TSoapFieldsOf<Location2> t;
    SOAP_FIELD(t, Location2, ErrorCode, ON);
    SOAP_FIELD(t, Location2, Latitude, ON);
    SOAP_FIELD(t, Location2, Longitude, ON);
    t.Field(QStringLiteral("NearestCars"), &Location2::NearestCars, &Location2::SetNearestCars,
            &Location2::NearestCars_Specified, ON, QStringLiteral("string"));
    return t.Table();
}

std::shared_ptr<const TSoapFieldTable> car2Fields() {
    TSoapFieldsOf<Car2> t;
    SOAP_FIELD(t, Car2, CarrierCode, ON);
    SOAP_FIELD(t, Car2, CarrierId, O);
    SOAP_FIELD(t, Car2, CarrierName, ON);
    return t.Table();
}

template <class C> std::shared_ptr<const TSoapFieldTable> faultFields() {
    TSoapFieldsOf<C> t;
    t.Field(QStringLiteral("Message"), &C::Message_, &C::SetMessage_, &C::Message__Specified, ON, QString(),
            QStringLiteral("Message_"));
    return t.Table();
}

std::shared_ptr<const TSoapFieldTable> carrierLocation2Fields() {
    TSoapFieldsOf<CarrierLocation2> t;
    SOAP_FIELD(t, CarrierLocation2, Address, ON);
    SOAP_FIELD(t, CarrierLocation2, CarrierCode, ON);
    SOAP_FIELD(t, CarrierLocation2, CarrierID, O);
    SOAP_FIELD(t, CarrierLocation2, CarrierName, ON);
    SOAP_FIELD(t, CarrierLocation2, Course, O);
    SOAP_FIELD(t, CarrierLocation2, EngineEvent, O);
    SOAP_FIELD(t, CarrierLocation2, EngineEventDate, O);
    SOAP_FIELD(t, CarrierLocation2, GPSDate, O);
    SOAP_FIELD(t, CarrierLocation2, Latitude, O);
    SOAP_FIELD(t, CarrierLocation2, Longitude, O);
    SOAP_FIELD(t, CarrierLocation2, ServerDate, O);
    SOAP_FIELD(t, CarrierLocation2, Speed, O);
    return t.Table();
}

std::shared_ptr<const TSoapFieldTable> deviceInfoTech2Fields() {
    TSoapFieldsOf<DeviceInfoTech2> t;
    SOAP_FIELD(t, DeviceInfoTech2, FuelLevel, O);
    SOAP_FIELD(t, DeviceInfoTech2, FuelUsed, O);
    SOAP_FIELD(t, DeviceInfoTech2, IndexKm, O);
    return t.Table();
}

std::shared_ptr<const TSoapFieldTable> stop2Fields() {
    TSoapFieldsOf<Stop2> t;
    SOAP_FIELD(t, Stop2, Consumption, O);
    SOAP_FIELD(t, Stop2, PrecalcData, ON);
    SOAP_FIELD(t, Stop2, UserName, ON);
    return t.Table();
}

std::shared_ptr<const TSoapFieldTable> gpsCoordinate2Fields() {
    TSoapFieldsOf<GPSCoordinate2> t;
    SOAP_FIELD(t, GPSCoordinate2, CarrierCode, ON);
    SOAP_FIELD(t, GPSCoordinate2, CarrierID, O);
    SOAP_FIELD(t, GPSCoordinate2, CarrierName, ON);
    SOAP_FIELD(t, GPSCoordinate2, Course, ON);
    SOAP_FIELD(t, GPSCoordinate2, Firmware, ON);
    SOAP_FIELD(t, GPSCoordinate2, GPSCoordinatesID, O);
    SOAP_FIELD(t, GPSCoordinate2, GPSDate, O);
    SOAP_FIELD(t, GPSCoordinate2, LatDecimal, O);
    SOAP_FIELD(t, GPSCoordinate2, LongDecimal, O);
    SOAP_FIELD(t, GPSCoordinate2, Speed, O);
    return t.Table();
}

std::shared_ptr<const TSoapFieldTable> deviceInformation2Fields() {
    using D = DeviceInformation2;
    TSoapFieldsOf<D> t;
    SOAP_FIELD(t, D, CANDate, O);
    SOAP_FIELD(t, D, Capacity, O);
    SOAP_FIELD(t, D, CarrierCode, ON);
    SOAP_FIELD(t, D, CarrierId, O);
    SOAP_FIELD(t, D, CarrierName, ON);
    SOAP_FIELD(t, D, CompanyId, O);
    SOAP_FIELD(t, D, CompanyName, ON);
    SOAP_FIELD(t, D, DateIndexKm, O);
    SOAP_FIELD(t, D, DeviceEvent, O);
    SOAP_FIELD(t, D, DeviceEventDate, O);
    SOAP_FIELD(t, D, DeviceID, O);
    SOAP_FIELD(t, D, DeviceName, ON);
    SOAP_FIELD(t, D, DriverFirstName, ON);
    SOAP_FIELD(t, D, DriverLastName, ON);
    SOAP_FIELD(t, D, DriverUserId, O);
    SOAP_FIELD(t, D, EngineSpeed, O);
    SOAP_FIELD(t, D, EngineTemperature, O);
    SOAP_FIELD(t, D, FailedAuthLatitude, O);
    SOAP_FIELD(t, D, FailedAuthLongitude, O);
    SOAP_FIELD(t, D, FailedUserCode, ON);
    SOAP_FIELD(t, D, FuelCounter, O);
    SOAP_FIELD(t, D, FuelLevel, O);
    SOAP_FIELD(t, D, FuelUsed, O);
    SOAP_FIELD(t, D, GPSDate, O);
    SOAP_FIELD(t, D, IndexH, O);
    SOAP_FIELD(t, D, IndexKm, O);
    SOAP_FIELD(t, D, KM, O);
    SOAP_FIELD(t, D, LLSFuel, ON);
    SOAP_FIELD(t, D, LLSFuelAnalogic, ON);
    SOAP_FIELD(t, D, LastAuthDate, O);
    SOAP_FIELD(t, D, LastAuthLatitude, O);
    SOAP_FIELD(t, D, LastAuthLongitude, O);
    SOAP_FIELD(t, D, LastFailedAuthDate, O);
    SOAP_FIELD(t, D, Latitude, O);
    SOAP_FIELD(t, D, Longitude, O);
    SOAP_FIELD(t, D, Phone, ON);
    SOAP_FIELD(t, D, SensorEvent, O);
    SOAP_FIELD(t, D, Temperature, O);
    SOAP_FIELD(t, D, UserCodeLSC, ON);
    SOAP_FIELD(t, D, VoltageThresholdIGOFFValue, ON);
    SOAP_FIELD(t, D, VoltageThresholdIGONValue, ON);
    return t.Table();
}

std::shared_ptr<const TSoapFieldTable> precalculateStr2Fields() {
    using P = PrecalculateStr2;
    TSoapFieldsOf<P> t;
    SOAP_FIELD(t, P, Address, ON);
    SOAP_FIELD(t, P, AverageSpeed, O);
    SOAP_FIELD(t, P, CarrierId, O);
    SOAP_FIELD(t, P, DeviceProblemMobile, O);
    SOAP_FIELD(t, P, DeviceProblemStationary, O);
    SOAP_FIELD(t, P, DeviceProblems, ON);
    SOAP_FIELD(t, P, DistanceIn, O);
    SOAP_FIELD(t, P, DistanceOut, O);
    SOAP_FIELD(t, P, EndDate, O);
    SOAP_FIELD(t, P, EngineOnStops, ON);
    SOAP_FIELD(t, P, FunctioningTimeFromPrev, O);
    SOAP_FIELD(t, P, HotSpot, ON);
    SOAP_FIELD(t, P, IndexHours, O);
    SOAP_FIELD(t, P, IndexKm, O);
    SOAP_FIELD(t, P, Latitude, O);
    SOAP_FIELD(t, P, Longitude, O);
    SOAP_FIELD(t, P, MaxSpeed, O);
    SOAP_FIELD(t, P, SpeedCount, O);
    SOAP_FIELD(t, P, StartDate, O);
    SOAP_FIELD(t, P, StationaryEngineOnTime, O);
    SOAP_FIELD(t, P, StopDuration, O);
    SOAP_FIELD(t, P, UserId, O);
    return t.Table();
}

TSoapParam text(const char* name) {
    return {QString::fromLatin1(name), TSoapKind::String, sfNillable};
}
TSoapParam int32(const char* name) {
    return {QString::fromLatin1(name), TSoapKind::Int32, sfNone};
}
TSoapParam int16(const char* name) {
    return {QString::fromLatin1(name), TSoapKind::Int16, sfNone};
}
TSoapParam dateTime(const char* name) {
    return {QString::fromLatin1(name), TSoapKind::DateTime, sfNone};
}

struct Result {
    TSoapKind Kind;
    std::type_index Class = typeid(void);
    QString ContentNamespace = {};
    QString ItemName = {};
};

void registerOperation(const char* name, std::vector<TSoapParam> params, Result result) {
    TSoapOperation op;
    op.Name = QString::fromLatin1(name);
    op.Params = std::move(params);
    op.ReturnName = op.Name + QStringLiteral("Result");
    op.ReturnKind = result.Kind;
    op.ReturnClass = result.Class;
    const bool plainNumber = result.Kind == TSoapKind::Double || result.Kind == TSoapKind::Boolean ||
                             result.Kind == TSoapKind::Int16 || result.Kind == TSoapKind::Int32 ||
                             result.Kind == TSoapKind::Int64;
    op.ReturnFlags = plainNumber ? sfOptional : sfOptional | sfNillable;
    op.ResultNamespace = result.ContentNamespace;
    op.ItemName = result.ItemName;
    InvRegistry().RegisterOperation(interfaceName(), std::move(op));
}

void registerInterface() {
    TSoapInvokableRegistry& inv = InvRegistry();
    inv.RegisterInterface(interfaceName(), serviceNs(), QStringLiteral("utf-8"));
    inv.RegisterDefaultSOAPAction(interfaceName(), serviceNs() + QStringLiteral("ITrackGPS/%operationName%"));
    inv.RegisterInvokeOptions(interfaceName(), true, true);

    const Result str{TSoapKind::String};
    const Result dbl{TSoapKind::Double};
    const Result location{TSoapKind::Object, typeid(Location2), dataContractsNs()};
    const Result carrierLocation{TSoapKind::Object, typeid(CarrierLocation2), webServiceEntitiesNs()};
    const Result carrierLocations{TSoapKind::ObjectArray, typeid(CarrierLocation2), webServiceEntitiesNs(),
                                  QStringLiteral("CarrierLocation")};

    registerOperation("GetNearestCarsForGPSCoordinates",
                      {text("user"), text("password"), text("latitude"), text("longitude")}, location);
    registerOperation(
        "GetNearestCars",
        {text("username"), text("password"), text("judet"), text("oras"), text("localitate"), text("adresa")},
        location);
    registerOperation(
        "GetAddress",
        {text("username"), text("password"), text("judet"), text("oras"), text("localitate"), text("adresa")},
        {TSoapKind::Object, typeid(Address2), dataContractsNs()});
    registerOperation("GetCars", {text("user"), text("password")}, str);
    registerOperation("GetUserCars", {text("user"), text("password")},
                      {TSoapKind::ObjectArray, typeid(Car2), dataContractsNs(), QStringLiteral("Car")});
    registerOperation("GetUserCarsWithLocation", {text("username"), text("password")}, carrierLocations);
    registerOperation(
        "GetDailyDriveReport",
        {text("user"), text("password"), int16("carrierID"), text("startDate"), text("endDate")}, str);
    registerOperation("GetGpsLocations", {text("user"), text("password")}, {TSoapKind::Base64});
    registerOperation("GetCarrierLocation", {text("username"), text("password"), int32("carrierId")},
                      carrierLocation);
    registerOperation("GetCarriersLocation", {text("username"), text("password")}, str);
    registerOperation("GetCarriersLocationForAuthenticatedUsers", {text("username"), text("password")}, str);
    registerOperation(
        "GetDistance",
        {text("username"), text("password"), int32("carrierID"), dateTime("startDate"), dateTime("endDate")},
        dbl);
    registerOperation("GetCarrierLocationByIMEI", {text("username"), text("password"), text("imei")},
                      carrierLocation);
    registerOperation(
        "GetDistanceByIMEICargus",
        {text("username"), text("password"), text("imei"), dateTime("startDate"), dateTime("endDate")}, dbl);
    registerOperation(
        "GetDistanceByIMEI",
        {text("username"), text("password"), text("imei"), dateTime("startDate"), dateTime("endDate")}, dbl);
    registerOperation("SetAuthorizationToken", {text("customer"), text("token")}, {TSoapKind::Boolean});
    registerOperation(
        "GetCarrierStops",
        {text("username"), text("password"), int32("carrierId"), dateTime("startDate"), dateTime("endDate")},
        {TSoapKind::ObjectArray, typeid(Stop2), dataAccessEntitiesNs(), QStringLiteral("Stop")});
    registerOperation(
        "GetCarrierWayCoordinates",
        {text("username"), text("password"), int32("carrierId"), dateTime("startDate"), dateTime("endDate")},
        {TSoapKind::ObjectArray, typeid(GPSCoordinate2), dataAccessEntitiesNs(),
         QStringLiteral("GPSCoordinate")});
    registerOperation("GetUserCarriersLocation", {text("username"), text("password"), text("carrierIds")},
                      carrierLocations);
    registerOperation("GetDeviceInformationByIMEI", {text("username"), text("password"), text("imei")},
                      {TSoapKind::Object, typeid(DeviceInformation2), dataAccessEntitiesNs()});
    registerOperation("GetDeviceInfoByIMEITech", {text("username"), text("password"), text("imei")},
                      {TSoapKind::Object, typeid(DeviceInfoTech2), dataAccessEntitiesNs()});
}

void registerTypes() {
    TSoapTypeRegistry& rem = RemClassRegistry();
    const QString& dc = dataContractsNs();
    const QString& wse = webServiceEntitiesNs();
    const QString& dae = dataAccessEntitiesNs();

    const auto address = address2Fields();
    const auto location = location2Fields();
    const auto car = car2Fields();
    const auto deviceInfoTech = deviceInfoTech2Fields();
    const auto stop = stop2Fields();
    const auto carrierLocation = carrierLocation2Fields();
    const auto gpsCoordinate = gpsCoordinate2Fields();
    const auto deviceInformation = deviceInformation2Fields();
    const auto precalculateStr = precalculateStr2Fields();

    rem.RegisterXSArray(wse, QStringLiteral("ArrayOfCarrierLocation"), TSoapKind::Object,
                        typeid(CarrierLocation2));
    rem.RegisterXSArray(serializationArraysNs(), QStringLiteral("ArrayOfstring"), TSoapKind::String);
    rem.RegisterXSClass<Address2>(dc, QStringLiteral("Address"), QStringLiteral("Address2"), address);
    rem.RegisterXSClass<Address>(dc, QStringLiteral("Address"), QStringLiteral("Address"), address);
    rem.RegisterXSClass<Location2>(dc, QStringLiteral("Location"), QStringLiteral("Location2"), location);
    rem.RegisterXSClass<WebServiceFault>(dc, QStringLiteral("WebServiceFault"),
                                         QStringLiteral("WebServiceFault"), faultFields<WebServiceFault>());
    rem.RegisterXSArray(dc, QStringLiteral("ArrayOfCar"), TSoapKind::Object, typeid(Car2));
    rem.RegisterXSClass<WebServiceFault2>(dc, QStringLiteral("WebServiceFault"),
                                          QStringLiteral("WebServiceFault2"),
                                          faultFields<WebServiceFault2>());
    rem.RegisterXSClass<Location>(dc, QStringLiteral("Location"), QStringLiteral("Location"), location);
    rem.RegisterXSClass<Car2>(dc, QStringLiteral("Car"), QStringLiteral("Car2"), car);
    rem.RegisterXSClass<Car>(dc, QStringLiteral("Car"), QStringLiteral("Car"), car);
    rem.RegisterXSClass<DeviceInfoTech2>(dae, QStringLiteral("DeviceInfoTech"),
                                         QStringLiteral("DeviceInfoTech2"), deviceInfoTech);
    rem.RegisterXSClass<DeviceInfoTech>(dae, QStringLiteral("DeviceInfoTech"),
                                        QStringLiteral("DeviceInfoTech"), deviceInfoTech);
    rem.RegisterXSArray(dae, QStringLiteral("ArrayOfStop"), TSoapKind::Object, typeid(Stop2));
    rem.RegisterXSClass<Stop2>(dae, QStringLiteral("Stop"), QStringLiteral("Stop2"), stop);
    rem.RegisterXSClass<Stop>(dae, QStringLiteral("Stop"), QStringLiteral("Stop"), stop);
    rem.RegisterXSClass<CarrierLocation2>(wse, QStringLiteral("CarrierLocation"),
                                          QStringLiteral("CarrierLocation2"), carrierLocation);
    rem.RegisterXSClass<CarrierLocation>(wse, QStringLiteral("CarrierLocation"),
                                         QStringLiteral("CarrierLocation"), carrierLocation);
    rem.RegisterXSClass<GPSCoordinate2>(dae, QStringLiteral("GPSCoordinate"),
                                        QStringLiteral("GPSCoordinate2"), gpsCoordinate);
    rem.RegisterXSClass<GPSCoordinate>(dae, QStringLiteral("GPSCoordinate"), QStringLiteral("GPSCoordinate"),
                                       gpsCoordinate);
    rem.RegisterXSClass<DeviceInformation2>(dae, QStringLiteral("DeviceInformation"),
                                            QStringLiteral("DeviceInformation2"), deviceInformation);
    rem.RegisterXSClass<DeviceInformation>(dae, QStringLiteral("DeviceInformation"),
                                           QStringLiteral("DeviceInformation"), deviceInformation);
    rem.RegisterXSClass<PrecalculateStr2>(dae, QStringLiteral("PrecalculateStr"),
                                          QStringLiteral("PrecalculateStr2"), precalculateStr);
    rem.RegisterXSClass<PrecalculateStr>(dae, QStringLiteral("PrecalculateStr"),
                                         QStringLiteral("PrecalculateStr"), precalculateStr);
    rem.RegisterXSArray(dae, QStringLiteral("ArrayOfGPSCoordinate"), TSoapKind::Object,
                        typeid(GPSCoordinate2));
}

// ---- results

QString asText(TSoapValue&& v) {
    if (QString* s = std::get_if<QString>(&v))
        return std::move(*s);
    return {};
}

template <class T> T asNumber(const TSoapValue& v) {
    if (const T* n = std::get_if<T>(&v))
        return *n;
    return T{};
}

template <class T> std::unique_ptr<T> asObject(TSoapValue&& v) {
    auto* p = std::get_if<std::unique_ptr<TRemotable>>(&v);
    if (!p || !*p)
        return nullptr;
    T* typed = dynamic_cast<T*>(p->get());
    if (!typed)
        throw EZeltError(QStringLiteral("The reply holds an object of an unexpected class."));
    p->release();
    return std::unique_ptr<T>(typed);
}

template <class T> std::vector<std::unique_ptr<T>> asArray(TSoapValue&& v) {
    std::vector<std::unique_ptr<T>> out;
    if (auto* list = std::get_if<TSoapObjectList>(&v))
        for (std::unique_ptr<TRemotable>& item : *list)
            out.push_back(asObject<T>(TSoapValue(std::move(item))));
    return out;
}

class TITrackGPSProxy final : public ITrackGPS {
public:
    explicit TITrackGPSProxy(std::unique_ptr<THTTPRIO> rio) : FRIO(std::move(rio)) {}

    std::unique_ptr<Location2> GetNearestCarsForGPSCoordinates(const QString& user, const QString& password,
                                                               const QString& latitude,
                                                               const QString& longitude) override {
        return asObject<Location2>(
            call("GetNearestCarsForGPSCoordinates", {&user, &password, &latitude, &longitude}));
    }
    std::unique_ptr<Location2> GetNearestCars(const QString& username, const QString& password,
                                              const QString& judet, const QString& oras,
                                              const QString& localitate, const QString& adresa) override {
        return asObject<Location2>(
            call("GetNearestCars", {&username, &password, &judet, &oras, &localitate, &adresa}));
    }
    std::unique_ptr<Address2> GetAddress(const QString& username, const QString& password,
                                         const QString& judet, const QString& oras, const QString& localitate,
                                         const QString& adresa) override {
        return asObject<Address2>(
            call("GetAddress", {&username, &password, &judet, &oras, &localitate, &adresa}));
    }
    QString GetCars(const QString& user, const QString& password) override {
        return asText(call("GetCars", {&user, &password}));
    }
    ArrayOfCar GetUserCars(const QString& user, const QString& password) override {
        return asArray<Car2>(call("GetUserCars", {&user, &password}));
    }
    ArrayOfCarrierLocation GetUserCarsWithLocation(const QString& username,
                                                   const QString& password) override {
        return asArray<CarrierLocation2>(call("GetUserCarsWithLocation", {&username, &password}));
    }
    QString GetDailyDriveReport(const QString& user, const QString& password, qint16 carrierID,
                                const QString& startDate, const QString& endDate) override {
        return asText(call("GetDailyDriveReport", {&user, &password, carrierID, &startDate, &endDate}));
    }
    TByteDynArray GetGpsLocations(const QString& user, const QString& password) override {
        TSoapValue v = call("GetGpsLocations", {&user, &password});
        if (auto* b = std::get_if<TByteDynArray>(&v))
            return std::move(*b);
        return {};
    }
    std::unique_ptr<CarrierLocation2> GetCarrierLocation(const QString& username, const QString& password,
                                                         qint32 carrierId) override {
        return asObject<CarrierLocation2>(call("GetCarrierLocation", {&username, &password, carrierId}));
    }
    QString GetCarriersLocation(const QString& username, const QString& password) override {
        return asText(call("GetCarriersLocation", {&username, &password}));
    }
    QString GetCarriersLocationForAuthenticatedUsers(const QString& username,
                                                     const QString& password) override {
        return asText(call("GetCarriersLocationForAuthenticatedUsers", {&username, &password}));
    }
    double GetDistance(const QString& username, const QString& password, qint32 carrierID,
                       const TXSDateTime* startDate, const TXSDateTime* endDate) override {
        return asNumber<double>(call("GetDistance", {&username, &password, carrierID, startDate, endDate}));
    }
    std::unique_ptr<CarrierLocation2>
    GetCarrierLocationByIMEI(const QString& username, const QString& password, const QString& imei) override {
        return asObject<CarrierLocation2>(call("GetCarrierLocationByIMEI", {&username, &password, &imei}));
    }
    double GetDistanceByIMEICargus(const QString& username, const QString& password, const QString& imei,
                                   const TXSDateTime* startDate, const TXSDateTime* endDate) override {
        return asNumber<double>(
            call("GetDistanceByIMEICargus", {&username, &password, &imei, startDate, endDate}));
    }
    double GetDistanceByIMEI(const QString& username, const QString& password, const QString& imei,
                             const TXSDateTime* startDate, const TXSDateTime* endDate) override {
        return asNumber<double>(call("GetDistanceByIMEI", {&username, &password, &imei, startDate, endDate}));
    }
    bool SetAuthorizationToken(const QString& customer, const QString& token) override {
        return asNumber<bool>(call("SetAuthorizationToken", {&customer, &token}));
    }
    ArrayOfStop GetCarrierStops(const QString& username, const QString& password, qint32 carrierId,
                                const TXSDateTime* startDate, const TXSDateTime* endDate) override {
        return asArray<Stop2>(call("GetCarrierStops", {&username, &password, carrierId, startDate, endDate}));
    }
    ArrayOfGPSCoordinate GetCarrierWayCoordinates(const QString& username, const QString& password,
                                                  qint32 carrierId, const TXSDateTime* startDate,
                                                  const TXSDateTime* endDate) override {
        return asArray<GPSCoordinate2>(
            call("GetCarrierWayCoordinates", {&username, &password, carrierId, startDate, endDate}));
    }
    ArrayOfCarrierLocation GetUserCarriersLocation(const QString& username, const QString& password,
                                                   const QString& carrierIds) override {
        return asArray<CarrierLocation2>(
            call("GetUserCarriersLocation", {&username, &password, &carrierIds}));
    }
    std::unique_ptr<DeviceInformation2> GetDeviceInformationByIMEI(const QString& username,
                                                                   const QString& password,
                                                                   const QString& imei) override {
        return asObject<DeviceInformation2>(
            call("GetDeviceInformationByIMEI", {&username, &password, &imei}));
    }
    std::unique_ptr<DeviceInfoTech2> GetDeviceInfoByIMEITech(const QString& username, const QString& password,
                                                             const QString& imei) override {
        return asObject<DeviceInfoTech2>(call("GetDeviceInfoByIMEITech", {&username, &password, &imei}));
    }

private:
    TSoapValue call(const char* operation, std::vector<TSoapView> args) {
        return FRIO->Invoke(QString::fromLatin1(operation), args);
    }

    std::unique_ptr<THTTPRIO> FRIO;
};

} // namespace

std::unique_ptr<ITrackGPS> GetITrackGPS(std::unique_ptr<THTTPRIO> rio) {
    if (!rio)
        throw EZeltError(QStringLiteral("No client object for ITrackGPS."));
    if (rio->Interface().Name != interfaceName())
        throw EZeltError(QStringLiteral("The client object does not serve ITrackGPS."));
    return std::make_unique<TITrackGPSProxy>(std::move(rio));
}

void RegisterTrackGPSWs() {
    static std::once_flag once;
    std::call_once(once, [] {
        registerInterface();
        registerTypes();
    });
}

namespace {
// Registered at start-up, as the rest of the program expects; RegisterTrackGPSWs() stays callable
// for code that runs before static initialisation of this unit has happened.
const bool registeredAtStart = (RegisterTrackGPSWs(), true);
} // namespace

} // namespace TrackGPSWs
