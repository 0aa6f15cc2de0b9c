#include <gtest/gtest.h>

#include <QTimer>

#include <cstring>
#include <limits>

#include "platform/big5_text.h"
#include "platform/platform_defaults.h"
#include "platform/qt_clock.h"
#include "testkit/qt_application.h"

namespace marovin::platform {
namespace {

TEST(Big5AtTheGlass, ShowsAndReadsChinese)
{
    testkit::qtApplication();
    EXPECT_EQ(fromBig5("\xB1\x4E\xAB\xD3 OMRA"), QString::fromUtf8("將帥 OMRA"));
    EXPECT_EQ(toBig5(QString::fromUtf8("炮兵")), "\xAC\xB6\xA7\x4C");
    EXPECT_EQ(fromBig5("\xB1"), QString(QChar(0xFFFD)));
}

TEST(QtClockWaits, HandleEventsUntilTheConditionHolds)
{
    testkit::qtApplication();
    QtClock clock;
    bool done = false;
    QTimer::singleShot(30, [&] { done = true; });
    clock.waitUntil([&] { return done; });
    EXPECT_TRUE(done);

    const std::int64_t before = clock.nowMilliseconds();
    clock.pause(20);
    EXPECT_GE(clock.nowMilliseconds() - before, 20);
    EXPECT_GT(clock.nowSeconds(), 1'700'000'000);
}

TEST(PlatformDefaults, AreMeasuredFromTheRunningPlatform)
{
    testkit::qtApplication();
    const PlatformDefaults platform = measurePlatformDefaults();
    EXPECT_FALSE(platform.fixedFontFace.empty());
    EXPECT_EQ(platform.screenWidth, 800) << "the offscreen screen";
    EXPECT_EQ(platform.programDirectory.back(), '/');
    EXPECT_LT(+platform.systemFont.height, 0) << "a character height";

    const SystemMetrics metrics = measureSystemMetrics();
    EXPECT_GT(metrics.textHeight, 0);
    EXPECT_EQ(metrics.statusBarHeight, 2 * metrics.textHeight + 2);
    EXPECT_EQ(metrics.statusPart3Right, 31 * metrics.averageCharWidth + 4);

    EXPECT_EQ(qColour(0x00CCFF), QColor(0xFF, 0xCC, 0x00)) << "0x00BBGGRR";
}

TEST(FontDescriptions, BecomeDrawableFontsWhateverTheFileHolds)
{
    testkit::qtApplication();
    struct Case {
        std::int32_t height;
        std::int32_t weight;
        int pixels; // -1: the size is left as it was
        QFont::Weight shownWeight;
    };
    const Case cases[] = {
        {-13, 400, 13, QFont::Normal},
        {20, 700, 20, QFont::Bold},
        {0, 0, -1, QFont::Normal},
        {std::numeric_limits<std::int32_t>::min(), 5000, 500, QFont::Black},
        {std::numeric_limits<std::int32_t>::max(), -7, 500, QFont::Normal},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.height);
        FontDescription description{};
        description.height = c.height;
        description.weight = c.weight;
        description.italic = 1;
        std::memcpy(description.faceName, "DejaVu Serif", 12);
        const QFont font = fontOfDescription(description);
        EXPECT_EQ(font.family(), "DejaVu Serif");
        if (c.pixels > 0) {
            EXPECT_EQ(font.pixelSize(), c.pixels);
        }
        EXPECT_EQ(font.weight(), c.shownWeight);
        EXPECT_TRUE(font.italic());
    }
}

} // namespace
} // namespace marovin::platform
