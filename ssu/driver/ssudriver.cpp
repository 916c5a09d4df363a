#include "ssu/driver/ssudriver.h"

#include "ssu/driver/deadlinewait.h"

#include <QDateTime>
#include <QFile>
#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>
#include <QSqlResult>
#include <QVector>

#include <mutex>

#include <mysql.h>

namespace {
// The only method the SSU's accounts use. Any other the server asks for is
// refused before an answer is sent: some carry the password in clear
// (mysql_clear_password, dialog) or encrypted with a key the server chose.
const char AllowedAuthentication[] = "mysql_native_password";
constexpr unsigned int BinaryCharset = 63;

void initialiseLibrary()
{
    // Not thread-safe itself, and the first connection may be made on any
    // thread.
    static std::once_flag once;
    std::call_once(once, [] { mysql_library_init(0, nullptr, nullptr); });
}

QDeadlineTimer earlier(const QDeadlineTimer &a, const QDeadlineTimer &b)
{
    return b < a ? b : a;
}

QVariant::Type columnType(const MYSQL_FIELD &field)
{
    const bool isUnsigned = field.flags & UNSIGNED_FLAG;
    switch (field.type) {
    case MYSQL_TYPE_TINY:
    case MYSQL_TYPE_SHORT:
    case MYSQL_TYPE_INT24:
    case MYSQL_TYPE_YEAR:
        return QVariant::Int;
    case MYSQL_TYPE_LONG:
        return isUnsigned ? QVariant::UInt : QVariant::Int;
    case MYSQL_TYPE_LONGLONG:
        return isUnsigned ? QVariant::ULongLong : QVariant::LongLong;
    case MYSQL_TYPE_FLOAT:
    case MYSQL_TYPE_DOUBLE:
    case MYSQL_TYPE_DECIMAL:
    case MYSQL_TYPE_NEWDECIMAL:
        return QVariant::Double;
    case MYSQL_TYPE_DATE:
    case MYSQL_TYPE_NEWDATE:
        return QVariant::Date;
    case MYSQL_TYPE_TIME:
        return QVariant::Time;
    case MYSQL_TYPE_DATETIME:
    case MYSQL_TYPE_TIMESTAMP:
        return QVariant::DateTime;
    case MYSQL_TYPE_TINY_BLOB:
    case MYSQL_TYPE_MEDIUM_BLOB:
    case MYSQL_TYPE_LONG_BLOB:
    case MYSQL_TYPE_BLOB:
    case MYSQL_TYPE_BIT:
    case MYSQL_TYPE_GEOMETRY:
        return field.charsetnr == BinaryCharset ? QVariant::ByteArray : QVariant::String;
    default:
        return QVariant::String;
    }
}

// The text protocol's value of one cell as the column's type. A date the
// server keeps as zero reads as an invalid one.
QVariant cellValue(QVariant::Type type, const char *text, unsigned long length)
{
    if (!text)
        return QVariant(type);
    const QByteArray bytes = QByteArray::fromRawData(text, int(length));
    // A number that is no number is damage, read as unreadable (null) like
    // an over-long value, not as the 0 QByteArray's conversions give.
    bool ok = false;
    QVariant number;
    switch (type) {
    case QVariant::Int:
        number = bytes.toInt(&ok);
        break;
    case QVariant::UInt:
        number = bytes.toUInt(&ok);
        break;
    case QVariant::LongLong:
        number = bytes.toLongLong(&ok);
        break;
    case QVariant::ULongLong:
        number = bytes.toULongLong(&ok);
        break;
    case QVariant::Double:
        number = bytes.toDouble(&ok);
        break;
    default:
        ok = true;
        break;
    }
    if (!ok)
        return QVariant(type);
    if (number.isValid())
        return number;
    switch (type) {
    case QVariant::Date:
        return QDate::fromString(QString::fromLatin1(bytes), Qt::ISODate);
    case QVariant::Time:
        return QTime::fromString(QString::fromLatin1(bytes), Qt::ISODate);
    case QVariant::DateTime: {
        // The column holds a wall-clock time without a zone. Read as the
        // PC's local time, a time inside a daylight-saving gap would not
        // exist; UTC has no gaps and keeps the fields as stored.
        const QString text = QString::fromLatin1(bytes.left(19));
        const QDate day = QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd"));
        const QTime time = QTime::fromString(text.mid(11), QStringLiteral("HH:mm:ss"));
        if (text.size() != 19 || text.at(10) != QLatin1Char(' ') || !day.isValid() || !time.isValid())
            return QDateTime();
        return QDateTime(day, time, Qt::UTC);
    }
    case QVariant::ByteArray:
        return QByteArray(text, int(length));
    default:
        return QString::fromUtf8(text, int(length));
    }
}
} // namespace

// A statement's result, read whole when the statement runs.
class SsuResult : public QSqlResult
{
public:
    explicit SsuResult(const SsuDriver *driver) : QSqlResult(driver) {}
    bool reset(const QString &query) override;
    QSqlError error() const { return lastError(); }

protected:
    bool fetch(int index) override
    {
        if (index < 0 || index >= rows.size())
            return false;
        setAt(index);
        return true;
    }
    bool fetchFirst() override { return fetch(0); }
    bool fetchLast() override { return fetch(rows.size() - 1); }
    QVariant data(int column) override { return rows.value(at()).value(column); }
    bool isNull(int column) override { return rows.value(at()).value(column).isNull(); }
    int size() override { return isSelect() ? rows.size() : -1; }
    int numRowsAffected() override { return int(affected); }
    QVariant lastInsertId() const override { return insertId ? QVariant(insertId) : QVariant(); }
    QSqlRecord record() const override { return columns; }

private:
    SsuDriver *connection() const { return static_cast<SsuDriver *>(const_cast<QSqlDriver *>(driver())); }
    bool readRows(MYSQL *mysql, const QDeadlineTimer &deadline);

    QVector<QVector<QVariant>> rows;
    QSqlRecord columns;
    quint64 affected = 0;
    quint64 insertId = 0;
};

bool SsuResult::reset(const QString &query)
{
    rows.clear();
    columns.clear();
    affected = insertId = 0;
    setAt(QSql::BeforeFirstRow);
    setSelect(false);
    SsuDriver *link = connection();
    MYSQL *mysql = link->mysql;
    if (!link->isOpen() || !mysql) {
        setLastError(QSqlError(QStringLiteral("Not connected"), QString(), QSqlError::ConnectionError));
        return false;
    }
    const QByteArray statement = query.toUtf8();
    const QDeadlineTimer deadline = earlier(QDeadlineTimer(link->policy().statementMs), link->outerDeadline);
    int failed = 0;
    // The answer's head (its column definitions) is bounded as it arrives:
    // the library reads all of it inside this call.
    link->readBound.begin(link->policy().resultHeadBytes, link->policy().maxColumns);
    const bool sent = DeadlineWait::finish(
        mysql, mysql_real_query_start(&failed, mysql, statement.constData(), statement.size()), deadline,
        [&](int events) { return mysql_real_query_cont(&failed, mysql, events); });
    link->readBound.end();
    // Over TLS the bound above sees no answer; the count is checked here too,
    // when the definitions are read but no row yet.
    if (link->readBound.refused() || (sent && !failed && mysql_field_count(mysql) > unsigned(link->policy().maxColumns))) {
        setLastError(QSqlError(QStringLiteral("Result refused"),
                               QStringLiteral("The server announced more than %1 columns or %2 bytes before the rows")
                                   .arg(link->policy().maxColumns)
                                   .arg(link->policy().resultHeadBytes),
                               QSqlError::StatementError));
        link->givenUp = true;
        link->drop();
        return false;
    }
    if (!sent) {
        setLastError(QSqlError(QStringLiteral("The server did not answer in time"), QString(),
                               QSqlError::StatementError));
        link->givenUp = true;
        link->drop();
        return false;
    }
    if (failed) {
        setLastError(QSqlError(QStringLiteral("Statement failed"), QString::fromUtf8(mysql_error(mysql)),
                               QSqlError::StatementError, QString::number(mysql_errno(mysql))));
        // A connection the library itself found broken is of no further use.
        if (mysql_errno(mysql) >= 2000)
            link->drop();
        return false;
    }
    if (mysql_field_count(mysql) == 0) {
        affected = mysql_affected_rows(mysql);
        insertId = mysql_insert_id(mysql);
        setActive(true);
        return true;
    }
    if (!readRows(mysql, deadline)) {
        rows.clear();
        // A result refused or past its deadline: the same statement on a
        // fresh connection would be refused again.
        link->givenUp = mysql_errno(mysql) < 2000;
        link->drop();
        return false;
    }
    setSelect(true);
    setActive(true);
    return true;
}

// Reads the rows as they come, so that a result beyond the bounds is refused
// before it is held, and a stored value longer than its column can be is
// kept as unreadable (null) rather than as it came.
bool SsuResult::readRows(MYSQL *mysql, const QDeadlineTimer &deadline)
{
    MYSQL_RES *result = mysql_use_result(mysql);
    if (!result) {
        setLastError(QSqlError(QStringLiteral("No result"), QString::fromUtf8(mysql_error(mysql)),
                               QSqlError::StatementError, QString::number(mysql_errno(mysql))));
        return false;
    }
    const unsigned int count = mysql_num_fields(result);
    const MYSQL_FIELD *fields = mysql_fetch_fields(result);
    const int width = int(count);
    QVector<QVariant::Type> types(width);
    for (unsigned int i = 0; i < count; ++i) {
        types[int(i)] = columnType(fields[i]);
        QSqlField field(QString::fromUtf8(fields[i].name), types[int(i)], QString::fromUtf8(fields[i].org_table));
        columns.append(field);
    }
    const int limit = connection()->rowLimit();
    const qint64 byteLimit = connection()->policy().resultBytes;
    qint64 bytes = 0;
    QString refusal;
    for (;;) {
        MYSQL_ROW row = nullptr;
        if (!DeadlineWait::finish(mysql, mysql_fetch_row_start(&row, result), deadline,
                                  [&](int events) { return mysql_fetch_row_cont(&row, result, events); })) {
            refusal = QStringLiteral("The server did not send the result in time");
            break;
        }
        if (!row) {
            if (mysql_errno(mysql) != 0)
                refusal = QString::fromUtf8(mysql_error(mysql));
            break;
        }
        if (rows.size() >= limit) {
            refusal = QStringLiteral("The server sent more than %1 rows").arg(limit);
            break;
        }
        const unsigned long *lengths = mysql_fetch_lengths(result);
        QVector<QVariant> values(width);
        for (unsigned int i = 0; i < count; ++i) {
            bytes += qint64(lengths[i]);
            const bool tooLong = fields[i].length > 0 && lengths[i] > fields[i].length;
            values[int(i)] = tooLong ? QVariant(types[int(i)]) : cellValue(types[int(i)], row[i], lengths[i]);
        }
        if (bytes > byteLimit) {
            refusal = QStringLiteral("The server sent more than %1 bytes").arg(byteLimit);
            break;
        }
        rows.append(values);
    }
    // Freeing a result abandoned half-way would read the rest of it first;
    // with the socket cut there is nothing left to read. The caller then
    // drops the connection.
    if (!refusal.isEmpty())
        DeadlineWait::cut(mysql);
    mysql_free_result(result);
    if (refusal.isEmpty())
        return true;
    setLastError(QSqlError(QStringLiteral("Result refused"), refusal, QSqlError::StatementError));
    return false;
}

SsuDriver::SsuDriver(const SsuLinkPolicy &policy, QObject *parent)
    : QSqlDriver(parent)
    , linkPolicy(policy)
{
    initialiseLibrary();
}

SsuDriver::~SsuDriver()
{
    drop();
}

bool SsuDriver::hasFeature(DriverFeature feature) const
{
    switch (feature) {
    case Transactions:
    case QuerySize:
    case LastInsertId:
    case Unicode:
    case BLOB:
        return true;
    default:
        return false;
    }
}

bool SsuDriver::open(const QString &database, const QString &user, const QString &password, const QString &host,
                     int port, const QString &)
{
    givenUp = false;
    drop();
    mysql = mysql_init(nullptr);
    if (!mysql) {
        fail(QStringLiteral("Out of memory"), QSqlError::ConnectionError);
        return false;
    }
    const unsigned int off = 0;
    const my_bool on = 1;
    const unsigned long packet = linkPolicy.maxPacketBytes;
    const QByteArray ca = QFile::encodeName(linkPolicy.caFile);
    bool configured = mysql_options(mysql, MYSQL_OPT_NONBLOCK, nullptr) == 0
        && mysql_options(mysql, MYSQL_OPT_LOCAL_INFILE, &off) == 0
        && mysql_optionsv(mysql, MARIADB_OPT_RESTRICTED_AUTH, AllowedAuthentication) == 0
        && mysql_options(mysql, MYSQL_OPT_MAX_ALLOWED_PACKET, &packet) == 0
        && mysql_options(mysql, MYSQL_SET_CHARSET_NAME, "utf8mb4") == 0;
    if (configured && !linkPolicy.caFile.isEmpty()) {
        configured = mysql_options(mysql, MYSQL_OPT_SSL_CA, ca.constData()) == 0
            && mysql_options(mysql, MYSQL_OPT_SSL_VERIFY_SERVER_CERT, &on) == 0
            && mysql_options(mysql, MYSQL_OPT_SSL_ENFORCE, &on) == 0;
    }
    if (!configured) {
        fail(QStringLiteral("The client library refused the connection's safeguards"), QSqlError::ConnectionError);
        drop();
        return false;
    }
    const QByteArray hostBytes = host.toUtf8(), userBytes = user.toUtf8(), passwordBytes = password.toUtf8(),
                     databaseBytes = database.toUtf8();
    MYSQL *connected = nullptr;
    const bool answered = DeadlineWait::finish(
        mysql,
        mysql_real_connect_start(&connected, mysql, hostBytes.constData(), userBytes.constData(),
                                 passwordBytes.constData(), databaseBytes.isEmpty() ? nullptr : databaseBytes.constData(),
                                 unsigned(port > 0 ? port : 3306), nullptr, 0),
        earlier(QDeadlineTimer(linkPolicy.connectMs), outerDeadline), [&](int events) { return mysql_real_connect_cont(&connected, mysql, events); });
    // The library refuses a server without TLS itself when TLS is enforced;
    // asking again costs nothing and keeps the rule in one place if it ever
    // changes its mind.
    const bool tlsHeld = linkPolicy.caFile.isEmpty() || (connected && mysql_get_ssl_cipher(mysql));
    if (!answered || !connected || !tlsHeld) {
        fail(answered ? QStringLiteral("Connection refused: %1").arg(QString::fromUtf8(mysql_error(mysql)))
                      : QStringLiteral("The server did not accept the connection in time"),
             QSqlError::ConnectionError);
        drop();
        return false;
    }
    readBound.attach(mysql);
    setOpen(true);
    setOpenError(false);
    return true;
}

void SsuDriver::close()
{
    drop();
}

void SsuDriver::drop()
{
    if (mysql) {
        DeadlineWait::cut(mysql);
        mysql_close(mysql);
        mysql = nullptr;
    }
    if (isOpen())
        setOpen(false);
}

void SsuDriver::fail(const QString &text, QSqlError::ErrorType type)
{
    setLastError(QSqlError(text, mysql ? QString::fromUtf8(mysql_error(mysql)) : QString(), type));
    if (type == QSqlError::ConnectionError)
        setOpenError(true);
}

QSqlResult *SsuDriver::createResult() const
{
    return new SsuResult(this);
}

bool SsuDriver::command(const QByteArray &statement)
{
    SsuResult result(this);
    if (result.reset(QString::fromUtf8(statement)))
        return true;
    setLastError(result.error());
    return false;
}

bool SsuDriver::beginTransaction()
{
    return command("START TRANSACTION");
}

bool SsuDriver::commitTransaction()
{
    return command("COMMIT");
}

bool SsuDriver::rollbackTransaction()
{
    return command("ROLLBACK");
}

// Bound values are put into the statement text as literals no server setting
// can make parse differently.
QString SsuDriver::formatValue(const QSqlField &field, bool trimStrings) const
{
    // Qt 5 cannot tell an empty text from a null one once bound, and every
    // text column of the shared table is NOT NULL: a text is the empty one.
    if (field.isNull())
        return field.type() == QVariant::String ? QStringLiteral("''") : QStringLiteral("NULL");
    switch (int(field.type())) {
    case QVariant::String: {
        QByteArray text = field.value().toString().toUtf8();
        if (trimStrings)
            text = text.trimmed();
        // Escaping is only as good as the client's idea of the character set
        // the server parses the statement in: a server that ignores the
        // client's choice (skip-character-set-client-handshake with GBK, say)
        // reads a multi-byte character into the escaping backslash and ends
        // the literal early. Hex digits and quotes mean the same in every
        // character set the server knows, and the introducer says how to read
        // the bytes, whatever the connection's setting.
        if (text.isEmpty())
            return QStringLiteral("''");
        return QStringLiteral("_utf8mb4 X'") + QString::fromLatin1(text.toHex()) + QLatin1Char('\'');
    }
    case QVariant::ByteArray: {
        const QByteArray bytes = field.value().toByteArray();
        return bytes.isEmpty() ? QStringLiteral("''") : QStringLiteral("0x") + QString::fromLatin1(bytes.toHex());
    }
    case QVariant::DateTime: {
        const QDateTime when = field.value().toDateTime();
        return when.isValid() ? QLatin1Char('\'') + when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + QLatin1Char('\'')
                              : QStringLiteral("NULL");
    }
    case QVariant::Date: {
        const QDate day = field.value().toDate();
        return day.isValid() ? QLatin1Char('\'') + day.toString(Qt::ISODate) + QLatin1Char('\'') : QStringLiteral("NULL");
    }
    case QVariant::Bool:
        return field.value().toBool() ? QStringLiteral("1") : QStringLiteral("0");
    default:
        return QSqlDriver::formatValue(field, trimStrings);
    }
}

QString SsuDriver::escapeIdentifier(const QString &identifier, IdentifierType) const
{
    if (identifier.startsWith(QLatin1Char('`')) && identifier.endsWith(QLatin1Char('`')))
        return identifier;
    QString quoted = identifier;
    quoted.replace(QLatin1Char('`'), QLatin1String("``"));
    return QLatin1Char('`') + quoted + QLatin1Char('`');
}
