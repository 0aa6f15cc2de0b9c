#include "printing/print_fonts.h"

#include <QStringList>

namespace marovin::printing {

namespace {

QFont fontOf(const QStringList& families, qreal size)
{
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(std::max(1, qRound(size)));
    font.setStyleHint(QFont::TypeWriter);
    return font;
}

// Droid Sans Fallback maps every glyph back to the ordinary character; Noto's CJK fonts
// stand in when it is missing.
const QStringList kChinese = {QStringLiteral("Droid Sans Fallback"), QStringLiteral("Noto Sans Mono CJK TC"),
                              QStringLiteral("Noto Sans CJK TC")};

} // namespace

QFont recordFont(qreal size)
{
    return fontOf(QStringList{QStringLiteral("DejaVu Sans Mono")} + kChinese, size);
}

QFont diagramFont(qreal size)
{
    QFont font = fontOf(kChinese + QStringList{QStringLiteral("DejaVu Sans")}, size);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace marovin::printing
