#include "game_window/move_list_settings.h"

#include <QSettings>

namespace marovin::board {

namespace {

const char* const kNotationKey = "MoveList/Notation";
const char* const kShownKey = "MoveList/Shown";

} // namespace

MoveListSettings loadMoveListSettings()
{
    const QSettings settings(QStringLiteral("Dozavave"), QStringLiteral("Marovin"));
    MoveListSettings result;
    const QByteArray name = settings.value(QLatin1String(kNotationKey)).toString().toLatin1();
    if (const auto notation = model::NotationFromName(std::string_view(name.constData(), name.size())))
        result.notation = *notation;
    result.shown = settings.value(QLatin1String(kShownKey), true).toBool();
    return result;
}

void saveMoveListSettings(const MoveListSettings& settings)
{
    QSettings stored(QStringLiteral("Dozavave"), QStringLiteral("Marovin"));
    const std::string_view name = model::NotationName(settings.notation);
    stored.setValue(QLatin1String(kNotationKey), QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    stored.setValue(QLatin1String(kShownKey), settings.shown);
}

} // namespace marovin::board
