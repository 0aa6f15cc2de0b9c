#include "frame/command_windows.h"

#include <QAction>
#include <QApplication>
#include <QTimer>

#include <algorithm>

#include "session/session_state.h"
#include "windows/finger_window.h"
#include "windows/games_window.h"
#include "frame/main_frame.h"
#include "windows/match_dialog.h"
#include "windows/stored_games_window.h"
#include "windows/who_window.h"

namespace marovin::windows {

CommandWindows::CommandWindows(CMainFrame& frame, session::ClientContext& context)
    : m_frame(frame), m_context(context)
{
    wireFrameCommands();
    const auto wireWho = [this](CWhoDlg* who) {
        connect(who, &CWhoDlg::matchDialogRequested, this, [this](const std::string& name) {
            openMatchDialog({session::MatchOpening::From::Name, name});
        });
    };
    if (CWhoDlg* who = m_frame.whoWindow())
        wireWho(who);
    connect(&m_frame, &CMainFrame::whoWindowMade, this, wireWho);
}

CommandWindows::~CommandWindows()
{
    for (const QPointer<CMatchDlg>& dialog : m_matchDialogs)
        delete dialog.data();
}

void CommandWindows::wireFrameCommands()
{
    const auto sends = [this](const char* action, std::string_view line) {
        QAction* command = m_frame.action(QString::fromLatin1(action));
        command->setEnabled(true);
        connect(command, &QAction::triggered, this,
                [this, line] { session::sendCommand(m_context, line, true, true); });
    };
    sends("actionWho", "who\r\n");
    sends("actionWhoFast", "who -f\r\n");
    sends("actionGames", "games\r\n");
    sends("actionStoredGames", "stored\r\n");
    const auto opens = [this](const char* action, auto open) {
        QAction* command = m_frame.action(QString::fromLatin1(action));
        command->setEnabled(true);
        connect(command, &QAction::triggered, this, open);
    };
    opens("actionMatchDialog", [this] { openMatchDialog({}); });
    opens("actionMessageDialog", [this] { openMessageDialog(std::nullopt); });
    opens("actionPlanDialog", [this] { openPlanDialog(); });
}

void CommandWindows::present(QDialog* window, Focus focus)
{
    connect(window, &QDialog::finished, &m_frame, &CMainFrame::requestInputFocus, Qt::UniqueConnection);
    window->setAttribute(Qt::WA_ShowWithoutActivating, focus == Focus::Keep);
    window->show();
    if (QApplication::activeModalWidget())
        return;
    window->raise();
    if (focus == Focus::Take)
        window->activateWindow();
}

void CommandWindows::updateWhoList(std::string_view answer, int kind)
{
    if (CWhoDlg* who = m_frame.ensureWhoWindow())
        who->updateWhoList(answer, kind == session::kWhoPlain);
}

void CommandWindows::showWhoWindow()
{
    if (CWhoDlg* who = m_frame.ensureWhoWindow(); who && who->isHidden())
        present(who);
}

void CommandWindows::updateGamesList(std::string_view answer)
{
    if (!m_gamesWindow) {
        m_gamesWindow = new CGamesDlg(m_context, &m_frame);
        present(m_gamesWindow);
    } else if (m_gamesWindow->isHidden()) {
        present(m_gamesWindow);
    }
    m_gamesWindow->updateGamesList(answer, m_frame.listFont());
}

bool AnswerWindows::full()
{
    std::erase_if(m_open, [](const QPointer<QDialog>& window) { return window.isNull(); });
    return static_cast<int>(m_open.size()) >= kAnswerWindowLimit;
}

QDialog* AnswerWindows::reuseOldestWhenFull()
{
    if (!full())
        return nullptr;
    std::rotate(m_open.begin(), m_open.begin() + 1, m_open.end());
    return m_open.back();
}

void CommandWindows::tellAnswerNotInNewWindow(std::string_view kind, std::string_view where)
{
    m_context.terminal.writeClientText(std::to_string(kAnswerWindowLimit) + " " + std::string(kind) +
                                           " windows are open: " + std::string(where),
                                       true);
}

void CommandWindows::createStoredGamesWindow(std::string_view answer)
{
    if (auto* oldest = static_cast<CStoredGamesDlg*>(m_storedWindows.reuseOldestWhenFull())) {
        oldest->showAnswer(answer);
        tellAnswerNotInNewWindow("stored games", "the oldest shows this answer.");
        present(oldest);
        return;
    }
    auto* window = new CStoredGamesDlg(m_context, answer, m_frame.listFont(), &m_frame);
    m_storedWindows.add(window);
    present(window);
}

void CommandWindows::showTextAnswer(AnswerWindows& windows, const char* title, std::string_view kind,
                                    std::string_view answer)
{
    if (auto* oldest = static_cast<CFingerDlg*>(windows.reuseOldestWhenFull())) {
        oldest->showAnswer(answer);
        tellAnswerNotInNewWindow(kind, "the oldest shows this answer.");
        present(oldest);
        return;
    }
    auto* window = new CFingerDlg(QString::fromLatin1(title), answer, m_frame.listFont(), &m_frame);
    windows.add(window);
    present(window);
}

void CommandWindows::createFingerWindow(std::string_view answer)
{
    showTextAnswer(m_fingerWindows, kFingerTitle, "finger", answer);
}

void CommandWindows::openAliasResult(std::string_view answer)
{
    showTextAnswer(m_aliasWindows, kAliasResultTitle, "alias result", answer);
}

CMatchDlg* CommandWindows::openMatchDialog(const session::MatchOpening& opening)
{
    if (!session::admitMatchDialog(m_lastMatch, opening, m_context.options.preferredColour))
        return nullptr;
    auto* dialog = new CMatchDlg(m_context, m_lastMatch, &m_frame);
    std::erase_if(m_matchDialogs, [](const QPointer<CMatchDlg>& open) { return open.isNull(); });
    m_matchDialogs.emplace_back(dialog);
    connect(dialog, &CMatchDlg::chooseRequested, &m_frame,
            [frame = &m_frame] { QTimer::singleShot(0, frame, &CMainFrame::showWhoWindow); });
    // A challenge from the server does not take the keyboard; a dialog the user opened does.
    present(dialog, opening.from == session::MatchOpening::From::Challenge ? Focus::Keep : Focus::Take);
    return dialog;
}

} // namespace marovin::windows

namespace marovin::windows {

void CommandWindows::cascade(QDialog* dialog)
{
    // Each open message or plan window moves the next one down and right, so that a new
    // one never hides an older one exactly.
    const auto open = m_frame.findChildren<CPacedTextDlg*>(Qt::FindDirectChildrenOnly);
    const int step = 24 * static_cast<int>((open.size() - 1) % 8);
    QRect place(QPoint(), dialog->size());
    place.moveCenter(m_frame.geometry().center());
    dialog->move(place.topLeft() + QPoint(step, step));
}

CMessageDlg* CommandWindows::openMessageDialog(std::optional<std::string_view> received)
{
    // A window of a received message may hold the reply the user is typing: none is
    // reused, and past the limit the message stays where the terminal shows it.
    if (received && m_messageWindows.full()) {
        tellAnswerNotInNewWindow("message", "this message is shown above only.");
        return nullptr;
    }
    auto* dialog = new CMessageDlg(m_context, received, m_frame.listFont(), &m_frame);
    if (received)
        m_messageWindows.add(dialog);
    cascade(dialog);
    present(dialog, received ? Focus::Keep : Focus::Take);
    return dialog;
}

CPlanDlg* CommandWindows::openPlanDialog()
{
    auto* dialog = new CPlanDlg(m_context, m_frame.listFont(), &m_frame);
    cascade(dialog);
    present(dialog, Focus::Take);
    return dialog;
}

} // namespace marovin::windows
