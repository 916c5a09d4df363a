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

// One line per write, whatever came of it: local time with its offset, the
// station, the values before and after, and the outcome.
bool appendChangeLog(const FactoryValues &before, const FactoryValues &after, const QString &outcome)
{
    QFile log(QString::fromLatin1(ChangeLogName));
    if (!log.open(QIODevice::Append | QIODevice::Text))
        return false;
    const QString line = QStringLiteral("%1\tstation=%2\told: %3\tnew: %4\t%5\n")
                             .arg(QDateTime::currentDateTime().toOffsetFromUtc(QDateTime::currentDateTime().offsetFromUtc())
                                      .toString(Qt::ISODate),
                                  QSysInfo::machineHostName(), describe(before), describe(after), outcome);
    return log.write(line.toUtf8()) > 0 && log.flush();
}

bool parseNumber(const QString &text, int *value)
{
    bool ok = false;
    *value = text.toInt(&ok);
    return ok && *value >= 0 && *value <= MaximumValue;
}

// Sends one command and waits for its acknowledgement.
bool acknowledged(Station &station, FrameKind expected, const std::function<Station::CommandResult()> &send)
{
    bool answered = false;
    bool unanswered = false;
    const auto ack = QObject::connect(&station, &Station::commandAcknowledged, [&](FrameKind kind) {
        answered = answered || kind == expected;
    });
    const auto silent = QObject::connect(&station, &Station::commandUnanswered, [&] { unanswered = true; });
    if (send() == Station::CommandResult::Sent)
        waitUntil([&] { return answered || unanswered; }, ReadoutTimeoutMs);
    QObject::disconnect(ack);
    QObject::disconnect(silent);
    return answered;
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
    station.setDocumentLanguage(Language::code(context.language));
    if (!openLink(station, context))
        return ExitCode::NoAdapter;

    // The values before are kept as any read-out keeps them (document, SSU
    // or archive) before anything is overwritten.
    std::optional<ReportStore::Result> kept;
    const auto storing = QObject::connect(&station, &Station::reportStored,
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

    const bool written
        = acknowledged(station, FrameKind::AckSetSN,
                       [&] { return station.sendSetCommand(CanIdSetSN, wanted.serialNumber); })
          && acknowledged(station, FrameKind::AckSetDate,
                          [&] { return station.sendSetCommand(CanIdSetDate, dateCommandValue(wanted.releaseDate)); })
          && acknowledged(station, FrameKind::AckSetHit,
                          [&] { return station.sendSetCommand(CanIdSetHit, wanted.impactLevel); })
          && (!resetRepair
              || acknowledged(station, FrameKind::AckIRTClear, [&] { return station.sendClearCommand(CanIdIRTClear); }));
    if (!written) {
        appendChangeLog(old, wanted, QStringLiteral("unacknowledged"));
        context.err << CommandLine::tr("Модуль не подтвердил команду.") << Qt::endl;
        return ExitCode::NoAnswer;
    }

    // Silent: the read-back only updates the values.
    const std::optional<Readout> after = readReport(station, true).readout;
    if (!after || !after->whole) {
        appendChangeLog(old, wanted, QStringLiteral("unverified"));
        context.err << CommandLine::tr("Записанные значения не удалось прочитать.") << Qt::endl;
        return after ? ExitCode::Incomplete : ExitCode::NoAnswer;
    }
    const FactoryValues readBack = valuesOf(after->values);
    const bool matches = readBack.serialNumber == wanted.serialNumber && readBack.releaseDate == wanted.releaseDate
                         && readBack.impactLevel == wanted.impactLevel
                         && (!resetRepair || after->values.repairTime == 0);
    const bool logged = appendChangeLog(old, readBack, matches ? QStringLiteral("verified") : QStringLiteral("mismatch"));
    context.out << CommandLine::tr("Прочитано: %1").arg(describe(readBack)) << Qt::endl;
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
