#include "terminal/scroll_spin.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

namespace marovin::shell {

CScrollSpin::CScrollSpin(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("historySpin"));
    setToolTip(QStringLiteral(
        "Scroll the terminal: left button a line, right button a page, middle button to the end"));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    m_repeat.setSingleShot(false);
    connect(&m_repeat, &QTimer::timeout, this, [this] {
        m_repeat.setInterval(kRepeatMs);
        step();
    });
}

QSize CScrollSpin::sizeHint() const
{
    // Twice an ordinary up/down control's width, less one pixel.
    return {2 * 16 - 1, 24};
}

void CScrollSpin::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const int half = height() / 2;
    const QRect halves[] = {QRect(0, 0, width(), half), QRect(0, half, width(), height() - half)};
    for (int i = 0; i < 2; ++i) {
        QStyleOption option;
        option.initFrom(this);
        option.rect = halves[i];
        const bool pressed = m_held && m_upwards == (i == 0);
        option.state |= pressed ? QStyle::State_Sunken : QStyle::State_Raised;
        style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &option, &painter, this);
        option.rect = halves[i].adjusted(2, 1, -2, -1);
        style()->drawPrimitive(i == 0 ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown, &option,
                               &painter, this);
    }
}

void CScrollSpin::mousePressEvent(QMouseEvent* event)
{
    switch (event->button()) {
    case Qt::LeftButton:
        if (m_spinMode == kNone)
            m_spinMode = kLeft;
        break;
    case Qt::RightButton:
        m_spinMode = kRight;
        break;
    case Qt::MiddleButton:
        m_spinMode = kMiddle;
        break;
    default:
        return;
    }
    // Whatever the button, the control then steps as under the left button.
    m_upwards = event->position().y() < height() / 2.0;
    m_held = true;
    step();
    m_repeat.start(kFirstRepeatMs);
    update();
}

void CScrollSpin::mouseReleaseEvent(QMouseEvent* event)
{
    const Qt::MouseButton button = event->button();
    if (button == Qt::LeftButton || button == Qt::RightButton || button == Qt::MiddleButton)
        stop();
}

void CScrollSpin::stop()
{
    m_repeat.stop();
    m_held = false;
    m_spinMode = kNone;
    update();
}

void CScrollSpin::step()
{
    if (!m_scroller || m_spinMode == kNone)
        return;
    switch (m_spinMode) {
    case kLeft:
        m_scroller(m_upwards ? TerminalScroll::LineUp : TerminalScroll::LineDown);
        break;
    case kRight:
        m_scroller(m_upwards ? TerminalScroll::PageUp : TerminalScroll::PageDown);
        break;
    case kMiddle:
        // One jump per press: the repeat that follows finds no mode.
        m_spinMode = kNone;
        if (m_upwards) {
            m_scroller(TerminalScroll::Top);
        } else {
            m_scroller(TerminalScroll::Bottom);
            m_scroller(TerminalScroll::LineDown);
        }
        break;
    default:
        break;
    }
}

} // namespace marovin::shell
