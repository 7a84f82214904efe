#pragma once
// The QML face of a process-wide manager: QML_SINGLETON types hand the
// engine the instance the composition root created, and keep it theirs.

#include <QJSEngine>
#include <QQmlEngine>

namespace kestrune {

template <typename T>
T* qmlSharedInstance(QJSEngine* engine)
{
    T* instance = T::shared();
    Q_ASSERT_X(instance, "qmlSharedInstance", "the composition root sets the shared instance before QML loads");
    if (instance) {
        QJSEngine::setObjectOwnership(instance, QJSEngine::CppOwnership);
        Q_UNUSED(engine);
    }
    return instance;
}

} // namespace kestrune
