#pragma once
// CNoteEdit: the note pane of a game window, the label "Move-Note Editor" above one
// multi-line field (60 pixels below the pane's top, the rest of the pane) that shows the
// note of the shown move and writes every change of it into the record at once. Outside
// the normal mode a change is refused with "Please input notes later." and the field goes
// back to the note the record holds.
//
// The field takes the keyboard only when the user puts it there (a click, Tab); when a
// window activation hands it the focus, the input line gets it back.

#include <QLabel>
#include <QPlainTextEdit>
#include <QWidget>

#include <functional>

#include "model/game.h"

namespace marovin::board {

// The field: hands the focus on unless the user chose it.
class CNoteField : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit CNoteField(QWidget* parent = nullptr);
    void setFocusReturn(std::function<void()> returnFocus) { m_returnFocus = std::move(returnFocus); }

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    std::function<void()> m_returnFocus;
};

class CNoteEdit : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFieldId = 1094;
    static constexpr int kFieldTop = 60;

    explicit CNoteEdit(model::CGame& game, QWidget* parent = nullptr);

    void detach() { m_game = nullptr; }
    CNoteField* field() const { return m_field; }
    // Shows the note of the game's current entry (nothing is written back).
    void showNote();
    // Called after the field wrote a change into the record.
    void setNoteWritten(std::function<void()> written) { m_written = std::move(written); }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void onTextChanged();

    model::CGame* m_game;
    QLabel* m_label;
    CNoteField* m_field;
    std::string m_shown; // the note as last shown or written, CR LF line ends (Big5)
    std::function<void()> m_written;
};

// A note's text for the field (CR LF becomes a line feed) and back.
QString noteForField(std::string_view note);
std::string noteFromField(const QString& text);

} // namespace marovin::board
