#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// Points the scanner library at its "test" backend, which produces pictures without any
// hardware, through a private configuration folder. Must run before the library is first used
// in the process (it reads its configuration once). The pictures are colour test patterns at
// 25 dpi of 80 x 100 mm (78 x 98 pixels), read in small, slightly delayed pieces so that a
// scan takes a moment and can be stopped half-way.
inline bool useSaneTestBackend() {
    static QTemporaryDir dir;
    static bool ready = false;
    if (ready) {
        return true;
    }
    if (!dir.isValid()) {
        return false;
    }
    auto write = [&](const char* name, const QByteArray& text) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
    };
    ready = write("dll.conf", "test\n") && write("test.conf", "number_of_devices 2\n"
                                                              "mode Color\n"
                                                              "depth 8\n"
                                                              "resolution 25.0\n"
                                                              "test-picture \"Color pattern\"\n"
                                                              "read-limit true\n"
                                                              "read-limit-size 512\n"
                                                              "read-delay true\n"
                                                              "read-delay-duration 3000\n"
                                                              "br_x 80.0\n"
                                                              "br_y 100.0\n");
    qputenv("SANE_CONFIG_DIR", dir.path().toLocal8Bit());
    return ready;
}
