#pragma once

#include <QString>
#include <QStringList>
#include <csignal>
#include <memory>

class QProcess;

namespace testsupport {

struct ServerOptions {
    QString root;
    // "PATH=KIND[:ARG]", e.g. "/download/X.exe=stall:100".
    QStringList faults;
    // Both set: https with this certificate, which clients then trust as CA.
    QString certFile;
    QString keyFile;
    int port = 0;
};

// The built zendrel-server as a child process on 127.0.0.1. It ends with the
// object, and by itself when the test process dies (it watches its stdin).
class ServerProcess {
public:
    explicit ServerProcess(const QString& root, const QStringList& faults = {});
    explicit ServerProcess(const ServerOptions& options);
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    // True once the server announced its port; Error() says why not.
    bool IsRunning() const;
    QString Error() const { return error_; }

    int Port() const { return port_; }
    // "http://127.0.0.1:PORT" (or https), without a trailing slash.
    QString BaseUrl() const { return baseUrl_; }
    QString Url(const QString& path) const { return baseUrl_ + path; }
    // The certificate to trust for https, empty for http.
    QString CaFile() const { return options_.certFile; }

    // Run-time faults: `spec` is "KIND[:ARG]". Clear() drops every fault.
    bool SetFault(const QString& path, const QString& spec);
    bool Clear();
    // Requests the server has seen for `path`, or -1 when it cannot tell.
    int Hits(const QString& path) const;

    // Sends `signal` and waits (bounded); the exit code, or -1 when the
    // server crashed or had to be killed.
    int Stop(int signal = SIGTERM);
    qint64 ProcessId() const;

private:
    bool Control(const char* method, const QString& target, QString* answer) const;

    ServerOptions options_;
    std::unique_ptr<QProcess> process_;
    QString error_;
    int port_ = 0;
    QString baseUrl_;
    int exitCode_ = -1;
};

struct TestCertificate {
    QString certFile;
    QString keyFile;
    QString error;
    bool IsValid() const { return error.isEmpty(); }
};

// A throwaway self-signed certificate for 127.0.0.1 (openssl command line),
// written into `folder`.
TestCertificate MakeTestCertificate(const QString& folder);

} // namespace testsupport
