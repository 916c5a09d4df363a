#include "ssu/rowcounter.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

class RowCounter::Worker : public QObject
{
    Q_OBJECT
public:
    explicit Worker(const QString &name) : name(name) {}

public slots:
    void count(int number, const QString &source, const QString &statement)
    {
        // The connection is kept between searches, and the server may have
        // dropped it meanwhile (idle limit, restart, another cluster node
        // taking over): a failed count is tried once more on a fresh one.
        int rows = countOn(source, statement);
        if (rows < 0) {
            drop();
            rows = countOn(source, statement);
        }
        if (rows < 0)
            drop();
        emit counted(number, rows);
    }

    // A connection belongs to the thread that made it, so it goes here too.
    void release() { drop(); }

signals:
    void counted(int number, int rows);

private:
    int countOn(const QString &source, const QString &statement)
    {
        QSqlDatabase db = connection(source);
        QSqlQuery query(db);
        if (db.isOpen() && query.exec(statement) && query.next())
            return query.value(0).toInt();
        return -1;
    }

    void drop()
    {
        if (QSqlDatabase::contains(name)) {
            QSqlDatabase::database(name, false).close();
            QSqlDatabase::removeDatabase(name);
        }
    }

    QSqlDatabase connection(const QString &source)
    {
        if (QSqlDatabase::contains(name)) {
            QSqlDatabase db = QSqlDatabase::database(name, false);
            if (db.isOpen())
                return db;
            QSqlDatabase::removeDatabase(name);
        }
        // The program's connection may have got its password after it was
        // first added; a clone made now carries the current one.
        QSqlDatabase db = QSqlDatabase::cloneDatabase(source, name);
        db.open();
        return db;
    }

    const QString name;
};

RowCounter::RowCounter(QObject *parent)
    : QObject(parent)
{
    worker = new Worker(QStringLiteral("RVKReport-count-%1").arg(quintptr(this), 0, 16));
    worker->moveToThread(&thread);
    connect(worker, &Worker::counted, this, &RowCounter::counted);
    connect(&thread, &QThread::finished, worker, &QObject::deleteLater);
    thread.start();
}

RowCounter::~RowCounter()
{
    QMetaObject::invokeMethod(worker, "release", Qt::BlockingQueuedConnection);
    thread.quit();
    thread.wait();
}

void RowCounter::request(int number, const QString &connectionName, const QString &statement)
{
    QMetaObject::invokeMethod(worker, "count", Qt::QueuedConnection, Q_ARG(int, number),
                              Q_ARG(QString, connectionName), Q_ARG(QString, statement));
}

#include "rowcounter.moc"
