#include "windows/database_search_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "platform/big5_text.h"

namespace marovin::windows {

namespace {

enum Column { kNumber, kDate, kRed, kBlack, kResult, kEvent, kColumns };
constexpr std::size_t kShown = 1000;

} // namespace

SearchWindow::SearchWindow(PositionSource position, QWidget* parent)
    : QWidget(parent, Qt::Window), m_positionSource(std::move(position)), m_player(new QLineEdit),
      m_event(new QLineEdit), m_from(new QLineEdit), m_to(new QLineEdit), m_result(new QComboBox),
      m_position(new QCheckBox(tr("Reaching the &position of the active game window"))), m_status(new QLabel),
      m_list(new QTreeWidget)
{
    setObjectName(QStringLiteral("searchWindow"));
    setWindowTitle(tr("Search Game Database"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    m_from->setPlaceholderText(QStringLiteral("2024-01-01"));
    m_to->setPlaceholderText(QStringLiteral("2024-12-31"));
    m_result->addItems({tr("Any result"), tr("Red wins"), tr("Draw"), tr("Black wins")});
    auto* dates = new QHBoxLayout;
    dates->addWidget(m_from);
    dates->addWidget(new QLabel(tr("to")));
    dates->addWidget(m_to);
    auto* form = new QFormLayout;
    form->addRow(tr("Pla&yer:"), m_player);
    form->addRow(tr("&Event:"), m_event);
    auto* datesLabel = new QLabel(tr("&Dates:"));
    datesLabel->setBuddy(m_from);
    form->addRow(datesLabel, dates);
    form->addRow(tr("&Result:"), m_result);
    form->addRow(m_position);
    auto* find = new QPushButton(tr("&Search"));
    find->setDefault(true);
    m_list->setObjectName(QStringLiteral("searchResults"));
    m_list->setColumnCount(kColumns);
    m_list->setHeaderLabels({tr("No."), tr("Date"), tr("Red"), tr("Black"), tr("Result"), tr("Event")});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_status, 1);
    buttons->addWidget(find);
    layout->addLayout(buttons);
    layout->addWidget(m_list, 1);
    for (QLineEdit* field : {m_player, m_event, m_from, m_to})
        connect(field, &QLineEdit::returnPressed, this, &SearchWindow::search);
    connect(find, &QPushButton::clicked, this, &SearchWindow::search);
    connect(m_list, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { emit openGame(item->data(kNumber, Qt::UserRole).toLongLong()); });
    resize(560, 400);
}

void SearchWindow::setDatabase(database::GameDatabase* database, const QString& name)
{
    if (database == m_database && database)
        return; // the list found in it stays
    m_database = database;
    m_list->clear();
    m_status->setText(database ? name : tr("No game database is chosen."));
}

QString SearchWindow::statusText() const
{
    return m_status->text();
}

std::optional<database::SearchQuery> SearchWindow::query()
{
    database::SearchQuery q;
    q.limit = kShown;
    q.player = platform::toBig5(m_player->text().trimmed());
    q.event = platform::toBig5(m_event->text().trimmed());
    for (auto [field, date] : {std::pair{m_from, &q.dateFrom}, std::pair{m_to, &q.dateTo}}) {
        const QString text = field->text().trimmed();
        if (text.isEmpty())
            continue;
        *date = database::ParseDateArgument(text.toStdString());
        if (!*date) {
            m_status->setText(tr("A date is written 2024-03-05."));
            return std::nullopt;
        }
    }
    if (m_result->currentIndex() > 0)
        q.outcome = static_cast<database::Outcome>(m_result->currentIndex());
    if (m_position->isChecked()) {
        q.position = m_positionSource ? m_positionSource() : std::nullopt;
        if (!q.position) {
            m_status->setText(tr("No game window is open to take the position from."));
            return std::nullopt;
        }
    }
    return q;
}

void SearchWindow::search()
{
    m_list->clear();
    if (!m_database) {
        m_status->setText(tr("No game database is chosen."));
        return;
    }
    const auto q = query();
    if (!q)
        return;
    const std::vector<database::GameSummary> games = database::SearchGames(*m_database, *q);
    for (const database::GameSummary& g : games) {
        auto* item = new QTreeWidgetItem(m_list);
        item->setText(kNumber, QString::number(g.id));
        item->setData(kNumber, Qt::UserRole, QVariant::fromValue<qint64>(g.id));
        item->setText(kDate, platform::fromBig5(g.date));
        item->setText(kRed, platform::fromBig5(g.red));
        item->setText(kBlack, platform::fromBig5(g.black));
        item->setText(kResult, platform::fromBig5(g.result));
        item->setText(kEvent, platform::fromBig5(g.event));
    }
    m_status->setText(games.size() >= kShown ? tr("The first %1 games").arg(games.size())
                                             : tr("%n game(s)", nullptr, static_cast<int>(games.size())));
}

} // namespace marovin::windows
