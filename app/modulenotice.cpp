#include "app/modulenotice.h"

#include "station/station.h"

#include <QProgressBar>

ModuleNotice::ModuleNotice(Station *station, const QProgressBar *progress, QWidget *parent)
    : QLabel(parent)
    , progress(progress)
{
    setObjectName(QStringLiteral("label_ModuleNotice"));
    setWordWrap(true);
    setStyleSheet(QStringLiteral("color:red;"));
    hide();
    connect(station, &Station::moduleSilent, this, &ModuleNotice::showSilence);
    connect(station, &Station::commandUnanswered, this, [this] {
        showNotice(tr("Модуль не подтвердил команду. Проверьте адаптер KIVO, кабель и питание модуля RVK."));
    });
}

void ModuleNotice::showSilence(int framesReceived)
{
    if (framesReceived == 0)
        showNotice(tr("Модуль не отвечает. Проверьте адаптер KIVO, кабель и питание модуля RVK."));
    else
        showNotice(tr("Модуль перестал отвечать: прочитано %1 % отчёта. Проверьте адаптер KIVO, кабель и "
                      "питание модуля RVK и прочитайте отчёт ещё раз.")
                       .arg(progress->value()));
}

void ModuleNotice::showNotice(const QString &text)
{
    setText(text);
    show();
}

void ModuleNotice::withdraw()
{
    clear();
    hide();
}
