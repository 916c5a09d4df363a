#include "tests/support/tlsdatabaseserver.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QThread>

#include <unistd.h>

TlsDatabaseServer::TlsDatabaseServer(const QString &host, const QString &certificateName)
    : m_host(host)
    , m_certificateName(certificateName.isEmpty() ? host : certificateName)
    , m_dir(QDir::tempPath() + QStringLiteral("/rvktls-XXXXXX"))
{
}

TlsDatabaseServer::~TlsDatabaseServer()
{
    if (m_server.state() != QProcess::NotRunning) {
        m_server.terminate();
        if (!m_server.waitForFinished(30000))
            m_server.kill();
        m_server.waitForFinished(5000);
    }
}

QString TlsDatabaseServer::caFile() const
{
    return m_dir.filePath(QStringLiteral("ca.pem"));
}

QString TlsDatabaseServer::otherCaFile() const
{
    return m_dir.filePath(QStringLiteral("other-ca.pem"));
}

bool TlsDatabaseServer::run(const QString &program, const QStringList &arguments, QString *error,
                            const QByteArray &input)
{
    QProcess process;
    process.setWorkingDirectory(m_dir.path());
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        *error = program + QStringLiteral(" failed: ") + QString::fromLocal8Bit(process.readAllStandardError());
        return false;
    }
    return true;
}

bool TlsDatabaseServer::start(QString *error)
{
    if (!m_dir.isValid()) {
        *error = QStringLiteral("no temporary folder");
        return false;
    }
    const QString openssl = QStringLiteral("openssl");
    const QStringList ecKey = {QStringLiteral("-newkey"), QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                               QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes")};
    auto makeCa = [&](const QString &name, const QString &subject) {
        return run(openssl,
                   QStringList{QStringLiteral("req"), QStringLiteral("-x509")} + ecKey
                       + QStringList{QStringLiteral("-keyout"), name + QStringLiteral(".key"), QStringLiteral("-out"),
                                     name + QStringLiteral(".pem"), QStringLiteral("-days"), QStringLiteral("2"),
                                     QStringLiteral("-subj"), subject},
                   error);
    };
    if (!makeCa(QStringLiteral("ca"), QStringLiteral("/CN=RVK test CA"))
        || !makeCa(QStringLiteral("other-ca"), QStringLiteral("/CN=Another test CA"))
        || !run(openssl,
                QStringList{QStringLiteral("req")} + ecKey
                    + QStringList{QStringLiteral("-keyout"), QStringLiteral("server.key"), QStringLiteral("-out"),
                                  QStringLiteral("server.csr"), QStringLiteral("-subj"), QStringLiteral("/CN=") + m_certificateName},
                error)
        || !run(openssl,
                {QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"), QStringLiteral("server.csr"),
                 QStringLiteral("-CA"), QStringLiteral("ca.pem"), QStringLiteral("-CAkey"), QStringLiteral("ca.key"),
                 QStringLiteral("-CAcreateserial"), QStringLiteral("-out"), QStringLiteral("server.pem"),
                 QStringLiteral("-days"), QStringLiteral("2")},
                error))
        return false;

    const QString data = m_dir.filePath(QStringLiteral("data"));
    const QString socket = m_dir.filePath(QStringLiteral("mysqld.sock"));
    QStringList user;
    if (::geteuid() == 0)
        user << QStringLiteral("--user=root");
    if (!run(QStringLiteral("mariadb-install-db"),
             QStringList{QStringLiteral("--no-defaults"), QStringLiteral("--datadir=") + data,
                         QStringLiteral("--auth-root-authentication-method=normal"), QStringLiteral("--skip-test-db")}
                 + user,
             error))
        return false;

    // A free port: asked of the system, then given to the server. Another
    // program could take it in between; the start then fails visibly.
    {
        QTcpServer probe;
        if (!probe.listen(QHostAddress(m_host), 0)) {
            *error = QStringLiteral("no free port on ") + m_host;
            return false;
        }
        m_port = probe.serverPort();
    }
    m_server.setWorkingDirectory(m_dir.path());
    m_server.setStandardOutputFile(m_dir.filePath(QStringLiteral("server.out")));
    m_server.setStandardErrorFile(m_dir.filePath(QStringLiteral("server.out")), QIODevice::Append);
    m_server.start(QStringLiteral("mariadbd"),
                   QStringList{QStringLiteral("--no-defaults"), QStringLiteral("--datadir=") + data,
                               QStringLiteral("--bind-address=") + m_host,
                               QStringLiteral("--port=") + QString::number(m_port),
                               QStringLiteral("--socket=") + socket,
                               QStringLiteral("--pid-file=") + m_dir.filePath(QStringLiteral("mysqld.pid")),
                               QStringLiteral("--log-error=") + m_dir.filePath(QStringLiteral("error.log")),
                               QStringLiteral("--skip-name-resolve"), QStringLiteral("--innodb-buffer-pool-size=16M"),
                               QStringLiteral("--innodb-log-file-size=16M"),
                               QStringLiteral("--ssl-ca=") + caFile(),
                               QStringLiteral("--ssl-cert=") + m_dir.filePath(QStringLiteral("server.pem")),
                               QStringLiteral("--ssl-key=") + m_dir.filePath(QStringLiteral("server.key"))}
                       + user);
    // The password the other database tests use (scripts/test-db).
    const QString password = qEnvironmentVariable("RVK_TEST_DB_PASSWORD", QStringLiteral("rvk-test-password"));
    const QByteArray setup = QStringLiteral("CREATE DATABASE IF NOT EXISTS RVKSSUdb;\n"
                                            "CREATE USER 'RVKuser'@'%' IDENTIFIED BY '%1';\n"
                                            "GRANT SELECT, INSERT, DELETE, CREATE ON RVKSSUdb.* TO 'RVKuser'@'%';\n")
                                 .arg(password)
                                 .toUtf8();
    QElapsedTimer clock;
    clock.start();
    QString lastError;
    while (clock.elapsed() < 30000 && m_server.state() != QProcess::NotRunning) {
        if (run(QStringLiteral("mariadb"),
                {QStringLiteral("--no-defaults"), QStringLiteral("--socket=") + socket, QStringLiteral("-uroot")},
                &lastError, setup))
            return true;
        QThread::msleep(100);
    }
    *error = QStringLiteral("the TLS server did not start (see %1): %2")
                 .arg(m_dir.filePath(QStringLiteral("error.log")), lastError);
    m_dir.setAutoRemove(false);
    return false;
}
