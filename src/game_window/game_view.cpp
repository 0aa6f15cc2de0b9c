#include "game_window/game_view.h"

#include <QApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>

#include <algorithm>
#include <optional>

#include "board/board_scene.h"
#include "game_window/game_navigation.h"
#include "model/position_editor.h"

namespace marovin::board {

namespace {

constexpr int kStripWidth = 29;   // the controls' strip at the right edge
constexpr int kButtonWidth = 28;  // the go-to buttons' pictures
constexpr int kButtonHeight = 27;
constexpr int kBranchWidth = 31;
constexpr int kScrollTop = 147;   // below the board's top
constexpr int kScrollLeast = 20;  // the scroll bar follows the bottom while taller than this

// The go-to-start (a bar, then a triangle pointing left) or go-to-end picture.
QIcon goToIcon(bool toEnd)
{
    QPixmap picture(kButtonWidth - 8, kButtonHeight - 10);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0));
    const int w = picture.width(), h = picture.height();
    QPainterPath triangle;
    if (toEnd) {
        triangle.moveTo(2, 0);
        triangle.lineTo(w - 5, h / 2.0);
        triangle.lineTo(2, h);
        painter.drawRect(w - 4, 0, 3, h);
    } else {
        triangle.moveTo(w - 2, 0);
        triangle.lineTo(5, h / 2.0);
        triangle.lineTo(w - 2, h);
        painter.drawRect(1, 0, 3, h);
    }
    painter.drawPath(triangle);
    return QIcon(picture);
}

QToolButton* goToButton(bool toEnd, const char* name, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(goToIcon(toEnd));
    button->setIconSize(QSize(kButtonWidth - 8, kButtonHeight - 10));
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolTip(toEnd ? QStringLiteral("Go to the end") : QStringLiteral("Go to the start"));
    return button;
}

QPoint toPoint(CellPoint point)
{
    return {point.x, point.y};
}

// Which of the board's button kinds a button is: the left one, or the right and middle
// ones alike; other buttons play no part.
std::optional<bool> isLeftButton(Qt::MouseButton button)
{
    if (button == Qt::LeftButton)
        return true;
    if (button == Qt::RightButton || button == Qt::MiddleButton)
        return false;
    return std::nullopt;
}

} // namespace

// The carry's drawing goes into the screen image and shows through the updated rectangles
// (Qt paints them from the image in one go, so the piece never flickers).
class CGameView::CarryGlue final : public CarryView {
public:
    explicit CarryGlue(CGameView& view) : m_view(view) {}

    const BoardGeometry& geometry() const override { return m_view.m_painter.geometry(); }
    CellPoint clientSize() const override
    {
        const QPoint size = m_view.toImage(QPoint(m_view.width(), m_view.height()));
        return {size.x(), size.y()};
    }
    void captureMouse(bool handCursor) override
    {
        // Moves with no button down (two clicks) come only to a tracking widget.
        m_view.setMouseTracking(true);
        m_view.grabMouse();
        if (handCursor)
            m_view.setCursor(Qt::ClosedHandCursor);
    }
    void releaseMouse() override
    {
        m_view.releaseMouse();
        m_view.setMouseTracking(false);
        m_view.unsetCursor();
    }
    void movePointer(CellPoint point) override
    {
        QCursor::setPos(m_view.mapToGlobal(QPointF(toPoint(point)) / m_view.m_scale).toPoint());
    }
    void redrawEmptySquare(int screenSquare) override
    {
        show(m_view.m_painter.redrawEmptySquare(m_view.m_screen, screenSquare));
    }
    void liftPiece(int piece, CellPoint topLeft) override
    {
        show(m_view.m_painter.liftPiece(m_view.m_screen, m_view.m_drag, piece, toPoint(topLeft)));
    }
    void dragPiece(int piece, CellPoint topLeft, bool selected) override
    {
        m_view.update(m_view.toView(
            m_view.m_painter.dragPiece(m_view.m_screen, m_view.m_drag, piece, toPoint(topLeft), selected)));
    }
    void restoreUnderPiece() override { show(m_view.m_painter.putDown(m_view.m_screen, m_view.m_drag)); }
    void drawPiece(int piece, CellPoint topLeft) override
    {
        show(m_view.m_painter.drawPiece(m_view.m_screen, piece, toPoint(topLeft), PieceBackground::screen));
    }
    void sendLine(std::string_view line) override
    {
        if (m_view.m_sendMove)
            m_view.m_sendMove(line);
    }
    void requestInputFocus() override { m_view.returnFocus(); }

private:
    void show(const QRect& changed) { m_view.update(m_view.toView(changed)); }
    CGameView& m_view;
};

CGameView::CGameView(model::CGame& game, const BoardResources& resources, QWidget* parent)
    : QWidget(parent), m_game(&game), m_resources(resources),
      m_painter(resources.options, resources.bitmap, resources.glyphs, resources.metrics.textHeight),
      m_status(new CGameStatusBar(resources.metrics, this)), m_start(goToButton(false, "goToStart", this)),
      m_end(goToButton(true, "goToEnd", this)), m_moveStepper(new UpDownControl(Qt::Vertical, this)),
      m_branchStepper(new UpDownControl(Qt::Horizontal, this)), m_scroll(new QScrollBar(Qt::Vertical, this)),
      m_glue(std::make_unique<CarryGlue>(*this))
{
    setObjectName(QStringLiteral("gameView"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
    // Below this the smallest board would be cut off or run under the controls.
    const ClientSize least = minimumClientSize(resources.metrics.boardTop);
    setMinimumSize(least.width, least.height);
    m_moveStepper->setObjectName(QStringLiteral("moveStepper"));
    m_branchStepper->setObjectName(QStringLiteral("branchStepper"));
    m_scroll->setObjectName(QStringLiteral("moveScrollBar"));
    m_scroll->setFocusPolicy(Qt::NoFocus);
    m_scroll->setRange(0, model::kEmptyScrollRange);
    m_scroll->setPageStep(1);

    connect(m_start, &QToolButton::clicked, this, [this] { browse(BrowseStep::Start); });
    connect(m_end, &QToolButton::clicked, this, [this] { browse(BrowseStep::End); });
    connect(m_moveStepper, &UpDownControl::stepped, this,
            [this](int delta) { browse(delta < 0 ? BrowseStep::Back : BrowseStep::Forward); });
    connect(m_branchStepper, &UpDownControl::stepped, this, [this](int delta) {
        browse(delta < 0 ? BrowseStep::PreviousAlternative : BrowseStep::NextAlternative);
    });
    connect(m_scroll, &QScrollBar::actionTriggered, this, &CGameView::onScrollAction);
    connect(m_status, &CGameStatusBar::moveNumberClicked, this, [this](Qt::MouseButton button) {
        browse(button == Qt::LeftButton ? BrowseStep::End : BrowseStep::Start);
    });
    connect(m_status, &CGameStatusBar::namesClicked, this, &CGameView::headerRequested);
    connect(m_status, &CGameStatusBar::gameButtonClicked, this, &CGameView::gameCommandsRequested);
    resize(440, 560);
    placeControls();
}

CGameView::~CGameView()
{
    m_carry.cancelCarry(*m_glue);
}

void CGameView::detach()
{
    cancelCarry();
    m_game = nullptr;
}

void CGameView::cancelCarry()
{
    m_carry.cancelCarry(*m_glue);
}

void CGameView::fullRepaint()
{
    // A carried piece is drawn over the screen as it was: it goes back before the redraw.
    cancelCarry();
    if (!m_game || !m_painter.geometry().laidOut())
        return;
    const BoardScene scene = sceneOf(*m_game);
    m_painter.fullRepaint(m_screen, scene);
    m_lastMoveTo = scene.lastMoveTo;
    update();
    refreshStatus();
    m_game->updateMoveScroll();
}

void CGameView::showMove(const model::PackedMove& move, bool forward)
{
    cancelCarry();
    if (!m_game || !m_painter.geometry().laidOut())
        return;
    const BoardScene scene = sceneOf(*m_game);
    if (!scene.drawsMoves())
        return;
    const QRegion changed = m_painter.showMove(m_screen, scene, move, forward, m_lastMoveTo, scene.lastMoveTo);
    m_lastMoveTo = scene.lastMoveTo;
    update(toView(changed));
    refreshTurn();
}

void CGameView::refreshStatus()
{
    if (!m_game)
        return;
    session::refreshTurn(m_record, *m_game);
    session::refreshPlayers(m_record, *m_game);
    m_status->setRecord(m_record);
    m_status->gameButton()->setEnabled(m_game->participation <= model::kPlaying);
    updateTurnButton();
}

void CGameView::refreshTurn()
{
    if (m_game && session::refreshTurn(m_record, *m_game))
        m_status->setRecord(m_record);
}

void CGameView::refreshClocks()
{
    if (!m_game)
        return;
    session::refreshClocks(m_record, *m_game);
    m_status->setRecord(m_record);
}

void CGameView::setLowClock(int line)
{
    if (m_record.lowClock == line)
        return;
    m_record.lowClock = line;
    m_status->setRecord(m_record);
}

void CGameView::setMoveScroll(int maximum, int position)
{
    if (m_scroll->maximum() != maximum || m_scroll->minimum() != 0)
        m_scroll->setRange(0, maximum);
    // setValue, not setSliderPosition: a moved slider would ask for navigation itself.
    if (m_scroll->value() != position || m_scroll->sliderPosition() != position)
        m_scroll->setValue(position);
}

void CGameView::setControlsVisible(bool visible)
{
    m_controlsVisible = visible;
    for (QWidget* control : std::initializer_list<QWidget*>{m_status, m_start, m_end, m_moveStepper,
                                                             m_branchStepper, m_scroll})
        control->setVisible(visible);
    if (visible)
        placeControls();
}

void CGameView::setEditButtonsShown(bool shown)
{
    if (!shown) {
        // A button may be removed from its own click: it goes once that has returned.
        for (QPushButton*& button : m_editButtons) {
            if (button) {
                button->hide();
                button->deleteLater();
            }
            button = nullptr;
        }
        return;
    }
    if (m_editButtons[0])
        return;
    // One row at the top left, each as wide as its text plus 5 and as high as it plus 3.
    const QFontMetrics metrics(font());
    int x = 5;
    for (std::size_t i = 0; i < m_editButtons.size(); ++i) {
        const QString text = QString::fromLatin1(model::kEditButtonCaptions[i]);
        const int id = model::kEditClearAllId + static_cast<int>(i);
        auto* button = new QPushButton(text, this);
        button->setObjectName(QStringLiteral("editButton%1").arg(id));
        button->setFocusPolicy(Qt::NoFocus);
        const int width = metrics.horizontalAdvance(text) + 5;
        button->setGeometry(x, 5, width, metrics.height() + 3);
        x += width + 5;
        connect(button, &QPushButton::clicked, this, [this, id] { emit editCommand(id); });
        button->show();
        m_editButtons[i] = button;
    }
    updateTurnButton();
}

QPushButton* CGameView::editButton(int id) const
{
    const int index = id - model::kEditClearAllId;
    return index >= 0 && index < static_cast<int>(m_editButtons.size()) ? m_editButtons[static_cast<std::size_t>(index)]
                                                                       : nullptr;
}

void CGameView::updateTurnButton()
{
    QPushButton* turn = editButton(model::kEditBlackTurnId);
    if (turn && m_game)
        turn->setText(m_game->firstMover != 0 ? QStringLiteral("Black Turn") : QStringLiteral("Red Turn"));
}

void CGameView::markPiece(int screenSquare)
{
    const BoardGeometry& g = m_painter.geometry();
    if (!m_game || !g.laidOut() || screenSquare < 0 || screenSquare >= kScreenSquareCount)
        return;
    const int square = board::screenSquare(screenSquare, m_game->bottomSide != model::kBlack);
    const int piece = m_game->browsedBoard[static_cast<std::size_t>(square)];
    update(toView(m_painter.drawPieceAtSquare(m_screen, piece, screenSquare, PieceBackground::highlight)));
    QCursor::setPos(mapToGlobal(QPointF(toPoint(screenSquareCentre(g, screenSquare))) / m_scale).toPoint());
}

// While the thumb is dragged or an arrow is held, the bar has already moved its slider to
// where the request points; the game goes there and the slider is put where the game
// actually stands (the record may end sooner, or a branch choice may be refused).
void CGameView::onScrollAction(int action)
{
    if (!m_game)
        return;
    struct Request {
        int action;
        int command;
    };
    static constexpr Request kRequests[] = {
        {QAbstractSlider::SliderSingleStepSub, model::kStepBack},
        {QAbstractSlider::SliderSingleStepAdd, model::kStepForward},
        {QAbstractSlider::SliderPageStepSub, model::kPageBack},
        {QAbstractSlider::SliderPageStepAdd, model::kPageForward},
        {QAbstractSlider::SliderMove, model::kTrackToPly},
        {QAbstractSlider::SliderToMinimum, model::kGoToStart},
        {QAbstractSlider::SliderToMaximum, model::kGoToEnd},
    };
    const auto request = std::find_if(std::begin(kRequests), std::end(kRequests),
                                      [action](const Request& r) { return r.action == action; });
    if (request == std::end(kRequests))
        return;
    scrollMoves(*m_game, request->command, m_scroll->sliderPosition());
    if (m_game)
        m_scroll->setSliderPosition(m_game->browsedPly());
}

void CGameView::placeControls()
{
    const int w = width();
    const int h = height();
    const int top = m_resources.metrics.boardTop;
    m_status->move(0, 0);
    m_status->raise();
    m_start->setGeometry(w - kStripWidth, top, kButtonWidth, kButtonHeight);
    m_end->setGeometry(w - kStripWidth, top + kButtonHeight, kButtonWidth, kButtonHeight);
    m_moveStepper->setGeometry(w - kStripWidth, top + 57, kStripWidth, 48);
    m_branchStepper->setGeometry(w - kBranchWidth, top + 111, kBranchWidth, 34);
    const int scrollTop = top + kScrollTop;
    if (h - scrollTop > kScrollLeast)
        m_scroll->setGeometry(w - kStripWidth, scrollTop, kStripWidth, h - scrollTop);
    else
        m_scroll->move(w - kStripWidth, scrollTop);
}

void CGameView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    QRect area = event->rect();
    const bool editing = m_game && m_game->mode == model::kModeEditing;
    area.setTop(std::max(area.top(), toView(QRect(0, repaintTop(m_painter.geometry(), 0, editing), 1, 1)).top()));
    if (m_screen.isNull() || area.isEmpty()) {
        painter.fillRect(area, palette().window());
        return;
    }
    const QRectF source(area.x() * m_scale, area.y() * m_scale, area.width() * m_scale, area.height() * m_scale);
    painter.drawImage(QRectF(area), m_screen, source);
    if (m_holdsKeyboard && m_painter.geometry().laidOut()) {
        // A frame round the board says where the keys go. The geometry is in the screen
        // image's pixels, which a grown board on a dense screen has more of.
        const BoardGeometry& board = m_painter.geometry();
        painter.scale(1.0 / m_scale, 1.0 / m_scale);
        painter.setPen(QPen(palette().highlight(), 3 * m_scale));
        const int margin = board.halfSquare + 2; // the lines are the cells' centres
        const QRect lines = QRect(QPoint(board.fileX[0], board.rankY[0]), QPoint(board.fileX[8], board.rankY[9]));
        painter.drawRect(lines.normalized().adjusted(-margin, -margin, margin, margin));
    }
}

void CGameView::resizeEvent(QResizeEvent*)
{
    layOut();
    if (m_controlsVisible)
        placeControls();
}

void CGameView::layOut()
{
    // A grown board is drawn at the screen's own pixels, so that it stays sharp there.
    m_scale = m_painter.grows() ? std::max(1.0, devicePixelRatioF()) : 1.0;
    m_painter.setLayoutScale(m_scale);
    const QPoint size = toImage(QPoint(width(), height()));
    if (m_painter.layoutBoard(size.x(), size.y()) || m_painter.geometry().laidOut())
        fullRepaint();
}

void CGameView::setBoardGrows(bool grows)
{
    if (grows == m_painter.grows())
        return;
    cancelCarry();
    m_painter.setGrows(grows);
    layOut();
}

QRect CGameView::toView(const QRect& rect) const
{
    if (m_scale == 1.0)
        return rect;
    // Every view pixel that the image's rectangle touches.
    const QRectF scaled(rect.x() / m_scale, rect.y() / m_scale, rect.width() / m_scale, rect.height() / m_scale);
    return scaled.toAlignedRect();
}

QRegion CGameView::toView(const QRegion& region) const
{
    QRegion result;
    for (const QRect& rect : region)
        result += toView(rect);
    return result;
}

QPoint CGameView::toImage(QPoint point) const
{
    return (QPointF(point) * m_scale).toPoint();
}

void CGameView::returnFocus()
{
    if (m_input.requestFocus)
        m_input.requestFocus();
}

void CGameView::browse(BrowseStep step)
{
    if (step == BrowseStep::End) {
        emit refreshRequested();
        return;
    }
    if (!m_game)
        return;
    switch (step) {
    case BrowseStep::Start: goToStart(*m_game); break;
    case BrowseStep::Back: stepMove(*m_game, -1); break;
    case BrowseStep::Forward: stepMove(*m_game, 1); break;
    case BrowseStep::PreviousAlternative: switchAlternative(*m_game, -1); break;
    case BrowseStep::NextAlternative: switchAlternative(*m_game, 1); break;
    case BrowseStep::End: break;
    }
}

void CGameView::takeKeyboard()
{
    m_holdsKeyboard = true;
    setFocus(Qt::ShortcutFocusReason);
    update();
}

void CGameView::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    // A press that may pick a piece keeps the focus until its carry ends (losing it would
    // cancel the carry); the carry hands it back. The board keeps only the keyboard it was
    // given on purpose.
    if (!m_holdsKeyboard && QApplication::mouseButtons() == Qt::NoButton && !m_carry.captured())
        returnFocus();
}

void CGameView::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    if (m_holdsKeyboard) {
        m_holdsKeyboard = false;
        update();
    }
    if (m_carry.captured())
        cancelCarry();
}

namespace {

std::optional<BrowseStep> browseKey(int key)
{
    switch (key) {
    case Qt::Key_Home: return BrowseStep::Start;
    case Qt::Key_End: return BrowseStep::End;
    case Qt::Key_Left: return BrowseStep::Back;
    case Qt::Key_Right: return BrowseStep::Forward;
    case Qt::Key_Up: return BrowseStep::PreviousAlternative;
    case Qt::Key_Down: return BrowseStep::NextAlternative;
    default: return std::nullopt;
    }
}

} // namespace

void CGameView::keyPressEvent(QKeyEvent* event)
{
    // A modifier pressed on its own is the start of a key (Shift+F6, Alt+Left): the board
    // keeps the keyboard for it.
    if (m_holdsKeyboard && (event->key() == Qt::Key_Shift || event->key() == Qt::Key_Control ||
                            event->key() == Qt::Key_Alt || event->key() == Qt::Key_Meta))
        return;
    if (m_holdsKeyboard && event->modifiers() == Qt::NoModifier) {
        if (const std::optional<BrowseStep> step = browseKey(event->key())) {
            browse(*step);
            return;
        }
        if (event->key() == Qt::Key_Escape) {
            returnFocus();
            return;
        }
    }
    // The input line takes what is typed; the view only passes it on.
    if (m_input.typeKey) {
        m_input.typeKey(*event);
        returnFocus();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CGameView::carryEvent(MouseEventKind kind, const QMouseEvent& event)
{
    if (!m_game) {
        cancelCarry();
        return;
    }
    const Qt::MouseButtons held = event.buttons();
    int buttons = 0;
    if (held & Qt::LeftButton)
        buttons |= kLeftButton;
    if (held & (Qt::RightButton | Qt::MiddleButton))
        buttons |= kRightButton;
    const QPoint at = (event.position() * m_scale).toPoint();
    m_carry.handleBoardMouse(*m_game, m_resources.options, *m_glue, {kind, buttons, at.x(), at.y()});
}

void CGameView::mousePressEvent(QMouseEvent* event)
{
    if (const auto left = isLeftButton(event->button()))
        carryEvent(*left ? MouseEventKind::LeftDown : MouseEventKind::RightDown, *event);
}

void CGameView::mouseMoveEvent(QMouseEvent* event)
{
    carryEvent(MouseEventKind::Move, *event);
}

void CGameView::mouseReleaseEvent(QMouseEvent* event)
{
    const auto left = isLeftButton(event->button());
    if (left && m_carry.captured())
        carryEvent(*left ? MouseEventKind::LeftUp : MouseEventKind::RightUp, *event);
    if (hasFocus() && event->buttons() == Qt::NoButton && !m_carry.captured())
        returnFocus();
}

void CGameView::wheelEvent(QWheelEvent* event)
{
    const int steps = event->angleDelta().y();
    if (m_game && steps != 0)
        browse(steps > 0 ? BrowseStep::Back : BrowseStep::Forward);
    event->accept();
}

} // namespace marovin::board
