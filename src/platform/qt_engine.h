#pragma once
// The engine client on Qt: the engine runs in a QProcess whose output and end reach the
// client through signals, and a timer checks the client's deadlines while it has one. The
// event loop never waits for the engine; what the engine says arrives as signals.

#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QTimer>

#include <memory>
#include <optional>

#include "engine/engine_client.h"
#include "platform/qt_clock.h"

Q_DECLARE_METATYPE(marovin::engine::EngineAnalysis)

namespace marovin::platform {

class QtEngineProcess : public engine::EngineProcessPort {
public:
    explicit QtEngineProcess(QObject* owner) : m_owner(owner) {}
    ~QtEngineProcess() override;

    void setClient(engine::EngineClient* client) { m_client = client; }
    bool start(const std::string& program, std::string& error) override;
    void writeLine(std::string_view line) override;
    void release() override;
    // The process id, 0 when none runs (for tests that end the engine from outside).
    qint64 processId() const;

private:
    QObject* m_owner;
    engine::EngineClient* m_client = nullptr;
    QPointer<QProcess> m_process;
};

class EngineSession : public QObject, private engine::EngineListener {
    Q_OBJECT
public:
    // How long a released engine may take to leave after "quit" before it is killed.
    static constexpr int kLeaveMs = 1000;

    explicit EngineSession(QObject* parent = nullptr);
    ~EngineSession() override;

    engine::EngineClient& client() { return m_client; }
    void setOptions(const engine::EngineOptions& options) { m_client.setOptions(options); }
    // Starts a search; 0 when it was refused at once (failed() has been emitted).
    int search(const engine::EnginePosition& position, engine::SearchLimits limits);
    void stop() { m_client.stop(); }
    void quit() { m_client.quit(); }
    qint64 processId() const { return m_process.processId(); }

signals:
    void analysisArrived(const marovin::engine::EngineAnalysis& analysis);
    void bestMoveArrived(int searchId, std::optional<marovin::model::SquarePair> move);
    void failed(const QString& message);

private:
    void engineInfo(const engine::EngineAnalysis& analysis) override;
    void engineBestMove(int searchId, std::optional<model::SquarePair> move) override;
    void engineFailed(std::string_view message) override;
    void watchDeadline();

    QtClock m_clock;
    QtEngineProcess m_process;
    engine::EngineClient m_client;
    QTimer m_deadlineTimer;
};

} // namespace marovin::platform
