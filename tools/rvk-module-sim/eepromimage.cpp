#include "tools/rvk-module-sim/eepromimage.h"

#include <QFile>
#include <QSaveFile>
#include <QtEndian>

namespace {
// Shares of a section's time per bin, in per cent, parameter after
// parameter in word order (6, 4, 5, 6, 6 and 5 bins).
constexpr int totalShares[32] = {4, 9, 21, 38, 23, 5,  3,  9, 61, 27,  2, 11, 57, 24, 6,
                                 12, 19, 33, 22, 10, 4, 6, 31, 38, 18, 6, 1,  58, 24, 11, 5, 2};
constexpr int repairShares[32] = {2, 7, 25, 41, 20, 5,  1,  6, 70, 23,  1, 8, 62, 25, 4,
                                  9, 22, 36, 21, 9, 3,  9, 40, 33, 14, 3, 1,  66, 21, 9, 3, 1};
constexpr quint32 unset = 0xFFFFFFFFu;
} // namespace

EepromImage::EepromImage()
    : m_bytes(byteCount, char(0xFF))
{
}

EepromImage::EepromImage(const QByteArray &bytes)
    : m_bytes(bytes.left(byteCount))
{
    if (m_bytes.size() < byteCount)
        m_bytes.append(QByteArray(byteCount - m_bytes.size(), char(0xFF)));
}

EepromImage EepromImage::builtIn()
{
    EepromImage image;
    const quint32 totalTime = 1234567; // 342:56
    const quint32 repairTime = 187345; // 52:02
    image.setWord(WordTotalTime, totalTime);
    image.setWord(WordRepairTime, repairTime);
    for (int bin = 0; bin < 32; ++bin) {
        image.setWord(1 + bin, quint32(quint64(totalTime) * quint64(totalShares[bin]) / 100));
        image.setWord(WordRepairTime + 1 + bin, quint32(quint64(repairTime) * quint64(repairShares[bin]) / 100));
    }
    image.setWord(WordImpacts, 17);
    image.setWord(WordIrtImpacts, 3);
    image.setWord(68, unset);
    image.setWord(WordSerialNumber, 10457);
    image.setWord(WordReleaseDate, 15032024);
    image.setWord(WordFirmwareVersion, 322);
    image.setWord(WordImpactLevel, 40);
    image.setWord(73, unset);
    return image;
}

void EepromImage::operate(quint32 seconds, quint32 impacts)
{
    const auto add = [this](int index, quint32 amount) {
        const quint32 before = word(index) == unset ? 0 : word(index);
        setWord(index, before + amount);
    };
    add(WordTotalTime, seconds);
    add(WordRepairTime, seconds);
    for (int bin = 0; bin < 32; ++bin) {
        const quint32 share = quint32(quint64(seconds) * quint64(totalShares[bin]) / 100);
        add(1 + bin, share);
        add(WordRepairTime + 1 + bin, share);
    }
    add(WordImpacts, impacts);
    add(WordIrtImpacts, impacts);
}

bool EepromImage::load(const QString &path, EepromImage *image, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray bytes = file.read(byteCount + 1);
    if (bytes.size() != byteCount) {
        if (error)
            *error = QStringLiteral("%1 holds %2 bytes, an EEPROM image has %3").arg(path).arg(bytes.size()).arg(byteCount);
        return false;
    }
    *image = EepromImage(bytes);
    return true;
}

bool EepromImage::save(const QString &path, QString *error) const
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(m_bytes) == m_bytes.size() && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

quint32 EepromImage::word(int index) const
{
    if (index < 0 || index >= wordCount)
        return unset;
    return qFromLittleEndian<quint32>(m_bytes.constData() + 4 * index);
}

void EepromImage::setWord(int index, quint32 value)
{
    if (index < 0 || index >= wordCount)
        return;
    qToLittleEndian(value, m_bytes.data() + 4 * index);
}

void EepromImage::clearInterRepair()
{
    for (int index = WordRepairTime; index <= WordIrtImpacts; ++index)
        setWord(index, 0);
}

void EepromImage::clearAll()
{
    m_bytes.fill(char(0xFF));
}
