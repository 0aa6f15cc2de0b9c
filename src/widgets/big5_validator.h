#pragma once
// Length limits counted in Big5 bytes: the fields that typed text ends up in are byte
// arrays, where a Chinese character takes two bytes.

#include <string>
#include <string_view>

#include <QValidator>

namespace marovin::platform {

// The longest start of text that fits in limit bytes without splitting a two-byte Big5
// character.
std::string big5Prefix(std::string_view text, std::size_t limit);

// Refuses an edit that would make the text longer than limit bytes in Big5, or put a
// character into it that Big5 lacks (it is never sent or stored as a '?').
class Big5LengthValidator : public QValidator {
    Q_OBJECT
public:
    Big5LengthValidator(int limit, QObject* parent = nullptr) : QValidator(parent), m_limit(limit) {}

    State validate(QString& input, int& position) const override;

private:
    int m_limit;
};

} // namespace marovin::platform
