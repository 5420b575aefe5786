#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace zendrelserver {

enum class FaultKind { Delay, Stall, Short, Status, Drip, Refuse };

// A misbehaviour the server shows on one path; `arg` is milliseconds, a byte
// count, a status code or bytes per second, by kind.
struct Fault {
    FaultKind kind = FaultKind::Delay;
    long long arg = 0;
};

// "KIND[:ARG]", e.g. "stall:100" or "refuse".
std::optional<Fault> ParseFault(std::string_view spec);

// "PATH=KIND[:ARG]"; PATH starts with '/'.
std::optional<std::pair<std::string, Fault>> ParseFaultAssignment(std::string_view text);

} // namespace zendrelserver
