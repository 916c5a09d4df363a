#include "tests/support/testcertificates.h"

#include <QDir>
#include <QFile>
#include <QProcess>

namespace {
const QStringList EcKey = {QStringLiteral("-newkey"), QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                           QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes")};
} // namespace

TestCertificates::TestCertificates()
    : m_dir(QDir::tempPath() + QStringLiteral("/rvkcerts-XXXXXX"))
{
}

QString TestCertificates::certificate(const QString &name) const
{
    return m_dir.filePath(name + QStringLiteral(".pem"));
}

QString TestCertificates::key(const QString &name) const
{
    return m_dir.filePath(name + QStringLiteral(".key"));
}

QString TestCertificates::path(const QString &file) const
{
    return m_dir.filePath(file);
}

bool TestCertificates::openssl(const QStringList &arguments, QString *error)
{
    QProcess process;
    process.setWorkingDirectory(m_dir.path());
    process.start(QStringLiteral("openssl"), arguments);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        *error = QStringLiteral("openssl %1 failed: %2")
                     .arg(arguments.value(0), QString::fromLocal8Bit(process.readAllStandardError()));
        return false;
    }
    return true;
}

bool TestCertificates::makeCa(const QString &name, QString *error)
{
    if (!m_dir.isValid()) {
        *error = QStringLiteral("no temporary folder");
        return false;
    }
    return openssl(QStringList{QStringLiteral("req"), QStringLiteral("-x509")} + EcKey
                       + QStringList{QStringLiteral("-keyout"), key(name), QStringLiteral("-out"), certificate(name),
                                     QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
                                     QStringLiteral("/CN=") + name},
                   error);
}

bool TestCertificates::issue(const QString &ca, const QString &name, const QString &host, QString *error)
{
    // Qt compares the host of the URL with the subject alternative names,
    // and with the common name when there are none; both name the host.
    const QString extensions = path(name + QStringLiteral(".ext"));
    QFile file(extensions);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(QStringLiteral("subjectAltName=IP:%1\n").arg(host).toLatin1()) < 0) {
        *error = QStringLiteral("cannot write ") + extensions;
        return false;
    }
    file.close();
    const QString request = path(name + QStringLiteral(".csr"));
    return openssl(QStringList{QStringLiteral("req")} + EcKey
                       + QStringList{QStringLiteral("-keyout"), key(name), QStringLiteral("-out"), request,
                                     QStringLiteral("-subj"), QStringLiteral("/CN=") + host},
                   error)
        && openssl({QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"), request,
                    QStringLiteral("-CA"), certificate(ca), QStringLiteral("-CAkey"), key(ca),
                    QStringLiteral("-CAcreateserial"), QStringLiteral("-extfile"), extensions,
                    QStringLiteral("-out"), certificate(name), QStringLiteral("-days"), QStringLiteral("2")},
                   error);
}
