#include "frame/recent_files.h"

namespace marovin::windows {
namespace {

const QString kGroup = QStringLiteral("Recent File List");

QString key(int index)
{
    return QStringLiteral("File%1").arg(index + 1);
}

} // namespace

RecentFileList::RecentFileList(QSettings& settings) : m_settings(settings)
{
    m_settings.beginGroup(kGroup);
    for (int i = 0; i < kSize; ++i) {
        const QString path = m_settings.value(key(i)).toString();
        if (!path.isEmpty() && !m_entries.contains(path))
            m_entries.append(path);
    }
    m_settings.endGroup();
}

void RecentFileList::add(const QString& path)
{
    if (path.isEmpty())
        return;
    m_entries.removeAll(path);
    m_entries.prepend(path);
    while (m_entries.size() > kSize)
        m_entries.removeLast();
    store();
}

void RecentFileList::remove(const QString& path)
{
    m_entries.removeAll(path);
    store();
}

void RecentFileList::store()
{
    m_settings.beginGroup(kGroup);
    for (int i = 0; i < kSize; ++i) {
        if (i < m_entries.size())
            m_settings.setValue(key(i), m_entries[i]);
        else
            m_settings.remove(key(i));
    }
    m_settings.endGroup();
    m_settings.sync();
}

} // namespace marovin::windows
