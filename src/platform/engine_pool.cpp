#include "platform/engine_pool.h"

#include <algorithm>

#include "support/paths.h"

namespace marovin::platform {

EnginePool::EnginePool(QObject* parent) : QObject(parent)
{
    applySettings(engine::LoadEngineSettings(dataFolder()));
}

EnginePool::~EnginePool()
{
    for (Loan& loan : m_engines)
        end(loan, false);
}

void EnginePool::applySettings(const engine::EngineSettings& settings)
{
    m_settings = settings;
    m_settings.engines = std::clamp(settings.engines, 1, kMostEngines);
    setOptions(engine::OptionsFromSettings(m_settings));
    resize(m_settings.engines);
}

void EnginePool::setOptions(const engine::EngineOptions& options)
{
    m_options = options;
    for (Loan& loan : m_engines)
        loan.session->setOptions(options);
}

void EnginePool::resize(int size)
{
    while (static_cast<int>(m_engines.size()) > size) {
        end(m_engines.back(), true);
        m_engines.pop_back();
    }
    while (static_cast<int>(m_engines.size()) < size) {
        Loan loan;
        loan.session = std::make_unique<EngineSession>();
        loan.session->setOptions(m_options);
        m_engines.push_back(std::move(loan));
    }
}

EngineSession* EnginePool::borrow(QObject* borrower, bool keep)
{
    Loan* chosen = nullptr;
    for (Loan& loan : m_engines)
        if (loan.borrower == borrower)
            chosen = &loan;
    if (!chosen)
        for (Loan& loan : m_engines)
            if (!loan.borrower) {
                chosen = &loan;
                break;
            }
    if (!chosen)
        for (Loan& loan : m_engines)
            if (!loan.keep && (!chosen || loan.since < chosen->since))
                chosen = &loan;
    if (!chosen)
        return nullptr;
    if (chosen->borrower != borrower)
        end(*chosen, true);
    chosen->borrower = borrower;
    chosen->keep = keep;
    chosen->since = ++m_loans;
    return chosen->session.get();
}

void EnginePool::giveBack(QObject* borrower)
{
    bool given = false;
    for (Loan& loan : m_engines)
        if (loan.borrower == borrower) {
            end(loan, false);
            given = true;
        }
    if (given)
        emit freed();
}

bool EnginePool::hasFree() const
{
    return std::any_of(m_engines.begin(), m_engines.end(), [](const Loan& loan) { return !loan.borrower; });
}

EngineSession* EnginePool::lentTo(const QObject* borrower) const
{
    for (const Loan& loan : m_engines)
        if (loan.borrower == borrower)
            return loan.session.get();
    return nullptr;
}

void EnginePool::end(Loan& loan, bool tell)
{
    QObject* borrower = loan.borrower;
    loan.borrower = nullptr;
    loan.keep = false;
    if (!borrower)
        return;
    loan.session->stop();
    QObject::disconnect(loan.session.get(), nullptr, borrower, nullptr);
    if (tell)
        emit takenAway(borrower);
}

} // namespace marovin::platform
