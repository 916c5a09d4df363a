#include "cli/commandline.h"

#include "cli/commandcontext.h"
#include "cli/outputpipe.h"
#include "station/adapterlink.h"
#include "protocol/attempt.h"
#include "protocol/language.h"
#include "protocol/programidentity.h"
#include "station/station.h"
#include "station/workingfolder.h"
#include "ssu/ssusession.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <optional>

// Declared here rather than with the other commands: it is registered only
// in this table.
int fleetCommand(CommandContext &context);

namespace {

struct Command
{
    const char *name;
    const char *summary;
    int (*run)(CommandContext &);
    QList<QCommandLineOption> (*options)();
};

QList<QCommandLineOption> noOptions()
{
    return {};
}

QList<QCommandLineOption> readOptions()
{
    return {{QStringLiteral("adapter"), CommandLine::tr("Адаптер <name> (см. \"adapters\")."), QStringLiteral("name")},
            {QStringLiteral("no-upload"), CommandLine::tr("Сохранить отчёт в архивную папку, а не в ССУ.")},
            {QStringLiteral("json"), CommandLine::tr("Вывести значения отчёта в JSON.")},
            {QStringLiteral("loop"),
             CommandLine::tr("Читать модуль за модулем до Ctrl+C: следующий модуль читается, когда ответит модуль с "
                             "другим серийным номером или любой модуль после того, как прочитанный замолчал. По "
                             "строке на модуль (с --json: по объекту JSON на строке).")}};
}

QList<QCommandLineOption> writeOptions()
{
    return {{QStringLiteral("adapter"), CommandLine::tr("Адаптер <name> (см. \"adapters\")."), QStringLiteral("name")},
            {QStringLiteral("serial"), CommandLine::tr("Серийный номер (0..65534)."), QStringLiteral("N")},
            {QStringLiteral("release-date"), CommandLine::tr("Дата выпуска, дд.ММ.гггг."), QStringLiteral("date")},
            {QStringLiteral("impact"), CommandLine::tr("Уровень удара (0..65534)."), QStringLiteral("G")},
            {QStringLiteral("reset-repair"), CommandLine::tr("Также очистить межремонтную наработку.")}};
}

QList<QCommandLineOption> monitorOptions()
{
    return {{QStringLiteral("adapter"), CommandLine::tr("Адаптер <name> (см. \"adapters\")."), QStringLiteral("name")},
            {QStringLiteral("duration"), CommandLine::tr("Остановиться через <seconds> с (по умолчанию: по Ctrl+C)."), QStringLiteral("seconds")},
            {QStringLiteral("csv"), CommandLine::tr("Записывать значения датчиков в <file>."), QStringLiteral("file")}};
}

QList<QCommandLineOption> fleetOptions()
{
    return {{QStringLiteral("group"), CommandLine::tr("Группировать по firmware, release-month или release-year."),
             QStringLiteral("grouping")},
            {QStringLiteral("format"), CommandLine::tr("csv (по умолчанию) или json."), QStringLiteral("format")}};
}

QList<QCommandLineOption> exportOptions()
{
    return {{QStringLiteral("serial"), CommandLine::tr("Только отчёты модуля <N>."), QStringLiteral("N")},
            {QStringLiteral("from"), CommandLine::tr("Отчёты не раньше <date> (гггг-ММ-дд)."), QStringLiteral("date")},
            {QStringLiteral("to"), CommandLine::tr("Отчёты не позже <date> (гггг-ММ-дд)."), QStringLiteral("date")},
            {QStringLiteral("format"), CommandLine::tr("csv (по умолчанию) или json."), QStringLiteral("format")},
            {QStringLiteral("out"), CommandLine::tr("Писать в <file>, а не в стандартный вывод."), QStringLiteral("file")}};
}

const Command Commands[] = {
    {"adapters", QT_TRANSLATE_NOOP("CommandLine", "Найденные интерфейсы адаптеров, по одному в строке."), adaptersCommand,
     noOptions},
    {"read", QT_TRANSLATE_NOOP("CommandLine", "Прочитать отчёт модуля: документ, ССУ или архив."), readCommand,
     readOptions},
    {"write", QT_TRANSLATE_NOOP("CommandLine", "Записать заводские значения и проверить их обратным чтением."), writeCommand,
     writeOptions},
    {"monitor", QT_TRANSLATE_NOOP("CommandLine", "Записывать значения датчиков отладочного монитора."), monitorCommand,
     monitorOptions},
    {"export", QT_TRANSLATE_NOOP("CommandLine", "Выгрузить сохранённые отчёты из ССУ."), exportCommand, exportOptions},
    {"fleet", QT_TRANSLATE_NOOP("CommandLine", "Сводка по парку из ССУ, как в окне \"Парк модулей\", по группам."),
     fleetCommand, fleetOptions},
    {"upload", QT_TRANSLATE_NOOP("CommandLine", "Передать в ССУ отчёты, ждущие в архивной папке."), uploadCommand,
     noOptions},
};


QCommandLineOption workdirOption()
{
    return {{QStringLiteral("w"), QStringLiteral("workdir")},
            CommandLine::tr("Работать в папке <folder>, создав её при необходимости (по умолчанию: текущая папка)."), QStringLiteral("folder")};
}

QCommandLineOption languageOption()
{
    return {QStringLiteral("lang"),
            CommandLine::tr("Язык вывода и документов: ru или en (по умолчанию: язык, выбранный в программе, иначе "
                            "LANG)."),
            QStringLiteral("ru|en")};
}

QString exitCodeHelp()
{
    return CommandLine::tr("Коды завершения:\n  0  выполнено\n  1  ошибка\n  2  командная строка не понята\n  3  нет связи с адаптером\n  4  модуль не ответил\n  5  отчёт получен не полностью\n  6  отчёт сохранён только в архив (upload: не все отчёты переданы)\n  7  отчёт не сохранён ни в ССУ, ни в архив\n  8  прочитанные значения отличаются от записанных\n  9  ССУ недоступна или запрос не выполнен");
}

QString overview()
{
    QString text = CommandLine::tr("Использование: rvk-report <команда> [параметры]") + QLatin1String("\n\n")
                   + CommandLine::tr("Сервисная программа модуля питания генератора RVK, без окна.") + QLatin1String("\n\n")
                   + CommandLine::tr("Команды:") + QLatin1Char('\n');
    for (const Command &command : Commands)
        text += QStringLiteral("  %1  %2\n").arg(QString::fromLatin1(command.name).leftJustified(9),
                                                 QCoreApplication::translate("CommandLine", command.summary));
    text += QLatin1Char('\n') + CommandLine::tr("\"rvk-report <команда> --help\" описывает параметры команды.")
            + QLatin1Char('\n') + CommandLine::tr("--lang ru|en перед командой или после неё выбирает язык.")
            + QLatin1String("\n\n") + exitCodeHelp() + QLatin1Char('\n');
    return text;
}

std::optional<QLocale> languageNamed(const QString &name)
{
    if (name == QLatin1String("ru"))
        return Language::russian();
    if (name == QLatin1String("en"))
        return Language::english();
    return std::nullopt;
}

// The window's setting once a user has chosen a language on this machine
// (the key Language::stored() reads); otherwise what the environment asks
// for messages, in the C library's order, and the system's locale without
// any. Only English is taken from there: the program's own language is
// Russian, and a locale of neither ("C", "de_DE") keeps it.
QLocale defaultLanguage()
{
    if (ProgramIdentity::nativeSettings().contains(QStringLiteral("Settings/Language")))
        return Language::stored();
    QLocale asked = QLocale::system();
    for (const char *variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(variable);
        if (!value.isEmpty()) {
            asked = QLocale(value);
            break;
        }
    }
    return asked.language() == QLocale::English ? Language::english() : Language::russian();
}

// Takes --lang out of the arguments wherever it stands, so that it may come
// before the command too: the language has to be known before the first
// text. The language is given when none is asked for. Failed when one is
// not ru or en, with the value as it stands for the error: the message is
// only worded once a language is installed.
Attempt<QLocale> takeLanguage(QStringList &arguments, const QLocale &given)
{
    QLocale language = given;
    for (int i = 0; i < arguments.size();) {
        const QString argument = arguments.at(i);
        QString value;
        if (argument == QLatin1String("--lang")) {
            value = arguments.value(i + 1);
            arguments.erase(arguments.begin() + i, arguments.begin() + qMin(i + 2, int(arguments.size())));
        } else if (argument.startsWith(QLatin1String("--lang="))) {
            value = argument.mid(7);
            arguments.removeAt(i);
        } else {
            ++i;
            continue;
        }
        const std::optional<QLocale> named = languageNamed(value);
        if (!named)
            return Attempt<QLocale>::failed(value, language);
        language = *named;
    }
    return Attempt<QLocale>::done(language);
}

const Command *findCommand(const QString &name)
{
    for (const Command &command : Commands)
        if (name == QLatin1String(command.name))
            return &command;
    return nullptr;
}

} // namespace

bool waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer tick;
    // Conditions change inside signal handlers; a short tick looks again
    // without the caller having to name every signal.
    QObject::connect(&tick, &QTimer::timeout, &loop, &QEventLoop::quit);
    tick.start(10);
    while (!done()) {
        if (clock.elapsed() >= timeoutMs)
            return false;
        loop.exec();
    }
    return true;
}

ReadoutWait readReport(Station &station, bool silent)
{
    ReadoutWait wait;
    const auto completed
        = QObject::connect(&station, &Station::reportCompleted, [&wait](const Readout &r) { wait.readout = r; });
    const auto silence
        = QObject::connect(&station, &Station::moduleSilent, [&wait](int frames) { wait.silentAfter = frames; });
    wait.sent = station.requestReport(silent);
    if (wait.sent)
        waitUntil([&wait] { return wait.readout || wait.silentAfter >= 0; }, ReadoutTimeoutMs);
    QObject::disconnect(completed);
    QObject::disconnect(silence);
    return wait;
}

Attempt<> connectSession(SsuSession &session, const CommandContext &context)
{
    if (context.hooks.prepareSession)
        context.hooks.prepareSession(&session);
    // The command line's one wait: nobody acts here meanwhile. Both steps
    // bound themselves (download and connect deadlines).
    std::optional<bool> connected;
    QObject waiting;
    session.fetchPasswordIfMissing(&waiting, [&](bool known) {
        if (!known) {
            connected = false;
            return;
        }
        session.connectAndCreateTable(&waiting, [&](bool ok) { connected = ok; });
    });
    waitUntil([&] { return connected.has_value(); }, StorageTimeoutMs);
    if (connected.value_or(false))
        return Attempt<>::done();
    return Attempt<>::failed(CommandLine::tr("ССУ недоступна."));
}

Attempt<> openLink(Station &station, const CommandContext &context)
{
    // A network-backed bus connects after the open; the command waits for
    // it, as long as the driver lets a connection take.
    const auto cameUp = [&station](AdapterLink::OpenResult result) {
        if (result == AdapterLink::OpenResult::Connecting)
            waitUntil([&station] { return station.link()->state() != AdapterLink::State::Connecting; },
                      LinkConnectTimeoutMs);
        return (result == AdapterLink::OpenResult::Opened || result == AdapterLink::OpenResult::Connecting)
               && station.link()->state() == AdapterLink::State::Up;
    };
    if (context.parser.isSet(QStringLiteral("adapter"))) {
        const QString adapter = context.parser.value(QStringLiteral("adapter"));
        if (cameUp(station.link()->open(adapter)))
            return Attempt<>::done();
        return Attempt<>::failed(CommandLine::tr("Адаптер %1 не открывается.").arg(adapter));
    }
    if (cameUp(station.supervisor()->openAtStart()))
        return Attempt<>::done();
    return Attempt<>::failed(
        CommandLine::tr("Нет связи с адаптером (%1). \"rvk-report adapters\" перечисляет найденные.")
            .arg(station.supervisor()->adapterDescription()));
}

int runCommandLine(const QStringList &commandLine, QTextStream &out, QTextStream &err, const CommandLineHooks &hooks)
{
    ignoreBrokenPipes();
    QStringList arguments = commandLine;
    const Attempt<QLocale> asked = takeLanguage(arguments, defaultLanguage());
    QLocale language = asked.value;
    if (!Language::install(language)) {
        Language::install(Language::russian());
        // Only a language asked for on this line is worth a word; the
        // window says so itself for its setting.
        if (arguments.size() != commandLine.size())
            err << CommandLine::tr("Английский перевод не загружается; вывод на русском.") << Qt::endl;
        language = Language::russian();
    }
    if (!asked.ok) {
        err << CommandLine::tr("--lang: ru или en, не \"%1\".").arg(asked.error) << Qt::endl;
        return ExitCode::Usage;
    }

    const QString name = arguments.value(0);
    if (name.isEmpty() || name == QLatin1String("--help") || name == QLatin1String("-h")) {
        (name.isEmpty() ? err : out) << overview();
        return name.isEmpty() ? ExitCode::Usage : ExitCode::Done;
    }
    if (name == QLatin1String("--version") || name == QLatin1String("-v")) {
        out << QCoreApplication::applicationName() << ' ' << QCoreApplication::applicationVersion() << Qt::endl;
        return ExitCode::Done;
    }
    const Command *command = findCommand(name);
    if (!command) {
        err << CommandLine::tr("Неизвестная команда \"%1\".").arg(name) << QLatin1String("\n\n") << overview();
        return ExitCode::Usage;
    }

    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate("CommandLine", command->summary) + QLatin1String("\n\n")
                                     + exitCodeHelp());
    const QCommandLineOption helpOption{{QStringLiteral("h"), QStringLiteral("help")}, CommandLine::tr("Показать эту справку.")};
    parser.addOption(helpOption);
    parser.addOption(workdirOption());
    // Taken out above; named here for the command's help.
    parser.addOption(languageOption());
    parser.addOptions(command->options());
    if (!parser.parse(QStringList{QStringLiteral("rvk-report %1").arg(name)} + arguments.mid(1))) {
        err << parser.errorText() << Qt::endl;
        return ExitCode::Usage;
    }
    if (parser.isSet(helpOption)) {
        // Qt names the program by its path; the usage line names the command.
        QString help = parser.helpText();
        help.replace(0, help.indexOf(QLatin1Char('\n')), CommandLine::tr("Использование: rvk-report %1 [параметры]").arg(name));
        out << help;
        return ExitCode::Done;
    }
    if (!parser.positionalArguments().isEmpty()) {
        err << CommandLine::tr("Лишний аргумент \"%1\".").arg(parser.positionalArguments().first()) << Qt::endl;
        return ExitCode::Usage;
    }
    if (parser.isSet(QStringLiteral("workdir"))) {
        QString error;
        if (!enterWorkingFolder(parser.value(QStringLiteral("workdir")), &error)) {
            err << CommandLine::tr("Не удалось открыть рабочую папку: %1.").arg(error) << Qt::endl;
            return ExitCode::Failed;
        }
    }
    CommandContext context{parser, out, err, hooks, language};
    return command->run(context);
}
