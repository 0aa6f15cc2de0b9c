#include "gui_application.h"

#include <cstdlib>
#include <iostream>

#include "tool.h"

namespace marovin::tool {

namespace {

// Notes about a missing runtime folder and the like are no business of a command-line user.
void quietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        Report(std::cerr, text.toStdString());
}

} // namespace

std::unique_ptr<QGuiApplication> guiApplication()
{
    if (QCoreApplication::instance())
        return nullptr;
    qInstallMessageHandler(quietQtMessages);
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "marovin-tool";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace marovin::tool
