#pragma once
// The data rules of the "Game Header" dialog, without the widgets.
//
// Six fields (Red Name, BlackName, Subject, Result, Place, Date). A field whose game
// value is empty shows the value last entered in the dialog in any game during this run
// (the last Red and Black names start as the login name). A marker reads "*" while any
// field differs from the game's stored value. Enter moves the focus to the next field and
// from the last one back to the first: only a click on OK accepts.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "model/game.h"

namespace marovin::model {

// The values last entered, kept for the whole run (one per program).
struct GameHeaderMemory {
    std::array<std::optional<std::string>, 6> lastEntered;
};

class GameHeaderForm {
public:
    enum Field : int { RedName, BlackName, Subject, Result, Place, Date, FieldCount };

    // Fills the fields from game (empty ones from memory). The focus starts in Red Name.
    GameHeaderForm(const CGame& game, GameHeaderMemory& memory);

    // The longest text a field keeps.
    static std::size_t maxLength(Field field);
    const std::string& value(Field field) const { return m_values[field]; }
    // Sets a field's text, cut to its length.
    void setValue(Field field, std::string_view text);
    // "*" while a field differs from the game's value, "" otherwise.
    std::string_view marker() const;

    Field focus() const { return m_focus; }
    void setFocus(Field field) { m_focus = field; }
    // Enter: the next field, wrapping from Date to Red Name.
    void pressEnter() { m_focus = static_cast<Field>((m_focus + 1) % FieldCount); }

    // OK: copies the fields into game, remembers them as last entered, and sets the
    // modified flag when anything differed.
    void accept(CGame& game);

private:
    static std::string_view stored(const CGame& game, Field field);

    const CGame& m_game;
    GameHeaderMemory& m_memory;
    std::array<std::string, FieldCount> m_values;
    Field m_focus = RedName;
};

} // namespace marovin::model
