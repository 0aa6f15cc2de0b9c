#include "game_window/note_edit.h"

#include <QFocusEvent>
#include <QPointer>
#include <QSignalBlocker>

#include "platform/big5_text.h"

namespace marovin::board {

QString noteForField(std::string_view note)
{
    std::string text;
    text.reserve(note.size());
    for (std::size_t i = 0; i < note.size(); ++i)
        if (!(note[i] == '\r' && i + 1 < note.size() && note[i + 1] == '\n'))
            text.push_back(note[i]);
    return platform::fromBig5(text);
}

std::string noteFromField(const QString& text)
{
    const std::string big5 = platform::toBig5(text);
    std::string note;
    note.reserve(big5.size() + big5.size() / 16);
    for (const char c : big5) {
        if (c == '\n')
            note += "\r\n";
        else if (c != '\r')
            note.push_back(c);
    }
    return note;
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
    if (m_game->mode != model::kModeNormal) {
        const QPointer<CNoteEdit> self(this);
        m_game->ports().desktop.messageBox("Please input notes later.");
        // The record did not change: the field shows what it holds again.
        if (self && m_game) {
            const QSignalBlocker blocker(m_field);
            m_shown = m_game->currentEntry().noteText();
            m_field->setPlainText(noteForField(m_shown));
        }
        return;
    }
    m_shown = noteFromField(m_field->toPlainText());
    m_game->SetNote(m_shown, false);
    if (m_written)
        m_written();
}

void CNoteEdit::resizeEvent(QResizeEvent*)
{
    m_field->setGeometry(0, kFieldTop, width(), std::max(0, height() - kFieldTop));
}

} // namespace marovin::board
