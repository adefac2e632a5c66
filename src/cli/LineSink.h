// LineSink: the command-line program's message sink. Every line of a message goes to standard
// error as one line, beginning with the program's name and the file it is about.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/Messages.h"

namespace brindlewick {

class LineSink final : public MessageSink {
public:
    // `files`: the files of the command, the ROM first. A message that begins with one of them
    // is written with that file; a failing file access as it is, since it names its file; any
    // other message is taken to be about the ROM.
    LineSink(std::ostream& out, std::vector<std::string> files);
    ~LineSink() override;
    LineSink(const LineSink&) = delete;
    LineSink& operator=(const LineSink&) = delete;

    void Show(const Message& message) override;

private:
    std::ostream& m_out;
    std::vector<std::string> m_files;
    MessageSink* m_previous;
};

}  // namespace brindlewick
