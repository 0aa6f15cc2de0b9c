#include "frame/keyboard_commands.h"

#include <QAction>
#include <QMdiArea>

#include "frame/main_frame.h"
#include "game_window/game_frame.h"
#include "game_window/qt_game_windows.h"

namespace marovin::windows {

namespace {

using board::BrowseStep;

struct BrowseKey {
    const char* name;
    const char* text;
    Qt::Key key;
    BrowseStep step;
};

constexpr BrowseKey kBrowseKeys[] = {
    {"actionBrowseBack", "One Move Back", Qt::Key_Left, BrowseStep::Back},
    {"actionBrowseForward", "One Move Forward", Qt::Key_Right, BrowseStep::Forward},
    {"actionBrowseStart", "Start Position", Qt::Key_Home, BrowseStep::Start},
    {"actionBrowseEnd", "End of the Line", Qt::Key_End, BrowseStep::End},
    {"actionBrowsePreviousAlternative", "Previous Alternative", Qt::Key_Up, BrowseStep::PreviousAlternative},
    {"actionBrowseNextAlternative", "Next Alternative", Qt::Key_Down, BrowseStep::NextAlternative},
};

QAction* makeAction(CMainFrame& frame, const char* name, const QString& text, const QKeySequence& key)
{
    auto* action = new QAction(text, &frame);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(key);
    frame.addAction(action); // the keys work whether or not a menu shows the command
    return action;
}

} // namespace

KeyboardCommands::KeyboardCommands(CMainFrame& frame, board::QtGameWindows& windows)
    : m_frame(frame), m_windows(windows)
{
    for (const BrowseKey& entry : kBrowseKeys) {
        QAction* action = makeAction(frame, entry.name, tr(entry.text), QKeySequence(Qt::ALT | entry.key));
        // The keyboard stays where it is: typing goes on in the input line (or the pane
        // that has it) after each step.
        connect(action, &QAction::triggered, this, [this, step = entry.step] {
            if (board::CGameFrame* game = m_windows.activeFrame())
                game->view()->browse(step);
        });
        m_browsing.push_back(action);
    }
    QAction* next = makeAction(frame, "actionNextPane", tr("Next Pane"), QKeySequence(Qt::SHIFT | Qt::Key_F6));
    connect(next, &QAction::triggered, this, &KeyboardCommands::nextPane);
    connect(&windows, &board::QtGameWindows::windowsChanged, this, &KeyboardCommands::update);
    connect(frame.mdiArea(), &QMdiArea::subWindowActivated, this, &KeyboardCommands::update);
    update();
}

void KeyboardCommands::nextPane()
{
    board::CGameFrame* game = m_windows.activeFrame();
    if (!game || !game->game() || !game->focusNextPane())
        m_frame.focusInputLine();
}

void KeyboardCommands::update()
{
    // Without a game window the keys are left to whatever has the keyboard.
    const bool active = m_windows.activeFrame() != nullptr;
    for (QAction* action : m_browsing)
        action->setEnabled(active);
}

} // namespace marovin::windows
