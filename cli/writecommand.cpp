// rvk-report write: the factory values, kept, written, read back and logged.
#include "cli/commandcontext.h"

#include "protocol/commandvalue.h"
#include "protocol/frameclassification.h"
#include "ssu/ssusession.h"
#include "protocol/language.h"
#include "station/station.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QSysInfo>
#include <optional>

namespace {
constexpr int MaximumValue = 65534; // the form's limit for both numbers
const char *const ChangeLogName = "factory-values.log";

struct FactoryValues
{
    int serialNumber = 0;
    QString releaseDate; // dd.MM.yyyy, empty when unset
    int impactLevel = 0;
    QString repairTime;
};

FactoryValues valuesOf(const KeyValues &values)
{
    return {values.serialNumber, values.releaseDateText, values.impactLevel, values.repairTimeText};
}

QString describe(const FactoryValues &values)
{
    return QStringLiteral("sn=%1 release_date=%2 impact=%3 repair_time=%4")
        .arg(values.serialNumber)
        .arg(values.releaseDate.isEmpty() ? QStringLiteral("-") : values.releaseDate)
        .arg(values.impactLevel)
        .arg(values.repairTime);
}

// What became of one command: only an acknowledged value is known to have
// reached the module.
enum class Delivery { Acknowledged, Unacknowledged, NotSent };

QString deliveryName(Delivery delivery)
{
    switch (delivery) {
    case Delivery::Acknowledged:
        return QStringLiteral("acknowledged");
    case Delivery::Unacknowledged:
        return QStringLiteral("unacknowledged");
    case Delivery::NotSent:
        break;
    }
    return QStringLiteral("not-sent");
}

struct Requested
{
    FactoryValues values;
    bool resetRepair = false;
    Delivery serialNumber = Delivery::NotSent;
    Delivery releaseDate = Delivery::NotSent;
    Delivery impactLevel = Delivery::NotSent;
    Delivery repairReset = Delivery::NotSent;

    bool allAcknowledged() const
    {
        return serialNumber == Delivery::Acknowledged && releaseDate == Delivery::Acknowledged
            && impactLevel == Delivery::Acknowledged && (!resetRepair || repairReset == Delivery::Acknowledged);
    }
    QString describe() const
    {
        QString text = QStringLiteral("sn=%1:%2 release_date=%3:%4 impact=%5:%6")
                           .arg(values.serialNumber)
                           .arg(deliveryName(serialNumber), values.releaseDate, deliveryName(releaseDate))
                           .arg(values.impactLevel)
                           .arg(deliveryName(impactLevel));
        if (resetRepair)
            text += QStringLiteral(" repair_reset:%1").arg(deliveryName(repairReset));
        return text;
    }
};

// One line per write, whatever came of it: local time with its offset, the
// station, the values before, each value asked for with what became of its
// command, the values read back afterwards (or "-" when they could not be
// read), and the outcome.
bool appendChangeLog(const FactoryValues &before, const Requested &requested,
                     const std::optional<FactoryValues> &readBack, const QString &outcome)
{
    QFile log(QString::fromLatin1(ChangeLogName));
    if (!log.open(QIODevice::Append | QIODevice::Text))
        return false;
    const QString line = QStringLiteral("%1\tstation=%2\told: %3\trequested: %4\tread back: %5\t%6\n")
                             .arg(QDateTime::currentDateTime().toOffsetFromUtc(QDateTime::currentDateTime().offsetFromUtc())
                                      .toString(Qt::ISODate),
                                  QSysInfo::machineHostName(), describe(before), requested.describe(),
                                  readBack ? describe(*readBack) : QStringLiteral("-"), outcome);
    return log.write(line.toUtf8()) > 0 && log.flush();
}

bool parseNumber(const QString &text, int *value)
{
    bool ok = false;
    *value = text.toInt(&ok);
    return ok && *value >= 0 && *value <= MaximumValue;
}

// Sends one command and waits for its acknowledgement.
Delivery deliver(Station &station, FrameKind expected, const std::function<Station::CommandResult()> &send)
{
    bool answered = false;
    bool unanswered = false;
    const auto ack = QObject::connect(&station, &Station::commandAcknowledged, [&](FrameKind kind) {
        answered = answered || kind == expected;
    });
    const auto silent = QObject::connect(&station, &Station::commandUnanswered, [&] { unanswered = true; });
    const bool sent = send() == Station::CommandResult::Sent;
    if (sent)
        waitUntil([&] { return answered || unanswered; }, ReadoutTimeoutMs);
    QObject::disconnect(ack);
    QObject::disconnect(silent);
    if (!sent)
        return Delivery::NotSent;
    return answered ? Delivery::Acknowledged : Delivery::Unacknowledged;
}
} // namespace

int writeCommand(CommandContext &context)
{
    const QCommandLineParser &parser = context.parser;
    for (const char *required : {"serial", "release-date", "impact"}) {
        if (!parser.isSet(QLatin1String(required))) {
            context.err << CommandLine::tr("Нужен параметр --%1.").arg(QLatin1String(required)) << Qt::endl;
            return ExitCode::Usage;
        }
    }
    FactoryValues wanted;
    const QDate release = QDate::fromString(parser.value(QStringLiteral("release-date")), QStringLiteral("dd.MM.yyyy"));
    if (!parseNumber(parser.value(QStringLiteral("serial")), &wanted.serialNumber)
        || !parseNumber(parser.value(QStringLiteral("impact")), &wanted.impactLevel) || !release.isValid()) {
        context.err << CommandLine::tr("Серийный номер и уровень удара: числа от 0 до 65534, дата выпуска: дата дд.ММ.гггг.")
                    << Qt::endl;
        return ExitCode::Usage;
    }
    wanted.releaseDate = release.toString(QStringLiteral("dd.MM.yyyy"));
    const bool resetRepair = parser.isSet(QStringLiteral("reset-repair"));

    Station station;
    if (context.hooks.prepareSession)
        context.hooks.prepareSession(station.session());
    station.keeper()->setDocumentLanguage(Language::code(context.language));
    const Attempt<> link = openLink(station, context);
    if (!link.ok) {
        context.err << link.error << Qt::endl;
        return ExitCode::NoAdapter;
    }

    // The values before are kept as any read-out keeps them (document, SSU
    // or archive) before anything is overwritten.
    std::optional<ReportStore::Result> kept;
    const auto storing = QObject::connect(station.keeper(), &ReportKeeper::reportStored,
                                          [&](const ReportStore::Result &result) { kept = result; });
    const std::optional<Readout> before = readReport(station, false).readout;
    if (!before || !before->whole) {
        context.err << CommandLine::tr("Текущие значения не прочитаны полностью; ничего не записано.") << Qt::endl;
        return before ? ExitCode::Incomplete : ExitCode::NoAnswer;
    }
    if (!kept && !waitUntil([&] { return kept.has_value(); }, StorageTimeoutMs))
        return ExitCode::NotKept;
    QObject::disconnect(storing);
    if (kept->outcome == ReportStore::Outcome::Lost) {
        context.err << CommandLine::tr("Текущий отчёт не удалось сохранить (%1); ничего не записано.").arg(kept->error)
                    << Qt::endl;
        return ExitCode::NotKept;
    }
    const FactoryValues old = valuesOf(before->values);
    context.err << CommandLine::tr("Текущие значения: %1").arg(describe(old)) << Qt::endl;

    // One command after the other; after one that is not acknowledged the
    // rest are not sent, since the module may not be listening.
    Requested requested;
    requested.values = wanted;
    requested.resetRepair = resetRepair;
    requested.serialNumber = deliver(station, FrameKind::AckSetSN,
                                     [&] { return station.sendSetCommand(CanIdSetSN, wanted.serialNumber); });
    if (requested.serialNumber == Delivery::Acknowledged)
        requested.releaseDate = deliver(station, FrameKind::AckSetDate, [&] {
            return station.sendSetCommand(CanIdSetDate, dateCommandValue(wanted.releaseDate));
        });
    if (requested.releaseDate == Delivery::Acknowledged)
        requested.impactLevel = deliver(station, FrameKind::AckSetHit,
                                        [&] { return station.sendSetCommand(CanIdSetHit, wanted.impactLevel); });
    if (resetRepair && requested.impactLevel == Delivery::Acknowledged)
        requested.repairReset = deliver(station, FrameKind::AckIRTClear,
                                        [&] { return station.sendClearCommand(CanIdIRTClear); });

    // Read back in every case: a value whose acknowledgement was lost may
    // still have been stored, and the log must say what the module holds.
    const std::optional<Readout> after = readReport(station, true).readout;
    std::optional<FactoryValues> readBack;
    if (after && after->whole)
        readBack = valuesOf(after->values);
    const bool matches = readBack && readBack->serialNumber == wanted.serialNumber
                         && readBack->releaseDate == wanted.releaseDate && readBack->impactLevel == wanted.impactLevel
                         && (!resetRepair || after->values.repairTime == 0);
    const QString outcome = !requested.allAcknowledged() ? QStringLiteral("unacknowledged")
                            : !readBack                  ? QStringLiteral("unverified")
                            : matches                    ? QStringLiteral("verified")
                                                         : QStringLiteral("mismatch");
    const bool logged = appendChangeLog(old, requested, readBack, outcome);
    if (readBack)
        context.out << CommandLine::tr("Прочитано: %1").arg(describe(*readBack)) << Qt::endl;

    if (!requested.allAcknowledged()) {
        context.err << CommandLine::tr("Модуль не подтвердил команду.") << Qt::endl;
        context.err << CommandLine::tr("Значения и их команды: %1").arg(requested.describe()) << Qt::endl;
        if (!readBack)
            context.err << CommandLine::tr("Значения модуля прочитать не удалось: что он хранит, не известно.")
                        << Qt::endl;
        return ExitCode::NoAnswer;
    }
    if (!readBack) {
        context.err << CommandLine::tr("Записанные значения не удалось прочитать.") << Qt::endl;
        return after ? ExitCode::Incomplete : ExitCode::NoAnswer;
    }
    if (!matches) {
        context.err << CommandLine::tr("Прочитанные значения отличаются от записанных.") << Qt::endl;
        return ExitCode::Mismatch;
    }
    if (!logged) {
        context.err << CommandLine::tr("Значения записаны, но журнал изменений %1 не записывается.")
                           .arg(QLatin1String(ChangeLogName))
                    << Qt::endl;
        return ExitCode::Failed;
    }
    return ExitCode::Done;
}
