#pragma once
// CNoteEdit: the note pane of a game window, the label "Move-Note Editor" above one
// multi-line field (60 pixels below the pane's top, the rest of the pane) that shows the
// note of the shown move and writes every change of it into the record at once. Outside
// the normal mode a change is refused with "Please input notes later." and the field goes
// back to the note the record holds; so it does when the text holds characters that Big5
// lacks (the message names them). A note longer than the record keeps is cut, and the
// user told.
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
    // The field shows the record's note again, the caret at cursorAt (as far as it goes).
    void showRecordNote(int cursorAt);

    model::CGame* m_game;
    QLabel* m_label;
    CNoteField* m_field;
    std::string m_shown; // the note as last shown or written, CR LF line ends (Big5)
    std::function<void()> m_written;
    int m_changeStart = 0; // where the field's last change began and ended
    int m_changeEnd = 0;
};

// A note's text for the field (CR LF becomes a line feed).
QString noteForField(std::string_view note);

} // namespace marovin::board
