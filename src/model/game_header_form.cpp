#include "model/game_header_form.h"

#include "support/fixed_text.h"

namespace marovin::model {

namespace {

constexpr std::array<std::size_t, GameHeaderForm::FieldCount> kLengths = {
    kNameLength, kNameLength, kSubjectLength, kResultLength, kPlaceLength, kDateLength};

} // namespace

GameHeaderForm::GameHeaderForm(const CGame& game, GameHeaderMemory& memory) : m_game(game), m_memory(memory)
{
    const std::string& login = game.ports().settings.loginName;
    for (int f = 0; f < FieldCount; ++f) {
        const Field field = static_cast<Field>(f);
        std::string text(stored(game, field));
        if (text.empty()) {
            if (const auto& last = memory.lastEntered[static_cast<std::size_t>(f)])
                text = *last;
            else if (field == RedName || field == BlackName)
                text = login;
        }
        setValue(field, text);
    }
}

std::size_t GameHeaderForm::maxLength(Field field)
{
    return kLengths[static_cast<std::size_t>(field)];
}

void GameHeaderForm::setValue(Field field, std::string_view text)
{
    m_values[field] = std::string(text.substr(0, maxLength(field)));
}

std::string_view GameHeaderForm::stored(const CGame& game, Field field)
{
    switch (field) {
    case RedName:
        return fieldText(game.redName);
    case BlackName:
        return fieldText(game.blackName);
    case Subject:
        return fieldText(game.subject);
    case Result:
        return fieldText(game.result);
    case Place:
        return fieldText(game.place);
    case Date:
        return fieldText(game.date);
    case FieldCount:
        break;
    }
    return {};
}

std::string_view GameHeaderForm::marker() const
{
    for (int f = 0; f < FieldCount; ++f)
        if (m_values[f] != stored(m_game, static_cast<Field>(f)))
            return "*";
    return "";
}

void GameHeaderForm::accept(CGame& game)
{
    const bool changed = !marker().empty();
    copyBounded(game.redName, m_values[RedName]);
    copyBounded(game.blackName, m_values[BlackName]);
    copyBounded(game.subject, m_values[Subject]);
    copyBounded(game.result, m_values[Result]);
    copyBounded(game.place, m_values[Place]);
    copyBounded(game.date, m_values[Date]);
    for (int f = 0; f < FieldCount; ++f)
        m_memory.lastEntered[static_cast<std::size_t>(f)] = m_values[f];
    if (changed)
        game.modified = true;
    game.observer().nameChanged(game);
}

} // namespace marovin::model
