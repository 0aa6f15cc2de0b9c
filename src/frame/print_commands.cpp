#include "frame/print_commands.h"

#include <QAction>
#include <QMdiArea>
#include <QMenu>
#include <QPageSetupDialog>
#include <QPointer>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStatusBar>

#include <algorithm>

#include "frame/main_frame.h"
#include "game_window/game_frame.h"
#include "game_window/qt_game_windows.h"
#include "platform/big5_text.h"
#include "printing/record_printer.h"
#include "support/fixed_text.h"

namespace marovin::windows {

namespace {

constexpr int kMessageMs = 4000;

QAction* makeAction(CMainFrame& frame, const char* name, const QString& text)
{
    auto* action = new QAction(text, &frame);
    action->setObjectName(QString::fromLatin1(name));
    action->setEnabled(false);
    frame.addAction(action); // its key works whether or not the menu is open
    return action;
}

} // namespace

QPrinter& PrintCommands::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

PrintCommands::PrintCommands(CMainFrame& frame, board::QtGameWindows& windows)
    : m_frame(frame), m_windows(windows),
      m_print(makeAction(frame, "actionFilePrint", tr("&Print...\tCtrl+P"))),
      m_preview(makeAction(frame, "actionFilePrintPreview", tr("Print Pre&view"))),
      m_setup(makeAction(frame, "actionFilePrintSetup", tr("P&rint Setup..."))),
      m_mark(makeAction(frame, "actionMarkDiagram", tr("Mark &Diagram")))
{
    QAction* print = m_print;
    QAction* preview = m_preview;
    QAction* setup = m_setup;
    QAction* mark = m_mark;
    print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    mark->setCheckable(true);
    // Printing sits with the file commands, before the settings; marking with the
    // position commands of the Edit menu.
    if (QMenu* file = frame.menuTitled(QStringLiteral("&File"))) {
        QAction* before = frame.action(QStringLiteral("actionSaveSettings"));
        file->insertActions(before, {print, preview, setup});
        file->insertSeparator(before);
    }
    if (QMenu* edit = frame.menuTitled(QStringLiteral("&Edit"))) {
        edit->addAction(mark);
        connect(edit, &QMenu::aboutToShow, this, &PrintCommands::updateCommands);
    }
    connect(print, &QAction::triggered, this, &PrintCommands::printActive);
    connect(preview, &QAction::triggered, this, &PrintCommands::previewActive);
    connect(setup, &QAction::triggered, this, &PrintCommands::setUpPages);
    connect(mark, &QAction::triggered, this, [this] {
        if (board::CGameFrame* window = m_windows.activeFrame(); window && window->game()) {
            const bool marked = toggleMark(*window);
            m_frame.statusBar()->showMessage(marked ? tr("This position will be printed with a diagram")
                                                    : tr("This position's diagram mark is taken away"),
                                             kMessageMs);
        }
        updateCommands();
        m_frame.requestInputFocus();
    });
    connect(&windows, &board::QtGameWindows::windowsChanged, this, &PrintCommands::updateCommands);
    connect(frame.mdiArea(), &QMdiArea::subWindowActivated, this, &PrintCommands::updateCommands);
    updateCommands();
}

PrintCommands::~PrintCommands() = default;

void PrintCommands::updateCommands()
{
    board::CGameFrame* window = m_windows.activeFrame();
    const bool game = window && window->game();
    for (QAction* command : {m_print, m_preview, m_setup})
        command->setEnabled(game);
    m_mark->setEnabled(game && window->game()->browsedPly() > 0);
    m_mark->setChecked(game && isMarked(*window));
}

bool PrintCommands::toggleMark(board::CGameFrame& window)
{
    if (!window.game() || window.game()->browsedPly() == 0)
        return false;
    const Moves moves = window.game()->browsedMoves();
    if (moves.empty())
        return false;
    if (!m_marks.contains(&window))
        connect(&window, &QObject::destroyed, this, [this, key = &window] { m_marks.remove(key); });
    std::vector<Moves>& marks = m_marks[&window];
    const auto found = std::find(marks.begin(), marks.end(), moves);
    if (found != marks.end()) {
        marks.erase(found);
        return false;
    }
    marks.push_back(moves);
    return true;
}

bool PrintCommands::isMarked(board::CGameFrame& window) const
{
    if (!window.game())
        return false;
    const auto marks = m_marks.constFind(&window);
    return marks != m_marks.cend() &&
           std::find(marks->begin(), marks->end(), window.game()->browsedMoves()) != marks->end();
}

model::PrintDocument PrintCommands::documentOf(board::CGameFrame& window) const
{
    const model::CGame& game = *window.game();
    std::vector<const model::MoveEntry*> entries;
    for (const Moves& moves : m_marks.value(&window))
        entries.push_back(game.findEntry(moves)); // null once the move is deleted
    return model::BuildPrintDocument(game, entries);
}

int PrintCommands::print(board::CGameFrame& window, QPagedPaintDevice& device) const
{
    return window.game() ? printing::PrintRecord(documentOf(window), device) : 0;
}

void PrintCommands::printActive()
{
    board::CGameFrame* window = m_windows.activeFrame();
    if (!window || !window->game())
        return;
    printer().setDocName(platform::fromBig5(fieldText(window->game()->subject)));
    QPrintDialog dialog(&printer(), window);
    const QPointer<board::CGameFrame> shown(window);
    if (window->execDialog(dialog) == QDialog::Accepted && shown && shown->game() && print(*shown, printer()) == 0)
        m_windows.context().desktop.messageBox("The record could not be printed.");
    m_frame.requestInputFocus();
}

void PrintCommands::previewActive()
{
    board::CGameFrame* window = m_windows.activeFrame();
    if (!window || !window->game())
        return;
    QPrintPreviewDialog preview(&printer(), window);
    preview.setWindowTitle(tr("Print Preview - %1").arg(window->windowTitle()));
    const QPointer<board::CGameFrame> shown(window);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this, shown](QPrinter* printer) {
        if (shown && shown->game())
            print(*shown, *printer);
    });
    window->execDialog(preview);
    m_frame.requestInputFocus();
}

void PrintCommands::setUpPages()
{
    QPageSetupDialog dialog(&printer(), &m_frame);
    dialog.exec();
    m_frame.requestInputFocus();
}

} // namespace marovin::windows
