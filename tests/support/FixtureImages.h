// FixtureImages: the images of the extracts of real builds in the shared folder beside the
// project (see Fixtures.h), read without their facts, for programs that have no JSON reader:
// the Windows tests and the bench.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

#include "support/TestSupport.h"

namespace brindlewick::test {

// The extracts' folder; empty when it is not there.
std::filesystem::path FixturesDir();

// The whole 2 MiB image of the extract `name` (NAME.gbc.gz), or nothing when the folder or the
// file is missing. A file that is there but cannot be read throws: the test fails, it is not
// skipped.
std::optional<Bytes> LoadFixtureImage(std::string_view name);

}  // namespace brindlewick::test
