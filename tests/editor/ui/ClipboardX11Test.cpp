#include "editor/ui/ClipboardTransfer.h"
#include "editor/ui/TDIBMainForm.h"
#include "image/ImageDocument.h"

#include "foundation/grafikrw3/grafikrw3.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QProcess>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

// A picture another program put on the clipboard (a 32-bit top-down bitmap with bit fields)
// arrives with its colours. Needs a real display, where the clipboard is shared; CTest runs it
// under Xvfb.
TEST(ClipboardX11, PictureFromASecondProgram) {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        GTEST_SKIP() << "needs an X display (run under xvfb-run)";
    }
    QProcess owner;
    owner.start(QStringLiteral(CLIPBOARD_OWNER_PATH), {});
    ASSERT_TRUE(owner.waitForStarted(10000));
    ASSERT_TRUE(owner.waitForReadyRead(20000));
    ASSERT_TRUE(owner.readAll().startsWith("ready"));
    const QClipboard* clipboard = QGuiApplication::clipboard();
    QTRY_VERIFY_WITH_TIMEOUT(clipboardio::hasPicture(clipboard->mimeData()), 10000);
    // "Als neues Bild" of the editor window.
    TDIBMainForm form;
    QTRY_VERIFY_WITH_TIMEOUT(form.PasteSpeedBtn->isEnabled(), 10000);
    form.AlsBild1Click();
    const OwnedDib& picture = form.doc().di;
    ASSERT_EQ(DIBBitCount(picture.get()), 24);
    ASSERT_EQ(DIBWidth(picture.get()), 6);
    ASSERT_EQ(DIBHeight(picture.get()), 4);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            EXPECT_EQ(grafikrw3::getpixel(picture.get(), x, y), std::uint32_t(x * 40) |
                                                                    std::uint32_t(y * 60) << 8 |
                                                                    std::uint32_t(x + y) << 16);
        }
    }
    owner.terminate();
    owner.waitForFinished(5000);
}

} // namespace
