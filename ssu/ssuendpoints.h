#pragma once

#include <QString>
#include <QUrl>

// Where sessions reach the SSU: the database hosts ("host[:port],..."), the
// CA its certificate must come from (empty: no TLS), the password file's
// address and the CA the web server's certificate must come from (empty:
// the system's store). A session takes the current ones when it is made. They are the
// deployment values unless the process replaced them before making its
// windows: the tests point every window at addresses of their own, so that
// no test can reach, or store into, an SSU answering at the build's
// addresses.
struct SsuEndpoints
{
    QString databaseHosts;
    QString databaseCaFile;
    QUrl passwordUrl;
    QString passwordCaFile;

    static SsuEndpoints deployment();
    static SsuEndpoints current();
    static void replace(const SsuEndpoints &endpoints);
};
