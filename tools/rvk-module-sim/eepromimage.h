#pragma once

#include "report/reportrecord.h"

#include <QByteArray>
#include <QString>

// The module's EEPROM as it reports it: 74 little-endian 32-bit words,
// 0xFFFFFFFF marking a word never written.
class EepromImage
{
public:
    // The layout is the report record's (report/reportrecord.h): the
    // module sends its EEPROM as the report.
    static constexpr int byteCount = ReportRecordSize;
    static constexpr int wordCount = byteCount / 4;

    // A worn module with plausible, varied histograms.
    EepromImage();
    explicit EepromImage(const QByteArray &bytes);

    static EepromImage builtIn();

    // Loads a 296-byte image; any other size is refused, so a wrong file is
    // never overwritten by a later save.
    static bool load(const QString &path, EepromImage *image, QString *error);
    bool save(const QString &path, QString *error) const;

    quint32 word(int index) const;
    void setWord(int index, quint32 value);

    // The module runs for seconds and takes impacts: both sections' times
    // and impacts grow, the time spread over the bins in the built-in
    // image's proportions. Unset words count from zero.
    void operate(quint32 seconds, quint32 impacts);
    // Inter-repair time, histograms and impacts start again from zero.
    void clearInterRepair();
    // Every word unset, as after a full erase.
    void clearAll();

    const QByteArray &bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};
