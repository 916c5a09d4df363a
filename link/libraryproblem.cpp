#include "link/libraryproblem.h"

#include "link/win/dynamiclibrary.h"

#include <QCoreApplication>

namespace {
// The texts' translation context, in a form lupdate can read.
class AdapterLibraries
{
    Q_DECLARE_TR_FUNCTIONS(AdapterLibraries)
};

QString entryText(const LibraryFailure &failure)
{
    if (failure.ordinal != 0)
        return QStringLiteral("#%1").arg(failure.ordinal);
    return QString::fromStdString(failure.entryName);
}
} // namespace

QString libraryProblemTitle()
{
    return AdapterLibraries::tr("Внимание");
}

QString libraryProblemText(AdapterLibrary library, const LibraryFailure &failure)
{
    const QString file = QString::fromStdWString(failure.library);
    const QString error = QString::number(failure.windowsError);
    const bool lacksEntry = failure.kind == LibraryFailure::Kind::EntryMissing;
    if (library == AdapterLibrary::Driver) {
#ifndef RVK_QT_CANBUS
        // A build without Qt's CAN module has nothing to offer instead.
        if (lacksEntry)
            return AdapterLibraries::tr("В библиотеке драйвера адаптера %1 нет функции %2 (ошибка Windows %3). "
                                        "Адаптер KIVO недоступен.")
                .arg(file, entryText(failure), error);
        return AdapterLibraries::tr("Библиотека драйвера адаптера %1 не загружена (ошибка Windows %2). "
                                    "Адаптер KIVO недоступен.")
            .arg(file, error);
#endif
        if (lacksEntry)
            return AdapterLibraries::tr("В библиотеке драйвера адаптера %1 нет функции %2 (ошибка Windows %3). "
                                        "Адаптер KIVO недоступен; в списке адаптеров показаны CAN-интерфейсы Qt.")
                .arg(file, entryText(failure), error);
        return AdapterLibraries::tr("Библиотека драйвера адаптера %1 не загружена (ошибка Windows %2). "
                                    "Адаптер KIVO недоступен; в списке адаптеров показаны CAN-интерфейсы Qt.")
            .arg(file, error);
    }
    if (lacksEntry)
        return AdapterLibraries::tr("В библиотеке FTDI %1 нет функции %2 (ошибка Windows %3). "
                                    "Список адаптеров не заполняется; канал открывается на адаптере, "
                                    "выбранном последним.")
            .arg(file, entryText(failure), error);
    return AdapterLibraries::tr("Библиотека FTDI %1 не загружена (ошибка Windows %2). "
                                "Список адаптеров не заполняется; канал открывается на адаптере, "
                                "выбранном последним.")
        .arg(file, error);
}
