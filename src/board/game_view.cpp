#include "board/game_view.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>

#include <algorithm>

#include "board/board_scene.h"
#include "board/game_navigation.h"

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

} // namespace

CGameView::CGameView(model::CGame& game, const BoardResources& resources, QWidget* parent)
    : QWidget(parent), m_game(&game), m_resources(resources),
      m_painter(resources.options, resources.bitmap, resources.glyphs, resources.metrics.textHeight),
      m_status(new CGameStatusBar(resources.metrics, this)), m_start(goToButton(false, "goToStart", this)),
      m_end(goToButton(true, "goToEnd", this)), m_moveStepper(new UpDownControl(Qt::Vertical, this)),
      m_branchStepper(new UpDownControl(Qt::Horizontal, this)), m_scroll(new QScrollBar(Qt::Vertical, this))
{
    setObjectName(QStringLiteral("gameView"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
    setMinimumSize(35, resources.metrics.boardTop);
    m_moveStepper->setObjectName(QStringLiteral("moveStepper"));
    m_branchStepper->setObjectName(QStringLiteral("branchStepper"));
    m_scroll->setObjectName(QStringLiteral("moveScrollBar"));
    m_scroll->setFocusPolicy(Qt::NoFocus);
    m_scroll->setRange(0, model::kEmptyScrollRange);
    m_scroll->setPageStep(1);

    connect(m_start, &QToolButton::clicked, this, [this] {
        if (m_game)
            goToStart(*m_game);
    });
    connect(m_end, &QToolButton::clicked, this, &CGameView::refreshRequested);
    connect(m_moveStepper, &UpDownControl::stepped, this, [this](int delta) {
        if (m_game)
            stepMove(*m_game, delta);
    });
    connect(m_branchStepper, &UpDownControl::stepped, this, [this](int delta) {
        if (m_game)
            switchAlternative(*m_game, delta);
    });
    connect(m_scroll, &QScrollBar::actionTriggered, this, &CGameView::onScrollAction);
    connect(m_status, &CGameStatusBar::moveNumberClicked, this, [this](Qt::MouseButton button) {
        if (button == Qt::LeftButton)
            emit refreshRequested();
        else if (m_game)
            goToStart(*m_game);
    });
    connect(m_status, &CGameStatusBar::namesClicked, this, &CGameView::headerRequested);
    connect(m_status, &CGameStatusBar::gameButtonClicked, this, &CGameView::gameCommandsRequested);
    resize(440, 560);
    placeControls();
}

void CGameView::fullRepaint()
{
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
    if (!m_game || !m_painter.geometry().laidOut())
        return;
    const BoardScene scene = sceneOf(*m_game);
    if (!scene.drawsMoves())
        return;
    const QRegion changed = m_painter.showMove(m_screen, scene, move, forward, m_lastMoveTo, scene.lastMoveTo);
    m_lastMoveTo = scene.lastMoveTo;
    update(changed);
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
    area.setTop(repaintTop(m_painter.geometry(), area.top(), m_game && m_game->mode == model::kModeEditing));
    if (m_screen.isNull() || area.isEmpty()) {
        painter.fillRect(area, palette().window());
        return;
    }
    painter.drawImage(area, m_screen, area);
}

void CGameView::resizeEvent(QResizeEvent*)
{
    if (m_painter.layoutBoard(width(), height()) || m_painter.geometry().laidOut())
        fullRepaint();
    if (m_controlsVisible)
        placeControls();
}

void CGameView::returnFocus()
{
    if (m_input.requestFocus)
        m_input.requestFocus();
}

void CGameView::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    if (!(QApplication::mouseButtons() & Qt::LeftButton))
        returnFocus();
}

void CGameView::keyPressEvent(QKeyEvent* event)
{
    // The input line takes what is typed; the view only passes it on.
    if (m_input.typeKey) {
        m_input.typeKey(*event);
        returnFocus();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CGameView::mousePressEvent(QMouseEvent* event)
{
    if (m_mouse)
        m_mouse->mousePressed(*this, *event);
}

void CGameView::mouseMoveEvent(QMouseEvent* event)
{
    if (m_mouse)
        m_mouse->mouseMoved(*this, *event);
}

void CGameView::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_mouse)
        m_mouse->mouseReleased(*this, *event);
    if (hasFocus() && !(QApplication::mouseButtons() & Qt::LeftButton))
        returnFocus();
}

void CGameView::wheelEvent(QWheelEvent* event)
{
    const int steps = event->angleDelta().y();
    if (m_game && steps != 0)
        stepMove(*m_game, steps > 0 ? -1 : 1);
    event->accept();
}

} // namespace marovin::board
