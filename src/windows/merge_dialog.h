#pragma once
// "Merge Game From/To Files": a file chooser for several files with two ways out, "From
// File(s)" (merge the chosen files into the window's game) and "To File(s)" (merge the
// window's game into each chosen file), and the "Append Move-Note" check box, which
// stores its state into the options at once. The chooser's own Open button is hidden.

#include <QCheckBox>
#include <QDialog>
#include <QFileDialog>
#include <QPushButton>
#include <QStringList>

#include "options/options.h"

namespace marovin {
class DesktopPort;
}

namespace marovin::windows {

inline constexpr const char* kMergeTitle = "Merge Game From/To Files";

class CMergeGameDlg : public QDialog {
    Q_OBJECT
public:
    // Starts in the folder of lastPath with its name filled in.
    CMergeGameDlg(Options& options, DesktopPort& desktop, const QString& lastPath, QWidget* parent = nullptr);

    // -1 from files into the game, +1 from the game into files, 0 when none was chosen.
    int direction() const { return m_direction; }
    QStringList files() const { return m_files; }

    QFileDialog* chooser() const { return m_chooser; }
    QPushButton* fromButton() const { return m_from; }
    QPushButton* toButton() const { return m_to; }
    QCheckBox* appendNotes() const { return m_appendNotes; }

private:
    void choose(int direction);

    Options& m_options;
    DesktopPort& m_desktop;
    QFileDialog* m_chooser;
    QPushButton* m_from;
    QPushButton* m_to;
    QCheckBox* m_appendNotes;
    int m_direction = 0;
    QStringList m_files;
};

} // namespace marovin::windows
