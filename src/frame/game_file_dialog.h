#pragma once
// The Open and Save As dialogs of game files: where they open, what they propose and which
// kinds of file they offer. They open in the folder of the last game file read or written,
// else in a "Games" folder under the user's documents, never in the program's working
// folder; Save As proposes the game's subject with the game-file extension.

#include <QString>
#include <QStringList>

#include <memory>

class QFileDialog;
class QWidget;

namespace marovin::windows {

// The dialogs' kinds of file, game files first.
QStringList gameFileFilters();

// The folder the dialogs open in: that of lastPath (a file or a folder) when it exists,
// else documents/Games. Empty documents: the home folder's.
QString gameFileFolder(const QString& lastPath, const QString& documents);

// The path Save As proposes: the window's own file when it has one, else the subject
// (slashes made dashes) with ".gam" in folder.
QString proposedSavePath(const QString& filePath, const QString& subject, const QString& folder);

// The dialog, not yet shown: opening several existing files, or saving one (start: the
// proposed path); the filter matches start's extension and a name typed without one takes
// that of the chosen filter. A missing folder to start in is made first.
std::unique_ptr<QFileDialog> makeGameFileDialog(QWidget* parent, const QString& title, const QString& start,
                                                bool forSaving);

} // namespace marovin::windows
