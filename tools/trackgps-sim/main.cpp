// trackgps-sim: a stand-in for the provider's ITrackGPS service, for trying Odolink and for its
// tests and demo.
#include "ContractBridge.h"
#include "Journal.h"
#include "SignalWatcher.h"
#include "SimContract.h"
#include "SimData.h"
#include "SimServer.h"
#include "TrackGpsService.h"
#include "ZeltError.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QHostAddress>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslSocket>

#include <cstdio>
#include <optional>

namespace {

constexpr int kUsageError = 2;
constexpr int kStartError = 1;

struct ListenAddress {
    QHostAddress address;
    QString urlHost;
    quint16 port = 0;
};

[[noreturn]] void die(int code, const QString& message) {
    std::fprintf(stderr, "trackgps-sim: %s\n", qPrintable(message));
    std::exit(code);
}

std::optional<ListenAddress> parseListen(const QString& text) {
    const qsizetype colon = text.lastIndexOf(u':');
    if (colon < 0)
        return std::nullopt;
    QString host = text.left(colon);
    bool ok = false;
    const uint port = text.mid(colon + 1).toUInt(&ok);
    if (!ok || port > 65535)
        return std::nullopt;
    if (host.startsWith(u'[') && host.endsWith(u']'))
        host = host.mid(1, host.size() - 2);
    ListenAddress result;
    result.port = quint16(port);
    if (host.compare(QLatin1StringView("localhost"), Qt::CaseInsensitive) == 0) {
        result.address = QHostAddress::LocalHost;
        result.urlHost = QStringLiteral("localhost");
    } else if (host.isEmpty() || host == QLatin1StringView("*")) {
        result.address = QHostAddress::Any;
        result.urlHost = QStringLiteral("127.0.0.1");
    } else if (result.address.setAddress(host)) {
        result.urlHost =
            result.address.protocol() == QAbstractSocket::IPv6Protocol ? u'[' + host + u']' : host;
    } else {
        return std::nullopt;
    }
    return result;
}

QByteArray readFile(const QString& path, const char* what) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        die(kStartError, QStringLiteral("cannot read the %1 %2: %3")
                             .arg(QLatin1StringView(what), path, file.errorString()));
    return file.readAll();
}

QSslConfiguration tlsConfiguration(const QString& certPath, const QString& keyPath) {
    if (!QSslSocket::supportsSsl())
        die(kStartError, QStringLiteral("TLS is not available (Qt found no OpenSSL backend)"));
    const QList<QSslCertificate> chain =
        QSslCertificate::fromData(readFile(certPath, "certificate"), QSsl::Pem);
    if (chain.isEmpty())
        die(kStartError, QStringLiteral("%1 holds no PEM certificate").arg(certPath));
    const QByteArray keyPem = readFile(keyPath, "private key");
    QSslKey key;
    for (QSsl::KeyAlgorithm algorithm : {QSsl::Rsa, QSsl::Ec, QSsl::Dsa}) {
        key = QSslKey(keyPem, algorithm, QSsl::Pem);
        if (!key.isNull())
            break;
    }
    if (key.isNull())
        die(kStartError,
            QStringLiteral("%1 holds no unencrypted PEM private key (RSA, EC or DSA)").arg(keyPath));
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificateChain(chain);
    configuration.setPrivateKey(key);
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    return configuration;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("trackgps-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ODOLINK_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A stand-in for the TrackGPS ITrackGPS web service (SOAP 1.2). Prints one line\n"
                       "\"LISTENING <service address>\" once it serves; SIGTERM or SIGINT end it."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption listenOption(QStringLiteral("listen"),
                                          QStringLiteral("Address to serve on; port 0 picks a free port."),
                                          QStringLiteral("HOST:PORT"), QStringLiteral("127.0.0.1:0"));
    const QCommandLineOption dataOption(QStringLiteral("data"),
                                        QStringLiteral("JSON file of accounts, devices and carriers "
                                                       "(default: the built-in example)."),
                                        QStringLiteral("FILE"));
    const QCommandLineOption certOption(QStringLiteral("tls-cert"),
                                        QStringLiteral("PEM certificate (chain) for HTTPS."),
                                        QStringLiteral("FILE"));
    const QCommandLineOption keyOption(QStringLiteral("tls-key"),
                                       QStringLiteral("PEM private key for HTTPS."), QStringLiteral("FILE"));
    const QCommandLineOption journalOption(QStringLiteral("journal"),
                                           QStringLiteral("Append one JSON line per request to FILE."),
                                           QStringLiteral("FILE"));
    const QCommandLineOption delayOption(QStringLiteral("delay-ms"),
                                         QStringLiteral("Answer every request N milliseconds late."),
                                         QStringLiteral("N"), QStringLiteral("0"));
    parser.addOptions({listenOption, dataOption, certOption, keyOption, journalOption, delayOption});
    parser.process(app);
    if (!parser.positionalArguments().isEmpty())
        die(kUsageError,
            QStringLiteral("unexpected argument %1 (see --help)").arg(parser.positionalArguments().first()));

    const std::optional<ListenAddress> listen = parseListen(parser.value(listenOption));
    if (!listen)
        die(kUsageError, QStringLiteral("--listen wants HOST:PORT, for example 127.0.0.1:8080, not \"%1\"")
                             .arg(parser.value(listenOption)));
    bool delayOk = false;
    const int delayMs = parser.value(delayOption).toInt(&delayOk);
    if (!delayOk || delayMs < 0)
        die(kUsageError, QStringLiteral("--delay-ms wants a number of milliseconds, not \"%1\"")
                             .arg(parser.value(delayOption)));
    if (parser.isSet(certOption) != parser.isSet(keyOption))
        die(kUsageError, QStringLiteral("give --tls-cert and --tls-key together"));

    try {
        sim::checkContractAgreement();
    } catch (const EZeltError& e) {
        die(kStartError, QStringLiteral("the service's types disagree with the contract: ") + e.Message());
    }

    std::optional<sim::SimData> data;
    try {
        if (parser.isSet(dataOption)) {
            data = sim::SimData::load(parser.value(dataOption));
        } else {
            std::fprintf(stderr, "trackgps-sim: no --data given: serving the built-in example data\n");
            data =
                sim::SimData::fromJson(readFile(QStringLiteral(":/trackgps-sim/fleet.json"), "example data"),
                                       QStringLiteral("built-in example"));
        }
    } catch (const EZeltError& e) {
        die(kStartError, e.Message());
    }

    sim::ServerOptions options;
    options.delayMs = delayMs;
    options.wsdl = readFile(QStringLiteral(":/trackgps-sim/TrackGPSWs.wsdl"), "service description");
    if (parser.isSet(certOption))
        options.tls = tlsConfiguration(parser.value(certOption), parser.value(keyOption));

    sim::Journal journal;
    if (parser.isSet(journalOption)) {
        QString error;
        if (!journal.open(parser.value(journalOption), &error))
            die(kStartError,
                QStringLiteral("cannot open the journal %1: %2").arg(parser.value(journalOption), error));
    }

    sim::TrackGpsService service(std::move(*data));
    sim::SimServer server(service, journal, std::move(options));
    QString error;
    if (!server.listen(listen->address, listen->port, &error))
        die(kStartError, QStringLiteral("cannot listen on %1: %2").arg(parser.value(listenOption), error));

    sim::SignalWatcher watcher;
    QObject::connect(&watcher, &sim::SignalWatcher::terminationRequested, &app,
                     [] { QCoreApplication::quit(); });

    const QString url =
        QStringLiteral("%1://%2:%3%4")
            .arg(parser.isSet(certOption) ? QStringLiteral("https") : QStringLiteral("http"), listen->urlHost)
            .arg(server.port())
            .arg(sim::kServicePath);
    std::printf("LISTENING %s\n", qPrintable(url));
    std::fflush(stdout);
    return app.exec();
}
