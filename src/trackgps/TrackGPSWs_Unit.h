#pragma once

// The ITrackGPS service contract: its complex types, the operations, and their registration with
// the SOAP runtime. Each XML type has a type class (XML name + "2") holding the fields, and an
// element class of the XML name itself deriving from it; results, array items and nested fields
// always use the type class.

#include "SoapClient.h"
#include "SoapFault.h"
#include "SoapProperty.h"
#include "SoapValues.h"

#include <memory>
#include <vector>

namespace TrackGPSWs {

extern const QString ServiceNamespace;            // operations and their parameters
extern const QString DataContractsNamespace;      // Provider.TrackGPS.WebService.DataContracts
extern const QString WebServiceEntitiesNamespace; // Provider.TrackGPS.WebService.Entities
extern const QString DataAccessEntitiesNamespace; // Provider.TrackGPS.DataAccess.Entities
extern const QString SerializationArraysNamespace;

// ---- DataContracts namespace

class Address2 : public TRemotable {
    SOAP_PROPERTY(QString, Latitude)
    SOAP_PROPERTY(QString, Longitude)
    SOAP_PROPERTY(QString, Numar)
    SOAP_PROPERTY(QString, Strada)
};

using ArrayOfstring = QStringList;

class Location2 : public TRemotable {
    SOAP_PROPERTY(QString, ErrorCode)
    SOAP_PROPERTY(QString, Latitude)
    SOAP_PROPERTY(QString, Longitude)
    SOAP_PROPERTY(ArrayOfstring, NearestCars)
};

class Car2 : public TRemotable {
    SOAP_PROPERTY(QString, CarrierCode)
    SOAP_PROPERTY(qint32, CarrierId)
    SOAP_PROPERTY(QString, CarrierName)
};

// The service's fault detail as plain data.
class WebServiceFault2 : public TRemotable {
    SOAP_PROPERTY(QString, Message_)
};

// The same detail as an error: a fault whose detail carries it is raised as this class.
class WebServiceFault : public ERemotableException {
    SOAP_PROPERTY(QString, Message_)
public:
    WebServiceFault() = default;
};

// ---- WebService.Entities namespace

class CarrierLocation2 : public TRemotable {
    SOAP_PROPERTY(QString, Address)
    SOAP_PROPERTY(QString, CarrierCode)
    SOAP_PROPERTY(qint32, CarrierID)
    SOAP_PROPERTY(QString, CarrierName)
    SOAP_PROPERTY(double, Course)
    SOAP_PROPERTY(qint16, EngineEvent)
    SOAP_OWNED_PROPERTY(TXSDateTime, EngineEventDate)
    SOAP_OWNED_PROPERTY(TXSDateTime, GPSDate)
    SOAP_PROPERTY(double, Latitude)
    SOAP_PROPERTY(double, Longitude)
    SOAP_OWNED_PROPERTY(TXSDateTime, ServerDate)
    SOAP_PROPERTY(double, Speed)
public:
    CarrierLocation2();
    ~CarrierLocation2() override;
};

// ---- DataAccess.Entities namespace

class DeviceInfoTech2 : public TRemotable {
    SOAP_OWNED_PROPERTY(TXSDecimal, FuelLevel)
    SOAP_PROPERTY(qint32, FuelUsed)
    SOAP_PROPERTY(double, IndexKm)
public:
    DeviceInfoTech2();
    ~DeviceInfoTech2() override;
};

class PrecalculateStr2 : public TRemotable {
    SOAP_PROPERTY(QString, Address)
    SOAP_PROPERTY(double, AverageSpeed)
    SOAP_PROPERTY(qint32, CarrierId)
    SOAP_PROPERTY(bool, DeviceProblemMobile)
    SOAP_PROPERTY(bool, DeviceProblemStationary)
    SOAP_PROPERTY(QString, DeviceProblems)
    SOAP_PROPERTY(double, DistanceIn)
    SOAP_PROPERTY(double, DistanceOut)
    SOAP_OWNED_PROPERTY(TXSDateTime, EndDate)
    SOAP_PROPERTY(QString, EngineOnStops)
    SOAP_PROPERTY(double, FunctioningTimeFromPrev)
    SOAP_PROPERTY(QString, HotSpot)
    SOAP_PROPERTY(double, IndexHours)
    SOAP_PROPERTY(double, IndexKm)
    SOAP_PROPERTY(double, Latitude)
    SOAP_PROPERTY(double, Longitude)
    SOAP_PROPERTY(double, MaxSpeed)
    SOAP_PROPERTY(qint32, SpeedCount)
    SOAP_OWNED_PROPERTY(TXSDateTime, StartDate)
    SOAP_PROPERTY(double, StationaryEngineOnTime)
    SOAP_PROPERTY(double, StopDuration)
    SOAP_PROPERTY(qint32, UserId)
public:
    PrecalculateStr2();
    ~PrecalculateStr2() override;
};

class Stop2 : public TRemotable {
    SOAP_PROPERTY(double, Consumption)
    SOAP_OWNED_PROPERTY(PrecalculateStr2, PrecalcData)
    SOAP_PROPERTY(QString, UserName)
public:
    Stop2();
    ~Stop2() override;
};

class GPSCoordinate2 : public TRemotable {
    SOAP_PROPERTY(QString, CarrierCode)
    SOAP_PROPERTY(qint16, CarrierID)
    SOAP_PROPERTY(QString, CarrierName)
    SOAP_PROPERTY(double, Course)
    SOAP_PROPERTY(QString, Firmware)
    SOAP_PROPERTY(qint64, GPSCoordinatesID)
    SOAP_OWNED_PROPERTY(TXSDateTime, GPSDate)
    SOAP_PROPERTY(double, LatDecimal)
    SOAP_PROPERTY(double, LongDecimal)
    SOAP_PROPERTY(double, Speed)
public:
    GPSCoordinate2();
    ~GPSCoordinate2() override;
};

class DeviceInformation2 : public TRemotable {
    SOAP_OWNED_PROPERTY(TXSDateTime, CANDate)
    SOAP_PROPERTY(qint16, Capacity)
    SOAP_PROPERTY(QString, CarrierCode)
    SOAP_PROPERTY(qint32, CarrierId)
    SOAP_PROPERTY(QString, CarrierName)
    SOAP_PROPERTY(qint16, CompanyId)
    SOAP_PROPERTY(QString, CompanyName)
    SOAP_OWNED_PROPERTY(TXSDateTime, DateIndexKm)
    SOAP_PROPERTY(qint16, DeviceEvent)
    SOAP_OWNED_PROPERTY(TXSDateTime, DeviceEventDate)
    SOAP_PROPERTY(qint32, DeviceID)
    SOAP_PROPERTY(QString, DeviceName)
    SOAP_PROPERTY(QString, DriverFirstName)
    SOAP_PROPERTY(QString, DriverLastName)
    SOAP_PROPERTY(qint32, DriverUserId)
    SOAP_OWNED_PROPERTY(TXSDecimal, EngineSpeed)
    SOAP_PROPERTY(qint16, EngineTemperature)
    SOAP_PROPERTY(double, FailedAuthLatitude)
    SOAP_PROPERTY(double, FailedAuthLongitude)
    SOAP_PROPERTY(QString, FailedUserCode)
    SOAP_PROPERTY(qint32, FuelCounter)
    SOAP_OWNED_PROPERTY(TXSDecimal, FuelLevel)
    SOAP_PROPERTY(qint32, FuelUsed)
    SOAP_OWNED_PROPERTY(TXSDateTime, GPSDate)
    SOAP_PROPERTY(double, IndexH)
    SOAP_PROPERTY(double, IndexKm)
    SOAP_PROPERTY(qint64, KM)
    SOAP_OWNED_PROPERTY(TXSDecimal, LLSFuel)
    SOAP_OWNED_PROPERTY(TXSDecimal, LLSFuelAnalogic)
    SOAP_OWNED_PROPERTY(TXSDateTime, LastAuthDate)
    SOAP_PROPERTY(double, LastAuthLatitude)
    SOAP_PROPERTY(double, LastAuthLongitude)
    SOAP_OWNED_PROPERTY(TXSDateTime, LastFailedAuthDate)
    SOAP_PROPERTY(double, Latitude)
    SOAP_PROPERTY(double, Longitude)
    SOAP_PROPERTY(QString, Phone)
    SOAP_PROPERTY(qint16, SensorEvent)
    SOAP_PROPERTY(double, Temperature)
    SOAP_PROPERTY(QString, UserCodeLSC)
    SOAP_PROPERTY(QString, VoltageThresholdIGOFFValue)
    SOAP_PROPERTY(QString, VoltageThresholdIGONValue)
public:
    DeviceInformation2();
    ~DeviceInformation2() override;
};

// Element classes: the schema's global elements of the same names.
class Address final : public Address2 {};
class Location final : public Location2 {};
class Car final : public Car2 {};
class DeviceInfoTech final : public DeviceInfoTech2 {};
class Stop final : public Stop2 {};
class CarrierLocation final : public CarrierLocation2 {};
class GPSCoordinate final : public GPSCoordinate2 {};
class DeviceInformation final : public DeviceInformation2 {};
class PrecalculateStr final : public PrecalculateStr2 {};

// Arrays own their items.
using ArrayOfCar = std::vector<std::unique_ptr<Car2>>;
using ArrayOfCarrierLocation = std::vector<std::unique_ptr<CarrierLocation2>>;
using ArrayOfStop = std::vector<std::unique_ptr<Stop2>>;
using ArrayOfGPSCoordinate = std::vector<std::unique_ptr<GPSCoordinate2>>;

// The service's port type. Every call raises on failure (see THTTPRIO). Results that are objects
// belong to the caller; a nil or absent result is null (or empty).
class ITrackGPS {
public:
    virtual ~ITrackGPS();

    virtual std::unique_ptr<Location2> GetNearestCarsForGPSCoordinates(const QString& user,
                                                                       const QString& password,
                                                                       const QString& latitude,
                                                                       const QString& longitude) = 0;
    virtual std::unique_ptr<Location2> GetNearestCars(const QString& username, const QString& password,
                                                      const QString& judet, const QString& oras,
                                                      const QString& localitate, const QString& adresa) = 0;
    virtual std::unique_ptr<Address2> GetAddress(const QString& username, const QString& password,
                                                 const QString& judet, const QString& oras,
                                                 const QString& localitate, const QString& adresa) = 0;
    virtual QString GetCars(const QString& user, const QString& password) = 0;
    virtual ArrayOfCar GetUserCars(const QString& user, const QString& password) = 0;
    virtual ArrayOfCarrierLocation GetUserCarsWithLocation(const QString& username,
                                                           const QString& password) = 0;
    virtual QString GetDailyDriveReport(const QString& user, const QString& password, qint16 carrierID,
                                        const QString& startDate, const QString& endDate) = 0;
    virtual TByteDynArray GetGpsLocations(const QString& user, const QString& password) = 0;
    virtual std::unique_ptr<CarrierLocation2>
    GetCarrierLocation(const QString& username, const QString& password, qint32 carrierId) = 0;
    virtual QString GetCarriersLocation(const QString& username, const QString& password) = 0;
    virtual QString GetCarriersLocationForAuthenticatedUsers(const QString& username,
                                                             const QString& password) = 0;
    virtual double GetDistance(const QString& username, const QString& password, qint32 carrierID,
                               const TXSDateTime* startDate, const TXSDateTime* endDate) = 0;
    virtual std::unique_ptr<CarrierLocation2>
    GetCarrierLocationByIMEI(const QString& username, const QString& password, const QString& imei) = 0;
    virtual double GetDistanceByIMEICargus(const QString& username, const QString& password,
                                           const QString& imei, const TXSDateTime* startDate,
                                           const TXSDateTime* endDate) = 0;
    virtual double GetDistanceByIMEI(const QString& username, const QString& password, const QString& imei,
                                     const TXSDateTime* startDate, const TXSDateTime* endDate) = 0;
    virtual bool SetAuthorizationToken(const QString& customer, const QString& token) = 0;
    virtual ArrayOfStop GetCarrierStops(const QString& username, const QString& password, qint32 carrierId,
                                        const TXSDateTime* startDate, const TXSDateTime* endDate) = 0;
    virtual ArrayOfGPSCoordinate GetCarrierWayCoordinates(const QString& username, const QString& password,
                                                          qint32 carrierId, const TXSDateTime* startDate,
                                                          const TXSDateTime* endDate) = 0;
    virtual ArrayOfCarrierLocation GetUserCarriersLocation(const QString& username, const QString& password,
                                                           const QString& carrierIds) = 0;
    virtual std::unique_ptr<DeviceInformation2>
    GetDeviceInformationByIMEI(const QString& username, const QString& password, const QString& imei) = 0;
    virtual std::unique_ptr<DeviceInfoTech2>
    GetDeviceInfoByIMEITech(const QString& username, const QString& password, const QString& imei) = 0;
};

// The ITrackGPS view of a client object; the view owns it. Registers the contract if needed.
std::unique_ptr<ITrackGPS> GetITrackGPS(std::unique_ptr<THTTPRIO> rio);

// Registers the interface, its operations and the types with the runtime. Runs once per process;
// further calls (from any thread) do nothing.
void RegisterTrackGPSWs();

} // namespace TrackGPSWs
