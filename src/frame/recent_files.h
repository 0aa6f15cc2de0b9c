#pragma once
// The recently used file list: six entries, newest first, kept in the program's Qt
// settings under "Recent File List" ("File1" … "File6").

#include <QSettings>
#include <QStringList>

namespace marovin::windows {

class RecentFileList {
public:
    static constexpr int kSize = 6;

    explicit RecentFileList(QSettings& settings);

    const QStringList& entries() const { return m_entries; }
    // Puts path first (removing an older mention of it) and stores the list.
    void add(const QString& path);
    void remove(const QString& path);

private:
    void store();

    QSettings& m_settings;
    QStringList m_entries;
};

} // namespace marovin::windows
