// Arbitrary monitor text through the sensor values parser.
#include "diagnostics/verificationdialog.h"
#include "tests/fuzz/fuzzsupport.h"

#include <QString>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::ensureApplication();
    static VerificationDialog dialog;
    dialog.parseMonitorText(QString::fromUtf8(reinterpret_cast<const char *>(data), int(size)));
    return 0;
}
