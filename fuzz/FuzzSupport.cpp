#include "FuzzSupport.h"

#include <QGuiApplication>

void ensureFuzzApplication() {
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    (void)app;
}

FuzzInput::FuzzInput(const std::uint8_t* data, std::size_t size)
    : bytes_(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size))),
      buffer_(&bytes_) {
    buffer_.open(QIODevice::ReadOnly);
}
