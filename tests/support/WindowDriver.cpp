#include "support/WindowDriver.h"

#include "support/ViewHarness.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QTest>

namespace kestrune::test {

QList<QQuickItem*> itemsNamed(QQuickItem* root, const QString& name)
{
    QList<QQuickItem*> found;
    if (!root)
        return found;
    if (root->objectName() == name)
        found.append(root);
    for (QQuickItem* child : root->childItems())
        found += itemsNamed(child, name);
    return found;
}

QStringList textsUnder(QQuickItem* root)
{
    QStringList texts;
    if (!root)
        return texts;
    if (root->isVisible()) {
        const QVariant text = root->property("text");
        if (text.isValid() && !text.toString().isEmpty())
            texts.append(text.toString());
        for (QQuickItem* child : root->childItems())
            texts += textsUnder(child);
    }
    return texts;
}

QQuickItem* WindowDriver::find(const QString& objectName) const
{
    if (!window_)
        return nullptr;
    const QList<QQuickItem*> all = itemsNamed(window_->contentItem(), objectName);
    for (QQuickItem* item : all)
        if (item->isVisible())
            return item;
    return all.isEmpty() ? nullptr : all.first();
}

QQuickItem* WindowDriver::findVisible(const QString& objectName) const
{
    QQuickItem* item = find(objectName);
    return item && item->isVisible() ? item : nullptr;
}

void WindowDriver::settle()
{
    if (!window_)
        return;
    window_->grabWindow();
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    // Items a view let go of (list delegates, a closed window) are deleted
    // later; a test's own loop never reaches the point where that happens.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void WindowDriver::click(QQuickItem* item)
{
    if (!item)
        return;
    settle();
    const QPoint at = item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint();
    QTest::mouseMove(window_, at);
    QTest::mouseClick(window_, Qt::LeftButton, Qt::NoModifier, at);
    settle();
}

void WindowDriver::doubleClick(QQuickItem* item)
{
    if (!item)
        return;
    settle();
    const QPoint at = item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint();
    QTest::mouseDClick(window_, Qt::LeftButton, Qt::NoModifier, at);
    settle();
}

void WindowDriver::key(int qtKey, quint32 evdevCode, Qt::KeyboardModifiers modifiers, const QString& text)
{
    const quint32 scanCode = evdevCode ? evdevCode + 8 : 0;
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent event(type, qtKey, modifiers, scanCode, 0, 0, text);
        QGuiApplication::sendEvent(window_, &event);
    }
    settle();
}

void WindowDriver::typeText(const QString& text)
{
    for (QChar c : text) {
        const int qtKey = c.isLetter() ? Qt::Key_A + (c.toUpper().unicode() - 'A') : c.unicode();
        for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent event(type, qtKey, Qt::NoModifier, QString(c));
            QGuiApplication::sendEvent(window_, &event);
        }
    }
    settle();
}

QImage WindowDriver::grab()
{
    settle();
    return window_ ? window_->grabWindow() : QImage();
}

QString WindowDriver::save(const QString& name)
{
    ViewHarness saver;
    return saver.savePng(grab(), name);
}

std::string WindowDriver::illegibleTexts()
{
    settle();
    return kestrune::test::illegibleTexts(grab(), window_->contentItem());
}

} // namespace kestrune::test
