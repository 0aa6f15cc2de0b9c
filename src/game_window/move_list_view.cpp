#include "game_window/move_list_view.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QTimer>
#include <QToolTip>

#include <algorithm>

#include "platform/big5_text.h"

namespace marovin::board {

namespace {

// The live end while the user looks back: the green of the status bar's move number.
const QColor kLiveEndColour(0x00, 0xFF, 0x00);
const QColor kNoteMarkColour(0x80, 0x00, 0x00);
// Variations in blue, with a guide line for each level they are nested in.
const QColor kVariationColour(0x20, 0x48, 0x98);
constexpr int kNoteMarkSize = 5;
constexpr int kCellPadding = 2;

// A move as wide as the notation writes most of them, so that the columns stand still
// while a game goes on.
QString sampleMove(model::MoveNotation notation)
{
    switch (notation) {
    case model::MoveNotation::Iccs: return QStringLiteral("h2e2");
    case model::MoveNotation::Wxf: return QStringLiteral("C2.5");
    case model::MoveNotation::Chinese: break;
    }
    return QStringLiteral("\u70AE\u4E8C\u5E73\u4E94"); // 炮二平五
}

int digitsOf(int number)
{
    int digits = 1;
    while (number >= 10) {
        number /= 10;
        ++digits;
    }
    return digits;
}

std::optional<MoveListKey> listKey(int key)
{
    switch (key) {
    case Qt::Key_Up: return MoveListKey::Up;
    case Qt::Key_Down: return MoveListKey::Down;
    case Qt::Key_PageUp: return MoveListKey::PageUp;
    case Qt::Key_PageDown: return MoveListKey::PageDown;
    case Qt::Key_Home: return MoveListKey::Home;
    case Qt::Key_End: return MoveListKey::End;
    case Qt::Key_Left: return MoveListKey::Left;
    case Qt::Key_Right: return MoveListKey::Right;
    default: return std::nullopt;
    }
}

} // namespace

CMoveListView::CMoveListView(model::CGame& game, QWidget* parent) : QAbstractScrollArea(parent), m_game(&game)
{
    setObjectName(QStringLiteral("moveList"));
    // The keyboard comes here only when asked for; a click shows a move and leaves it
    // with the input line.
    setFocusPolicy(Qt::NoFocus);
    viewport()->setFocusPolicy(Qt::NoFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    setMinimumSize(0, 0);
    gameChanged();
}

void CMoveListView::detach()
{
    m_game = nullptr;
    m_items.clear();
    m_layout.clear();
    m_labels.clear();
    m_current = m_liveEnd = -1;
    viewport()->update();
}

void CMoveListView::setNotation(model::MoveNotation notation)
{
    if (notation == m_notation)
        return;
    m_notation = notation;
    refresh();
}

void CMoveListView::gameChanged()
{
    if (m_due)
        return;
    m_due = true;
    QTimer::singleShot(0, this, &CMoveListView::refresh);
}

void CMoveListView::refresh()
{
    m_due = false;
    if (!m_game)
        return;
    const int first = m_items.sync(*m_game, m_notation);
    if (first >= 0) {
        measureFrom(first);
        m_layout.layout(m_items.items(), first, measureMetrics(), m_game->firstMover);
        placeScrollBar();
    }
    const int current = m_items.find(CurrentMoveRef(*m_game), std::max(m_current, 0));
    const bool moved = current != m_current || (first >= 0 && current >= first);
    m_current = current;
    m_liveEnd = m_items.liveEnd(*m_game);
    if (moved)
        keepInView(current);
    viewport()->update();
}

void CMoveListView::measureFrom(int first)
{
    const QFontMetrics metrics = fontMetrics();
    std::vector<MoveItem>& items = m_items.items();
    if (first == 0)
        m_widestMain = 0;
    m_labels.resize(items.size());
    for (std::size_t i = static_cast<std::size_t>(first); i < items.size(); ++i) {
        m_labels[i] = platform::fromBig5(items[i].label);
        items[i].width = metrics.horizontalAdvance(m_labels[i]);
        if (items[i].depth == 0)
            m_widestMain = std::max(m_widestMain, items[i].width);
    }
}

MoveListMetrics CMoveListView::measureMetrics() const
{
    const QFontMetrics metrics = fontMetrics();
    MoveListMetrics m;
    m.rowHeight = metrics.height() + 2 * kCellPadding;
    m.margin = 4;
    int lastNumber = 1;
    const std::vector<MoveItem>& items = m_items.items();
    for (auto i = items.rbegin(); i != items.rend(); ++i)
        if (i->depth == 0) {
            lastNumber = MoveNumberAt(i->ply, m_game ? m_game->firstMover : 0);
            break;
        }
    m.numberWidth = metrics.horizontalAdvance(QString(std::max(3, digitsOf(lastNumber)), QLatin1Char('8')) +
                                              QLatin1Char('.')) + 6;
    m.columnWidth = std::max(metrics.horizontalAdvance(sampleMove(m_notation)), m_widestMain);
    m.gap = 2 * metrics.horizontalAdvance(QLatin1Char(' ')) + 2 * kCellPadding;
    m.indent = 2 * metrics.averageCharWidth();
    m.paneWidth = viewport()->width();
    return m;
}

void CMoveListView::placeScrollBar()
{
    QScrollBar* bar = verticalScrollBar();
    const int rowHeight = std::max(1, m_layout.metrics().rowHeight);
    bar->setSingleStep(rowHeight);
    bar->setPageStep(std::max(rowHeight, viewport()->height() - rowHeight));
    bar->setRange(0, std::max(0, m_layout.height() - viewport()->height()));
}

void CMoveListView::keepInView(int item)
{
    QScrollBar* bar = verticalScrollBar();
    if (item < 0) {
        // The start position: the list from its top.
        bar->setValue(0);
        return;
    }
    const int rowHeight = m_layout.metrics().rowHeight;
    const int top = m_layout.rowOf(item) * rowHeight;
    if (top < bar->value())
        bar->setValue(top);
    else if (top + rowHeight > bar->value() + viewport()->height())
        bar->setValue(top + rowHeight - viewport()->height());
}

// ---- walking ------------------------------------------------------------------------------

bool CMoveListView::walk(MoveListKey key)
{
    if (!m_game)
        return false;
    refresh(); // the record's places of the moves are renewed before one is used
    const std::optional<MoveRef> target = moveListKeyTarget(*m_game, key);
    const bool moved = target && goToMove(*m_game, *target);
    refresh();
    return moved;
}

bool CMoveListView::showItem(int i)
{
    if (!m_game)
        return false;
    refresh();
    if (i < 0 || i >= m_items.size())
        return false;
    const bool moved = goToMove(*m_game, m_items.items()[static_cast<std::size_t>(i)].ref);
    refresh();
    return moved;
}

void CMoveListView::takeKeyboard()
{
    refresh();
    keepInView(m_current);
    setFocus(Qt::ShortcutFocusReason);
}

void CMoveListView::returnFocus()
{
    if (m_input.requestFocus)
        m_input.requestFocus();
}

// ---- what it holds --------------------------------------------------------------------------

const std::vector<MoveItem>& CMoveListView::items()
{
    refresh();
    return m_items.items();
}

const MoveListLayout& CMoveListView::layout()
{
    refresh();
    return m_layout;
}

int CMoveListView::currentItem()
{
    refresh();
    return m_current;
}

int CMoveListView::liveEndItem()
{
    refresh();
    return m_liveEnd;
}

QStringList CMoveListView::rowTexts()
{
    refresh();
    QStringList texts;
    const std::vector<MoveItem>& items = m_items.items();
    for (const MoveRow& row : m_layout.rows()) {
        QString text;
        if (row.mainLine) {
            text = QStringLiteral("%1.").arg(row.number);
            if (!IsRedMoveAt(items[static_cast<std::size_t>(row.first)].ply, m_game ? m_game->firstMover : 0))
                text += QStringLiteral(" ...");
        } else {
            text = QString(2 * items[static_cast<std::size_t>(row.first)].depth - 1, QLatin1Char(' '));
        }
        for (int i = row.first; i < row.end; ++i)
            text += QLatin1Char(' ') + m_labels[static_cast<std::size_t>(i)];
        texts.push_back(text);
    }
    return texts;
}

QRect CMoveListView::itemRect(int i)
{
    refresh();
    if (i < 0 || i >= m_items.size())
        return {};
    const int rowHeight = m_layout.metrics().rowHeight;
    return QRect(m_layout.xOf(i), m_layout.rowOf(i) * rowHeight - verticalScrollBar()->value(),
                 m_items.items()[static_cast<std::size_t>(i)].width, rowHeight);
}

int CMoveListView::itemUnder(QPoint point)
{
    refresh();
    return m_layout.nearestItem(m_items.items(), point.x(), point.y() + verticalScrollBar()->value());
}

QString CMoveListView::noteTip(int item) const
{
    if (item < 0 || item >= m_items.size())
        return {};
    const MoveRef& ref = m_items.items()[static_cast<std::size_t>(item)].ref;
    const model::MoveLine& line = ref.point->alternatives[static_cast<std::size_t>(ref.alternative)];
    const std::string& note = line.entries[static_cast<std::size_t>(ref.index)].noteText();
    const std::size_t end = note.find_first_of("\r\n");
    return platform::fromBig5(std::string_view(note).substr(0, end));
}

// ---- painting -------------------------------------------------------------------------------

void CMoveListView::paintEvent(QPaintEvent* event)
{
    // Only texts and places are drawn: rows a little behind the record (a refresh is due)
    // are safe to show until it comes.
    QPainter painter(viewport());
    const int rowHeight = std::max(1, m_layout.metrics().rowHeight);
    const int top = verticalScrollBar()->value();
    const QRect area = event->rect();
    const bool browsingBack = m_game && m_game->participation <= model::kPlaying && !m_game->isBrowsingLive();
    const auto& rows = m_layout.rows();
    for (std::size_t r = static_cast<std::size_t>(std::max(0, (top + area.top()) / rowHeight)); r < rows.size(); ++r) {
        const int y = static_cast<int>(r) * rowHeight - top;
        if (y > area.bottom())
            break;
        paintRow(painter, rows[r], y, browsingBack);
    }
    if (hasFocus()) {
        painter.setPen(palette().color(QPalette::Highlight));
        painter.drawRect(viewport()->rect().adjusted(0, 0, -1, -1));
    }
}

void CMoveListView::paintRow(QPainter& painter, const MoveRow& row, int y, bool browsingBack)
{
    const MoveListMetrics& m = m_layout.metrics();
    const std::vector<MoveItem>& items = m_items.items();
    const QPalette& colours = palette();
    const int depth = items[static_cast<std::size_t>(row.first)].depth;
    if (!row.mainLine) {
        painter.setPen(colours.color(QPalette::Mid));
        for (int level = 1; level <= std::min(depth, m.maxIndentDepth); ++level) {
            const int x = m_layout.variationIndent(level) - m.indent / 2;
            painter.drawLine(x, y, x, y + m.rowHeight - 1);
        }
    }
    if (row.mainLine) {
        painter.setPen(colours.color(QPalette::PlaceholderText));
        painter.drawText(QRect(m.margin, y, m.numberWidth - 6, m.rowHeight), Qt::AlignRight | Qt::AlignVCenter,
                         QStringLiteral("%1.").arg(row.number));
        if (!IsRedMoveAt(items[static_cast<std::size_t>(row.first)].ply, m_game ? m_game->firstMover : 0))
            painter.drawText(QRect(m_layout.redColumn(), y, m.columnWidth, m.rowHeight), Qt::AlignLeft | Qt::AlignVCenter,
                             QStringLiteral("..."));
    }
    for (int i = row.first; i < row.end; ++i) {
        const MoveItem& item = items[static_cast<std::size_t>(i)];
        const QRect cell(m_layout.xOf(i) - kCellPadding, y, item.width + 2 * kCellPadding, m.rowHeight);
        QColor text = depth > 0 ? kVariationColour : colours.color(QPalette::Text);
        if (i == m_current) {
            const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
            painter.fillRect(cell, colours.color(group, QPalette::Highlight));
            text = colours.color(group, QPalette::HighlightedText);
        } else if (i == m_liveEnd && browsingBack) {
            painter.fillRect(cell, kLiveEndColour);
            text = Qt::black;
        }
        painter.setPen(text);
        painter.drawText(QRect(m_layout.xOf(i), y, item.width + 1, m.rowHeight), Qt::AlignLeft | Qt::AlignVCenter,
                         m_labels[static_cast<std::size_t>(i)]);
        if (item.hasNote) {
            QPainterPath mark;
            const QPoint corner = cell.topRight();
            mark.moveTo(corner.x() - kNoteMarkSize, corner.y());
            mark.lineTo(corner.x() + 1, corner.y());
            mark.lineTo(corner.x() + 1, corner.y() + kNoteMarkSize + 1);
            mark.closeSubpath();
            painter.fillPath(mark, kNoteMarkColour);
        }
    }
}

// ---- events -----------------------------------------------------------------------------------

void CMoveListView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    if (!m_game || m_due)
        return;
    m_layout.layout(m_items.items(), 0, measureMetrics(), m_game->firstMover);
    placeScrollBar();
    keepInView(m_current);
}

void CMoveListView::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    // Another font: every width is measured anew.
    if (event->type() == QEvent::FontChange && m_game) {
        m_items.clear();
        refresh();
    }
}

void CMoveListView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        const int item = itemUnder(event->position().toPoint());
        if (item >= 0)
            showItem(item);
    }
    event->accept();
}

void CMoveListView::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (const auto key = listKey(event->key()); key && modifiers == Qt::NoModifier) {
        walk(*key);
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        returnFocus();
        return;
    }
    // Text is the input line's: it goes there with the keyboard.
    if (!event->text().isEmpty() && event->text().at(0).isPrint() && m_input.typeKey) {
        m_input.typeKey(*event);
        returnFocus();
        return;
    }
    event->ignore();
}

void CMoveListView::contextMenuEvent(QContextMenuEvent* event)
{
    if (!m_game)
        return;
    if (event->reason() == QContextMenuEvent::Mouse) {
        const int item = itemUnder(event->pos());
        if (item >= 0)
            showItem(item);
    }
    if (m_menu)
        m_menu->close();
    // A menu that does not block: the window may close under it (a server's end of game).
    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("moveListMenu"));
    m_menu->setAttribute(Qt::WA_DeleteOnClose);
    const auto command = [this](const QString& text, GameCommand id) {
        QAction* action = m_menu->addAction(text);
        action->setEnabled(m_host.enabled && m_host.enabled(id));
        connect(action, &QAction::triggered, this, [this, id] {
            if (m_game && m_host.run)
                m_host.run(id);
        });
    };
    command(tr("&Promote Variation"), GameCommand::PromoteVariation);
    command(tr("&Delete From Here"), GameCommand::DeleteMoves);
    QAction* note = m_menu->addAction(tr("Add/Edit &Note"));
    note->setEnabled(m_host.editNote && m_game->mode == model::kModeNormal);
    connect(note, &QAction::triggered, this, [this] {
        if (m_game && m_host.editNote)
            m_host.editNote();
    });
    const QRect shown = itemRect(m_current);
    const QPoint at = event->reason() == QContextMenuEvent::Mouse || shown.isEmpty()
                          ? event->globalPos()
                          : viewport()->mapToGlobal(shown.bottomLeft());
    m_menu->popup(at);
}

void CMoveListView::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    switch (event->reason()) {
    case Qt::ShortcutFocusReason:
    case Qt::PopupFocusReason:
    case Qt::ActiveWindowFocusReason:
        viewport()->update();
        break;
    default:
        // A window activation put the keyboard here, not the user.
        returnFocus();
        break;
    }
}

void CMoveListView::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

bool CMoveListView::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        refresh();
        const int item = m_layout.itemAt(m_items.items(), help->pos().x(), help->pos().y() + verticalScrollBar()->value());
        const QString tip = item >= 0 && m_items.items()[static_cast<std::size_t>(item)].hasNote ? noteTip(item) : QString();
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, viewport());
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

} // namespace marovin::board
