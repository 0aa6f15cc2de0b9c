#pragma once
// EnginePool: the program's engines, lent to whoever needs one (a game window's analysis
// or play, a whole-game analysis), so that the program runs one engine process, or as
// many as the engine settings allow, however many windows it shows.
//
//   borrow(window)      a free engine; else the one lent longest ago to a borrower that
//                       lets it go (its search is stopped, takenAway tells it)
//   borrow(run, keep)   as above, but nobody takes it away until it is given back
//   giveBack(x)         free again (its search is stopped)
//
// An engine changes hands between searches only: its searches are numbered, so a late
// line of the old borrower's search is dropped by the engine client, and the pool cuts the
// old borrower's connections to the engine's signals before the new one gets it.

#include <QObject>
#include <QPointer>

#include <memory>
#include <vector>

#include "engine/engine_settings.h"
#include "platform/qt_engine.h"

namespace marovin::platform {

class EnginePool : public QObject {
    Q_OBJECT
public:
    static constexpr int kMostEngines = engine::kMostEngineProcesses;

    // Starts with the engine settings of the data folder (no process runs until a search).
    explicit EnginePool(QObject* parent = nullptr);
    ~EnginePool() override;

    const engine::EngineSettings& settings() const { return m_settings; }
    // New settings: the program and its figures for every engine (a running one with other
    // options is let go), and the number of engines (those beyond it are taken away).
    void applySettings(const engine::EngineSettings& settings);
    // Only the client options, for tests that run another program.
    void setOptions(const engine::EngineOptions& options);
    int size() const { return static_cast<int>(m_engines.size()); }

    // An engine for borrower (the one it holds already, if any); null when every engine is
    // kept by other borrowers. keep: nobody may take it away until it is given back.
    EngineSession* borrow(QObject* borrower, bool keep = false);
    void giveBack(QObject* borrower);
    // The engine lent to borrower, or null.
    EngineSession* lentTo(const QObject* borrower) const;
    // Whether an engine is lent to nobody.
    bool hasFree() const;

signals:
    // The engine lent to borrower went to another borrower (or the pool shrank).
    void takenAway(QObject* borrower);
    // An engine was given back: whoever waits for one may borrow it now.
    void freed();

private:
    struct Loan {
        std::unique_ptr<EngineSession> session;
        QPointer<QObject> borrower;
        bool keep = false;
        quint64 since = 0;
    };
    void resize(int size);
    void end(Loan& loan, bool tell);

    engine::EngineSettings m_settings;
    engine::EngineOptions m_options;
    std::vector<Loan> m_engines;
    quint64 m_loans = 0;
};

} // namespace marovin::platform
