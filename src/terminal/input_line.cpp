#include "terminal/input_line.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include "platform/big5_text.h"

namespace marovin::shell {

namespace {

QString prefixText(int index)
{
    return platform::fromBig5(kInputPrefixes[index]);
}

bool isBreakKey(const QKeyEvent& key)
{
    // Ctrl+Break arrives as Ctrl+Pause on most keyboards, as Cancel on some.
    return (key.modifiers() & Qt::ControlModifier) &&
           (key.key() == Qt::Key_Pause || key.key() == Qt::Key_Cancel);
}

} // namespace

CInputLine::CInputLine(QWidget* parent) : QLineEdit(parent)
{
    setObjectName(QStringLiteral("inputLine"));
}

void CInputLine::submit()
{
    scroll(TerminalScroll::Newest);
    const QString field = text();
    const qsizetype lineEnd = field.indexOf(QLatin1Char('\n'));
    QString line = lineEnd < 0 ? field : field.left(lineEnd);
    if (line.endsWith(QLatin1Char('\r')))
        line.chop(1);
    const QString rest = lineEnd < 0 ? QString() : field.mid(lineEnd + 1);
    // A line that Big5 cannot carry stays in the field to be mended (the user is told why).
    std::optional<std::string> checked =
        m_host ? platform::toBig5Checked(line, m_host->desktop()) : platform::toBig5(line);
    if (!checked)
        return;

    const bool password = m_passwordEntry;
    setPasswordEntry(false);
    setText(prefixText(m_prefixIndex) + rest);

    std::string bytes = std::move(*checked);
    if (bytes.empty())
        bytes.push_back(' '); // an empty line goes out as one blank
    if (!password)
        m_lastSentLine = bytes;
    if (m_host)
        m_host->sendCommand(bytes, !password, true);
}

void CInputLine::pasteClipboardIntoInput()
{
    if (!hasFocus() || isReadOnly())
        return;
    const QString text = QGuiApplication::clipboard()->text();
    QStringView rest(text);
    for (qsizetype lineFeed = rest.indexOf(QLatin1Char('\n')); lineFeed >= 0;
         lineFeed = rest.indexOf(QLatin1Char('\n'))) {
        QStringView piece = rest.left(lineFeed);
        // A clipboard line ends in CR LF on some systems; the CR is not part of the command.
        if (piece.endsWith(QLatin1Char('\r')))
            piece.chop(1);
        insert(piece.toString());
        submit();
        rest = rest.mid(lineFeed + 1);
    }
    if (!rest.isEmpty())
        insert(rest.toString());
}

void CInputLine::setPasswordEntry(bool on)
{
    if (on == m_passwordEntry)
        return;
    m_passwordEntry = on;
    // Whatever stood in the field is not part of the password, and a password must not
    // stay behind in it.
    clear();
    setEchoMode(on ? QLineEdit::Password : QLineEdit::Normal);
}

bool CInputLine::event(QEvent* event)
{
    // Tab cycles the prefix instead of moving the focus (Shift+Tab still moves it back).
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier))) {
            cyclePrefix();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void CInputLine::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_PageUp:
        scroll(TerminalScroll::PageUp);
        return;
    case Qt::Key_PageDown:
        scroll(TerminalScroll::PageDown);
        return;
    case Qt::Key_Up:
        if (!m_passwordEntry)
            setText(platform::fromBig5(m_lastSentLine));
        return;
    case Qt::Key_Escape:
        clear();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        submit();
        return;
    default:
        break;
    }
    if (isBreakKey(*event) && m_host)
        m_host->sendCommand(kBreakBytes, false, false);
    QLineEdit::keyPressEvent(event);
}

void CInputLine::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::MiddleButton) {
        QLineEdit::mousePressEvent(event);
        return;
    }
    // The middle button pastes the clipboard here, not the platform's selection.
    setFocus(Qt::MouseFocusReason);
    pasteClipboardIntoInput();
}

void CInputLine::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::MiddleButton)
        QLineEdit::mouseReleaseEvent(event);
}

void CInputLine::cyclePrefix()
{
    m_prefixIndex = (m_prefixIndex + 1) % 3;
    setText(prefixText(m_prefixIndex));
}

void CInputLine::scroll(TerminalScroll step)
{
    if (m_host)
        m_host->scrollTerminal(step);
}

} // namespace marovin::shell
