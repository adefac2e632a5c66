#include "cli/LineSink.h"

#include <sstream>

namespace brindlewick {

LineSink::LineSink(std::ostream& out, std::vector<std::string> files)
    : m_out(out), m_files(std::move(files)), m_previous(SetMessageSink(this)) {}

LineSink::~LineSink() {
    SetMessageSink(m_previous);
}

void LineSink::Show(const Message& message) {
    std::string text = message.text;
    // A failing file access carries its number in the title, and its text names the file
    // ("Could not read “rom.gbc”: …"): it is not prefixed with the file a second time.
    const bool failure = message.title.starts_with("Error:");
    std::string file = m_files.empty() || failure ? std::string() : m_files.front();
    for (const std::string& name : m_files) {
        if (!name.empty() && text.starts_with(name + ": ")) {
            file = name;
            text.erase(0, name.size() + 2);
            break;
        }
    }
    std::istringstream lines(text);
    std::string line;
    bool first = true;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty()) {
            continue;
        }
        m_out << "brindlewick-tables: " << (file.empty() ? "" : file + ": ") << line;
        if (first && failure) {
            m_out << " (" << message.title << ")";
        }
        m_out << '\n';
        first = false;
    }
    m_out.flush();
}

}  // namespace brindlewick
