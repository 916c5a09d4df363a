#include "diagnostics/monitorparser.h"

#include <QRegularExpression>

namespace MonitorParser {

namespace {

struct Rule
{
    Sensor sensor;
    QRegularExpression pattern;
    bool integer;
};

// The module prints fractional readings with a point and at least one digit
// after it, and the speed as a whole number; nothing is ever signed.
const QVector<Rule> &rules()
{
    static const QVector<Rule> table = [] {
        QVector<Rule> built;
        for (int i = 0; i < sensorCount; ++i) {
            const Sensor sensor = Sensor(i);
            const bool integer = sensor == Sensor::RPM;
            QRegularExpression pattern(QString(sensorName(sensor))
                                       + (integer ? QLatin1String("=(\\d+)") : QLatin1String("=(\\d*\\.\\d+)")));
            pattern.optimize();
            built.append({sensor, pattern, integer});
        }
        return built;
    }();
    return table;
}

} // namespace

QLatin1String sensorName(Sensor sensor)
{
    switch (sensor) {
    case Sensor::Freq: return QLatin1String("Freq");
    case Sensor::RPM: return QLatin1String("RPM");
    case Sensor::Vin: return QLatin1String("Vin");
    case Sensor::Vout: return QLatin1String("Vout");
    case Sensor::Aout: return QLatin1String("Aout");
    case Sensor::Temp: return QLatin1String("Temp");
    case Sensor::Xaccel: return QLatin1String("Xaccel");
    case Sensor::Yaccel: return QLatin1String("Yaccel");
    case Sensor::MaximalX: return QLatin1String("dataMaximal_X");
    case Sensor::AverageX: return QLatin1String("dataAverage_X");
    case Sensor::MaximalY: return QLatin1String("dataMaximal_Y");
    case Sensor::AverageY: return QLatin1String("dataAverage_Y");
    case Sensor::DataMaximal: return QLatin1String("dataMaximal");
    }
    return QLatin1String();
}

QVector<Reading> parse(const QString &text)
{
    QVector<Reading> readings;
    for (const Rule &rule : rules()) {
        const QRegularExpressionMatch match = rule.pattern.match(text);
        if (!match.hasMatch())
            continue;
        const QStringRef captured = match.capturedRef(1);
        bool ok = false;
        // Single precision, as the module computes its readings.
        const double value = rule.integer ? double(captured.toLongLong(&ok, 10)) : double(captured.toFloat(&ok));
        if (ok)
            readings.append({rule.sensor, value});
    }
    return readings;
}

} // namespace MonitorParser
