// marovin-tool record FILE [--big5]: the Chinese text record of a game, in UTF-8 (or the
// Big5 bytes as they are), with the record's CR LF line ends.
#include <string>
#include <vector>

#include "game_file_argument.h"
#include "model/text_record.h"
#include "support/big5.h"

namespace marovin::tool {

namespace {

// Hands each piece of the record to the output, converted unless raw bytes are wanted.
// Pieces end between whole lines of the record, so each converts on its own.
class StreamSink : public model::ByteSink {
public:
    StreamSink(std::ostream& out, bool big5) : m_out(out), m_big5(big5) {}
    bool write(std::string_view bytes) override
    {
        if (m_big5)
            m_out << bytes;
        else
            m_out << big5ToUtf8(bytes);
        return static_cast<bool>(m_out);
    }

private:
    std::ostream& m_out;
    bool m_big5;
};

} // namespace

int RunRecord(Arguments arguments, Streams& streams)
{
    bool big5 = false;
    std::vector<std::string_view> files;
    for (std::string_view argument : arguments) {
        if (argument == "--big5") {
            big5 = true;
        } else if (argument.starts_with("--")) {
            return Fail(streams, kExitBadInput,
                        "record: unknown option '" + std::string(argument.substr(0, 40)) + "'");
        } else {
            files.push_back(argument);
        }
    }
    return RunOnOneGame("record", files, streams, [&](model::CGame& game) {
        StreamSink sink(streams.out, big5);
        if (!model::WriteTextRecord(game, sink))
            return Fail(streams, kExitFailure, "record: could not write the output");
        return kExitOk;
    });
}

} // namespace marovin::tool
