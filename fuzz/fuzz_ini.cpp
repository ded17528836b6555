#include "ZeltIniFile.h"

#include <cstddef>
#include <cstdint>

// Any bytes are a configuration file: reading them never fails, and every key found reads back.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ZeltIniFile ini =
        ZeltIniFile::fromBytes(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    for (const char* key : {"OraDbName", "NumeFirma", "TrackGPSUser", "TrackGPSParola", "TrackGPSUrl"})
        (void)ini.ReadString(QStringLiteral("Configurari"), QString::fromLatin1(key), QStringLiteral("x"));
    return 0;
}
