#pragma once

#include <QLatin1StringView>
#include <QString>

#include <span>

// The ITrackGPS contract as the service side sees it: namespaces, operations with their
// parameters and results, and the complex types with their fields in wire order.
namespace sim {

inline constexpr QLatin1StringView kSoap12Ns{"http://www.w3.org/2003/05/soap-envelope"};
inline constexpr QLatin1StringView kSoap11Ns{"http://schemas.xmlsoap.org/soap/envelope/"};
inline constexpr QLatin1StringView kWsaNs{"http://www.w3.org/2005/08/addressing"};
inline constexpr QLatin1StringView kWsaFaultAction{"http://www.w3.org/2005/08/addressing/soap/fault"};
inline constexpr QLatin1StringView kXsiNs{"http://www.w3.org/2001/XMLSchema-instance"};
inline constexpr QLatin1StringView kXmlNs{"http://www.w3.org/XML/1998/namespace"};
inline constexpr QLatin1StringView kServiceNs{"http://tempuri.org/"};
inline constexpr QLatin1StringView kDataContractsNs{
    "http://schemas.datacontract.org/2004/07/Provider.TrackGPS.WebService.DataContracts"};
inline constexpr QLatin1StringView kWebServiceEntitiesNs{
    "http://schemas.datacontract.org/2004/07/Provider.TrackGPS.WebService.Entities"};
inline constexpr QLatin1StringView kDataAccessEntitiesNs{
    "http://schemas.datacontract.org/2004/07/Provider.TrackGPS.DataAccess.Entities"};
inline constexpr QLatin1StringView kArraysNs{"http://schemas.microsoft.com/2003/10/Serialization/Arrays"};
inline constexpr QLatin1StringView kServicePath{"/TrackGPS.WCFService/TrackGPSWs.svc"};

enum class FieldKind { String, Int, Short, Long, Double, Boolean, DateTime, Decimal, StringArray, Object };

struct TypeDef;

struct FieldDef {
    const char* name;
    FieldKind kind;
    bool nillable;
    const TypeDef* objectType = nullptr; // for FieldKind::Object
};

struct TypeDef {
    const char* name;
    QLatin1StringView ns;
    std::span<const FieldDef> fields;

    const FieldDef* field(QStringView fieldName) const;
};

namespace types {
extern const TypeDef Address;
extern const TypeDef Location;
extern const TypeDef Car;
extern const TypeDef WebServiceFault;
extern const TypeDef CarrierLocation;
extern const TypeDef DeviceInfoTech;
extern const TypeDef Stop;
extern const TypeDef GPSCoordinate;
extern const TypeDef PrecalculateStr;
extern const TypeDef DeviceInformation;
} // namespace types

enum class ParamKind { Text, Int, Short, DateTime };

struct ParamDef {
    const char* name;
    ParamKind kind;
};

enum class ResultKind { Text, Double, Boolean, Bytes, Object, ObjectArray };

struct OperationDef {
    const char* name;
    std::span<const ParamDef> params;
    ResultKind result;
    const TypeDef* resultType = nullptr; // Object and ObjectArray: the item type

    QString action() const;
    QString responseAction() const;
    QString responseElement() const;
    QString resultElement() const;
    // "user" or "username": the contract names it differently per operation; empty when the
    // operation takes no credentials.
    const char* userParam() const;
    bool takesCredentials() const { return userParam() != nullptr; }
};

std::span<const OperationDef> operations();
// Exact, case-sensitive: the body element must name the operation as the contract does.
const OperationDef* findOperation(QStringView name);

} // namespace sim
