#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTcpServer>
#include <QUrl>

// What the scenes need around the program: its adapter, the module, the
// password download and a database with a short history.

// Lists the one adapter a user of the virtual bus sees, "virtualcan/can0",
// and opens it on a private port instead, so the pictures show the usual
// name while nothing meets another bus on this machine. With the adapter
// unplugged the list stays but every open fails.
void installGuideAdapter(int port);
void setGuideAdapterPort(int port);
void setGuideAdapterUnplugged(bool unplugged);
// "virtualcan/tcp://127.0.0.1:<port>/can0".
QString privateBus(int port);

// The simulated module as its own process, so that stopping it takes the
// virtual bus it hosts away as a lost link does.
class ModuleProcess
{
public:
    ModuleProcess(const QString &program, const QString &eepromFile);
    ~ModuleProcess();
    // Starts it and waits until it has joined the bus.
    void start(int port, int monitorPeriodMs);
    void stop();

private:
    QString m_program;
    QString m_eepromFile;
    QProcess m_process;
};

// Serves the encrypted database password the program downloads at start.
class PasswordServer : public QObject
{
public:
    explicit PasswordServer(const QByteArray &body);
    QString url() const;

private:
    QTcpServer m_server;
    QByteArray m_body;
};

// Archive files of earlier read-outs of a few modules, made from the
// simulator's built-in EEPROM image with other serial numbers, dates and
// running times, written to the archive folder of the current directory.
void seedArchive();
// The serial numbers of the modules in the pictures.
QList<quint32> guideSerials();

// Removes the rows of the pictures' modules from the database, so the
// search window lists exactly this run's reports. Returns the number of
// other rows left in the table (they appear in the picture too).
int clearGuideRows(const QString &password);

// Stands in for the desktop's URL handler: notes each report the program
// opens instead of starting a browser.
class ReportCatcher : public QObject
{
    Q_OBJECT
public:
    void install();
    QStringList opened;

public slots:
    void openUrl(const QUrl &url) { opened.append(url.toLocalFile()); }
};
