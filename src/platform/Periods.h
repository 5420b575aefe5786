#pragma once

#include <QString>

namespace platform {

// The program's periods (timer periods, the download no-data limit, ...) can
// be shortened for tests and diagnosis through ZENDREL_PERIODS, a comma
// separated list of name=milliseconds, e.g. "108=300,110=2000,stall=500".
// Names are timer ids or words such as "stall". Malformed items are ignored.
int PeriodMs(QStringView name, int defaultMs);

// The same lookup over an explicit specification text.
int PeriodMsFrom(QStringView spec, QStringView name, int defaultMs);

} // namespace platform
