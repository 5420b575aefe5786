#include "ServerProcess.h"

#include "TestSupport.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QUrl>
#include <httplib.h>
#include <signal.h>

namespace testsupport {

namespace {

constexpr int kStartTimeoutMs = 10000;
constexpr int kStopTimeoutMs = 5000;

QString Encoded(const QString& text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

} // namespace

ServerProcess::ServerProcess(const QString& root, const QStringList& faults)
    : ServerProcess(ServerOptions{root, faults, QString(), QString(), 0})
{
}

ServerProcess::ServerProcess(const ServerOptions& options)
    : options_(options)
    , process_(std::make_unique<QProcess>())
{
    QStringList args{QStringLiteral("--root"), options.root, QStringLiteral("--port"),
                     QString::number(options.port), QStringLiteral("--exit-on-stdin-eof")};
    if (!options.certFile.isEmpty())
        args << QStringLiteral("--cert") << options.certFile << QStringLiteral("--key")
             << options.keyFile;
    for (const QString& fault : options.faults)
        args << QStringLiteral("--fault") << fault;

    // stderr goes straight to the test's own, so a chatty server never blocks on a full pipe.
    process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_->start(BuiltProgram(QStringLiteral("zendrel-server")), args);
    if (!process_->waitForStarted(kStartTimeoutMs)) {
        error_ = QStringLiteral("cannot start zendrel-server: ") + process_->errorString();
        return;
    }

    QDeadlineTimer deadline(kStartTimeoutMs);
    while (!process_->canReadLine() && process_->state() == QProcess::Running &&
           !deadline.hasExpired())
        process_->waitForReadyRead(static_cast<int>(qMax<qint64>(1, deadline.remainingTime())));
    const QString line = QString::fromUtf8(process_->readLine()).trimmed();
    static const QRegularExpression announce(
        QStringLiteral("^listening on (https?)://127\\.0\\.0\\.1:(\\d+)$"));
    const auto match = announce.match(line);
    if (!match.hasMatch()) {
        error_ = QStringLiteral("zendrel-server did not announce its port (got \"%1\")").arg(line);
        Stop(SIGKILL);
        return;
    }
    port_ = match.captured(2).toInt();
    baseUrl_ = match.captured(1) + QStringLiteral("://127.0.0.1:") + match.captured(2);
}

ServerProcess::~ServerProcess()
{
    Stop();
}

bool ServerProcess::IsRunning() const
{
    return port_ > 0 && process_->state() == QProcess::Running;
}

qint64 ServerProcess::ProcessId() const
{
    return process_->processId();
}

int ServerProcess::Stop(int signal)
{
    if (process_->state() == QProcess::NotRunning)
        return exitCode_;
    ::kill(static_cast<pid_t>(process_->processId()), signal);
    if (!process_->waitForFinished(kStopTimeoutMs)) {
        process_->kill();
        process_->waitForFinished(kStopTimeoutMs);
        exitCode_ = -1;
    } else {
        exitCode_ = process_->exitStatus() == QProcess::NormalExit ? process_->exitCode() : -1;
    }
    port_ = 0;
    return exitCode_;
}

bool ServerProcess::Control(const char* method, const QString& target, QString* answer) const
{
    if (!IsRunning())
        return false;
    httplib::Client client(baseUrl_.toStdString());
    if (!options_.certFile.isEmpty())
        client.set_ca_cert_path(options_.certFile.toStdString());
    client.set_connection_timeout(5);
    client.set_read_timeout(5);
    client.set_write_timeout(5);
    const std::string path = target.toStdString();
    auto result = std::string(method) == "POST" ? client.Post(path, std::string(), "text/plain")
                                                : client.Get(path);
    if (!result || result->status != 200)
        return false;
    if (answer)
        *answer = QString::fromStdString(result->body).trimmed();
    return true;
}

bool ServerProcess::SetFault(const QString& path, const QString& spec)
{
    return Control(
        "POST", QStringLiteral("/_control/fault?path=%1&spec=%2").arg(Encoded(path), Encoded(spec)),
        nullptr);
}

bool ServerProcess::Clear()
{
    return Control("POST", QStringLiteral("/_control/clear"), nullptr);
}

int ServerProcess::Hits(const QString& path) const
{
    QString answer;
    if (!Control("GET", QStringLiteral("/_control/hits?path=%1").arg(Encoded(path)), &answer))
        return -1;
    bool ok = false;
    const int hits = answer.toInt(&ok);
    return ok ? hits : -1;
}

TestCertificate MakeTestCertificate(const QString& folder)
{
    TestCertificate cert;
    cert.certFile = folder + QStringLiteral("/server-cert.pem");
    cert.keyFile = folder + QStringLiteral("/server-key.pem");
    const RunResult r =
        Run(QStringLiteral("openssl"),
            {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
             QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
             QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
             QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
             QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"),
             QStringLiteral("subjectAltName=IP:127.0.0.1"), QStringLiteral("-keyout"), cert.keyFile,
             QStringLiteral("-out"), cert.certFile},
            20000);
    if (r.exitCode != 0)
        cert.error = QStringLiteral("openssl failed: ") + QString::fromLocal8Bit(r.err);
    return cert;
}

} // namespace testsupport
