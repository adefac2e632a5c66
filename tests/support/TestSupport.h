// Test helpers: a temporary folder removed after the test, synthetic cartridge images and
// a message sink that records instead of showing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Messages.h"
#include "platform/NativeFile.h"
#include "support/Cartridge.h"

namespace brindlewick::test {

using Bytes = std::vector<std::uint8_t>;

// A real cartridge is 2 MiB.
inline constexpr std::size_t kRomSize = 2 * 1024 * 1024;

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // The UTF-8 path of `name` inside the folder (the file need not exist).
    std::string File(std::string_view name) const;

private:
    std::filesystem::path m_path;
};

// Bytes of a synthetic image: a deterministic, irregular pattern (so that a byte written
// at a wrong address shows) with `gameCode` at 0x13F.
Bytes SyntheticRomBytes(std::string_view gameCode, std::size_t size = kRomSize);

// Writes a synthetic image into `dir` and returns its UTF-8 path.
std::string MakeSyntheticRom(const TempDir& dir, std::string_view gameCode,
                             std::string_view name = "rom.gbc", std::size_t size = kRomSize);

// A synthetic image with chosen table bytes: the pattern of SyntheticRomBytes, then the values
// set here at the addresses of the model (support/Cartridge.h).
class SyntheticRom {
public:
    explicit SyntheticRom(const Release& release, std::size_t size = kRomSize);

    const Release& Of() const { return *m_release; }

    SyntheticRom& Move(int machine, int move);
    SyntheticRom& Price(int machine, int price);
    SyntheticRom& RecordPrice(int record, int price);
    // The eight field bytes of `species`.
    SyntheticRom& Field(int species, const Bytes& field);
    // The field of `species` with exactly the bits of `machines` set.
    SyntheticRom& Compatible(int species, std::initializer_list<int> machines);

    int RecordPriceIn(int record) const;

    Bytes& Data() { return m_bytes; }
    const Bytes& Data() const { return m_bytes; }
    // Writes the image into `dir` and returns its UTF-8 path.
    std::string WriteTo(const TempDir& dir, std::string_view name = "rom.gbc") const;

private:
    const Release* m_release;
    Bytes m_bytes;
};

// The little-endian price of the two bytes at `at`, and the same written.
int PriceIn(const Bytes& bytes, std::size_t at);
void PutPrice(Bytes& bytes, std::size_t at, int price);

Bytes ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const Bytes& bytes);

// The names of the entries of `dir`, sorted.
std::vector<std::string> FolderEntries(const TempDir& dir);

// Offsets at which two equally long byte strings differ.
std::vector<std::size_t> DifferingOffsets(const Bytes& before, const Bytes& after);

// Installs itself as the message sink for its lifetime and records what is shown.
// Installs the file layer's test hooks for its lifetime, then puts back those it found.
class ScopedFileHooks {
public:
    explicit ScopedFileHooks(FileLayerTestHooks hooks)
        : m_previous(SetFileLayerTestHooks(std::move(hooks))) {}
    ~ScopedFileHooks() { SetFileLayerTestHooks(std::move(m_previous)); }
    ScopedFileHooks(const ScopedFileHooks&) = delete;
    ScopedFileHooks& operator=(const ScopedFileHooks&) = delete;

private:
    FileLayerTestHooks m_previous;
};

// Hooks that run `step` just before the `n`th write of the file layer (1 = the first write),
// whether it goes through a handle opened for it or through one held for a whole operation.
FileLayerTestHooks BeforeWrite(int n, std::function<void()> step);

class RecordingSink final : public MessageSink {
public:
    RecordingSink();
    ~RecordingSink() override;
    RecordingSink(const RecordingSink&) = delete;
    RecordingSink& operator=(const RecordingSink&) = delete;

    void Show(const Message& message) override {
        messages.push_back(message);
        // What another program does while the message is open.
        if (whileShowing) {
            whileShowing(message);
        }
    }
    // Questions are kept apart from messages and answered with `answer` (default: decline).
    bool Confirm(const Message& question) override {
        questions.push_back(question);
        // What another program does while the question is open.
        if (whileAsking) {
            whileAsking(questions.size());
        }
        answers.push_back(answer);
        return answer;
    }
    // The questions about pending edits, kept apart and answered with `pendingAnswer`
    // (default: cancel, which keeps the edits).
    PendingEditsAnswer AskAboutPendingEdits(const Message& question) override {
        pendingQuestions.push_back(question);
        return pendingAnswer;
    }
    void Clear() {
        pendingQuestions.clear();
        messages.clear();
        questions.clear();
        answers.clear();
    }

    std::vector<Message> messages;
    std::vector<Message> questions;
    std::vector<bool> answers;  // what each question was answered
    bool answer = false;
    std::vector<Message> pendingQuestions;
    PendingEditsAnswer pendingAnswer = PendingEditsAnswer::Cancel;
    // Run while each question is open, with its number (1 = the first question).
    std::function<void(std::size_t question)> whileAsking;
    // Run while each message is shown.
    std::function<void(const Message& message)> whileShowing;

private:
    MessageSink* m_previous;
};

}  // namespace brindlewick::test
