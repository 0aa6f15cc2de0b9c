#include "windows/match_controls.h"

#include <QMouseEvent>
#include <QLineEdit>
#include <QPainter>

#include "platform/big5_text.h"
#include "session/match_request.h"

namespace marovin::windows {

ColourDisc::ColourDisc(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("colourDisc"));
    setFixedSize(28, 28);
    setCursor(Qt::PointingHandCursor);
    setToolTip(QStringLiteral("Click to change the colour"));
}

void ColourDisc::setColour(int colour)
{
    m_colour = colour == 1 ? 1 : 0;
    update();
}

void ColourDisc::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_colour == 0 ? QColor(255, 0, 0) : QColor(0, 0, 0));
    painter.drawEllipse(rect());
}

void ColourDisc::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint())) {
        QWidget::mousePressEvent(event);
        return;
    }
    setColour(1 - m_colour);
    emit toggled(m_colour);
}

QComboBox* makeTimeCombo(TimeCombo kind, const std::string& text, QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    const QStringList minutes = {"1", "2", "3", "4", "5", "10", "15", "20", "30"};
    const QStringList seconds = {"0", "5", "10", "15", "20", "30"};
    combo->addItems(kind == TimeCombo::Minutes ? minutes : seconds);
    combo->lineEdit()->setMaxLength(session::kMatchTimeLength);
    combo->setEditText(platform::fromBig5(text));
    return combo;
}

std::string comboText(const QComboBox* combo)
{
    return platform::toBig5(combo->currentText());
}

} // namespace marovin::windows
