#include "robust/RobustSupport.h"

#include <QApplication>
#include <QWidget>
#include <sstream>
#include <system_error>

#include "support/WindowDriver.h"

namespace brindlewick::test {
namespace {

Message ErrorBox(int number, const std::string& text) {
    return {text, "Error: " + std::to_string(number), MessageIcon::None};
}

std::string Show(const Message& message) {
    const char* icons[] = {"no icon", "information", "error"};
    return "[" + message.title + "] " + message.text + " (" +
           icons[static_cast<int>(message.icon)] + ")";
}

std::string ShowAll(const std::vector<Message>& messages) {
    if (messages.empty()) {
        return " none";
    }
    std::string text;
    for (const Message& message : messages) {
        text += "\n    " + Show(message);
    }
    return text;
}

QtMessageHandler g_previousHandler = nullptr;

void DropDialogWarnings(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg &&
        (text == QLatin1String("This plugin does not support propagateSizeHints()") ||
         text == QLatin1String("Keyboard event not accepted by receiving widget"))) {
        return;
    }
    g_previousHandler(type, context, text);
}

}  // namespace

Message OwnFailure(FileFailure failure) {
    return ErrorBox(static_cast<int>(failure), MakeErrorCode(failure).message());
}

Message SystemFailure(int error) {
    return ErrorBox(error, std::generic_category().message(error));
}

Message Unsupported() {
    return {"Unsupported ROM", "Brindlewick", MessageIcon::Information};
}

Message NotHex() {
    return {"Number given is not in Hex format", "Brindlewick", MessageIcon::Error};
}

Message Saved() {
    return {"TM Information Successfully Changed!", "Brindlewick", MessageIcon::Information};
}

std::string CompareMessages(const std::vector<Message>& expected,
                            const std::vector<Message>& seen) {
    // A failing file access names the file and may say what to do: "Could not save into
    // “rom.gbc”: <description>. <advice>". The expected text is the description alone.
    const auto sameText = [](const Message& want, const Message& got) {
        if (want.title.starts_with("Error: ")) {
            return got.text.starts_with("Could not ") &&
                   got.text.find("”: " + want.text + ".") != std::string::npos;
        }
        return got.text == want.text;
    };
    bool same = seen.size() == expected.size();
    for (std::size_t i = 0; same && i < seen.size(); ++i) {
        same = sameText(expected[i], seen[i]) && seen[i].title == expected[i].title &&
               seen[i].icon == expected[i].icon;
    }
    if (same) {
        return {};
    }
    return "expected" + ShowAll(expected) + "\n  but the user saw" + ShowAll(seen);
}

ModelShown ShownValues(const WindowReading& reading) {
    ModelShown shown;
    shown.move = reading.move;
    shown.price = reading.price.toInt();
    shown.checks = reading.checks;
    return shown;
}

std::string Utf8(const std::filesystem::path& path) {
    const auto text = path.u8string();
    return {text.begin(), text.end()};
}

Contents FilesBelow(const std::filesystem::path& folder) {
    namespace fs = std::filesystem;
    Contents contents;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (!entry.is_symlink() && entry.is_regular_file()) {
            contents[Utf8(fs::relative(entry.path(), folder))] = ReadFileBytes(Utf8(entry.path()));
        }
    }
    return contents;
}

std::string CompareContents(const Contents& expected, const Contents& actual) {
    std::ostringstream problem;
    for (const auto& [name, bytes] : expected) {
        const auto found = actual.find(name);
        if (found == actual.end()) {
            problem << "\n  " << name << " is gone";
        } else if (found->second.size() != bytes.size()) {
            problem << "\n  " << name << " has " << found->second.size() << " bytes, not "
                    << bytes.size();
        } else if (const auto differing = DifferingOffsets(bytes, found->second);
                   !differing.empty()) {
            problem << "\n  " << name << " differs at " << differing.size()
                    << " offsets, the first 0x" << std::hex << differing.front() << std::dec;
        }
    }
    for (const auto& entry : actual) {
        if (expected.count(entry.first) == 0) {
            problem << "\n  " << entry.first << " appeared";
        }
    }
    return problem.str();
}

Contents AfterSave(Contents contents, const std::string& name, const char* release,
                   const WindowReading& shown) {
    ModelApplySave(contents.at(name), *FindRelease(release), shown.machine, shown.species,
                   ShownValues(shown));
    return contents;
}

void MakeEdits(WindowDriver& driver) {
    driver.ShowPage(0);
    driver.ClickRow(driver.Machines(), 28);
    driver.ClickRow(driver.Moves(), 100);
    driver.TypePrice("4321", true);
    driver.ShowPage(1);
    driver.ClickRow(driver.Species(), 150);
    for (const int machine : {0, 7, 49, 56}) {
        driver.ToggleCheck(machine, true);
    }
}

QuietDialogWarnings::QuietDialogWarnings()
    : m_previous(qInstallMessageHandler(&DropDialogWarnings)) {
    g_previousHandler = m_previous;
}

QuietDialogWarnings::~QuietDialogWarnings() {
    qInstallMessageHandler(m_previous);
}

}  // namespace brindlewick::test
