#pragma once

#include "protocol/frameclassification.h"
#include "station/readout.h"

#include <QObject>
#include <QString>

#include <optional>

class Station;

// The factory values and the counters' state, as one line of the change log
// names them.
struct FactoryValues
{
    int serialNumber = 0;
    QString releaseDate; // dd.MM.yyyy, empty when unset
    int impactLevel = 0;
    QString repairTime;

    static FactoryValues of(const KeyValues &values);
    QString describe() const;
};

// factory-values.log in the working folder: one line per write, whoever made
// it (the window or rvk-report write), so that a module's factory values can
// be traced to the station, the time and what the module held afterwards.
namespace FactoryValueLog {

constexpr const char *FileName = "factory-values.log";

// Local time with its offset, the station's host name, the values before,
// what was asked for with what became of each command, the values read back
// ("-" when none were), and the outcome; tab-separated.
bool append(const FactoryValues &before, const QString &requested, const std::optional<FactoryValues> &readBack,
            const QString &outcome, QString *error = nullptr);

} // namespace FactoryValueLog

// Logs the window's factory writes, one command at a time. The window reads
// nothing back on its own, so a command's line waits for the user's next
// whole read-out, which gives the values the module holds; a further command
// or the end of the program writes it without them.
class FactoryJournal : public QObject
{
    Q_OBJECT
public:
    explicit FactoryJournal(Station *station, QObject *parent = nullptr);
    ~FactoryJournal() override;

    // A command the station has sent; value as the user gave it (empty for
    // the two clear commands).
    void noteSent(quint16 id, const QString &value);

signals:
    void logFailed(const QString &error);

private:
    enum class Delivery { Pending, Acknowledged, Unacknowledged };
    struct Entry
    {
        FactoryValues before;
        quint16 id = 0;
        QString value;
        Delivery delivery = Delivery::Pending;
    };

    void acknowledged(FrameKind kind);
    void unanswered();
    void readOut(const Readout &readout);
    void write(const std::optional<KeyValues> &readBack);
    bool holds(const KeyValues &values) const;

    Station *station = nullptr;
    std::optional<Entry> pending;
};
