#pragma once

#include <QString>
#include <cstdint>

// The standard CRC-32 (IEEE 802.3) of a whole file. Returns 0 and the CRC in
// `crc`, or the system error code of the failed open with `crc` 0. A read
// error part-way gives the CRC of the bytes read so far, with result 0.
int FileCrc32(const QString& path, std::uint32_t& crc);

// The form the list file compares with: "0x" and eight lower-case hex digits.
QString Crc32Text(std::uint32_t crc);
