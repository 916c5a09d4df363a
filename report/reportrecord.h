#pragma once

#include <QByteArray>
#include <QtGlobal>

// Word i of the record, little-endian; 0 when the record is too short.
qint32 readReportWord(const QByteArray &record, int index);
