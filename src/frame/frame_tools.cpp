#include "frame/frame_tools.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "model/game_file.h"
#include "model/game_ports.h"
#include "support/paths.h"
#include "windows/command_dialog.h"
#include "windows/help_window.h"
#include "frame/main_frame.h"
#include "windows/other_options_dialog.h"

namespace marovin::windows {

FrameTools::FrameTools(CMainFrame& frame, session::ClientContext& context, const SettingsFile& settings,
                       std::string commandFile)
    : QObject(&frame), m_frame(frame), m_context(context), m_settings(settings), m_commandFile(std::move(commandFile))
{
    m_chooseFiles = [this](const QString& title) {
        return QFileDialog::getOpenFileNames(&m_frame, title, QString(), QStringLiteral("All Files (*)"));
    };
    wire("actionCommandWindow", [this] { showCommandWindow(); });
    wire("actionOtherOptions", [this] { showOtherOptions(); });
    wire("actionConvertToOld", [this] { convertFiles(false); });
    wire("actionConvertToNew", [this] { convertFiles(true); });
    wire("actionHelpTopics", [this] { showHelp(); });
    wire("actionContextHelp", [this] { showHelp(); });
    wire("actionArrangeIcons", [this] { arrangeIcons(); });
    // The command texts are kept when the program ends with the window open.
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        if (m_commandWindow)
            m_commandWindow->save();
    });
}

void FrameTools::wire(const char* action, std::function<void()> handler)
{
    QAction* command = m_frame.action(QString::fromLatin1(action));
    command->setEnabled(true);
    connect(command, &QAction::triggered, this, std::move(handler));
}

CCommandDlg* FrameTools::showCommandWindow()
{
    if (m_commandWindow) {
        m_commandWindow->showWindow();
        return m_commandWindow;
    }
    m_commandWindow = new CCommandDlg(m_context, m_commandFile, &m_frame);
    connect(m_commandWindow, &QDialog::finished, &m_frame, &CMainFrame::requestInputFocus);
    m_commandWindow->show();
    m_commandWindow->raise();
    m_commandWindow->activateWindow();
    return m_commandWindow;
}

void FrameTools::showOtherOptions()
{
    COtherOptionsDlg dialog(m_context.options, m_settings, m_context.desktop, m_frame.listFont(), &m_frame);
    dialog.exec();
    m_frame.focusInputLine();
}

int FrameTools::convertFiles(bool toNewFormat)
{
    const QStringList files = m_chooseFiles(toNewFormat ? QStringLiteral("To New Format") : QStringLiteral("To Old Format"));
    if (files.isEmpty())
        return 0;
    // The files are read into a game of their own: no window opens, nothing is asked.
    model::NoGameWindows noWindows;
    const model::GamePorts ports{m_context.terminal, m_context.desktop, m_context.clock, noWindows,
                                 m_context.gameSettings};
    int converted = 0;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    for (const QString& file : files) {
        if (model::ConvertGameFile(file.toStdString(), toNewFormat, ports))
            ++converted;
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    QApplication::restoreOverrideCursor();
    const std::string summary = "Converted " + std::to_string(converted) + " of " + std::to_string(files.size()) +
                                (files.size() == 1 ? " file" : " files") + " to the " +
                                (toNewFormat ? "new" : "old") + " format.";
    m_context.terminal.writeClientText(summary, true);
    return converted;
}

CHelpWindow* FrameTools::showHelp()
{
    if (!m_helpWindow)
        m_helpWindow = new CHelpWindow(assetFolder() + kHelpFileName, &m_frame);
    m_helpWindow->show();
    m_helpWindow->raise();
    m_helpWindow->activateWindow();
    return m_helpWindow;
}

void FrameTools::arrangeIcons()
{
    QMdiArea* area = m_frame.mdiArea();
    int left = 0;
    for (QMdiSubWindow* window : area->subWindowList()) {
        if (!window->isMinimized())
            continue;
        window->move(left, area->viewport()->height() - window->height());
        left += window->width();
    }
}

} // namespace marovin::windows
