#include "support/ViewHarness.h"

#include "style/Theme.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFont>
#include <QHash>
#include <QQmlComponent>
#include <QTest>

#include <algorithm>
#include <cmath>

namespace kestrune::test {

ViewHarness::ViewHarness() : engine_(std::make_unique<QQmlEngine>())
{
    engine_->addImportPath(QStringLiteral("qrc:/qt/qml"));
}

ViewHarness::~ViewHarness()
{
    root_.reset();
    ownWindow_.reset();
}

QObject* ViewHarness::load(const QString& qml, QSize size)
{
    QQmlComponent component(engine_.get());
    component.setData(qml.toUtf8(), QUrl(QStringLiteral("qrc:/test/View.qml")));
    std::unique_ptr<QObject> object(component.create());
    if (!object) {
        error_ = component.errorString();
        return nullptr;
    }
    if (auto* window = qobject_cast<QQuickWindow*>(object.get())) {
        window_ = window;
    } else if (auto* item = qobject_cast<QQuickItem*>(object.get())) {
        ownWindow_ = std::make_unique<QQuickWindow>();
        window_ = ownWindow_.get();
        item->setParentItem(window_->contentItem());
        const QSize wanted = size.isValid() ? size : QSize(qCeil(item->width()), qCeil(item->height()));
        window_->resize(wanted);
        if (size.isValid()) {
            item->setWidth(size.width());
            item->setHeight(size.height());
        }
    } else {
        error_ = QStringLiteral("the root object is neither an Item nor a Window");
        return nullptr;
    }
    window_->show();
    if (!QTest::qWaitForWindowExposed(window_))
        error_ = QStringLiteral("the window was never exposed");
    root_ = std::move(object);
    settle();
    return root_.get();
}

QQuickItem* ViewHarness::find(const QString& objectName) const
{
    if (!root_)
        return nullptr;
    if (root_->objectName() == objectName)
        return qobject_cast<QQuickItem*>(root_.get());
    if (auto* item = root_->findChild<QQuickItem*>(objectName))
        return item;
    return window_ ? window_->contentItem()->findChild<QQuickItem*>(objectName) : nullptr;
}

void ViewHarness::click(QQuickItem* item, Qt::MouseButton button)
{
    clickAt(item, QPointF(item->width() / 2, item->height() / 2), button);
}

void ViewHarness::clickAt(QQuickItem* item, QPointF local, Qt::MouseButton button)
{
    const QPoint at = item->mapToScene(local).toPoint();
    QTest::mouseMove(window_, at);
    QTest::mouseClick(window_, button, Qt::NoModifier, at);
    settle();
}

void ViewHarness::hover(QQuickItem* item)
{
    QTest::mouseMove(window_, item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint());
    settle();
}

void ViewHarness::hoverAway()
{
    QTest::mouseMove(window_, QPoint(window_->width() - 1, window_->height() - 1));
    QTest::mouseMove(window_, QPoint(-50, -50));
    settle();
}

void ViewHarness::settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool ViewHarness::waitUntil(const std::function<bool()>& done, int timeoutMs)
{
    return test::waitUntil(done, timeoutMs);
}

bool waitUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

QImage ViewHarness::grab()
{
    settle();
    return window_ ? window_->grabWindow() : QImage();
}

QString ViewHarness::savePng(const QImage& image, const QString& name)
{
    QString dir = qEnvironmentVariable("KESTRUNE_SCREENSHOT_DIR");
    if (dir.isEmpty())
        dir = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(dir);
    const QString path = dir + QLatin1Char('/') + name + QStringLiteral(".png");
    image.save(path);
    return path;
}

QColor pixel(const QImage& image, QPointF at)
{
    const qreal ratio = image.devicePixelRatio();
    return image.pixelColor(qRound(at.x() * ratio), qRound(at.y() * ratio));
}

namespace {
double relativeLuminance(const QColor& c)
{
    auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}
} // namespace

double contrastRatio(const QColor& a, const QColor& b)
{
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

namespace {
double renderedTextContrast(const QImage& image, const QQuickItem* text)
{
    const qreal ratio = image.devicePixelRatio();
    const QRect box = QRectF(text->mapRectToScene(QRectF(0, 0, text->width(), text->height())).topLeft() * ratio,
                             QSizeF(text->width(), text->height()) * ratio)
                          .toAlignedRect()
                          .intersected(image.rect());
    // The background is what the box's edges show most: a symbol's glyph
    // may fill most of its box, but never its edges.
    QHash<QRgb, int> counts;
    for (int x = box.left(); x <= box.right(); ++x) {
        ++counts[image.pixel(x, box.top())];
        ++counts[image.pixel(x, box.bottom())];
    }
    for (int y = box.top() + 1; y < box.bottom(); ++y) {
        ++counts[image.pixel(box.left(), y)];
        ++counts[image.pixel(box.right(), y)];
    }
    QRgb background = 0;
    int most = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > most) {
            most = it.value();
            background = it.key();
        }
    }
    // The text's colour laid over that background: a thin face's
    // anti-aliased strokes never reach it, which is no fault of the colour.
    const QColor ink = text->property("color").value<QColor>();
    const QColor under(background);
    const double a = ink.alphaF();
    const QColor shown = QColor::fromRgbF(float(ink.redF() * a + under.redF() * (1 - a)),
                                          float(ink.greenF() * a + under.greenF() * (1 - a)),
                                          float(ink.blueF() * a + under.blueF() * (1 - a)));
    return contrastRatio(shown, under);
}
} // namespace

namespace {
QQuickItem* focusRingOf(QQuickItem* item)
{
    for (QQuickItem* child : item->childItems()) {
        if (child->objectName() == QLatin1String("focusRing"))
            return child;
        // Into a control's own parts (its background), not into the
        // controls inside it, whose rings are their own.
        if (child->activeFocusOnTab())
            continue;
        if (QQuickItem* ring = focusRingOf(child))
            return ring;
    }
    return nullptr;
}
} // namespace

bool focusRingShown(QQuickItem* control)
{
    QQuickItem* ring = control ? focusRingOf(control) : nullptr;
    return ring && ring->isVisible();
}

QList<QQuickItem*> shownTexts(QQuickItem* root)
{
    QList<QQuickItem*> texts;
    if (!root || !root->isVisible() || root->opacity() < 0.99)
        return texts;
    if (root->inherits("QQuickText") && !root->property("text").toString().trimmed().isEmpty())
        texts << root;
    for (QQuickItem* child : root->childItems())
        texts << shownTexts(child);
    return texts;
}

QString legibilityShortfall(const QImage& image, const QQuickItem* text)
{
    const QRectF box = text->mapRectToScene(QRectF(0, 0, text->width(), text->height()));
    const QRectF shown(QPointF(0, 0), QSizeF(image.size()) / image.devicePixelRatio());
    if (box.isEmpty() || !shown.contains(box))
        return {};
    const QFont font = text->property("font").value<QFont>();
    const bool symbol = font.family() == Theme().symbolFamily();
    // Large text (24 px, or 18.7 px bold) reads at 3:1, as symbols do.
    const bool large = font.pixelSize() >= 24 || (font.pixelSize() >= 19 && font.weight() >= QFont::Bold);
    const double needed = symbol || large ? 3.0 : 4.5;
    const double ratio = renderedTextContrast(image, text);
    if (ratio >= needed)
        return {};
    return QStringLiteral("\"%1\" (%2) at %3:1, needs %4:1")
        .arg(text->property("text").toString().left(40), text->property("color").value<QColor>().name(QColor::HexArgb))
        .arg(ratio, 0, 'f', 2)
        .arg(needed);
}

std::string illegibleTexts(const QImage& image, QQuickItem* root)
{
    QStringList shortfalls;
    for (const QQuickItem* text : shownTexts(root))
        if (const QString shortfall = legibilityShortfall(image, text); !shortfall.isEmpty())
            shortfalls << shortfall;
    return shortfalls.join(QStringLiteral("; ")).toStdString();
}

} // namespace kestrune::test
