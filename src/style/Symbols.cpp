#include "style/Symbols.h"

#include <array>
#include <utility>

namespace kestrune {

namespace {
// Code points of the Material Icons font (fonts-material-design-icons-iconfont).
constexpr std::array<std::pair<const char*, char16_t>, 27> kTable{{
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
    {"app.dashed", 0xe5c3},                                  // apps
    {"plus", 0xe145},                                        // add
    {"trash", 0xe872},                                       // delete
    {"magnifyingglass", 0xe8b6},                             // search
    {"folder", 0xe2c7},                                      // folder_open
    {"doc.on.doc", 0xe14d},                                  // content_copy
    {"checkmark.circle.fill", 0xe86c},                       // check_circle
    {"sparkles", 0xe65f},                                    // auto_awesome
    {"lightbulb.fill", 0xe0f0},                              // lightbulb
    {"command", 0xeae7},                                     // keyboard_command_key
    {"option", 0xeae8},                                      // keyboard_option_key
    {"control", 0xeae6},                                     // keyboard_control_key
    {"shift", 0xe5d8},                                       // arrow_upward (the shift arrow)
    {"arrow.down", 0xe5db},                                  // arrow_downward
    {"chevron.down", 0xe5cf},                                // expand_more
    {"lock.shield", 0xe32a},                                 // security
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
