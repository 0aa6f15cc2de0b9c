// Speed of the game window in the running program (offscreen, the real main frame and its
// windows):
//  - OpenFileToFirstPaint: File Open of a game file of about 1 MB (a long main line with a
//    side line every 25 moves and a note on every 10th move) into a new window, until the
//    window's board pane has painted;
//  - StepRedraw: one step forward or back through a 300-move game with the up-down control,
//    until the board pane has painted it; reported per step.
//
// The program's windows are painted by Qt into their backing store; "painted" is the end of
// the board pane's paint event.

#include <benchmark/benchmark.h>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QEvent>

#include <memory>
#include <string>

#include "game_window/game_frame.h"
#include "game_window/qt_game_windows.h"
#include "model/game_file.h"
#include "frame/application.h"
#include "frame/client_session.h"
#include "testkit/fakes.h"
#include "testkit/qt_application.h"
#include "testkit/temp_folder.h"
#include "frame/game_documents.h"
#include "frame/main_frame.h"

namespace {

using namespace marovin;
using model::CGame;

// Counts the paint events that the board panes have finished.
class PaintCounter : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched->objectName() == QLatin1String("gameView"))
            ++m_pending;
        return false;
    }
    // Handles events until a board pane has been painted once more.
    void waitForPaint()
    {
        const int before = painted;
        while (painted == before) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            painted += std::exchange(m_pending, 0);
        }
    }
    int painted = 0;

private:
    int m_pending = 0;
};

struct GamePorts {
    testkit::FakeTerminal terminal;
    testkit::FakeDesktop desktop;
    testkit::FakeClock clock;
    model::NoGameWindows windows;
    model::GameSettings settings;
    model::GamePorts ports{terminal, desktop, clock, windows, settings};
};

void play(CGame& game, const char* text)
{
    const auto squares = model::ParseCoordinateMove(text);
    game.PlayMove(squares->from, squares->to, model::MoveKind::User);
}

// A game of the given main-line length: horse moves out and back; with side lines, every
// 25th move starts a side line of 9 chariot moves; every 10th move has a note.
std::string gameText(int moves, bool sideLines)
{
    static const char* mainCycle[] = {"H0-G2", "H9-G7", "G2-H0", "G7-H9"};
    static const char* sideCycles[2][4] = {{"I0-I1", "I9-I8", "I1-I0", "I8-I9"},
                                           {"I9-I8", "I0-I1", "I8-I9", "I1-I0"}};
    GamePorts ports;
    CGame game(ports.ports);
    for (int i = 0; i < moves; ++i) {
        play(game, mainCycle[i % 4]);
        if (i % 10 == 0)
            game.SetNote("\xB5\xF9\xB8\xD1 move " + std::to_string(i) + ": the horse goes out and back.", false);
        if (sideLines && i % 25 == 24) {
            game.TakeBack(model::TakeBackKind::User);
            for (int j = 0; j < 9; ++j)
                play(game, sideCycles[i % 2][j % 4]);
            for (int j = 0; j < 9; ++j)
                game.TakeBack(model::TakeBackKind::User);
            game.FollowAlternative(0);
            game.PlayMove(0, 0, model::MoveKind::Replay);
        }
    }
    return model::GameFileText(game, model::GameFileForm::Old);
}

// A game with side lines whose file has at least the given size.
std::string gameTextOfSize(std::size_t bytes)
{
    int moves = 1000;
    std::string text = gameText(moves, true);
    while (text.size() < bytes) {
        moves = static_cast<int>(moves * (static_cast<double>(bytes) / text.size()) * 1.01) + 1;
        text = gameText(moves, true);
    }
    return text;
}

// The running program with its main frame shown, as the user sees it.
struct Program {
    Program()
    {
        testkit::qtApplication();
        PlatformDefaults defaults;
        defaults.fixedFontFace = "DejaVu Sans Mono";
        defaults.screenWidth = 1280;
        app = std::make_unique<shell::CMarovinApp>(desktop, defaults, deriveSystemMetrics(16, 7),
                                                   folder.file("config/Marovin.dat"));
        app->initInstance();
        qApp->installEventFilter(&paints);
        QCoreApplication::processEvents();
    }
    ~Program()
    {
        for (board::CGameFrame* window : windows()->frames())
            if (window->game())
                window->game()->modified = false;
        qApp->removeEventFilter(&paints);
    }
    board::QtGameWindows* windows() const { return app->clientSession()->gameWindows(); }
    void closeAll()
    {
        for (board::CGameFrame* window : windows()->frames())
            window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    testkit::TempFolder folder;
    testkit::FakeDesktop desktop;
    std::unique_ptr<shell::CMarovinApp> app;
    PaintCounter paints;
};

void OpenFileToFirstPaint(benchmark::State& state)
{
    Program program;
    const std::string text = gameTextOfSize(std::size_t(1) << 20);
    const QString path = QString::fromStdString(program.folder.write("large.gam", text));
    for (auto _ : state) {
        board::CGameFrame* window = program.app->gameDocuments()->openFile(path);
        if (!window) {
            state.SkipWithError("the file was not opened");
            break;
        }
        program.paints.waitForPaint();
        state.PauseTiming();
        program.closeAll();
        state.ResumeTiming();
    }
    state.counters["file_bytes"] = static_cast<double>(text.size());
}
BENCHMARK(OpenFileToFirstPaint)->Unit(benchmark::kMillisecond);

void StepRedraw(benchmark::State& state)
{
    Program program;
    const QString path = QString::fromStdString(program.folder.write("300.gam", gameText(300, false)));
    board::CGameFrame* window = program.app->gameDocuments()->openFile(path);
    if (!window) {
        state.SkipWithError("the file was not opened");
        return;
    }
    program.paints.waitForPaint();
    CGame& game = *window->game();
    board::UpDownControl* stepper = window->view()->moveStepper();
    int delta = 1;
    for (auto _ : state) {
        // Forward to the end, back to the start, and so on.
        const int ply = game.browsedPly();
        if (ply == 0)
            delta = 1;
        else if (ply == 300)
            delta = -1;
        emit stepper->stepped(delta);
        program.paints.waitForPaint();
    }
    state.counters["moves"] = 300;
}
BENCHMARK(StepRedraw)->Unit(benchmark::kMicrosecond);

} // namespace
