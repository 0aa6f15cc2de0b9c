#pragma once
// The main frame's commands that open its own tools rather than talk to the server: the
// command window, the other-options dialog, converting game files between the old and the
// new stored format, the help window and arranging minimised windows.

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <string>

#include "options/options.h"
#include "session/client_context.h"
#include "windows/command_dialog.h"
#include "windows/help_window.h"

namespace marovin::windows {

class CMainFrame;

class FrameTools : public QObject {
    Q_OBJECT
public:
    // Chooses existing files under a title; empty when cancelled.
    using FileChooser = std::function<QStringList(const QString& title)>;

    // frame, context and settings outlive this object. commandFile: the command window's
    // list file.
    FrameTools(CMainFrame& frame, session::ClientContext& context, const SettingsFile& settings,
               std::string commandFile);

    // "Shout": shows the command window, creating it on first use.
    CCommandDlg* showCommandWindow();
    CCommandDlg* commandWindow() const { return m_commandWindow; }
    // "Others": the other-options dialog, modal.
    void showOtherOptions();
    // "Convert to Old Format" / "Convert to New Format": the files chosen are rewritten in
    // that format (files that are not games are left as they are). Returns how many were.
    int convertFiles(bool toNewFormat);
    void setFileChooser(FileChooser chooser) { m_chooseFiles = std::move(chooser); }
    // "&Help Topics" and context help.
    CHelpWindow* showHelp();
    // "&Arrange Icons": minimised windows in a row along the bottom of the area.
    void arrangeIcons();

private:
    void wire(const char* action, std::function<void()> handler);

    CMainFrame& m_frame;
    session::ClientContext& m_context;
    const SettingsFile& m_settings;
    std::string m_commandFile;
    FileChooser m_chooseFiles;
    QPointer<CCommandDlg> m_commandWindow;
    QPointer<CHelpWindow> m_helpWindow;
};

} // namespace marovin::windows
