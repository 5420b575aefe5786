#include "platform/ServerAddresses.h"

#include <QtGlobal>

namespace platform {
namespace {

QString FromEnvironment(const char* name, const char* builtIn)
{
    QString value = qEnvironmentVariable(name);
    if (value.isEmpty())
        value = QString::fromUtf8(builtIn);
    while (value.endsWith(u'/'))
        value.chop(1);
    return value;
}

} // namespace

QString ServerBase()
{
    return FromEnvironment("ZENDREL_SERVER", ZENDREL_DEFAULT_SERVER);
}
QString StoreBase()
{
    return FromEnvironment("ZENDREL_STORE", ZENDREL_DEFAULT_STORE);
}
QString FtpHost()
{
    return FromEnvironment("ZENDREL_FTP", ZENDREL_DEFAULT_FTP);
}
QString ExtraCaFile()
{
    return qEnvironmentVariable("ZENDREL_CA_FILE");
}

} // namespace platform
