#include "frame/window_list.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>

#include "frame/main_frame.h"

namespace marovin::windows {

namespace {

// An entry's text: a digit to choose it by (the first nine), then the caption, whose own
// ampersands stay text.
QString entryText(int index, const QString& caption)
{
    QString shown = caption;
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return index < 9 ? QStringLiteral("&%1 %2").arg(index + 1).arg(shown) : shown;
}

} // namespace

WindowList::WindowList(CMainFrame& frame) : m_frame(frame)
{
    m_menu = frame.menuTitled(QStringLiteral("&Window"));
    if (!m_menu)
        return;
    QMdiArea* area = frame.mdiArea();
    QAction* cascade = new QAction(tr("&Cascade"), &frame);
    cascade->setObjectName(QStringLiteral("actionCascade"));
    QAction* tile = new QAction(tr("&Tile"), &frame);
    tile->setObjectName(QStringLiteral("actionTile"));
    QAction* arrange = frame.action(QStringLiteral("actionArrangeIcons"));
    const QList<QAction*> items = m_menu->actions();
    const qsizetype after = items.indexOf(arrange);
    QAction* before = after >= 0 && after + 1 < items.size() ? items[after + 1] : nullptr;
    m_menu->insertActions(before, {cascade, tile});
    connect(cascade, &QAction::triggered, this, [this, area] {
        area->cascadeSubWindows();
        m_frame.requestInputFocus();
    });
    connect(tile, &QAction::triggered, this, [this, area] {
        area->tileSubWindows();
        m_frame.requestInputFocus();
    });
    m_separator = m_menu->addSeparator();
    connect(m_menu, &QMenu::aboutToShow, this, &WindowList::refresh);
    refresh();
}

const QList<QAction*>& WindowList::refresh()
{
    qDeleteAll(m_entries);
    m_entries.clear();
    if (!m_menu)
        return m_entries;
    QMdiArea* area = m_frame.mdiArea();
    const QMdiSubWindow* active = area->currentSubWindow();
    for (QMdiSubWindow* window : area->subWindowList(QMdiArea::CreationOrder)) {
        if (window->isHidden())
            continue;
        auto* entry = new QAction(entryText(static_cast<int>(m_entries.size()), window->windowTitle()), m_menu);
        entry->setCheckable(true);
        entry->setChecked(window == active);
        connect(entry, &QAction::triggered, this, [this, area, window = QPointer<QMdiSubWindow>(window)] {
            if (!window)
                return;
            if (window->isMinimized())
                window->showNormal();
            area->setActiveSubWindow(window);
            window->raise();
            m_frame.requestInputFocus();
        });
        m_entries.push_back(entry);
    }
    m_menu->addActions(m_entries);
    m_separator->setVisible(!m_entries.isEmpty());
    return m_entries;
}

} // namespace marovin::windows
