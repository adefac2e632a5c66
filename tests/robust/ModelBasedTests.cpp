// A long random session of user actions through the real main window, checked step by step
// against a model of what every file and the window must hold. The model computes every
// address from the table layout itself, so it shares no mistake with the program.
//
// BRINDLEWICK_SEED picks the sequence (printed on every run), BRINDLEWICK_MODEL_ACTIONS its
// length, BRINDLEWICK_SHRINK_SECONDS the time spent looking for a shorter failing sequence,
// and BRINDLEWICK_REPLAY replays a sequence printed by a failing run.
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <sstream>
#include <system_error>

#include "platform/FileAccess.h"
#include "robust/FileFaults.h"
#include "robust/ModelActions.h"
#include "robust/RobustSupport.h"
#include "robust/RomModel.h"
#include "support/QtTestMain.h"
#include "support/TestSupport.h"
#include "support/UiTestSupport.h"
#include "support/WindowDriver.h"
#include "ui/Form1.h"

namespace brindlewick::test {
namespace {

namespace fs = std::filesystem;

constexpr int kDefaultActions = 3000;
constexpr std::uint64_t kDefaultSeed = 20240229;
constexpr int kDefaultShrinkSeconds = 60;
constexpr int kPriceMaxLength = 5;

std::uint64_t EnvNumber(const char* name, std::uint64_t fallback) {
    const QByteArray value = qgetenv(name);
    bool ok = false;
    const qulonglong number = value.toULongLong(&ok);
    return ok ? number : fallback;
}

// ---------------------------------------------------------------------------------------
// The images of a run: every release, some that are refused, one cut short after its code.

struct Image {
    std::string name;
    std::string path;
    Bytes pristine;
    Bytes bytes;  // what the file must hold now
    bool readOnly = false;
    bool immutable = false;
};

Bytes ReleaseImage(const Release& release, int index) {
    // Values at the edges of what the window can show: moves without a list entry, "N/A",
    // "Beat Up", the lowest and highest prices.
    auto at = [&](int step) { return (index * 3 + step) % kMachines; };
    return SyntheticRom(release)
        .Move(at(0), 252 + index % 4)
        .Move(at(20), 0)
        .Move(at(40), 251)
        .Price(at(5), 0xFFFF)
        .Price(at(9), 0)
        .Data();
}

class ImageSet {
public:
    ImageSet() {
        int index = 0;
        for (const Release& release : kReleases) {
            // Both extensions the dialog offers.
            const char* extension = index % 3 == 0 ? ".gb" : ".gbc";
            Add("rom-" + std::string(release.code) + extension, ReleaseImage(release, index++));
        }
        m_releaseCount = m_images.size();
        Add("lower-case-code.gbc", SyntheticRomBytes("aaue"));
        Add("unknown-AAUX.gbc", SyntheticRomBytes("AAUX"));
        Add("unknown-BYTJ.gbc", SyntheticRomBytes("BYTJ"));
        Add("ends-inside-code.gbc", SyntheticRomBytes("AAUE", 0x142));
        Add("empty.gb", Bytes{});
        // Identified by its code, but its move table and species lie past its end.
        Add("truncated-AAUE.gbc", SyntheticRomBytes("AAUE", 0x10000));
        std::string why;
        m_immutableWorks = ImmutableFilesWork(m_dir.Path(), why);
        m_immutableWhy = why;
        m_listing = FolderListing(m_dir.Path());
    }
    ~ImageSet() { ClearImmutableBelow(m_dir.Path()); }
    ImageSet(const ImageSet&) = delete;
    ImageSet& operator=(const ImageSet&) = delete;

    // Puts every file back as it was made, for a fresh run.
    void Reset() {
        for (Image& image : m_images) {
            if (image.immutable) {
                static_cast<void>(SetImmutable(image.path, false));
            }
            fs::permissions(image.path, fs::perms(0644));
            // Written whatever the model says: a failed run leaves files the model knows wrong.
            WriteFileBytes(image.path, image.pristine);
            image.bytes = image.pristine;
            image.readOnly = false;
            image.immutable = false;
        }
    }

    std::vector<Image>& Images() { return m_images; }
    const std::vector<Image>& Images() const { return m_images; }
    std::size_t ReleaseCount() const { return m_releaseCount; }
    bool ImmutableWorks() const { return m_immutableWorks; }
    const std::string& ImmutableWhy() const { return m_immutableWhy; }
    const std::vector<std::string>& Listing() const { return m_listing; }
    const fs::path& Folder() const { return m_dir.Path(); }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const Image& image : m_images) {
            names.push_back(image.name);
        }
        return names;
    }

private:
    void Add(const std::string& name, Bytes bytes) {
        Image image;
        image.name = name;
        image.path = m_dir.File(name);
        image.pristine = std::move(bytes);
        image.bytes = image.pristine;
        WriteFileBytes(image.path, image.pristine);
        m_images.push_back(std::move(image));
    }

    TempDir m_dir;
    std::vector<Image> m_images;
    std::size_t m_releaseCount = 0;
    bool m_immutableWorks = false;
    std::string m_immutableWhy;
    std::vector<std::string> m_listing;
};

// ---------------------------------------------------------------------------------------
// One run: a fresh window over freshly made files, the model beside it.

// What a run went through, printed so that a green run shows it exercised the hard paths.
struct Statistics {
    int opened = 0, refused = 0, openFailed = 0;
    int saved = 0, saveRefused = 0, writeFailed = 0, saveOfTruncated = 0;
    int noMoveShown = 0, reloads = 0;
};

class Session {
public:
    explicit Session(ImageSet& images)
        : m_images(images), m_window(std::make_unique<Form1>()), m_driver(*m_window) {
        // Other programs change the open image behind the window's back; the save then asks
        // before overwriting, and the model's user always goes on.
        m_sink.answer = true;
        ShowAndActivate(*m_window);
    }

    // Runs one action and checks the messages, the window and, after a save, the whole file.
    // Returns "" or what went wrong, starting with the kind of failure.
    std::string Step(const Action& action);
    // Every file against the model, and the folder against its first listing.
    std::string CheckAllFiles() const;
    const Statistics& Counts() const { return m_counts; }

private:
    bool RomOpen() const { return m_file >= 0; }
    // Clicks the tab of `page`; false when the tabs are disabled and another page is in front.
    bool Bring(int page) {
        if (!m_driver.ShowPage(page)) {
            return false;
        }
        m_page = page;
        return true;
    }
    Image& Current() { return m_images.Images()[static_cast<std::size_t>(m_file)]; }
    std::string Perform(const Action& action);
    void LoadMachine();
    void LoadSpecies();
    void PredictOpen(int image);
    void PredictSave(const WindowReading& shown);
    void PredictPriceKeys(const std::string& keys, bool selectAll);
    void PredictPaste(const QString& clip, bool selectAll);
    static int NextRow(int row, int key, int count);
    std::string CheckWindow() const;
    std::string CheckFile(const Image& image) const;

    ImageSet& m_images;
    RecordingSink m_sink;
    std::unique_ptr<Form1> m_window;
    WindowDriver m_driver;
    std::vector<Message> m_expected;
    Statistics m_counts;

    // The model of the window.
    int m_file = -1;
    const Release* m_release = nullptr;
    int m_machine = -1;
    int m_move = -1;
    std::string m_price;
    int m_species = -1;
    std::array<bool, kMachines> m_checks{};
    int m_page = 0;
};

void Session::LoadMachine() {
    const Bytes& bytes = Current().bytes;
    const std::size_t move = MoveAt(*m_release, m_machine);
    if (move + 1 > bytes.size()) {
        m_expected.push_back(OwnFailure(FileFailure::ReadPastEnd));
        m_expected.push_back(NotHex());
        m_move = 0;
    } else {
        m_move = bytes[move] < kMoves ? bytes[move] : -1;
        m_counts.noMoveShown += m_move < 0 ? 1 : 0;
    }
    ++m_counts.reloads;
    const std::size_t price = PriceAt(*m_release, m_machine);
    if (price + 2 > bytes.size()) {
        m_expected.push_back(OwnFailure(FileFailure::ReadPastEnd));
        m_price = "0";
    } else {
        m_price = std::to_string(bytes[price] | (bytes[price + 1] << 8));
    }
}

void Session::LoadSpecies() {
    const Bytes& bytes = Current().bytes;
    for (int fieldByte = 0; fieldByte < 8; ++fieldByte) {
        const std::size_t at = FieldAt(*m_release, m_species, fieldByte);
        const bool readable = at < bytes.size();
        if (!readable) {
            m_expected.push_back(OwnFailure(FileFailure::ReadPastEnd));
        }
        for (int bit = 0; bit < 8 && fieldByte * 8 + bit < kMachines; ++bit) {
            m_checks[static_cast<std::size_t>(fieldByte * 8 + bit)] =
                readable && ((bytes[at] >> bit) & 1) != 0;
        }
    }
}

void Session::PredictOpen(int index) {
    // An open changes nothing of the file: a read-only one stays so.
    const Image& image = m_images.Images()[static_cast<std::size_t>(index)];
    const auto code = ModelGameCode(image.bytes);
    const Release* release = code ? FindRelease(*code) : nullptr;
    if (release == nullptr) {
        m_expected.push_back(Unsupported());
        ++m_counts.refused;
        return;
    }
    if (image.bytes.size() < FieldAt(*release, kSpecies - 1, 7) + 1) {
        // Identified, but cut short before the end of its tables: refused with one message.
        m_expected.push_back(OwnFailure(FileFailure::FileTooShort));
        ++m_counts.refused;
        return;
    }
    ++m_counts.opened;
    m_file = index;
    m_release = release;
    m_machine = 0;
    LoadMachine();
    m_species = 0;
    LoadSpecies();
}

void Session::PredictSave(const WindowReading& shown) {
    Image& image = Current();
    const bool withMove = shown.move >= 0;
    if (image.readOnly) {
        // The save asks before making it writable, and the model's user says yes; the system
        // refuses that for an immutable file.
        if (image.immutable) {
            m_expected.push_back(SystemFailure(EPERM));
            ++m_counts.saveRefused;
            return;
        }
        image.readOnly = false;
    }
    if (ModelHighestSavedAddress(*m_release, shown.machine, shown.species, withMove) + 1 >
        image.bytes.size()) {
        m_expected.push_back(OwnFailure(FileFailure::FileTooShort));
        ++m_counts.saveOfTruncated;
        return;
    }
    if (image.immutable) {
        // The first write is refused; nothing is written and no success is claimed.
        m_expected.push_back(SystemFailure(EPERM));
        ++m_counts.writeFailed;
        return;
    }
    ++m_counts.saved;
    ModelApplySave(image.bytes, *m_release, shown.machine, shown.species, ShownValues(shown));
    m_expected.push_back(Saved());
}

void Session::PredictPriceKeys(const std::string& keys, bool selectAll) {
    bool selected = selectAll;
    for (const char key : keys) {
        std::string text = m_price;
        if (key == '\b') {
            if (selected) {
                text.clear();
            } else if (!text.empty()) {
                text.pop_back();
            }
        } else if (key >= '0' && key <= '9') {
            if (selected) {
                text = std::string(1, key);
            } else if (text.size() < kPriceMaxLength) {
                text += key;
            }
        } else {
            continue;  // refused before it reaches the field; the selection stays
        }
        // A text the rule puts in place is selected, so the next digit replaces it.
        m_price = ModelPriceRule(text);
        selected = m_price != text;
    }
}

void Session::PredictPaste(const QString& clip, bool selectAll) {
    // Only the clipboard's digits arrive, and the field takes no more than its five.
    QString digits;
    for (const QChar character : clip) {
        if (character >= QLatin1Char('0') && character <= QLatin1Char('9')) {
            digits.append(character);
        }
    }
    if (!selectAll && digits.isEmpty()) {
        return;
    }
    const QString base = selectAll ? QString() : QString::fromStdString(m_price);
    const QString inserted = digits.left(std::max<qsizetype>(0, kPriceMaxLength - base.size()));
    m_price = ModelPriceRule((base + inserted).toStdString());
}

int Session::NextRow(int row, int key, int count) {
    switch (static_cast<ListKey>(key)) {
        case ListKey::Up:
            return std::max(row - 1, 0);
        case ListKey::Down:
            return std::min(row + 1, count - 1);
        case ListKey::Home:
            return 0;
        case ListKey::End:
            return count - 1;
    }
    return row;
}

std::string Session::Perform(const Action& action) {
    std::vector<Image>& images = m_images.Images();
    switch (action.kind) {
        case Kind::Open:
            if (!OpenRomThroughWindow(*m_window, images[static_cast<std::size_t>(action.a)].path,
                                      action.b != 0 ? OpenBy::Shortcut : OpenBy::Menu)) {
                return "window: no open dialog appeared";
            }
            PredictOpen(action.a);
            break;
        case Kind::CancelOpen:
            if (!CancelOpenRomThroughWindow(*m_window,
                                            action.b != 0 ? OpenBy::Shortcut : OpenBy::Menu)) {
                return "window: no open dialog appeared";
            }
            break;
        case Kind::ClickMachine:
        case Kind::KeyMachine:
            if (!Bring(0)) {
                return "window: the machine page cannot be brought to the front";
            }
            if (action.kind == Kind::ClickMachine) {
                m_driver.ClickRow(m_driver.Machines(), action.a);
            } else {
                m_driver.PressListKey(m_driver.Machines(), static_cast<ListKey>(action.a));
            }
            if (RomOpen()) {
                const int row = action.kind == Kind::ClickMachine
                                    ? action.a
                                    : NextRow(m_machine, action.a, kMachines);
                if (row != m_machine) {
                    m_machine = row;
                    LoadMachine();
                }
            }
            break;
        case Kind::ClickMove:
            if (!Bring(0)) {
                return "window: the machine page cannot be brought to the front";
            }
            m_driver.ClickRow(m_driver.Moves(), action.a);
            if (RomOpen()) {
                m_move = action.a;
            }
            break;
        case Kind::KeyMove:
            // With no move shown there is no entry to move from; the user clicks instead.
            if (m_move >= 0) {
                if (!Bring(0)) {
                    return "window: the machine page cannot be brought to the front";
                }
                m_driver.PressListKey(m_driver.Moves(), static_cast<ListKey>(action.a));
                m_move = NextRow(m_move, action.a, kMoves);
            }
            break;
        case Kind::TypePrice:
            if (!Bring(0)) {
                return "window: the machine page cannot be brought to the front";
            }
            m_driver.TypePrice(action.text, action.b != 0);
            if (RomOpen()) {
                PredictPriceKeys(action.text, action.b != 0);
            }
            break;
        case Kind::PastePrice:
            if (!Bring(0)) {
                return "window: the machine page cannot be brought to the front";
            }
            m_driver.PastePrice(QString::fromStdString(action.text), action.b != 0);
            if (RomOpen()) {
                PredictPaste(QString::fromStdString(action.text), action.b != 0);
            }
            break;
        case Kind::Spin:
            if (!Bring(0)) {
                return "window: the machine page cannot be brought to the front";
            }
            m_driver.Spin(action.a != 0, action.b != 0);
            if (RomOpen()) {
                const int price = std::stoi(m_price) + (action.a != 0 ? 1 : -1);
                m_price = std::to_string(std::clamp(price, 0, kModelMaxPrice));
            }
            break;
        case Kind::ClickSpecies:
        case Kind::KeySpecies:
        case Kind::ToggleCheck:
            // The species page cannot be reached before a ROM is open.
            if (!Bring(1)) {
                if (RomOpen()) {
                    return "window: the species page cannot be brought to the front";
                }
                break;
            }
            if (action.kind == Kind::ToggleCheck) {
                m_driver.ToggleCheck(action.a, action.b != 0);
                auto& check = m_checks[static_cast<std::size_t>(action.a)];
                check = !check;
                break;
            }
            if (action.kind == Kind::ClickSpecies) {
                m_driver.ClickRow(m_driver.Species(), action.a);
            } else {
                m_driver.PressListKey(m_driver.Species(), static_cast<ListKey>(action.a));
            }
            {
                const int row = action.kind == Kind::ClickSpecies
                                    ? action.a
                                    : NextRow(m_species, action.a, kSpecies);
                if (row != m_species) {
                    m_species = row;
                    LoadSpecies();
                }
            }
            break;
        case Kind::SwitchPage:
            Bring(action.a);
            break;
        case Kind::Save: {
            const WindowReading shown = m_driver.Read();
            m_driver.Save(action.b != 0);
            if (RomOpen()) {
                PredictSave(shown);
            }
            break;
        }
        case Kind::About: {
            QWidget* about = m_driver.OpenAbout();
            if (about == nullptr) {
                return "window: About did not open exactly one About window";
            }
            if (m_window->isEnabled()) {
                return "window: the main window takes input while About is open";
            }
            // The main window's shortcuts are dead meanwhile.
            QTest::keyClick(m_window.get(), Qt::Key_S, Qt::ControlModifier);
            if (!m_driver.CloseAbout(about, action.b != 0)) {
                return "window: the About window did not close";
            }
            break;
        }
        case Kind::ExternalEdit: {
            if (action.a == kOpenImage && !RomOpen()) {
                break;
            }
            Image& image =
                action.a == kOpenImage ? Current() : images[static_cast<std::size_t>(action.a)];
            // The truncated image has no tables to change.
            if (image.bytes.size() < kRomSize) {
                break;
            }
            const std::size_t at =
                TableAddress(*FindRelease(*ModelGameCode(image.pristine)), action.b);
            // An immutable file cannot be changed by anyone; the other program gives up.
            if (!image.immutable) {
                if (!PokeByte(image.path, at, static_cast<std::uint8_t>(action.c))) {
                    return "test: cannot change " + image.name;
                }
                image.bytes[at] = static_cast<std::uint8_t>(action.c);
            }
            break;
        }
        case Kind::ReadOnly: {
            if (action.a == kOpenImage && !RomOpen()) {
                break;
            }
            Image& image =
                action.a == kOpenImage ? Current() : images[static_cast<std::size_t>(action.a)];
            if (!image.immutable) {
                fs::permissions(image.path, fs::perms(action.b != 0 ? 0444 : 0644));
                image.readOnly = action.b != 0;
            }
            break;
        }
        case Kind::Immutable: {
            if (action.a == kOpenImage && !RomOpen()) {
                break;
            }
            Image& image =
                action.a == kOpenImage ? Current() : images[static_cast<std::size_t>(action.a)];
            if (m_images.ImmutableWorks() && !SetImmutable(image.path, action.b != 0)) {
                image.immutable = action.b != 0;
            }
            break;
        }
    }
    return {};
}

std::string Session::Step(const Action& action) {
    m_expected.clear();
    m_sink.Clear();
    if (std::string failure = Perform(action); !failure.empty()) {
        return failure;
    }
    if (std::string failure = CompareMessages(m_expected, m_sink.messages); !failure.empty()) {
        return "messages: " + failure;
    }
    if (std::string failure = CheckWindow(); !failure.empty()) {
        return failure;
    }
    if (action.kind == Kind::Save && RomOpen()) {
        return CheckFile(Current());
    }
    return {};
}

std::string Session::CheckWindow() const {
    const WindowReading shown = m_driver.Read();
    std::ostringstream problem;
    auto expect = [&problem](const char* what, const auto& expected, const auto& actual) {
        if (!(expected == actual)) {
            problem << "\n  " << what << ": expected " << expected << ", shown " << actual;
        }
    };
    const std::string caption =
        RomOpen() ? std::string(m_release->code) + " - Brindlewick" : "Brindlewick";
    expect("caption", caption, shown.caption.toStdString());
    expect("game code", std::string(RomOpen() ? m_release->code : ""),
           shown.gameCode.toStdString());
    expect("game name", std::string(RomOpen() ? m_release->gameName : ""),
           shown.gameName.toStdString());
    expect("language", std::string(RomOpen() ? m_release->language : ""),
           shown.language.toStdString());
    expect("Save ROM enabled", RomOpen(), shown.saveEnabled);
    expect("main window enabled", true, shown.windowEnabled);
    expect("page", m_page, shown.page);
    expect("machine", m_machine, shown.machine);
    expect("move", m_move, shown.move);
    expect("price", m_price, shown.price.toStdString());
    expect("species", m_species, shown.species);
    for (int machine = 0; machine < kMachines; ++machine) {
        const auto box = static_cast<std::size_t>(machine);
        if (m_checks[box] != shown.checks[box]) {
            problem << "\n  box of machine " << machine << ": expected " << m_checks[box]
                    << ", shown " << shown.checks[box];
        }
    }
    const std::string found = problem.str();
    return found.empty() ? std::string() : "window: shows other than the model" + found;
}

std::string Session::CheckFile(const Image& image) const {
    std::error_code error;
    if (fs::file_size(image.path, error) != image.bytes.size() || error) {
        return "file: " + image.name + " changed its size";
    }
    const Bytes actual = ReadFileBytes(image.path);
    const auto differing = DifferingOffsets(image.bytes, actual);
    if (differing.empty()) {
        return {};
    }
    std::ostringstream problem;
    problem << "file: " << image.name << " differs from the model at " << differing.size()
            << " offsets:";
    for (std::size_t i = 0; i < differing.size() && i < 12; ++i) {
        const std::size_t at = differing[i];
        problem << "\n    0x" << std::hex << at << std::dec << ": expected " << int(image.bytes[at])
                << ", file holds " << int(actual[at]);
    }
    return problem.str();
}

std::string Session::CheckAllFiles() const {
    for (const Image& image : m_images.Images()) {
        if (std::string failure = CheckFile(image); !failure.empty()) {
            return failure;
        }
    }
    if (FolderListing(m_images.Folder()) != m_images.Listing()) {
        return "file: the folder of the images gained or lost an entry";
    }
    return {};
}

struct RunResult {
    bool failed = false;
    std::size_t step = 0;  // the failing action
    std::string failure;
};

// The word before the first colon of a failure: how it went wrong (messages, window, file).
std::string FailureKind(const std::string& failure) {
    return failure.substr(0, failure.find(':'));
}

RunResult Run(ImageSet& images, const std::vector<Action>& actions, bool progress = false) {
    images.Reset();
    Session session(images);
    QElapsedTimer clock;
    clock.start();
    for (std::size_t i = 0; i < actions.size(); ++i) {
        std::string failure = session.Step(actions[i]);
        // Every file now and then, so that a stray write to another file shows near its cause.
        if (failure.empty() && (i % 250 == 249 || i + 1 == actions.size())) {
            failure = session.CheckAllFiles();
        }
        if (!failure.empty()) {
            return {true, i, failure};
        }
        if (progress && i % 500 == 499) {
            qInfo("  %zu actions in %.1f s", i + 1, clock.elapsed() / 1000.0);
        }
    }
    if (progress) {
        const Statistics& n = session.Counts();
        qInfo(
            "opens: %d identified, %d refused as unsupported, %d failed; saves: %d written, "
            "%d refused as read-only, %d of a truncated image refused, %d with a failed write; "
            "%d loads of a machine, %d of them without a move to show",
            n.opened, n.refused, n.openFailed, n.saved, n.saveRefused, n.saveOfTruncated,
            n.writeFailed, n.reloads, n.noMoveShown);
    }
    return {};
}

// Drops actions, big runs first, as long as the same kind of failure remains.
std::vector<Action> Shrink(ImageSet& images, std::vector<Action> actions, const RunResult& first,
                           std::chrono::seconds budget, RunResult& last) {
    const auto deadline = std::chrono::steady_clock::now() + budget;
    const std::string kind = FailureKind(first.failure);
    last = first;
    std::size_t chunk = std::max<std::size_t>(actions.size() / 2, 1);
    while (std::chrono::steady_clock::now() < deadline) {
        bool removed = false;
        for (std::size_t start = 0;
             start < actions.size() && std::chrono::steady_clock::now() < deadline;) {
            std::vector<Action> candidate(actions.begin(),
                                          actions.begin() + static_cast<std::ptrdiff_t>(start));
            candidate.insert(candidate.end(),
                             actions.begin() + static_cast<std::ptrdiff_t>(
                                                   std::min(start + chunk, actions.size())),
                             actions.end());
            const RunResult result = Run(images, candidate);
            if (result.failed && FailureKind(result.failure) == kind) {
                candidate.resize(result.step + 1);
                actions = std::move(candidate);
                last = result;
                removed = true;
            } else {
                start += chunk;
            }
        }
        if (!removed) {
            if (chunk == 1) {
                break;
            }
            chunk /= 2;
        }
    }
    return actions;
}

}  // namespace

class ModelBasedTest : public QObject {
    Q_OBJECT

private slots:
    void randomSessionsLoseNothing() {
        const QuietDialogWarnings quiet;
        ImageSet images;
        if (!images.ImmutableWorks()) {
            qInfo("write failures are not exercised: %s", images.ImmutableWhy().c_str());
        }

        std::vector<Action> actions;
        const QByteArray replay = qgetenv("BRINDLEWICK_REPLAY");
        const std::uint64_t seed = EnvNumber("BRINDLEWICK_SEED", kDefaultSeed);
        if (!replay.isEmpty()) {
            std::istringstream words(replay.toStdString());
            std::string word;
            while (words >> word) {
                const auto action = Parse(word);
                QVERIFY2(action.has_value(), ("cannot read the action " + word).c_str());
                actions.push_back(*action);
            }
            qInfo("replaying %zu actions from BRINDLEWICK_REPLAY", actions.size());
        } else {
            const auto count =
                static_cast<int>(EnvNumber("BRINDLEWICK_MODEL_ACTIONS", kDefaultActions));
            actions =
                RandomActions(seed, count,
                              {static_cast<int>(images.Images().size()),
                               static_cast<int>(images.ReleaseCount()), images.ImmutableWorks()});
            qInfo("seed %llu (set BRINDLEWICK_SEED to repeat), %d actions",
                  static_cast<unsigned long long>(seed), count);
        }

        QElapsedTimer clock;
        clock.start();
        const RunResult result = Run(images, actions, true);
        qInfo("ran %zu actions in %.1f s", result.failed ? result.step + 1 : actions.size(),
              clock.elapsed() / 1000.0);
        if (!result.failed) {
            return;
        }

        std::ostringstream report;
        report << "seed " << seed << ": action " << result.step + 1 << " of " << actions.size()
               << " (" << Describe(actions[result.step], images.Names()) << ") failed.\n  "
               << result.failure << "\n";
        const auto budget =
            std::chrono::seconds(EnvNumber("BRINDLEWICK_SHRINK_SECONDS", kDefaultShrinkSeconds));
        RunResult shortest;
        const std::vector<Action> failing(
            actions.begin(), actions.begin() + static_cast<std::ptrdiff_t>(result.step + 1));
        const std::vector<Action> shrunk = Shrink(images, failing, result, budget, shortest);
        report << "Shortest failing sequence found (" << shrunk.size() << " actions):\n";
        std::string replayText;
        for (std::size_t i = 0; i < shrunk.size(); ++i) {
            report << "  " << i + 1 << ". " << Describe(shrunk[i], images.Names()) << "\n";
            replayText += (i == 0 ? "" : " ") + Serialize(shrunk[i]);
        }
        report << "  which fails with: " << shortest.failure << "\n";
        report << "Replay it with BRINDLEWICK_REPLAY='" << replayText << "'";
        QFAIL(report.str().c_str());
    }
};

}  // namespace brindlewick::test

#include "ModelBasedTests.moc"

BRINDLEWICK_QTEST_MAIN(brindlewick::test::ModelBasedTest)
