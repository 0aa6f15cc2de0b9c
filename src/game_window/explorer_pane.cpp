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

enum Column { kMove, kGames, kRed, kDraws, kBlack, kColumns };
constexpr int kMoveRole = Qt::UserRole;       // from | to << 8
constexpr int kSharesRole = Qt::UserRole + 1; // Red wins, draws, Black wins, games
constexpr int kBarHeight = 4;

// Each row ends in a bar across the whole list: Red's wins in red, the draws in grey,
// Black's wins in black, in proportion to the games (those without a known result are
// left blank). Every cell paints its own stretch of the row's bar.
class ScoreBarDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(0, kBarHeight + 2);
    }
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem text = option;
        text.rect.setBottom(option.rect.bottom() - kBarHeight - 1);
        QStyledItemDelegate::paint(painter, text, index);
        const QVariantList shares = index.siblingAtColumn(kMove).data(kSharesRole).toList();
        const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
        if (shares.size() != 4 || shares[3].toDouble() <= 0 || !view)
            return;
        const int width = view->viewport()->width() - 4;
        const QRect bar(2, option.rect.bottom() - kBarHeight, width, kBarHeight);
        const QColor colours[3] = {QColor(200, 30, 30), QColor(160, 160, 160), QColor(20, 20, 20)};
        painter->save();
        painter->setClipRect(option.rect);
        double left = bar.left();
        for (int i = 0; i < 3; ++i) {
            const double part = bar.width() * shares[i].toDouble() / shares[3].toDouble();
            painter->fillRect(QRectF(left, bar.top(), part, bar.height()), colours[i]);
            left += part;
        }
        painter->restore();
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
    m_list->setHeaderLabels({tr("Move"), tr("Games"), tr("Red"), tr("Draw"), tr("Black")});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    // Clicks play moves; the keyboard stays with the input line.
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setItemDelegate(new ScoreBarDelegate(m_list));
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->header()->setSectionResizeMode(kMove, QHeaderView::Stretch);
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
        // The Chinese notation, and the server's text (H2-E2) when the pointer rests on it.
        item->setText(kMove, QString::fromUtf8(chinese.data(), static_cast<qsizetype>(chinese.size())));
        item->setToolTip(kMove, QString::fromStdString(model::FormatCoordinateMove(m.move.from, m.move.to)));
        item->setData(kMove, kMoveRole, m.move.from | m.move.to << 8);
        const std::int64_t counts[] = {m.games, m.redWins, m.draws, m.blackWins};
        for (int c = kGames; c <= kBlack; ++c) {
            item->setText(c, QString::number(counts[c - kGames]));
            item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
        }
        item->setData(kMove, kSharesRole,
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
