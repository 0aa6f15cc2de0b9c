#include "game_window/note_edit.h"

#include <algorithm>
#include <optional>

#include <QFocusEvent>
#include <QTextCursor>
#include <QTextDocument>
#include <QPointer>
#include <QSignalBlocker>

#include "model/note_text.h"
#include "platform/big5_text.h"

namespace marovin::board {

namespace {

const std::string kNoteTooLong = "A note holds at most " + std::to_string(model::kNoteLimit) +
                                 " bytes (a Chinese character or a line end takes two): the text past that was cut.";

} // namespace

QString noteForField(std::string_view note)
{
    std::string text;
    text.reserve(note.size());
    for (std::size_t i = 0; i < note.size(); ++i)
        if (!(note[i] == '\r' && i + 1 < note.size() && note[i + 1] == '\n'))
            text.push_back(note[i]);
    return platform::fromBig5(text);
}

CNoteField::CNoteField(QWidget* parent) : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("noteField"));
    setFocusPolicy(Qt::StrongFocus);
}

void CNoteField::focusInEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusInEvent(event);
    switch (event->reason()) {
    case Qt::MouseFocusReason:
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ShortcutFocusReason:
    case Qt::PopupFocusReason:
    case Qt::ActiveWindowFocusReason:
        break;
    default:
        // A window activation put the focus here, not the user.
        if (m_returnFocus)
            m_returnFocus();
        break;
    }
}

CNoteEdit::CNoteEdit(model::CGame& game, QWidget* parent)
    : QWidget(parent), m_game(&game), m_label(new QLabel(QStringLiteral("Move-Note Editor"), this)),
      m_field(new CNoteField(this))
{
    setObjectName(QStringLiteral("noteEdit"));
    m_label->move(6, 6);
    m_label->adjustSize();
    connect(m_field->document(), &QTextDocument::contentsChange, this, [this](int at, int, int added) {
        m_changeStart = at;
        m_changeEnd = at + added;
    });
    connect(m_field, &QPlainTextEdit::textChanged, this, &CNoteEdit::onTextChanged);
    resize(20, 20);
}

void CNoteEdit::showNote()
{
    if (!m_game)
        return;
    const std::string& note = m_game->currentEntry().noteText();
    if (note == m_shown)
        return;
    m_shown = note;
    const QSignalBlocker blocker(m_field);
    m_field->setPlainText(noteForField(note));
}

void CNoteEdit::onTextChanged()
{
    if (!m_game)
        return;
    const QPointer<CNoteEdit> self(this);
    DesktopPort& desktop = m_game->ports().desktop;
    if (m_game->mode != model::kModeNormal) {
        desktop.messageBox("Please input notes later.");
        if (self && m_game)
            showRecordNote(m_changeStart); // the record did not change
        return;
    }
    // Text that Big5 cannot carry is refused (the message names the characters): it would
    // be kept as "?" and shown as typed until the file is read again.
    const std::optional<std::string> big5 = platform::toBig5Checked(m_field->toPlainText(), desktop);
    if (!self || !m_game)
        return;
    if (!big5) {
        showRecordNote(m_changeStart);
        return;
    }
    const std::size_t dropped = m_game->SetNote(*big5, false);
    m_shown = m_game->currentEntry().noteText();
    if (dropped > 0) {
        showRecordNote(m_changeEnd);
        desktop.messageBox(kNoteTooLong);
    } else if (std::any_of(big5->begin(), big5->end(), [](char c) {
                   const auto byte = static_cast<unsigned char>(c);
                   return (byte < 0x20 && byte != '\n') || byte == 0x7F || byte == 0xFF;
               })) {
        showRecordNote(m_changeEnd); // a tab or a control character, which a note does not keep
    }
    if (self && m_written)
        m_written();
}

void CNoteEdit::showRecordNote(int cursorAt)
{
    m_shown = m_game->currentEntry().noteText();
    const QSignalBlocker blocker(m_field);
    m_field->setPlainText(noteForField(m_shown));
    QTextCursor cursor = m_field->textCursor();
    cursor.setPosition(std::clamp(cursorAt, 0, m_field->document()->characterCount() - 1));
    m_field->setTextCursor(cursor);
}

void CNoteEdit::resizeEvent(QResizeEvent*)
{
    m_field->setGeometry(0, kFieldTop, width(), std::max(0, height() - kFieldTop));
}

} // namespace marovin::board
