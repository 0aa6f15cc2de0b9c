// marovin: the desktop client. See --help.

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/platform_defaults.h"
#include "platform/qt_desktop.h"
#include "frame/application.h"
#include "frame/command_line.h"
#include "support/memory.h"
#include "support/paths.h"
#include "support/version.h"

int main(int argc, char** argv)
{
    using namespace marovin;
    const shell::CommandLine line = shell::parseCommandLine(argc, argv);
    const std::string program = argc > 0 ? argv[0] : "marovin";
    if (!line.error.empty()) {
        std::fprintf(stderr, "%s: %s\n%s", program.c_str(), line.error.c_str(), shell::usageText(program).c_str());
        return 2;
    }
    if (line.help) {
        std::fputs(shell::usageText(program).c_str(), stdout);
        return 0;
    }
    if (line.version) {
        std::printf("Marovin %s\n", versionText());
        return 0;
    }

    platform::QtDesktop desktop;
    // The memory guard comes before the application object.
    CMemNew guard(desktop, true, QCoreApplication::instance() != nullptr);

    std::vector<char*> qtArguments{argv[0]};
    std::vector<std::string> kept(line.platformArguments);
    for (auto& argument : kept)
        qtArguments.push_back(argument.data());
    int qtArgc = static_cast<int>(qtArguments.size());
    qtArguments.push_back(nullptr);
    QApplication application(qtArgc, qtArguments.data());
    QCoreApplication::setOrganizationName(QStringLiteral("Dozavave"));
    QCoreApplication::setApplicationName(QStringLiteral("Marovin"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(versionText()));

    shell::CMarovinApp app(desktop, platform::measurePlatformDefaults(), platform::measureSystemMetrics(),
                           settingsFilePath(line.settingsFile));
    if (!app.initInstance())
        return 1;
    // The files open once the main window is up and active, so that their windows come
    // to the front.
    QTimer::singleShot(0, &application, [&app, &line] { app.openFiles(line.files); });
    if (line.quitAfterStart) {
        // Let the first frames paint, then end without the closing save.
        QTimer::singleShot(200, &application, [] { QCoreApplication::exit(0); });
    }
    return QApplication::exec();
}
