#pragma once

#include <QString>

// The report date ("dd.MM.yyyy HH:mm") that an archive file's name encodes:
// ssu_sn1234_05.03.2024_14.07.bin gives 05.03.2024 14:07.
QString reportDateFromArchiveName(const QString &fileName);
