#pragma once
// The chooser that File Open shows for a PGN file of several games: the first game is
// already in a window; the list offers the others, several at once.

#include <QDialog>
#include <QList>
#include <QStringList>

class QListWidget;

namespace marovin::model {
struct PgnGameText;
}

namespace marovin::windows {

// The line that names a game of a PGN file in the chooser: "3. alice - bob, Club final,
// 2024.03.05, 1-0" (parts that are missing are left out). number counts from 1.
QString PgnGameTitle(const model::PgnGameText& game, int number);

class PgnGameChooser : public QDialog {
    Q_OBJECT
public:
    // titles[i] names game i + 1; game 1 is shown already and is not offered.
    PgnGameChooser(const QString& fileName, const QStringList& titles, QWidget* parent = nullptr);

    // The chosen games, as indexes into titles (1 and up), in file order.
    QList<int> chosen() const;
    QListWidget* list() const { return m_list; }

private:
    QListWidget* m_list;
};

} // namespace marovin::windows
