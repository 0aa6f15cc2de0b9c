#include "testkit/fakes.h"

#include <algorithm>

namespace marovin::testkit {

void FakeTerminal::writeOutputLine(TextFormatId format, std::string_view text)
{
    lines.push_back({Line::Kind::Output, format, std::string(text)});
}

void FakeTerminal::writeServerLine(std::string_view text)
{
    lines.push_back({Line::Kind::Server, TextFormatId::Output, std::string(text)});
}

void FakeTerminal::writeClientText(std::string_view text, bool normal)
{
    lines.push_back({Line::Kind::Client, normal ? TextFormatId::NormalClient : TextFormatId::Warning,
                     std::string(text)});
}

std::vector<std::string> FakeTerminal::texts() const
{
    std::vector<std::string> out;
    for (const auto& line : lines)
        out.push_back(line.text);
    return out;
}

bool FakeTerminal::contains(std::string_view text) const
{
    return std::any_of(lines.begin(), lines.end(), [&](const Line& line) { return line.text == text; });
}

YesNoCancel FakeDesktop::askYesNoCancel(std::string_view text)
{
    questions.emplace_back(text);
    if (yesNoCancelAnswers.empty())
        return YesNoCancel::Cancel;
    const YesNoCancel answer = yesNoCancelAnswers.front();
    yesNoCancelAnswers.pop_front();
    return answer;
}

bool FakeDesktop::askYesNo(std::string_view text, bool /*defaultNo*/)
{
    questions.emplace_back(text);
    if (yesNoAnswers.empty())
        return answerYesNo;
    const bool answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
}

FatalBoxAnswer FakeDesktop::fatalBox(std::string_view text, std::string_view caption)
{
    fatalTexts.emplace_back(text);
    fatalCaptions.emplace_back(caption);
    if (fatalAnswers.empty())
        return FatalBoxAnswer::Abort;
    const FatalBoxAnswer answer = fatalAnswers.front();
    fatalAnswers.pop_front();
    return answer;
}

void FakeDesktop::exitProgram(int status)
{
    throw ProgramExit{status};
}

void FakeClock::pause(int ms)
{
    pauses.push_back(ms);
    milliseconds += ms;
}

void FakeClock::waitUntil(const std::function<bool()>& done)
{
    ++waits;
    for (int round = 0; round < maxWaitRounds && !done(); ++round) {
        if (onWaitRound)
            onWaitRound();
        else
            break;
    }
}

} // namespace marovin::testkit
