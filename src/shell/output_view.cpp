#include "shell/output_view.h"

#include <QPaintEvent>
#include <QPainter>

#include "platform/platform_defaults.h"

namespace marovin::shell {

COutputView::COutputView(const Options& options, QWidget* parent) : QWidget(parent), m_options(options)
{
    setFocusPolicy(Qt::ClickFocus);
    setMinimumSize(80, 40);
}

void COutputView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), platform::qColour(m_options.outputBackColour));
}

} // namespace marovin::shell
