// Fixtures: the extracts of real builds kept in the shared folder beside the project (header,
// the routines that lead to the tables and names, the tables and name tables; everything else
// zero), read from there and never copied into the project. Each NAME.gbc.gz has a NAME.json
// with what the image holds, checked against the builds' own sources.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "support/FixtureImages.h"
#include "support/TestSupport.h"

namespace brindlewick::test {

struct Fixture {
    std::string name;  // "crystal-en"
    Bytes image;       // the whole 2 MiB image
    nlohmann::json facts;
};

// The extract `name`, or nothing when the folder or the files are missing.
std::optional<Fixture> LoadFixture(std::string_view name);

// The five extracts the folder holds.
inline constexpr std::string_view kFixtureNames[] = {"crystal-en", "gold-en", "crystal-fr",
                                                     "gold-ja", "crystal-en-moved"};

}  // namespace brindlewick::test

// Loads `name` into `fixture`, or skips the test, saying why, when the extracts are not there.
#define BRINDLEWICK_LOAD_FIXTURE_OR_SKIP(fixture, name)                                           \
    std::optional<::brindlewick::test::Fixture> fixture = ::brindlewick::test::LoadFixture(name); \
    if (!fixture) {                                                                               \
        GTEST_SKIP() << "the extracts of real builds are not at "                                 \
                     << ::brindlewick::test::FixturesDir().string() << " (fixture " << (name)     \
                     << ")";                                                                      \
    }
