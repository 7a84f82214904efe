// main() for view tests: a QApplication on the offscreen platform (unless
// the fixture chose xcb under Xvfb), the software scene graph, and reduced
// motion so that what a test reads or saves is the settled state.

#include "style/Theme.h"

#include <QApplication>
#include <QQuickWindow>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    QApplication app(argc, argv);
    kestrune::Theme::setDefaultReduceMotion(true);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
