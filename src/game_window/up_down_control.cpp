#include "game_window/up_down_control.h"

namespace marovin::board {

namespace {

QToolButton* arrowButton(Qt::ArrowType arrow, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

UpDownControl::UpDownControl(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent), m_orientation(orientation),
      m_back(arrowButton(orientation == Qt::Vertical ? Qt::UpArrow : Qt::LeftArrow, this)),
      m_forward(arrowButton(orientation == Qt::Vertical ? Qt::DownArrow : Qt::RightArrow, this))
{
    setFocusPolicy(Qt::NoFocus);
    connect(m_back, &QToolButton::clicked, this, [this] { emit stepped(-1); });
    connect(m_forward, &QToolButton::clicked, this, [this] { emit stepped(1); });
}

void UpDownControl::resizeEvent(QResizeEvent*)
{
    if (m_orientation == Qt::Vertical) {
        const int half = height() / 2;
        m_back->setGeometry(0, 0, width(), half);
        m_forward->setGeometry(0, half, width(), height() - half);
    } else {
        const int half = width() / 2;
        m_back->setGeometry(0, 0, half, height());
        m_forward->setGeometry(half, 0, width() - half, height());
    }
}

} // namespace marovin::board
