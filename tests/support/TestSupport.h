#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace testsupport {

// A fresh folder removed at the end of the test; readable by other users so
// child processes that drop privileges can reach it.
class TempFolder {
public:
    TempFolder();
    QString Path() const { return dir_.path(); }
    QString File(const QString& name) const { return dir_.path() + QLatin1Char('/') + name; }
    void Write(const QString& name, const QByteArray& bytes) const;
    QByteArray Read(const QString& name) const;

private:
    QTemporaryDir dir_;
};

QByteArray ReadFile(const QString& path);
void WriteFile(const QString& path, const QByteArray& bytes);

// A built program of the project (from ZENDREL_BIN_DIR).
QString BuiltProgram(const QString& name);

struct RunResult {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs a program to its end (bounded by `timeoutMs`); prefix it with
// AsNobody() to run it as an unprivileged user.
RunResult Run(const QString& program, const QStringList& args, int timeoutMs = 30000);

// setpriv arguments that run a command as user and group 65534.
QStringList AsNobody();

// True when the process can give up its privileges (root) to test permission faults.
bool CanDropPrivileges();

} // namespace testsupport
