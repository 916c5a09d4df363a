#pragma once

#include <QLatin1String>
#include <QString>
#include <QVector>

// Picks the sensor readings out of a block of monitor text.
namespace MonitorParser {

// One entry per read-out of the sensor values dialog, in the order the
// readings are looked for.
enum class Sensor {
    Freq,
    RPM,
    Vin,
    Vout,
    Aout,
    Temp,
    Xaccel,
    Yaccel,
    MaximalX,
    AverageX,
    MaximalY,
    AverageY,
    DataMaximal,
};
constexpr int sensorCount = int(Sensor::DataMaximal) + 1;

// The name the module prints before the reading's "=", e.g. "RPM".
QLatin1String sensorName(Sensor sensor);

struct Reading
{
    Sensor sensor;
    double value;
};

// The first reading of each sensor found in text, in sensor order. A sensor
// whose reading is absent, malformed (signed, or without digits after the
// point where a fraction is expected) or out of range is left out, so its
// read-out keeps the value it shows.
QVector<Reading> parse(const QString &text);

} // namespace MonitorParser
