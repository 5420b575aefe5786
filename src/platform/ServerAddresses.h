#pragma once

#include <QString>

namespace platform {

// Scheme, host and optional port of the maker's web server, without a
// trailing slash: $ZENDREL_SERVER, else the built-in address.
QString ServerBase();
// The same for the maker's web store ($ZENDREL_STORE).
QString StoreBase();
// host:port of the bug-report FTP server ($ZENDREL_FTP); the port may be absent.
QString FtpHost();
// An extra CA certificate file for https ($ZENDREL_CA_FILE), or empty.
QString ExtraCaFile();

} // namespace platform
