#include "game_window/status_bar.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

#include "board/clock_alarm.h"
#include "platform/big5_text.h"

namespace marovin::board {

namespace {

const QColor kBrowsingColour(0x00, 0xFF, 0x00); // 0x00FF00
const QColor kBranchColour(0xFF, 0xFF, 0x00);   // 0x00FFFF
const QColor kTransferColour(0x00, 0xFF, 0x00);
const QColor kName1Colour(0x80, 0x00, 0x00);    // dark red, 0x000080
const QColor kTextColour(0x00, 0x00, 0x00);
const QColor kStoppedClockColour(0x80, 0x80, 0x80);
const QColor kLowClockColour(0xE0, 0x00, 0x00);
constexpr int kBlinkCheckMs = 100;

QRect toQRect(const StatusRect& r)
{
    return QRect(r.left, r.top, r.width(), r.height());
}

} // namespace

CGameStatusBar::CGameStatusBar(const SystemMetrics& metrics, QWidget* parent)
    : QWidget(parent), m_metrics(metrics), m_layout(statusLayout(metrics)),
      m_gameButton(new QPushButton(QStringLiteral("Game"), this))
{
    setObjectName(QStringLiteral("gameStatusBar"));
    setFont(QApplication::font());
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
    setFixedSize(kWidth, m_layout.height);
    m_gameButton->setObjectName(QStringLiteral("gameButton"));
    m_gameButton->setFocusPolicy(Qt::NoFocus);
    m_gameButton->setGeometry(toQRect(m_layout.gameButton));
    connect(m_gameButton, &QPushButton::clicked, this, &CGameStatusBar::gameButtonClicked);
    m_blinkClock.start();
    m_blink.setInterval(kBlinkCheckMs);
    connect(&m_blink, &QTimer::timeout, this, [this] {
        const bool shown = ClockAlarm::blinkShown(m_blinkClock.elapsed());
        if (shown != m_blinkShown) {
            m_blinkShown = shown;
            update(toQRect(m_layout.clocks));
        }
    });
}

QRect CGameStatusBar::partRect(int part) const
{
    const int left = part == 0 ? 0 : m_layout.partRight[part - 1];
    return QRect(left, 0, m_layout.partRight[part] - left, m_layout.height);
}

void CGameStatusBar::setRecord(const session::StatusRecord& record)
{
    const session::StatusRecord old = std::exchange(m_record, record);
    if (old.redToMove != record.redToMove || old.moveNumber != record.moveNumber ||
        old.browsingBack != record.browsingBack || old.branchHere != record.branchHere)
        update(partRect(1));
    if (old.name1 != record.name1 || old.name2 != record.name2 || old.rating1 != record.rating1 ||
        old.rating2 != record.rating2)
        update(partRect(2));
    if (old.clockText1 != record.clockText1 || old.clockText2 != record.clockText2 ||
        old.clocksRunning != record.clocksRunning || old.lowClock != record.lowClock)
        update(toQRect(m_layout.clocks));
    if (record.lowClock != 0 && !m_blink.isActive()) {
        m_blinkShown = true;
        m_blinkClock.restart(); // the first blink shows the red clock
        m_blink.start();
    } else if (record.lowClock == 0) {
        m_blink.stop();
        m_blinkShown = true;
    }
}

void CGameStatusBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setFont(font());
    paintTurn(painter);
    paintNames(painter);
    paintClocks(painter);
}

void CGameStatusBar::paintTurn(QPainter& painter)
{
    const int lineHeight = m_metrics.textHeight;
    if (m_record.moveNumber >= session::kTransferMoveNumber) {
        painter.setPen(kTransferColour);
        painter.drawText(QRect(m_layout.transfer.x, m_layout.transfer.y, partRect(1).width(), lineHeight),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                         QString::fromLatin1(session::transferText(m_record.moveNumber).c_str()));
        return;
    }
    if (m_record.browsingBack)
        painter.fillRect(toQRect(m_layout.browsingFill), kBrowsingColour);
    const StatusPoint at = m_record.redToMove ? m_layout.numberLine1 : m_layout.numberLine2;
    const QString text = QString::fromLatin1(session::moveNumberText(m_record.moveNumber).c_str());
    const QRect box(at.x, at.y, painter.fontMetrics().horizontalAdvance(text), lineHeight);
    if (m_record.branchHere)
        painter.fillRect(box, kBranchColour);
    painter.setPen(kTextColour);
    painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
}

void CGameStatusBar::paintNames(QPainter& painter)
{
    const QRect box = toQRect(m_layout.names);
    painter.save();
    painter.setClipRect(box);
    painter.setPen(kName1Colour);
    painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     platform::fromBig5(session::playerText(m_record.name1, m_record.rating1)));
    painter.setPen(kTextColour);
    painter.drawText(box, Qt::AlignLeft | Qt::AlignBottom | Qt::TextSingleLine,
                     platform::fromBig5(session::playerText(m_record.name2, m_record.rating2)));
    painter.restore();
}

void CGameStatusBar::paintClocks(QPainter& painter)
{
    const int lineHeight = m_metrics.textHeight;
    const int width = m_layout.clocks.right - m_layout.clock1.x;
    const QColor normal = m_record.clocksRunning ? kTextColour : kStoppedClockColour;
    const auto drawClock = [&](int line, const StatusPoint& at, const std::string& text) {
        const bool low = m_record.lowClock == line;
        if (low && !m_blinkShown)
            return;
        painter.setPen(low ? kLowClockColour : normal);
        painter.drawText(QRect(at.x, at.y, width, lineHeight), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                         platform::fromBig5(text));
    };
    drawClock(1, m_layout.clock1, m_record.clockText1);
    drawClock(2, m_layout.clock2, m_record.clockText2);
}

void CGameStatusBar::mousePressEvent(QMouseEvent* event)
{
    const StatusPart part = statusPartAt(m_layout, event->position().toPoint().x());
    if (part == StatusPart::MoveNumber &&
        (event->button() == Qt::LeftButton || event->button() == Qt::RightButton))
        emit moveNumberClicked(event->button());
    else if (part == StatusPart::Names && event->button() == Qt::LeftButton)
        emit namesClicked();
    QWidget::mousePressEvent(event);
}

} // namespace marovin::board
