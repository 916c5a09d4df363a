#include "tools/rvk-guide-shots/stagehands.h"

#include "link/canbusd2xx.h"
#include "link/canbusdriver.h"
#include "link/d2xxfunctions.h"
#include "link/ktxcanfunctions.h"
#include "protocol/archivefile.h"
#include "ssu/driver/databasehosts.h"
#include "ssu/reportschema.h"
#include "ssu/ssuendpoints.h"
#include "tools/rvk-guide-shots/driving.h"
#include "tools/rvk-module-sim/eepromimage.h"

#include <QDate>
#include <QDesktopServices>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTcpSocket>

namespace {
const char *const shownBus = "virtualcan/can0";

class GuideDriver : public CanBusDriver
{
public:
    qint32 open(const char *description, quint32 *out1, quint32 *out2, qint32 arg1, qint32 arg2) override
    {
        if (unplugged)
            return 1;
        const QByteArray bus = QLatin1String(description) == QLatin1String(shownBus)
                                   ? privateBus(port).toLatin1()
                                   : QByteArray(description);
        return CanBusDriver::open(bus.constData(), out1, out2, arg1, arg2);
    }

    int port = 0;
    bool unplugged = false;
};

GuideDriver *guideDriver = nullptr;
} // namespace

QString privateBus(int port)
{
    return QStringLiteral("virtualcan/tcp://127.0.0.1:%1/can0").arg(port);
}

void installGuideAdapter(int port)
{
    auto driver = std::make_unique<GuideDriver>();
    guideDriver = driver.get();
    guideDriver->port = port;
    installKtxDriver(std::move(driver));
    installD2xx(std::make_unique<CanBusD2xx>([] { return QStringList{QLatin1String(shownBus)}; }));
}

void setGuideAdapterPort(int port)
{
    guideDriver->port = port;
}

void setGuideAdapterUnplugged(bool unplugged)
{
    guideDriver->unplugged = unplugged;
}

ModuleProcess::ModuleProcess(const QString &program, const QString &eepromFile)
    : m_program(program)
    , m_eepromFile(eepromFile)
{
    m_process.setProcessChannelMode(QProcess::MergedChannels);
}

ModuleProcess::~ModuleProcess()
{
    stop();
}

void ModuleProcess::start(int port, int monitorPeriodMs)
{
    QByteArray output;
    m_process.start(m_program, {QStringLiteral("--bus"), privateBus(port), QStringLiteral("--eeprom"), m_eepromFile,
                                QStringLiteral("--monitor-period"), QString::number(monitorPeriodMs)});
    waitUntil(
        [&] {
            output += m_process.readAll();
            if (m_process.state() == QProcess::NotRunning)
                throw SceneFailure(QStringLiteral("the simulated module did not start: %1 %2")
                                       .arg(m_process.errorString(), QString::fromLocal8Bit(output)));
            return output.contains("joined");
        },
        QStringLiteral("the simulated module has joined the bus"), 10000);
    // Its log is not needed; an unread pipe must not fill up.
    QObject::connect(&m_process, &QProcess::readyRead, &m_process, [this] { m_process.readAll(); });
}

void ModuleProcess::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000))
        m_process.kill();
    m_process.waitForFinished(2000);
    QObject::disconnect(&m_process, &QProcess::readyRead, nullptr, nullptr);
}

PasswordServer::PasswordServer(const QByteArray &body)
    : m_body(body)
{
    if (!m_server.listen(QHostAddress::LocalHost))
        throw SceneFailure(QStringLiteral("cannot serve the password file: %1").arg(m_server.errorString()));
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            // One request, one answer: the program asks for nothing else.
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                if (!socket->readAll().contains("\r\n\r\n"))
                    return;
                socket->write("HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: "
                              + QByteArray::number(m_body.size()) + "\r\n\r\n" + m_body);
                socket->disconnectFromHost();
            });
        }
    });
}

QString PasswordServer::url() const
{
    return QStringLiteral("http://127.0.0.1:%1/downloads/ssu.pas").arg(m_server.serverPort());
}

namespace {
struct Readout
{
    quint32 serial;
    quint32 releaseDate;
    quint32 firmware;
    double totalHours;
    double repairHours;
    quint32 impacts;
    quint32 irtImpacts;
    int daysAgo;
    const char *time;
};

// Module 10457's earlier visits lead up to the built-in image (342:56 in
// total, 52:02 since the repair made between the last two): its history
// and the comparison after the guide's read-out follow on from them.
const Readout earlierReadouts[] = {
    {10457, 15032024, 317, 120.0, 120.0, 6, 6, 240, "11:05"},
    {10457, 15032024, 322, 205.5, 205.5, 10, 10, 150, "08:40"},
    {10457, 15032024, 322, 260.0, 260.0, 12, 12, 100, "15:20"},
    {10457, 15032024, 322, 298.2, 7.3, 14, 0, 62, "09:12"},
    {10458, 20032024, 322, 512.7, 120.1, 21, 4, 41, "14:31"},
    {10391, 11122023, 317, 1204.3, 0.6, 48, 0, 27, "10:02"},
    {10612, 3062025, 322, 48.3, 48.3, 1, 1, 9, "16:47"},
};

// The histogram bins follow their section's time, so the shares stay those
// of the built-in image.
void scaleSection(EepromImage &image, int sectionWord, quint32 seconds)
{
    const double scale = double(seconds) / image.word(sectionWord);
    for (int bin = sectionWord + 1; bin <= sectionWord + 32; ++bin)
        image.setWord(bin, quint32(image.word(bin) * scale));
    image.setWord(sectionWord, seconds);
}
} // namespace

void seedArchive()
{
    for (const Readout &readout : earlierReadouts) {
        EepromImage image = EepromImage::builtIn();
        scaleSection(image, WordTotalTime, quint32(readout.totalHours * 3600));
        scaleSection(image, WordRepairTime, quint32(readout.repairHours * 3600));
        image.setWord(WordImpacts, readout.impacts);
        image.setWord(WordIrtImpacts, readout.irtImpacts);
        image.setWord(WordSerialNumber, readout.serial);
        image.setWord(WordReleaseDate, readout.releaseDate);
        image.setWord(WordFirmwareVersion, readout.firmware);
        const QString when = QDate::currentDate().addDays(-readout.daysAgo).toString(QStringLiteral("dd.MM.yyyy"))
                             + QLatin1Char(' ') + QLatin1String(readout.time);
        QString error;
        if (!ArchiveFile::write(ArchiveFile::path(readout.serial, when), image.bytes(), &error))
            throw SceneFailure(QStringLiteral("cannot write an archive file: %1").arg(error));
    }
}

QList<quint32> guideSerials()
{
    QList<quint32> serials{EepromImage::builtIn().word(WordSerialNumber)};
    for (const Readout &readout : earlierReadouts)
        serials.append(readout.serial);
    return serials;
}

int clearGuideRows(const QString &password)
{
    int others = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QMYSQL"), QStringLiteral("rvk-guide-shots"));
        const DatabaseHost host = parseDatabaseHosts(SsuEndpoints::current().databaseHosts, 3666).value(0);
        db.setHostName(host.name);
        db.setPort(host.port);
        db.setDatabaseName(QStringLiteral("RVKSSUdb"));
        db.setUserName(QStringLiteral("RVKuser"));
        db.setPassword(password);
        if (!db.open())
            throw SceneFailure(QStringLiteral("no database on %1:%2 (start it with scripts/test-db start)")
                                   .arg(host.name)
                                   .arg(host.port));
        QSqlQuery query(db);
        query.exec(createReportTableStatement());
        for (quint32 serial : guideSerials()) {
            query.prepare(QStringLiteral("DELETE FROM rvkreport WHERE sn = ?"));
            query.addBindValue(serial);
            if (!query.exec())
                throw SceneFailure(QStringLiteral("cannot remove earlier rows of %1").arg(serial));
        }
        if (query.exec(QStringLiteral("SELECT COUNT(*) FROM rvkreport")) && query.next())
            others = query.value(0).toInt();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("rvk-guide-shots"));
    return others;
}

void ReportCatcher::install()
{
    QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openUrl");
}
