#include "station/factoryjournal.h"

#include "station/station.h"

#include <QDateTime>
#include <QFile>
#include <QSysInfo>

FactoryValues FactoryValues::of(const KeyValues &values)
{
    return {values.serialNumber, values.releaseDateSet ? values.releaseDateText : QString(), values.impactLevel,
            values.repairTimeText};
}

QString FactoryValues::describe() const
{
    return QStringLiteral("sn=%1 release_date=%2 impact=%3 repair_time=%4")
        .arg(serialNumber)
        .arg(releaseDate.isEmpty() ? QStringLiteral("-") : releaseDate)
        .arg(impactLevel)
        .arg(repairTime);
}

bool FactoryValueLog::append(const FactoryValues &before, const QString &requested,
                             const std::optional<FactoryValues> &readBack, const QString &outcome, QString *error)
{
    QFile log(QString::fromLatin1(FileName));
    if (!log.open(QIODevice::Append | QIODevice::Text)) {
        if (error)
            *error = log.errorString();
        return false;
    }
    const QDateTime now = QDateTime::currentDateTime();
    const QString line = QStringLiteral("%1\tstation=%2\told: %3\trequested: %4\tread back: %5\t%6\n")
                             .arg(now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODate),
                                  QSysInfo::machineHostName(), before.describe(), requested,
                                  readBack ? readBack->describe() : QStringLiteral("-"), outcome);
    if (log.write(line.toUtf8()) > 0 && log.flush())
        return true;
    if (error)
        *error = log.errorString();
    return false;
}

namespace {

FrameKind acknowledgementOf(quint16 id)
{
    switch (id) {
    case CanIdSetSN:
        return FrameKind::AckSetSN;
    case CanIdSetDate:
        return FrameKind::AckSetDate;
    case CanIdSetHit:
        return FrameKind::AckSetHit;
    case CanIdIRTClear:
        return FrameKind::AckIRTClear;
    default:
        break;
    }
    return FrameKind::AckEEPROMClear;
}

QString commandName(quint16 id)
{
    switch (id) {
    case CanIdSetSN:
        return QStringLiteral("sn");
    case CanIdSetDate:
        return QStringLiteral("release_date");
    case CanIdSetHit:
        return QStringLiteral("impact");
    case CanIdIRTClear:
        return QStringLiteral("repair_reset");
    default:
        break;
    }
    return QStringLiteral("eeprom_clear");
}

} // namespace

FactoryJournal::FactoryJournal(Station *station, QObject *parent)
    : QObject(parent)
    , station(station)
{
    connect(station, &Station::commandAcknowledged, this, &FactoryJournal::acknowledged);
    connect(station, &Station::commandUnanswered, this, &FactoryJournal::unanswered);
    connect(station, &Station::reportCompleted, this, &FactoryJournal::readOut);
}

// A command whose values were never read back is still logged.
FactoryJournal::~FactoryJournal()
{
    write(std::nullopt);
}

void FactoryJournal::noteSent(quint16 id, const QString &value)
{
    write(std::nullopt);
    pending = Entry{FactoryValues::of(station->lastReadout().values), id, value, Delivery::Pending};
}

void FactoryJournal::acknowledged(FrameKind kind)
{
    if (pending && pending->delivery == Delivery::Pending && kind == acknowledgementOf(pending->id))
        pending->delivery = Delivery::Acknowledged;
}

void FactoryJournal::unanswered()
{
    if (pending && pending->delivery == Delivery::Pending)
        pending->delivery = Delivery::Unacknowledged;
}

void FactoryJournal::readOut(const Readout &readout)
{
    if (pending && readout.whole && !readout.silent)
        write(readout.values);
}

// Whether the module holds what was asked for.
bool FactoryJournal::holds(const KeyValues &values) const
{
    switch (pending->id) {
    case CanIdSetSN:
        return values.serialNumberSet && QString::number(values.serialNumber) == pending->value;
    case CanIdSetDate:
        return values.releaseDateSet && values.releaseDateText == pending->value;
    case CanIdSetHit:
        return values.impactLevelSet && QString::number(values.impactLevel) == pending->value;
    case CanIdIRTClear:
        return values.repairTime == 0;
    default:
        break;
    }
    // A cleared memory holds no factory value at all.
    return !values.serialNumberSet && !values.releaseDateSet && !values.impactLevelSet;
}

void FactoryJournal::write(const std::optional<KeyValues> &readBack)
{
    if (!pending)
        return;
    const bool acknowledged = pending->delivery == Delivery::Acknowledged;
    QString requested = commandName(pending->id);
    if (!pending->value.isEmpty())
        requested += QLatin1Char('=') + pending->value;
    requested += acknowledged ? QStringLiteral(":acknowledged") : QStringLiteral(":unacknowledged");
    QString outcome;
    if (readBack)
        outcome = holds(*readBack) ? QStringLiteral("verified")
                                   : (acknowledged ? QStringLiteral("mismatch") : QStringLiteral("unacknowledged"));
    else
        outcome = acknowledged ? QStringLiteral("unverified") : QStringLiteral("unacknowledged");
    std::optional<FactoryValues> heldAfter;
    if (readBack)
        heldAfter = FactoryValues::of(*readBack);
    const Entry entry = *pending;
    pending.reset();
    QString error;
    if (!FactoryValueLog::append(entry.before, requested, heldAfter, outcome, &error))
        emit logFailed(error);
}
