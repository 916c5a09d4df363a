#include "monitorparser.h"

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
        const auto fraction = [](const char *name) {
            QRegularExpression pattern(QLatin1String(name) + QLatin1String("=(\\d*\\.\\d+)"));
            pattern.optimize();
            return pattern;
        };
        QRegularExpression rpm(QStringLiteral("RPM=(\\d+)"));
        rpm.optimize();
        return QVector<Rule>{
            {Sensor::Freq, fraction("Freq"), false},
            {Sensor::RPM, rpm, true},
            {Sensor::Vin, fraction("Vin"), false},
            {Sensor::Vout, fraction("Vout"), false},
            {Sensor::Aout, fraction("Aout"), false},
            {Sensor::Temp, fraction("Temp"), false},
            {Sensor::Xaccel, fraction("Xaccel"), false},
            {Sensor::Yaccel, fraction("Yaccel"), false},
            {Sensor::MaximalX, fraction("dataMaximal_X"), false},
            {Sensor::AverageX, fraction("dataAverage_X"), false},
            {Sensor::MaximalY, fraction("dataMaximal_Y"), false},
            {Sensor::AverageY, fraction("dataAverage_Y"), false},
            {Sensor::DataMaximal, fraction("dataMaximal"), false},
        };
    }();
    return table;
}

} // namespace

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
