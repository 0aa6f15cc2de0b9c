#include "game_window/explorer_pane.h"

#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QVBoxLayout>

#include "model/legality.h"
#include "model/move_notation.h"
#include "platform/big5_text.h"

namespace marovin::board {

namespace {

enum Column { kMove, kGames, kRed, kDraws, kBlack, kBar, kColumns };
constexpr int kMoveRole = Qt::UserRole;       // from | to << 8
constexpr int kSharesRole = Qt::UserRole + 1; // Red wins, draws, Black wins of the games

// The bar: Red's wins in red, the draws in grey, Black's wins in black, side by side in
// proportion, the games without a known result left blank.
class ScoreBarDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        const QVariantList shares = index.data(kSharesRole).toList();
        if (shares.size() != 4 || shares[3].toDouble() <= 0)
            return;
        const QRect area = option.rect.adjusted(2, 3, -2, -3);
        const double games = shares[3].toDouble();
        const QColor colours[3] = {QColor(200, 30, 30), QColor(150, 150, 150), QColor(20, 20, 20)};
        double left = area.left();
        for (int i = 0; i < 3; ++i) {
            const double width = area.width() * shares[i].toDouble() / games;
            painter->fillRect(QRectF(left, area.top(), width, area.height()), colours[i]);
            left += width;
        }
        painter->setPen(QColor(120, 120, 120));
        painter->drawRect(area);
    }
};

} // namespace

ExplorerPane::ExplorerPane(model::CGame& game, QWidget* parent)
    : QWidget(parent), m_game(&game), m_title(new QLabel), m_list(new QTreeWidget)
{
    setObjectName(QStringLiteral("explorerPane"));
    m_title->setObjectName(QStringLiteral("explorerTitle"));
    m_title->setWordWrap(true);
    m_list->setObjectName(QStringLiteral("explorerList"));
    m_list->setColumnCount(kColumns);
    m_list->setHeaderLabels({tr("Move"), tr("Games"), tr("Red"), tr("Draw"), tr("Black"), QString()});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    // Clicks play moves; the keyboard stays with the input line.
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setItemDelegateForColumn(kBar, new ScoreBarDelegate(m_list));
    m_list->header()->setStretchLastSection(true);
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->header()->setSectionResizeMode(kBar, QHeaderView::Stretch);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(m_title);
    layout->addWidget(m_list, 1);
    connect(m_list, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { play(item); });
    setVisible(false);
}

void ExplorerPane::detach()
{
    m_game = nullptr;
    m_list->clear();
}

void ExplorerPane::setDatabase(database::GameDatabase* database, const QString& name)
{
    m_database = database;
    m_name = name;
    positionChanged();
}

void ExplorerPane::setWanted(bool wanted)
{
    m_wanted = wanted;
    setVisible(wanted);
    positionChanged();
}

QString ExplorerPane::titleText() const
{
    return m_title->text();
}

void ExplorerPane::positionChanged()
{
    // Many changes in one go (a jump to the end replays every move) need one lookup.
    if (!m_wanted || m_refreshDue)
        return;
    m_refreshDue = true;
    QTimer::singleShot(0, this, [this] {
        m_refreshDue = false;
        refresh();
    });
}

void ExplorerPane::refresh()
{
    m_list->clear();
    if (!m_game)
        return;
    if (!m_database) {
        m_title->setText(tr("No game database is chosen (Database \u2192 Choose Database)."));
        return;
    }
    const model::Board board = m_game->browsedBoard;
    const bool redToMove = m_game->isRedToMoveBrowsed();
    const std::vector<database::ExplorerMove> moves = database::ExploreMoves(*m_database, board, redToMove);
    std::int64_t total = 0;
    for (const database::ExplorerMove& m : moves) {
        total += m.games;
        auto* item = new QTreeWidgetItem(m_list);
        const std::string chinese = model::MoveText(board, m.move.from, m.move.to, model::MoveNotation::Chinese);
        item->setText(kMove, QString::fromUtf8(chinese.data(), static_cast<qsizetype>(chinese.size())) + QLatin1Char(' ') +
                                 QString::fromStdString(model::FormatCoordinateMove(m.move.from, m.move.to)));
        item->setData(kMove, kMoveRole, m.move.from | m.move.to << 8);
        const std::int64_t counts[] = {m.games, m.redWins, m.draws, m.blackWins};
        for (int c = kGames; c <= kBlack; ++c) {
            item->setText(c, QString::number(counts[c - kGames]));
            item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
        }
        item->setData(kBar, kSharesRole,
                      QVariantList{double(m.redWins), double(m.draws), double(m.blackWins), double(m.games)});
    }
    m_title->setText(moves.empty() ? tr("%1: no game continues from here").arg(m_name)
                                   : tr("%1: %2 moves, %3 games").arg(m_name).arg(moves.size()).arg(total));
}

void ExplorerPane::play(QTreeWidgetItem* item)
{
    if (!item || !m_game || m_game->mode != model::kModeNormal || m_game->participation == model::kPlaying)
        return; // a move of a game played on the server is made on the board and sent
    const int move = item->data(kMove, kMoveRole).toInt();
    const auto from = static_cast<model::Square>(move & 0xff), to = static_cast<model::Square>(move >> 8);
    if (!model::IsMoveLegal(m_game->browsedBoard, m_game->isRedToMoveBrowsed(), from, to))
        return; // the list is older than the position
    m_game->PlayMove(from, to, model::MoveKind::User);
    emit movePlayed();
}

} // namespace marovin::board
