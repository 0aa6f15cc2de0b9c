#include "game_window/board_growth_setting.h"

#include <QSettings>

namespace marovin::board {

namespace {

const char* const kGrowKey = "Board/GrowWithWindow";

} // namespace

bool loadBoardGrows()
{
    const QSettings settings(QStringLiteral("Dozavave"), QStringLiteral("Marovin"));
    return settings.value(QLatin1String(kGrowKey), false).toBool();
}

void saveBoardGrows(bool grows)
{
    QSettings settings(QStringLiteral("Dozavave"), QStringLiteral("Marovin"));
    settings.setValue(QLatin1String(kGrowKey), grows);
}

} // namespace marovin::board
