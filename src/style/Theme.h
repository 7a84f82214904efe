#pragma once
// Theme: the look shared by every view (QML singleton `Theme`). Colours
// follow the system's light or dark appearance; sizes are in points.
// Main thread.
//
// The appearance comes from the desktop (the colour-scheme preference, else
// the palette) through setSystemPrefersDark; a view or a test may pin it
// with `isDark`. `reduceMotion` turns animations into instant changes, for
// users who ask for it and for screenshots of settled states.

#include <QColor>
#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

namespace kestrune {

class Theme : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(bool isDark READ isDark WRITE setIsDark RESET resetIsDark NOTIFY appearanceChanged)
    Q_PROPERTY(bool reduceMotion READ reduceMotion WRITE setReduceMotion NOTIFY reduceMotionChanged)

    // Adaptive system colours.
    Q_PROPERTY(QColor primary READ primary NOTIFY appearanceChanged)
    Q_PROPERTY(QColor secondary READ secondary NOTIFY appearanceChanged)
    Q_PROPERTY(QColor blue READ blue NOTIFY appearanceChanged)
    Q_PROPERTY(QColor green READ green NOTIFY appearanceChanged)
    Q_PROPERTY(QColor orange READ orange NOTIFY appearanceChanged)
    Q_PROPERTY(QColor yellow READ yellow NOTIFY appearanceChanged)
    Q_PROPERTY(QColor red READ red NOTIFY appearanceChanged)
    // Symbols in those colours, where the plain one is too faint to read on
    // the panel: a warning's triangle (yellow on light), an active feature's
    // symbol (blue on dark glass).
    Q_PROPERTY(QColor warningSymbol READ warningSymbol NOTIFY appearanceChanged)
    Q_PROPERTY(QColor activeSymbol READ activeSymbol NOTIFY appearanceChanged)
    // The blue of a window's default button and of blue words, with the
    // label drawn on it: both read at 4.5:1 where `blue` with white does
    // not. Green words ("Permission Granted!") likewise.
    Q_PROPERTY(QColor accent READ accent NOTIFY appearanceChanged)
    Q_PROPERTY(QColor onAccent READ onAccent NOTIFY appearanceChanged)
    Q_PROPERTY(QColor successText READ successText NOTIFY appearanceChanged)
    // Orange and red words (and their symbols) that must be read: a note
    // that something cannot work, an error.
    Q_PROPERTY(QColor warningText READ warningText NOTIFY appearanceChanged)
    Q_PROPERTY(QColor errorText READ errorText NOTIFY appearanceChanged)
    // Opaque window backgrounds: the window's own, and the one behind
    // controls and lists; the hairline between sections.
    Q_PROPERTY(QColor windowBackground READ windowBackground NOTIFY appearanceChanged)
    Q_PROPERTY(QColor controlBackground READ controlBackground NOTIFY appearanceChanged)
    Q_PROPERTY(QColor separator READ separator NOTIFY appearanceChanged)
    // The translucent panel background and the regular material behind cards.
    Q_PROPERTY(QColor panelBackground READ panelBackground NOTIFY appearanceChanged)
    Q_PROPERTY(QColor regularMaterial READ regularMaterial NOTIFY appearanceChanged)
    // The popover material behind the HUDs.
    Q_PROPERTY(QColor popoverMaterial READ popoverMaterial NOTIFY appearanceChanged)

    // Text styles, in points.
    Q_PROPERTY(int titleSize READ titleSize CONSTANT)
    Q_PROPERTY(int title2Size READ title2Size CONSTANT)
    Q_PROPERTY(int title3Size READ title3Size CONSTANT)
    Q_PROPERTY(int subheadlineSize READ subheadlineSize CONSTANT)
    Q_PROPERTY(int calloutSize READ calloutSize CONSTANT)
    Q_PROPERTY(int headlineSize READ headlineSize CONSTANT)
    Q_PROPERTY(int bodySize READ bodySize CONSTANT)
    Q_PROPERTY(int captionSize READ captionSize CONSTANT)
    Q_PROPERTY(int caption2Size READ caption2Size CONSTANT)
    // The family used where a rounded design is asked for, and the symbols.
    Q_PROPERTY(QString roundedFamily READ roundedFamily CONSTANT)
    Q_PROPERTY(QString symbolFamily READ symbolFamily CONSTANT)
    // The weight of a heading set semibold. A face without a weight between
    // regular and bold (the Japanese faces) would show DemiBold as regular,
    // and is only made bolder for Bold: there headings take Bold. Read as
    // a view is made: the interface font is chosen before any view.
    Q_PROPERTY(int headingWeight READ headingWeight CONSTANT)

public:
    explicit Theme(QObject* parent = nullptr);
    ~Theme() override;

    bool isDark() const { return pinned_ ? pinnedDark_ : systemPrefersDark(); }
    void setIsDark(bool dark);
    void resetIsDark();
    bool reduceMotion() const { return reduceMotion_; }
    void setReduceMotion(bool reduce);

    // Milliseconds of an animation, or 0 with reduced motion.
    Q_INVOKABLE int duration(int milliseconds) const { return reduceMotion_ ? 0 : milliseconds; }
    // `color` with its alpha multiplied by `opacity`.
    Q_INVOKABLE QColor alpha(const QColor& color, double opacity) const;

    QColor primary() const;
    QColor secondary() const;
    QColor blue() const;
    QColor green() const;
    QColor orange() const;
    QColor yellow() const;
    QColor warningSymbol() const;
    QColor activeSymbol() const;
    QColor accent() const;
    QColor onAccent() const;
    QColor successText() const;
    QColor warningText() const;
    QColor errorText() const;
    QColor red() const;
    QColor windowBackground() const;
    QColor controlBackground() const;
    QColor separator() const;
    QColor panelBackground() const;
    QColor regularMaterial() const;
    QColor popoverMaterial() const;

    int titleSize() const { return 22; }
    int title2Size() const { return 17; }
    int title3Size() const { return 15; }
    int subheadlineSize() const { return 11; }
    int calloutSize() const { return 12; }
    int headlineSize() const { return 13; }
    int bodySize() const { return 13; }
    int captionSize() const { return 10; }
    int headingWeight() const;
    int caption2Size() const { return 10; }
    QString roundedFamily() const;
    QString symbolFamily() const { return QStringLiteral("Material Icons"); }

    // The desktop's preference, shared by every Theme instance.
    static bool systemPrefersDark();
    static void setSystemPrefersDark(bool dark);
    // Reduced motion for every Theme created afterwards (tests, settings).
    static void setDefaultReduceMotion(bool reduce);

signals:
    void appearanceChanged();
    void reduceMotionChanged();

private:
    QColor pick(QColor light, QColor dark) const { return isDark() ? dark : light; }

    bool pinned_ = false;
    bool pinnedDark_ = false;
    bool reduceMotion_ = false;
};

} // namespace kestrune
