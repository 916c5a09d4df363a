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
        int rows = -1;
        {
            QSqlDatabase db = connection(source);
            QSqlQuery query(db);
            if (db.isOpen() && query.exec(statement) && query.next())
                rows = query.value(0).toInt();
            else
                db.close(); // opened afresh, with the current parameters, next time
        }
        emit counted(number, rows);
    }

    // A connection belongs to the thread that made it, so it goes here too.
    void release()
    {
        if (QSqlDatabase::contains(name)) {
            QSqlDatabase::database(name, false).close();
            QSqlDatabase::removeDatabase(name);
        }
    }

signals:
    void counted(int number, int rows);

private:
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
