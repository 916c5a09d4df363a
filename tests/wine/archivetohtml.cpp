// rvk-archive-to-html: the document the Linux build writes for the report in
// an archive file, so the end-to-end run under Wine can compare the Windows
// program's document with it byte for byte. The read-out time comes from the
// file's name, as the uploader takes it; the language is the window's (0
// Russian, 1 English), Russian unless --lang en says otherwise.
//
//     rvk-archive-to-html [--lang en] <ssu_sn<N>_<dd.MM.yyyy>_<HH.mm>.bin> <document.html>

#include "protocol/archivefile.h"
#include "protocol/language.h"
#include "report/htmlreport.h"
#include "report/reportrecord.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QStringList arguments = application.arguments();
    int language = 0;
    if (arguments.size() == 5 && arguments[1] == QLatin1String("--lang") && arguments[2] == QLatin1String("en")) {
        language = 1;
        arguments = arguments.mid(0, 1) + arguments.mid(3);
    }
    if (language == 1 && !Language::install(Language::english())) {
        std::fprintf(stderr, "rvk-archive-to-html: the English translation beside the program cannot be loaded\n");
        return 1;
    }
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: rvk-archive-to-html [--lang en] <archive file> <document.html>\n");
        return 2;
    }
    const QRegularExpressionMatch name = QRegularExpression(QStringLiteral(R"(_(\d\d\.\d\d\.\d{4})_(\d\d)\.(\d\d)\.bin$)"))
                                             .match(QFileInfo(arguments[1]).fileName());
    QByteArray record;
    if (!name.hasMatch() || !ArchiveFile::read(arguments[1], &record)) {
        std::fprintf(stderr, "rvk-archive-to-html: %s is no archive file\n", qPrintable(arguments[1]));
        return 1;
    }
    ReportValues values = decodeReport(record);
    values.date = name.captured(1) + QLatin1Char(' ') + name.captured(2) + QLatin1Char(':') + name.captured(3);
    QString error;
    if (!writeHtmlReportFile(arguments[2], values, language, &error)) {
        std::fprintf(stderr, "rvk-archive-to-html: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
