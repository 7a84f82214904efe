#include "style/Theme.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QList>
#include <QPointer>

#include <algorithm>

namespace kestrune {

namespace {
bool systemDark = false;
bool defaultReduceMotion = false;
QList<QPointer<Theme>>& instances()
{
    static QList<QPointer<Theme>> list;
    return list;
}
} // namespace

Theme::Theme(QObject* parent) : QObject(parent), reduceMotion_(defaultReduceMotion)
{
    instances().append(this);
}

int Theme::headingWeight() const
{
    const QString family = QFontInfo(QGuiApplication::font()).family();
    const QStringList styles = QFontDatabase::styles(family);
    const bool hasSemibold = std::any_of(styles.begin(), styles.end(), [&](const QString& style) {
        return QFontDatabase::weight(family, style) > QFont::Normal;
    });
    return hasSemibold ? QFont::DemiBold : QFont::Bold;
}

Theme::~Theme()
{
    instances().removeAll(this);
}

void Theme::setIsDark(bool dark)
{
    const bool before = isDark();
    pinned_ = true;
    pinnedDark_ = dark;
    if (isDark() != before)
        emit appearanceChanged();
}

void Theme::resetIsDark()
{
    const bool before = isDark();
    pinned_ = false;
    if (isDark() != before)
        emit appearanceChanged();
}

void Theme::setReduceMotion(bool reduce)
{
    if (reduce == reduceMotion_)
        return;
    reduceMotion_ = reduce;
    emit reduceMotionChanged();
}

QColor Theme::alpha(const QColor& color, double opacity) const
{
    QColor c = color;
    c.setAlphaF(float(c.alphaF() * opacity));
    return c;
}

// The system palette of the desktop the product was drawn for: labels are
// black or white at high opacity, accents are the familiar saturated hues.
QColor Theme::primary() const { return pick(QColor(0, 0, 0, 217), QColor(255, 255, 255, 230)); }
// Stronger than the usual 60 %: captions and hints on the panel's glass
// stay above 4.5:1 against what shows through.
QColor Theme::secondary() const { return pick(QColor(60, 60, 67, 199), QColor(235, 235, 245, 184)); }
QColor Theme::blue() const { return pick(QColor(0x00, 0x7a, 0xff), QColor(0x0a, 0x84, 0xff)); }
QColor Theme::green() const { return pick(QColor(0x28, 0xcd, 0x41), QColor(0x32, 0xd7, 0x4b)); }
QColor Theme::orange() const { return pick(QColor(0xff, 0x95, 0x00), QColor(0xff, 0x9f, 0x0a)); }
QColor Theme::yellow() const { return pick(QColor(0xff, 0xcc, 0x00), QColor(0xff, 0xd6, 0x0a)); }
QColor Theme::warningSymbol() const { return pick(QColor(0xb0, 0x70, 0x00), yellow()); }
QColor Theme::activeSymbol() const { return pick(blue(), QColor(0x40, 0x9c, 0xff)); }
QColor Theme::accent() const { return pick(QColor(0x0b, 0x63, 0xce), QColor(0x6a, 0xa8, 0xff)); }
QColor Theme::onAccent() const { return pick(QColor(Qt::white), QColor(0x0a, 0x1f, 0x3d)); }
QColor Theme::successText() const { return pick(QColor(0x15, 0x70, 0x2c), green()); }
QColor Theme::warningText() const { return pick(QColor(0x94, 0x54, 0x00), orange()); }
QColor Theme::errorText() const { return pick(QColor(0xc4, 0x00, 0x1a), QColor(0xff, 0x7b, 0x72)); }
// Without a compositor-side blur, a mostly opaque tint keeps text legible
// over any wallpaper while still letting a little of it through.
QColor Theme::red() const { return pick(QColor(0xff, 0x3b, 0x30), QColor(0xff, 0x45, 0x3a)); }
QColor Theme::windowBackground() const { return pick(QColor(0xec, 0xec, 0xec), QColor(0x32, 0x32, 0x34)); }
QColor Theme::controlBackground() const { return pick(QColor(0xff, 0xff, 0xff), QColor(0x1e, 0x1e, 0x20)); }
QColor Theme::separator() const { return pick(QColor(0, 0, 0, 26), QColor(255, 255, 255, 26)); }
QColor Theme::panelBackground() const { return pick(QColor(236, 236, 240, 235), QColor(38, 38, 42, 235)); }
QColor Theme::regularMaterial() const { return pick(QColor(255, 255, 255, 110), QColor(70, 70, 76, 90)); }
QColor Theme::popoverMaterial() const { return pick(QColor(246, 246, 248, 232), QColor(44, 44, 48, 232)); }

QString Theme::roundedFamily() const
{
    // A rounded face where the desktop has one; the UI font otherwise: the
    // application's, which the language may have chosen (a Japanese face
    // for Japanese), not the desktop's default.
    static const QString rounded = [] {
        const QStringList families = QFontDatabase::families();
        for (const char* candidate : {"Nunito", "Varela Round", "M PLUS Rounded 1c", "Ubuntu"}) {
            if (families.contains(QLatin1String(candidate)))
                return QString::fromLatin1(candidate);
        }
        return QString();
    }();
    return rounded.isEmpty() ? QGuiApplication::font().family() : rounded;
}

bool Theme::systemPrefersDark()
{
    return systemDark;
}

void Theme::setSystemPrefersDark(bool dark)
{
    if (dark == systemDark)
        return;
    systemDark = dark;
    for (const QPointer<Theme>& theme : instances()) {
        if (theme && !theme->pinned_)
            emit theme->appearanceChanged();
    }
}

void Theme::setDefaultReduceMotion(bool reduce)
{
    defaultReduceMotion = reduce;
}

} // namespace kestrune
