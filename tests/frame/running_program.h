#pragma once
// The whole program started for a test (offscreen): an existing settings file, so that no
// login window opens, and the main window active, as when the user works in it.

#include <gtest/gtest.h>

#include <QTest>

#include <memory>

#include "frame/application.h"
#include "frame/main_frame.h"
#include "test_platform.h"
#include "testkit/fakes.h"
#include "testkit/qt_application.h"
#include "testkit/settings_file.h"
#include "testkit/temp_folder.h"

namespace marovin::windows {

inline void StartProgram(std::unique_ptr<shell::CMarovinApp>& app, testkit::FakeDesktop& desktop,
                         const testkit::TempFolder& folder)
{
    testkit::qtApplication();
    app = std::make_unique<shell::CMarovinApp>(
        desktop, testPlatform(), deriveSystemMetrics(16, 7),
        testkit::existingSettings(folder.file("config/Marovin.dat"), testPlatform()));
    ASSERT_TRUE(app->initInstance());
    app->mainFrame()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(app->mainFrame()));
}

} // namespace marovin::windows
