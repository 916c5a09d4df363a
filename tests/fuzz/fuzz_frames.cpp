// Arbitrary sequences of received frame records through the real window's
// dispatch: any identifier, flag and length, report and monitor frames too.
#include "app/mainwindow.h"
#include "station/station.h"
#include "tests/fuzz/fuzzsupport.h"
#include "tests/support/fakektxdriver.h"

#include <QDir>
#include <QMetaObject>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::ensureApplication();
    static FakeKtxDriver *driver = FakeKtxDriver::install();
    static MainWindow *window = new MainWindow;
    for (size_t offset = 0; offset + 12 <= size; offset += 12) {
        CanMessage message = CanMessage::fromBytes(QByteArray(reinterpret_cast<const char *>(data) + offset, 12));
        // Keep to the module's identifiers most of the time so the fuzzer
        // reaches the report and monitor paths.
        if (message.id & 0x8000)
            message.id = quint16(0x7A0 + (message.id & 0xF));
        driver->receive(message);
        window->station()->dispatchPendingFrames();
    }
    driver->written.clear();
    driver->calls.clear();
    fuzz::processEvents();
    // Completed read-outs leave a document and an archive file each; left to
    // pile up they would slow every later listing of the folders.
    QDir(QStringLiteral("Reports")).removeRecursively();
    QDir(QStringLiteral("ssu")).removeRecursively();
    return 0;
}
