#pragma once

#include "mainlist/MainList.h"

#include <ostream>

inline void PrintTo(const ListRow& r, std::ostream* os)
{
    *os << "{\"" << r.game.toStdString() << "\", \"" << r.site.toStdString() << "\", \""
        << r.status.toStdString() << "\"}";
}

inline QString U(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

inline ListRow Row(const char* game, const char* site, const char* status = "")
{
    return ListRow{U(game), U(site), U(status)};
}
