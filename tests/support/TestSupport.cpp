#include "TestSupport.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace testsupport {

TempFolder::TempFolder()
{
    ::chmod(QFile::encodeName(dir_.path()).constData(), 0755);
}

void TempFolder::Write(const QString& name, const QByteArray& bytes) const
{
    WriteFile(File(name), bytes);
}

QByteArray TempFolder::Read(const QString& name) const
{
    return ReadFile(File(name));
}

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QString BuiltProgram(const QString& name)
{
    return qEnvironmentVariable("ZENDREL_BIN_DIR") + QLatin1Char('/') + name;
}

RunResult Run(const QString& program, const QStringList& args, int timeoutMs)
{
    RunResult r;
    QProcess p;
    p.start(program, args);
    if (!p.waitForStarted(timeoutMs)) {
        r.err = p.errorString().toUtf8();
        return r;
    }
    p.closeWriteChannel();
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        r.err = "timed out";
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

QStringList AsNobody()
{
    return {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
            QStringLiteral("--clear-groups"), QStringLiteral("--")};
}

bool CanDropPrivileges()
{
    return ::geteuid() == 0 && !QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty();
}

} // namespace testsupport
