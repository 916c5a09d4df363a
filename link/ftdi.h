#pragma once

#include "link/d2xxfunctions.h"

#include <QObject>
#include <QString>

// The KIVO adapter as an FTDI device: counting, describing and opening it by
// description, and pulsing its modem lines. CAN traffic does not pass here.
class FTDI : public QObject
{
    Q_OBJECT
public:
    explicit FTDI(const QString &description);
    ~FTDI() override;

    FT_STATUS open();
    // Releases the handle opened by open(), once; does nothing when none is
    // open (the destructor relies on that).
    void close();
    bool isOpen() const { return m_handle != nullptr; }
    quint8 countDevices();
    QString deviceDescription(int index);

    QString description() const { return m_description; }
    void setDescription(const QString &description) { m_description = description; }
    FT_STATUS lastStatus() const { return m_status; }

signals:
    // Bytes arrived in the adapter's receive queue, or their number changed
    // while they wait, as far as the last queueStatus() saw. Nothing polls it
    // on its own: frames are taken from the driver library, which owns the
    // adapter once it is open, and this handle is open only while the modem
    // lines are pulsed.
    void readyRead();

public slots:
    void queueStatus();

private:
    FT_HANDLE m_handle = nullptr;
    FT_STATUS m_status = FT_OTHER_ERROR;
    QString m_description;
};
