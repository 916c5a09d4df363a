#include "tests/fuzz/fuzzsupport.h"

#include "tests/support/testmain.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

namespace fuzz {

namespace {
void closeModalBoxes()
{
    QWidget *widget = QApplication::activeModalWidget();
    if (auto *dialog = qobject_cast<QDialog *>(widget))
        dialog->reject();
    else if (widget)
        widget->close();
}
} // namespace

void ensureApplication()
{
    static QApplication *application = nullptr;
    if (application)
        return;
    rvktest::prepareEnvironment();
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    application = new QApplication(argc, argv);
    rvktest::prepareApplication();
    // Read-outs write a document and an archive file through save files that
    // sync to disk; a memory-backed folder keeps that off the run rate.
    if (QDir(QStringLiteral("/dev/shm")).exists()) {
        static QTemporaryDir work(QStringLiteral("/dev/shm/rvkfuzz-XXXXXX"));
        if (work.isValid())
            QDir::setCurrent(work.path());
    }
    auto *closer = new QTimer(application);
    QObject::connect(closer, &QTimer::timeout, closeModalBoxes);
    closer->start(0);
}

void processEvents()
{
    // One pass over what is pending: the poll and box-closing timers are
    // always due, so a pass bounded by time would always use all of it.
    QApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace fuzz
