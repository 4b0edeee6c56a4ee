// The error codes of a raw Mode 2 sector (ECMA-130): the EDC that lets a drive detect a bad
// sector and, in Form 1, the P and Q parity that lets it correct one. Pure functions over the
// 2336 bytes from the subheader on (raw bytes 16..2351), so the 16 bytes of sync and header
// are never needed nor touched.
#pragma once

#include <cstddef>
#include <cstdint>

namespace sorvane {

// Where the codes sit in the 2336 bytes from the subheader on.
inline constexpr int kForm1EdcOffset = 2056;  // after the subheader and 2048 user bytes
inline constexpr int kForm1EccOffset = 2060;  // P parity (172 bytes), then Q parity (104)
inline constexpr int kForm2EdcOffset = 2332;  // after the subheader and 2324 user bytes

// EDC of ECMA-130: CRC-32 with the reflected polynomial 0xD8018001, initial value 0, no
// final xor.
std::uint32_t SectorEdc(const std::uint8_t* data, std::size_t size);

// Form 1: EDC over bytes 0..2055 stored little-endian at 2056..2059, then P parity (86
// columns of 24) and Q parity (52 diagonals of 43) at 2060..2335, computed with the 4 header
// bytes taken as zero, as Mode 2 requires.
void SetForm1Codes(std::uint8_t* sector2336);

// Form 2: EDC over bytes 0..2331 stored little-endian at 2332..2335.
void SetForm2Edc(std::uint8_t* sector2336);

// Form 1 or Form 2 by the submode's form bit (0x20 of byte 2), as above.
void SetSectorCodes(std::uint8_t* sector2336);

}  // namespace sorvane
