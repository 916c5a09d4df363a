#pragma once

#include <QString>

// The program keeps its reports, archive files, logs and settings in the
// current directory. A desktop start has no meaningful current directory, so
// the desktop entry asks for a folder of the user's documents instead.

// "<documents>/RVK Report", after the user's own documents folder setting.
QString documentsWorkingFolder();

// Creates the folder when missing and makes it the current directory. On
// failure the current directory is unchanged and *error says why.
bool enterWorkingFolder(const QString &path, QString *error);
