#include "Fault.h"

#include <charconv>

namespace zendrelserver {

namespace {

std::optional<long long> ParseNumber(std::string_view text)
{
    long long value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

struct KindInfo {
    std::string_view name;
    FaultKind kind;
    bool takesArg;
    long long minArg;
    long long maxArg;
};

constexpr KindInfo kKinds[] = {
    {"delay", FaultKind::Delay, true, 0, 600000},
    {"stall", FaultKind::Stall, true, 0, 1LL << 50},
    {"short", FaultKind::Short, true, 0, 1LL << 50},
    {"status", FaultKind::Status, true, 200, 599},
    {"drip", FaultKind::Drip, true, 1, 1LL << 40},
    {"refuse", FaultKind::Refuse, false, 0, 0},
};

} // namespace

std::optional<Fault> ParseFault(std::string_view spec)
{
    const auto colon = spec.find(':');
    const std::string_view name = spec.substr(0, colon);
    for (const KindInfo& info : kKinds) {
        if (info.name != name)
            continue;
        if (!info.takesArg)
            return colon == std::string_view::npos ? std::optional(Fault{info.kind, 0})
                                                   : std::nullopt;
        if (colon == std::string_view::npos)
            return std::nullopt;
        const auto arg = ParseNumber(spec.substr(colon + 1));
        if (!arg || *arg < info.minArg || *arg > info.maxArg)
            return std::nullopt;
        return Fault{info.kind, *arg};
    }
    return std::nullopt;
}

std::optional<std::pair<std::string, Fault>> ParseFaultAssignment(std::string_view text)
{
    const auto eq = text.rfind('=');
    if (eq == std::string_view::npos || eq == 0 || text.front() != '/')
        return std::nullopt;
    auto fault = ParseFault(text.substr(eq + 1));
    if (!fault)
        return std::nullopt;
    return std::pair(std::string(text.substr(0, eq)), *fault);
}

} // namespace zendrelserver
