// Shared ground for the editor tests: a synthetic image in a temporary folder, an editor on
// a fake window and a recorded message log. Addresses come from the tests' own model of the
// cartridge (support/Cartridge.h), never from the program's address functions.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "editor/Editor.h"
#include "editor/FakeView.h"
#include "platform/FileAccess.h"
#include "support/TestSupport.h"

namespace brindlewick::test {

// Lets a failed comparison name the release.
inline void PrintTo(const Release& release, std::ostream* out) {
    *out << release.code;
}

inline const Release& kGoldEnglish = ReleaseOf("AAUE");

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override { m_rom = MakeSyntheticRom(m_dir, kGoldEnglish.code); }

    void Open(const std::string& path) {
        m_view.answers.push_back(path);
        m_editor.OpenRom();
    }
    // Opens m_rom and forgets the messages of that open.
    void OpenRom() {
        Open(m_rom);
        ASSERT_TRUE(m_sink.messages.empty());
        ASSERT_EQ(m_editor.State().RomPath, m_rom);
    }
    void SelectMachine(int machine) {
        m_view.shown.machine = machine;
        m_editor.MachineSelected();
    }
    void SelectSpecies(int species) {
        m_view.shown.species = species;
        m_editor.SpeciesSelected();
    }

    // Writes bytes in place, without rewriting the whole image.
    void Poke(std::size_t offset, const Bytes& bytes) const {
        std::fstream file(PathFromUtf8(m_rom), std::ios::binary | std::ios::in | std::ios::out);
        file.seekp(static_cast<std::streamoff>(offset));
        file.write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        ASSERT_TRUE(file.good());
    }
    Bytes Peek(std::size_t offset, std::size_t count) const {
        std::ifstream file(PathFromUtf8(m_rom), std::ios::binary);
        file.seekg(static_cast<std::streamoff>(offset));
        Bytes bytes(count);
        file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(count));
        EXPECT_TRUE(file.good());
        return bytes;
    }
    void Save() {
        m_sink.Clear();
        m_editor.SaveRom();
    }

    void ExpectOnlySuccessMessage() const {
        ASSERT_EQ(m_sink.messages.size(), 1u);
        EXPECT_EQ(m_sink.messages[0].text, kSaveSucceededMessage);
        EXPECT_EQ(m_sink.messages[0].title, "Brindlewick");
        EXPECT_EQ(m_sink.messages[0].icon, MessageIcon::Information);
    }
    void ExpectOneFileFailure() const {
        ASSERT_EQ(m_sink.messages.size(), 1u);
        EXPECT_EQ(m_sink.messages[0].title.rfind("Error: ", 0), 0u) << m_sink.messages[0].title;
        EXPECT_EQ(m_sink.messages[0].icon, MessageIcon::None);
    }

    TempDir m_dir;
    RecordingSink m_sink;
    FakeView m_view;
    Editor m_editor{m_view};
    std::string m_rom;
};

}  // namespace brindlewick::test
