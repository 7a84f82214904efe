#include "style/Symbols.h"

#include <array>
#include <utility>

namespace kestrune {

namespace {
// Code points of the Material Icons font (fonts-material-design-icons-iconfont).
constexpr std::array<std::pair<const char*, char16_t>, 11> kTable{{
    {"capslock.fill", 0xe318},                               // keyboard_capslock
    {"ellipsis.circle", 0xef64},                             // pending
    {"info.circle", 0xe88f},                                 // info_outline
    {"exclamationmark.triangle.fill", 0xe002},               // warning
    {"arrow.up.and.down.and.arrow.left.and.right", 0xe89f},  // open_with
    {"hand.tap.fill", 0xe913},                               // touch_app
    {"keyboard.fill", 0xe312},                               // keyboard
    {"arrow.turn.up.right", 0xebab},                         // turn_right
    {"square.grid.2x2", 0xe9b0},                             // grid_view
    {"nosign", 0xe14b},                                      // block
    {"checkmark", 0xe5ca},                                   // check
}};
} // namespace

QString Symbols::glyph(const QString& name)
{
    for (const auto& [symbol, codePoint] : kTable) {
        if (name == QLatin1String(symbol))
            return QString(QChar(codePoint));
    }
    return {};
}

QStringList Symbols::names()
{
    QStringList list;
    for (const auto& entry : kTable)
        list << QString::fromLatin1(entry.first);
    return list;
}

} // namespace kestrune
