#include "frame/position_clipboard.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMdiArea>
#include <QMimeData>

#include "game_window/game_frame.h"
#include "game_window/qt_game_windows.h"
#include "model/fen.h"
#include "model/text_diagram.h"
#include "platform/big5_text.h"
#include "session/client_context.h"
#include "frame/main_frame.h"

namespace marovin::windows {

namespace {

// The first line of the clipboard's text that holds anything, without its blanks: a FEN
// copied from a page often comes with a line end or spaces around it.
QString firstLine(const QString& text)
{
    for (const QString& line : text.split(QLatin1Char('\n')))
        if (!line.trimmed().isEmpty())
            return line.trimmed();
    return {};
}

} // namespace

PositionClipboard::PositionClipboard(CMainFrame& frame, board::QtGameWindows& windows)
    : m_frame(frame), m_windows(windows)
{
    connect(frame.action(QStringLiteral("actionEditCopyPosition")), &QAction::triggered, this, [this] { copy(); });
    QAction* paste = frame.action(QStringLiteral("actionEditPastePosition"));
    connect(paste, &QAction::triggered, this, [this] { this->paste(); });
    paste->setEnabled(true);
    connect(&windows, &board::QtGameWindows::windowsChanged, this, &PositionClipboard::updateCommands);
    connect(frame.mdiArea(), &QMdiArea::subWindowActivated, this, &PositionClipboard::updateCommands);
    updateCommands();
}

void PositionClipboard::updateCommands()
{
    m_frame.action(QStringLiteral("actionEditCopyPosition"))->setEnabled(m_windows.activeFrame() != nullptr);
}

bool PositionClipboard::copy()
{
    board::CGameFrame* window = m_windows.activeFrame();
    if (!window || !window->game())
        return false;
    const model::CGame& game = *window->game();
    QString diagram;
    for (const std::string& row : model::TextDiagram(game))
        diagram += platform::fromBig5(row).toHtmlEscaped() + QLatin1Char('\n');
    auto* data = new QMimeData;
    data->setText(QString::fromStdString(model::GameFen(game)));
    data->setHtml(QStringLiteral("<pre>") + diagram + QStringLiteral("</pre>"));
    QApplication::clipboard()->setMimeData(data);
    m_frame.requestInputFocus();
    return true;
}

board::CGameFrame* PositionClipboard::paste()
{
    const std::string fen = firstLine(QApplication::clipboard()->text()).left(400).toStdString();
    std::string error;
    if (!model::ReadFen(fen, error)) {
        m_windows.context().desktop.messageBox(
            fen.empty() ? std::string("The clipboard holds no text to take a position from.")
                        : "The clipboard holds no position that a game can start from: " + error);
        return nullptr;
    }
    board::CGameFrame* window = m_windows.newGame();
    if (!window || !window->game())
        return nullptr;
    model::CGame& game = *window->game();
    if (!model::SetFenPosition(game, fen, error)) {
        m_windows.context().desktop.messageBox(error);
        return window;
    }
    window->setDocumentName(QStringLiteral("Position from the clipboard (not saved)"));
    m_windows.redraw(game);
    m_windows.refreshStatus(game);
    m_frame.requestInputFocus();
    return window;
}

} // namespace marovin::windows
