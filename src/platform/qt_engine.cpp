#include "platform/qt_engine.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace marovin::platform {

namespace {

constexpr int kDeadlineCheckMs = 100;

} // namespace

QtEngineProcess::~QtEngineProcess()
{
    release();
}

bool QtEngineProcess::start(const std::string& program, std::string& error)
{
    release();
    // Checked here so that a wrong path gets a plain message rather than a failed start.
    const QFileInfo file(QString::fromStdString(program));
    if (!file.isFile() || !file.isExecutable()) {
        error = file.exists() ? "it is not an executable program" : "there is no such file";
        return false;
    }
    auto* process = new QProcess(m_owner);
    process->setProgram(QString::fromStdString(program));
    process->setProcessChannelMode(QProcess::SeparateChannels);
    process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::readyReadStandardOutput, m_owner, [this, process] {
        const QByteArray bytes = process->readAllStandardOutput();
        if (m_client && process == m_process)
            m_client->receive(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    });
    QObject::connect(process, &QProcess::finished, m_owner, [this, process](int code, QProcess::ExitStatus status) {
        if (!m_client || process != m_process)
            return;
        m_process = nullptr;
        process->deleteLater();
        m_client->processEnded(status == QProcess::CrashExit ? "it crashed"
                                                             : "exit status " + std::to_string(code));
    });
    QObject::connect(process, &QProcess::errorOccurred, m_owner, [this, process](QProcess::ProcessError code) {
        // A program that could not start sends no finished signal.
        if (code != QProcess::FailedToStart || !m_client || process != m_process)
            return;
        m_process = nullptr;
        process->deleteLater();
        m_client->processEnded("it could not be started: " + process->errorString().toStdString());
    });
    m_process = process;
    process->start(QIODevice::ReadWrite); // a failure to start after all arrives as a signal
    return true;
}

void QtEngineProcess::writeLine(std::string_view line)
{
    if (!m_process || m_process->state() == QProcess::NotRunning)
        return;
    QByteArray bytes(line.data(), static_cast<qsizetype>(line.size()));
    bytes += '\n';
    m_process->write(bytes);
}

void QtEngineProcess::release()
{
    QProcess* process = m_process;
    m_process = nullptr;
    if (!process)
        return;
    QObject::disconnect(process, nullptr, m_owner, nullptr);
    if (process->state() == QProcess::NotRunning) {
        process->deleteLater();
        return;
    }
    // It has been told to quit; it goes by itself or is killed a moment later. The process
    // object outlives its owner if it must (the application ends it at the latest), so
    // that no engine is left behind.
    process->setParent(QCoreApplication::instance());
    process->closeWriteChannel();
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    QTimer::singleShot(EngineSession::kLeaveMs, process, [process] {
        if (process->state() != QProcess::NotRunning)
            process->kill();
    });
}

qint64 QtEngineProcess::processId() const
{
    return m_process ? m_process->processId() : 0;
}

EngineSession::EngineSession(QObject* parent)
    : QObject(parent), m_process(this), m_client(m_process, m_clock, *this)
{
    qRegisterMetaType<engine::EngineAnalysis>();
    m_process.setClient(&m_client);
    m_deadlineTimer.setInterval(kDeadlineCheckMs);
    connect(&m_deadlineTimer, &QTimer::timeout, this, [this] {
        m_client.checkDeadline();
        watchDeadline();
    });
}

EngineSession::~EngineSession()
{
    m_process.setClient(nullptr);
}

int EngineSession::search(const engine::EnginePosition& position, engine::SearchLimits limits)
{
    const int id = m_client.search(position, limits);
    watchDeadline();
    return id;
}

void EngineSession::watchDeadline()
{
    if (m_client.hasDeadline()) {
        if (!m_deadlineTimer.isActive())
            m_deadlineTimer.start();
    } else {
        m_deadlineTimer.stop();
    }
}

void EngineSession::engineInfo(const engine::EngineAnalysis& analysis)
{
    watchDeadline();
    emit analysisArrived(analysis);
}

void EngineSession::engineBestMove(int searchId, std::optional<model::SquarePair> move)
{
    watchDeadline();
    emit bestMoveArrived(searchId, move);
}

void EngineSession::engineFailed(std::string_view message)
{
    watchDeadline();
    emit failed(QString::fromStdString(std::string(message)));
}

} // namespace marovin::platform
