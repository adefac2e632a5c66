// PatchReaders: the tests' own appliers of BPS and IPS patches, written from the formats'
// definitions apart from the program's writers, so that a patch that a patcher would read
// otherwise than the program meant shows as a wrong byte. They take every action and record
// the formats define, not only those the program writes, and check every CRC-32 with zlib.
#pragma once

#include <optional>

#include "support/TestSupport.h"

namespace brindlewick::test {

// The target the BPS `patch` makes of `source`; nothing for a patch that is malformed, made
// for a source of another size or CRC-32, or whose target or own CRC-32 does not match.
std::optional<Bytes> ApplyBps(const Bytes& source, const Bytes& patch);

// The target the IPS `patch` makes of `source` (records, runs of one value, and the optional
// length after the end marker); nothing for a malformed patch.
std::optional<Bytes> ApplyIps(const Bytes& source, const Bytes& patch);

}  // namespace brindlewick::test
