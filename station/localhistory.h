#pragma once

#include "report/reportrecord.h"

#include <QByteArray>
#include <QString>

// The station's own copy of the last whole report of each module it read,
// in the working folder's "History" folder: what a read-out is compared with
// when the SSU cannot be asked. One small file per serial number holds the
// read-out time and the record verbatim, so nothing but this station's own
// read-outs ever lands there.
class LocalHistory
{
public:
    explicit LocalHistory(const QString &folder = QStringLiteral("History"));

    // The module's last report read here into values; false when there is
    // none or its file is unreadable.
    bool latest(quint32 sn, ReportValues *values) const;
    // Keeps the record as the module's last report; false with the reason
    // when the file cannot be written.
    bool remember(quint32 sn, const QByteArray &record, const QString &time, QString *error = nullptr) const;

    QString pathOf(quint32 sn) const;

private:
    QString folder;
};
