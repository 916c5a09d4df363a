#pragma once

#include "station/adapterlink.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <memory>

class FTDI;

// The adapter and its link: which adapter (the remembered one, or the user's
// choice), its opening at start, the check every period and the reconnection
// when it is lost, and the line pulses that leave the adapter as the next
// program expects it.
class LinkSupervisor : public QObject
{
    Q_OBJECT
public:
    explicit LinkSupervisor(QObject *parent = nullptr);
    ~LinkSupervisor() override;

    AdapterLink *link() { return &adapterLink; }
    // The adapter chosen last (the native setting), or a name no interface
    // has, so that a lone interface is taken and among several the user picks.
    static QString rememberedAdapter();
    QString adapterDescription() const;
    // Reads the interfaces present (adaptersChanged()); an empty answer
    // leaves the list as it was.
    void refreshAdapters();
    // Opens the link on the remembered adapter and starts its supervision,
    // which checks it every period (StationTimings) and reconnects when it
    // is lost. A bus that is still connecting comes up later, told by
    // linkStateChanged(true).
    AdapterLink::OpenResult openAtStart();
    // The user's choice: remembered, and connected at once.
    void chooseAdapter(const QString &description);
    // While paused (a notice at start is being read), no loss is reported.
    void setPaused(bool on) { paused = on; }
    // Until the link is up again, its loss is not reported again.
    void ignoreLinkLoss() { ignoringLoss = true; }
    QTimer *timer() { return &supervision; }

public slots:
    // The check, every period: a lost link is reported and reconnected.
    void superviseLink();

signals:
    void linkStateChanged(bool up);
    // The link is down and not ignored; a reconnection follows the handler.
    void linkLost();
    void adaptersChanged(const QStringList &adapters, int current);

private:
    void reconnect();
    AdapterLink::OpenResult openLink();
    void watchConnecting();
    void linkUp();
    void pulseAdapterLines();

    AdapterLink adapterLink;
    std::unique_ptr<FTDI> adapter;
    QTimer supervision;
    // Looks often at a bus that is connecting, so its light turns green as
    // it comes up rather than at the next period.
    QTimer connecting;
    QElapsedTimer connectingSince;
    bool paused = false;
    bool ignoringLoss = false;
    bool reconnecting = false;
    bool shownUp = false;
    // Set once the user has chosen the adapter or the link has been up on
    // it: from then on a lone interface in the list no longer replaces it,
    // so an unplugged adapter is waited for rather than swapped.
    bool adapterSettled = false;
    // Counts the user's choices, so a reconnection can tell that one was
    // made while it waited.
    quint32 adapterChoices = 0;
};
