#include "ScreenDepth.h"

#include <QGuiApplication>
#include <QScreen>

int ScreenBitsPerPixel() {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        return 24;
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->depth() : 24;
}
