#include "platform/Periods.h"

#include <QList>
#include <QtGlobal>

namespace platform {

int PeriodMsFrom(QStringView spec, QStringView name, int defaultMs)
{
    int result = defaultMs;
    for (QStringView item : spec.split(u',')) {
        const qsizetype eq = item.indexOf(u'=');
        if (eq <= 0 || item.left(eq).trimmed() != name)
            continue;
        bool ok = false;
        const int ms = item.mid(eq + 1).trimmed().toInt(&ok);
        if (ok && ms >= 0)
            result = ms; // the last valid item of a name wins
    }
    return result;
}

int PeriodMs(QStringView name, int defaultMs)
{
    return PeriodMsFrom(qEnvironmentVariable("ZENDREL_PERIODS"), name, defaultMs);
}

} // namespace platform
