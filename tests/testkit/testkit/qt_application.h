#pragma once
// The one QApplication of a GUI test program, created on first use on the offscreen
// platform, with its configuration and data folders in a fresh temporary folder so that
// no test touches the user's own settings.

#include <QApplication>

#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>

namespace marovin::testkit {

inline QApplication& qtApplication()
{
    static QApplication* application = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "marovin-gui-test-XXXXXX").string();
        const std::string home = ::mkdtemp(pattern.data()) ? pattern : std::string("/tmp");
        ::setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::unsetenv("MAROVIN_SETTINGS");
        static int argc = 1;
        static char name[] = "marovin-test";
        static char* argv[] = {name, nullptr};
        auto* app = new QApplication(argc, argv);
        QCoreApplication::setOrganizationName(QStringLiteral("Dozavave"));
        QCoreApplication::setApplicationName(QStringLiteral("Marovin"));
        return app;
    }();
    return *application;
}

} // namespace marovin::testkit

// So that a failing comparison of Qt strings shows the texts.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
