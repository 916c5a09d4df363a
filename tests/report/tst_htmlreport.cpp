#include "htmlreport.h"
#include "reportrecord.h"
#include "testmain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextCodec>
#include <QTranslator>

namespace {
// A realistic record: serial number 1234, release date 6122026, firmware 322,
// impact level 7, 1000000 s in total with an unset bin and a 46.5 % bin,
// 36000 s since the repair, 5 and 2 impacts.
const char recordHex[] = "40420f00a086010090d00300e0930400400d0300f0490200000000000000000050c30000a0bb0d0050c3000010270000204e000020a1070068180700881300007d00000090d0030090d0030013d0030090d0030000000000e0930400e0930400ffffffff400d03003f0d030001000000301b0f0088130000a00f0000e80300000000000005000000a08c0000100e0000201c0000302a0000201c0000100e0000100e00000000000000000000a08c0000000000000000000000000000504600004f46000001000000010000000200000003000000040000000500000006000000a08c00000000000000000000000000000000000000000000e02e0000e02e0000e02e000000000000000000000200000078563412d20400002a6a5d004201000007000000ffffffff";

static const char golden_ru[] =
    "<html xmlns=\"http://www.w3.org/1999/xhtml\"><head><title>RVKReport_sn1234_06.12.2026_14.35.html</title><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\" /><style type=\"text/css\">thead td{background-color:#F0F0F0; font-weight:bold; text-align:center;}<!--.borderTbl tr  td{border-width: 1px;border-style: solid;border-color:black;text-align:right;margin:3px;}.histogram {BORDER-RIGHT: black 2px solid;BORDER-TOP: black 2px solid;BORDER-LEFT: black 2px solid;BORDER-BOTTOM: black 2px solid;BACKGROUND-COLOR: White;margin-right:10px;}--></style></head><body><h1 align=\"center\">Отчёт модуля питания генератора RVK</h1><table style=\"/*font-size:16px;*/ margin-left:50px; /*font-weight:bold;*/\" border=\"1\" cellspacing=\"3\" cellpadding=\"5\">"
    "<tr><td>Дата формирования отчета :</td><td>06.12.2026 14:35</td></tr>"
    "<tr><td>Серийный номер :</td><td>1234</td></tr>"
    "<tr><td>Дата выпуска :</td><td>06.12.2026</td></tr>"
    "<tr><td>Версия прошивки :</td><td>3.2.2</td></tr>"
    "<tr><td>Уровень удара :</td><td>7</td></tr>"
    "<tr><td>Полная наработка, часов :</td><td>277:46</td></tr>"
    "<tr><td>Межремонтная наработка, часов : </td><td>10:00</td></tr></table>"
    "<p style=\"font-size:24px; font-weight:bold;\">Гистограмма полной наработки :</p>"
    "<p style=\"font-size:20px; font-weight:bold;\">Обороты</p>"
    "<table width=\"90%\" border=\"0\" cellspacing=\"3\" cellpadding=\"5\">"
    "<tr><td width=\"140px\">0...1000 об/мин </td><td width=\"*\"><span class=histogram style=\"padding-right:10%\">&nbsp;</span>&nbsp;10%</td></tr></tr>"
    "<tr><td width=\"140px\">1000...1200 об/мин </td><td width=\"*\"><span class=histogram style=\"padding-right:25%\">&nbsp;</span>&nbsp;25%</td></tr></tr>"
    "<tr><td width=\"140px\">1200...1600 об/мин </td><td width=\"*\"><span class=histogram style=\"padding-right:30%\">&nbsp;</span>&nbsp;30%</td></tr></tr>"
    "<tr><td width=\"140px\">1600...2400 об/мин </td><td width=\"*\"><span class=histogram style=\"padding-right:20%\">&nbsp;</span>&nbsp;20%</td></tr></tr>"
    "<tr><td width=\"140px\">2400...4000 об/мин </td><td width=\"*\"><span class=histogram style=\"padding-right:15%\">&nbsp;</span>&nbsp;15%</td></tr></tr>"
    "<tr><td width=\"140px\">4000... об/мин </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr></table><br/>"
    "<p style=\"font-size:20px; font-weight:bold;\">Входное напряжение</p>"
    "<table width=\"90%\" border=\"0\" cellspacing=\"3\" cellpadding=\"5\">"
    "<tr><td width=\"140px\">0...10 В </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr>"
    "<tr><td width=\"140px\">10...20 В </td><td width=\"*\"><span class=histogram style=\"padding-right:5%\">&nbsp;</span>&nbsp;5%</td></tr></tr>"
    "<tr><td width=\"140px\">20...30 В </td><td width=\"*\"><span class=histogram style=\"padding-right:90%\">&nbsp;</span>&nbsp;90%</td></tr></tr>"
    "<tr><td width=\"140px\">30... В </td><td width=\"*\"><span class=histogram style=\"padding-right:5%\">&nbsp;</span>&nbsp;5%</td></tr></tr></table><br/>"
    "<p style=\"font-size:20px; font-weight:bold;\">Выходное напряжение</p>"
    "<table width=\"90%\" border=\"0\" cellspacing=\"3\" cellpadding=\"5\">"
    "<tr><td width=\"140px\">0...28 В </td><td width=\"*\"><span class=histogram style=\"padding-right:1%\">&nbsp;</span>&nbsp;1%</td></tr></tr>"
    "<tr><td width=\"140px\">28...29 В </td><td width=\"*\"><span class=histogram style=\"padding-right:2%\">&nbsp;</span>&nbsp;2%</td></tr></tr>"
    "<tr><td width=\"140px\">29...30 В </td><td width=\"*\"><span class=histogram style=\"padding-right:50%\">&nbsp;</span>&nbsp;50%</td></tr></tr>"
    "<tr><td width=\"140px\">30...31 В </td><td width=\"*\"><span class=histogram style=\"padding-right:47%\">&nbsp;</span>&nbsp;47%</td></tr></tr>"
    "<tr><td width=\"140px\">31... В </td><td width=\"*\"><span class=histogram style=\"padding-right:1%\">&nbsp;</span>&nbsp;1%</td></tr></tr></table><br/>"
    "<p style=\"font-size:20px; font-weight:bold;\">Ток потребления</p>"
    "<table width=\"90%\" border=\"0\" cellspacing=\"3\" cellpadding=\"5\">"
    "<tr><td width=\"140px\">0...125 мА </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr>"
    "<tr><td width=\"140px\">125...250 мА </td><td width=\"*\"><span class=histogram style=\"padding-right:25%\">&nbsp;</span>&nbsp;25%</td></tr></tr>"
    "<tr><td width=\"140px\">250...500 мА </td><td width=\"*\"><span class=histogram style=\"padding-right:25%\">&nbsp;</span>&nbsp;25%</td></tr></tr>"
    "<tr><td width=\"140px\">500...1000 мА </td><td width=\"*\"><span class=histogram style=\"padding-right:25%\">&nbsp;</span>&nbsp;25%</td></tr></tr>"
    "<tr><td width=\"140px\">1000...2000 мА </td><td width=\"*\"><span class=histogram style=\"padding-right:25%\">&nbsp;</span>&nbsp;25%</td></tr></tr>"
    "<tr><td width=\"140px\">2000... мА </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr></table><br/>"
    "<p style=\"font-size:20px; font-weight:bold;\">Температура</p>"
    "<table width=\"90%\" border=\"0\" cellspacing=\"3\" cellpadding=\"5\">"
    "<tr><td width=\"140px\">0...25 °С </td><td width=\"*\"><span class=histogram style=\"padding-right:30%\">&nbsp;</span>&nbsp;30%</td></tr></tr>"
    "<tr><td width=\"140px\">25...50 °С </td><td width=\"*\"><span class=histogram style=\"padding-right:30%\">&nbsp;</span>&nbsp;30%</td></tr></tr>"
    "<tr><td width=\"140px\">50...75 °С </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr>"
    "<tr><td width=\"140px\">75...100 °С </td><td width=\"*\"><span class=histogram style=\"padding-right:20%\">&nbsp;</span>&nbsp;20%</td></tr></tr>"
    "<tr><td width=\"140px\">100...125 °С </td><td width=\"*\"><span class=histogram style=\"padding-right:20%\">&nbsp;</span>&nbsp;20%</td></tr></tr>"
    "<tr><td width=\"140px\">125... °С </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr></table><br/>"
    "<p style=\"font-size:20px; font-weight:bold;\">Вибрация</p>"
    "<table width=\"90%\" border=\"0\" cellspacing=\"3\" cellpadding=\"5\">"
    "<tr><td width=\"140px\">0...12 g </td><td width=\"*\"><span class=histogram style=\"padding-right:99%\">&nbsp;</span>&nbsp;99%</td></tr></tr>"
    "<tr><td width=\"140px\">12...25 g </td><td width=\"*\"><span class=histogram style=\"padding-right:1%\">&nbsp;</span>&nbsp;1%</td></tr></tr>"
    "<tr><td width=\"140px\">25...50 g </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr>"
    "<tr><td width=\"140px\">50...100 g </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr>"
    "<tr><td width=\"140px\">100... g </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr></table><br/>"
    "<p style=\"font-size:20px; font-weight:bold;\">Количество ударов : 5</p><br><br>"
    "<p style=\"font-size:24px; font-weight:bold;\">Гистограмма межремонтной наработки :</p>"
    "<p style=\"font-size:20px; font-weight:bold;\">Обороты</p>"
    "<table width=\"90%\" border=\"0\" cellspacing=\"3\" cellpadding=\"5\">"
    "<tr><td /*align=\"right\";*/ width=\"140px\">0...1000 об/мин </td><td width=\"*\"><span class=histogram style=\"padding-right:10%\">&nbsp;</span>&nbsp;10%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">1000...1200 об/мин </td><td width=\"*\"><span class=histogram style=\"padding-right:20%\">&nbsp;</span>&nbsp;20%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">1200...1600 об/мин </td><td width=\"*\"><span class=histogram style=\"padding-right:30%\">&nbsp;</span>&nbsp;30%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">1600...2400 об/мин </td><td width=\"*\"><span class=histogram style=\"padding-right:20%\">&nbsp;</span>&nbsp;20%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">2400...4000 об/мин </td><td width=\"*\"><span class=histogram style=\"padding-right:10%\">&nbsp;</span>&nbsp;10%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">4000... об/мин </td><td width=\"*\"><span class=histogram style=\"padding-right:10%\">&nbsp;</span>&nbsp;10%</td></tr></tr></table><br/>"
    "<p style=\"font-size:20px; font-weight:bold;\">Входное напряжение</p>"
    "<table width=\"90%\" border=\"0\" cellspacing=\"3\" cellpadding=\"5\">"
    "<tr><td /*align=\"right\";*/ width=\"140px\">0...10 В </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">10...20 В </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">20...30 В </td><td width=\"*\"><span class=histogram style=\"padding-right:100%\">&nbsp;</span>&nbsp;100%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">30... В </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr></table><br/>"
    "<p style=\"font-size:20px; font-weight:bold;\">Выходное напряжение</p>"
    "<table width=\"90%\" border=\"0\" cellspacing=\"3\" cellpadding=\"5\">"
    "<tr><td /*align=\"right\";*/ width=\"140px\">0...28 В </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">28...29 В </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">29...30 В </td><td width=\"*\"><span class=histogram style=\"padding-right:50%\">&nbsp;</span>&nbsp;50%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">30...31 В </td><td width=\"*\"><span class=histogram style=\"padding-right:50%\">&nbsp;</span>&nbsp;50%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">31... В </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr></table><br/>"
    "<p style=\"font-size:20px; font-weight:bold;\">Ток потребления</p>"
    "<table width=\"90%\" border=\"0\" cellspacing=\"3\" cellpadding=\"5\">"
    "<tr><td /*align=\"right\";*/ width=\"140px\">0...125 мА </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">125...250 мА </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">250...500 мА </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">500...1000 мА </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">1000...2000 мА </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">2000... мА </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr></table><br/>"
    "<p style=\"font-size:20px; font-weight:bold;\">Температура</p>"
    "<table width=\"90%\" border=\"0\" cellspacing=\"3\" cellpadding=\"5\">"
    "<tr><td /*align=\"right\";*/ width=\"140px\">0...25 °С </td><td width=\"*\"><span class=histogram style=\"padding-right:100%\">&nbsp;</span>&nbsp;100%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">25...50 °С </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">50...75 °С </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">75...100 °С </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">100...125 °С </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">125... °С </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr></table><br/>"
    "<p style=\"font-size:20px; font-weight:bold;\">Вибрация</p>"
    "<table width=\"90%\" border=\"0\" cellspacing=\"3\" cellpadding=\"5\">"
    "<tr><td /*align=\"right\";*/ width=\"140px\">0...12 g </td><td width=\"*\"><span class=histogram style=\"padding-right:33%\">&nbsp;</span>&nbsp;33%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">12...25 g </td><td width=\"*\"><span class=histogram style=\"padding-right:33%\">&nbsp;</span>&nbsp;33%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">25...50 g </td><td width=\"*\"><span class=histogram style=\"padding-right:33%\">&nbsp;</span>&nbsp;33%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">50...100 g </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">100... g </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr></table><br/>"
    "<p style=\"font-size:20px; font-weight:bold;\">Количество ударов : 2</p><br><br><p>Версия модуля питания генератора : v3.2.2&nbsp;&nbsp;&nbsp;&nbsp; Программа формирования отчёта : v2.1.1</p></body></html>"
    ;
static const char golden_en[] =
    "<html xmlns=\"http://www.w3.org/1999/xhtml\"><head><title>RVKReport_sn1234_06.12.2026_14.35.html</title><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\" /><style type=\"text/css\">thead td{background-color:#F0F0F0; font-weight:bold; text-align:center;}<!--.borderTbl tr  td{border-width: 1px;border-style: solid;border-color:black;text-align:right;margin:3px;}.histogram {BORDER-RIGHT: black 2px solid;BORDER-TOP: black 2px solid;BORDER-LEFT: black 2px solid;BORDER-BOTTOM: black 2px solid;BACKGROUND-COLOR: White;margin-right:10px;}--></style></head><body><h1 align=\"center\">Generator Power Supply Module Report</h1><table style=\"/*font-size:16px;*/ margin-left:50px; /*font-weight:bold;*/\" border=\"1\" cellspacing=\"3\" cellpadding=\"5\">"
    "<tr><td>Date the report was created :</td><td>06.12.2026 14:35</td></tr>"
    "<tr><td>Serial number :</td><td>1234</td></tr>"
    "<tr><td>Release date :</td><td>06.12.2026</td></tr>"
    "<tr><td>Firmware version :</td><td>3.2.2</td></tr>"
    "<tr><td>Impact level :</td><td>7</td></tr>"
    "<tr><td>Total operating time, hours :</td><td>277:46</td></tr>"
    "<tr><td>Inter-repair operating time, hours : </td><td>10:00</td></tr></table>"
    "<p style=\"font-size:24px; font-weight:bold;\">Histogram of the total operating time :</p>"
    "<p style=\"font-size:20px; font-weight:bold;\">Rotation</p>"
    "<table width=\"90%\" border=\"0\" cellspacing=\"3\" cellpadding=\"5\">"
    "<tr><td width=\"140px\">0...1000 rpm </td><td width=\"*\"><span class=histogram style=\"padding-right:10%\">&nbsp;</span>&nbsp;10%</td></tr></tr>"
    "<tr><td width=\"140px\">1000...1200 rpm </td><td width=\"*\"><span class=histogram style=\"padding-right:25%\">&nbsp;</span>&nbsp;25%</td></tr></tr>"
    "<tr><td width=\"140px\">1200...1600 rpm </td><td width=\"*\"><span class=histogram style=\"padding-right:30%\">&nbsp;</span>&nbsp;30%</td></tr></tr>"
    "<tr><td width=\"140px\">1600...2400 rpm </td><td width=\"*\"><span class=histogram style=\"padding-right:20%\">&nbsp;</span>&nbsp;20%</td></tr></tr>"
    "<tr><td width=\"140px\">2400...4000 rpm </td><td width=\"*\"><span class=histogram style=\"padding-right:15%\">&nbsp;</span>&nbsp;15%</td></tr></tr>"
    "<tr><td width=\"140px\">4000... rpm </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr></table><br/>"
    "<p style=\"font-size:20px; font-weight:bold;\">Input voltage</p>"
    "<table width=\"90%\" border=\"0\" cellspacing=\"3\" cellpadding=\"5\">"
    "<tr><td width=\"140px\">0...10 V </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr>"
    "<tr><td width=\"140px\">10...20 V </td><td width=\"*\"><span class=histogram style=\"padding-right:5%\">&nbsp;</span>&nbsp;5%</td></tr></tr>"
    "<tr><td width=\"140px\">20...30 V </td><td width=\"*\"><span class=histogram style=\"padding-right:90%\">&nbsp;</span>&nbsp;90%</td></tr></tr>"
    "<tr><td width=\"140px\">30... V </td><td width=\"*\"><span class=histogram style=\"padding-right:5%\">&nbsp;</span>&nbsp;5%</td></tr></tr></table><br/>"
    "<p style=\"font-size:20px; font-weight:bold;\">Output voltage</p>"
    "<table width=\"90%\" border=\"0\" cellspacing=\"3\" cellpadding=\"5\">"
    "<tr><td width=\"140px\">0...28 V </td><td width=\"*\"><span class=histogram style=\"padding-right:1%\">&nbsp;</span>&nbsp;1%</td></tr></tr>"
    "<tr><td width=\"140px\">28...29 V </td><td width=\"*\"><span class=histogram style=\"padding-right:2%\">&nbsp;</span>&nbsp;2%</td></tr></tr>"
    "<tr><td width=\"140px\">29...30 V </td><td width=\"*\"><span class=histogram style=\"padding-right:50%\">&nbsp;</span>&nbsp;50%</td></tr></tr>"
    "<tr><td width=\"140px\">30...31 V </td><td width=\"*\"><span class=histogram style=\"padding-right:47%\">&nbsp;</span>&nbsp;47%</td></tr></tr>"
    "<tr><td width=\"140px\">31... V </td><td width=\"*\"><span class=histogram style=\"padding-right:1%\">&nbsp;</span>&nbsp;1%</td></tr></tr></table><br/>"
    "<p style=\"font-size:20px; font-weight:bold;\">Current consumption</p>"
    "<table width=\"90%\" border=\"0\" cellspacing=\"3\" cellpadding=\"5\">"
    "<tr><td width=\"140px\">0...125 mA </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr>"
    "<tr><td width=\"140px\">125...250 mA </td><td width=\"*\"><span class=histogram style=\"padding-right:25%\">&nbsp;</span>&nbsp;25%</td></tr></tr>"
    "<tr><td width=\"140px\">250...500 mA </td><td width=\"*\"><span class=histogram style=\"padding-right:25%\">&nbsp;</span>&nbsp;25%</td></tr></tr>"
    "<tr><td width=\"140px\">500...1000 mA </td><td width=\"*\"><span class=histogram style=\"padding-right:25%\">&nbsp;</span>&nbsp;25%</td></tr></tr>"
    "<tr><td width=\"140px\">1000...2000 mA </td><td width=\"*\"><span class=histogram style=\"padding-right:25%\">&nbsp;</span>&nbsp;25%</td></tr></tr>"
    "<tr><td width=\"140px\">2000... mA </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr></table><br/>"
    "<p style=\"font-size:20px; font-weight:bold;\">Temperature</p>"
    "<table width=\"90%\" border=\"0\" cellspacing=\"3\" cellpadding=\"5\">"
    "<tr><td width=\"140px\">0...25 °C </td><td width=\"*\"><span class=histogram style=\"padding-right:30%\">&nbsp;</span>&nbsp;30%</td></tr></tr>"
    "<tr><td width=\"140px\">25...50 °C </td><td width=\"*\"><span class=histogram style=\"padding-right:30%\">&nbsp;</span>&nbsp;30%</td></tr></tr>"
    "<tr><td width=\"140px\">50...75 °C </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr>"
    "<tr><td width=\"140px\">75...100 °C </td><td width=\"*\"><span class=histogram style=\"padding-right:20%\">&nbsp;</span>&nbsp;20%</td></tr></tr>"
    "<tr><td width=\"140px\">100...125 °C </td><td width=\"*\"><span class=histogram style=\"padding-right:20%\">&nbsp;</span>&nbsp;20%</td></tr></tr>"
    "<tr><td width=\"140px\">125... °C </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr></table><br/>"
    "<p style=\"font-size:20px; font-weight:bold;\">Vibration</p>"
    "<table width=\"90%\" border=\"0\" cellspacing=\"3\" cellpadding=\"5\">"
    "<tr><td width=\"140px\">0...12 g </td><td width=\"*\"><span class=histogram style=\"padding-right:99%\">&nbsp;</span>&nbsp;99%</td></tr></tr>"
    "<tr><td width=\"140px\">12...25 g </td><td width=\"*\"><span class=histogram style=\"padding-right:1%\">&nbsp;</span>&nbsp;1%</td></tr></tr>"
    "<tr><td width=\"140px\">25...50 g </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr>"
    "<tr><td width=\"140px\">50...100 g </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr>"
    "<tr><td width=\"140px\">100... g </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr></table><br/>"
    "<p style=\"font-size:20px; font-weight:bold;\">Number of impacts : 5</p><br><br>"
    "<p style=\"font-size:24px; font-weight:bold;\">Histogram of the inter-repair operating time :</p>"
    "<p style=\"font-size:20px; font-weight:bold;\">Rotation</p>"
    "<table width=\"90%\" border=\"0\" cellspacing=\"3\" cellpadding=\"5\">"
    "<tr><td /*align=\"right\";*/ width=\"140px\">0...1000 rpm </td><td width=\"*\"><span class=histogram style=\"padding-right:10%\">&nbsp;</span>&nbsp;10%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">1000...1200 rpm </td><td width=\"*\"><span class=histogram style=\"padding-right:20%\">&nbsp;</span>&nbsp;20%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">1200...1600 rpm </td><td width=\"*\"><span class=histogram style=\"padding-right:30%\">&nbsp;</span>&nbsp;30%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">1600...2400 rpm </td><td width=\"*\"><span class=histogram style=\"padding-right:20%\">&nbsp;</span>&nbsp;20%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">2400...4000 rpm </td><td width=\"*\"><span class=histogram style=\"padding-right:10%\">&nbsp;</span>&nbsp;10%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">4000... rpm </td><td width=\"*\"><span class=histogram style=\"padding-right:10%\">&nbsp;</span>&nbsp;10%</td></tr></tr></table><br/>"
    "<p style=\"font-size:20px; font-weight:bold;\">Input voltage</p>"
    "<table width=\"90%\" border=\"0\" cellspacing=\"3\" cellpadding=\"5\">"
    "<tr><td /*align=\"right\";*/ width=\"140px\">0...10 V </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">10...20 V </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">20...30 V </td><td width=\"*\"><span class=histogram style=\"padding-right:100%\">&nbsp;</span>&nbsp;100%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">30... V </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr></table><br/>"
    "<p style=\"font-size:20px; font-weight:bold;\">Output voltage</p>"
    "<table width=\"90%\" border=\"0\" cellspacing=\"3\" cellpadding=\"5\">"
    "<tr><td /*align=\"right\";*/ width=\"140px\">0...28 V </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">28...29 V </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">29...30 V </td><td width=\"*\"><span class=histogram style=\"padding-right:50%\">&nbsp;</span>&nbsp;50%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">30...31 V </td><td width=\"*\"><span class=histogram style=\"padding-right:50%\">&nbsp;</span>&nbsp;50%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">31... V </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr></table><br/>"
    "<p style=\"font-size:20px; font-weight:bold;\">Current consumption</p>"
    "<table width=\"90%\" border=\"0\" cellspacing=\"3\" cellpadding=\"5\">"
    "<tr><td /*align=\"right\";*/ width=\"140px\">0...125 mA </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">125...250 mA </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">250...500 mA </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">500...1000 mA </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">1000...2000 mA </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">2000... mA </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr></table><br/>"
    "<p style=\"font-size:20px; font-weight:bold;\">Temperature</p>"
    "<table width=\"90%\" border=\"0\" cellspacing=\"3\" cellpadding=\"5\">"
    "<tr><td /*align=\"right\";*/ width=\"140px\">0...25 °C </td><td width=\"*\"><span class=histogram style=\"padding-right:100%\">&nbsp;</span>&nbsp;100%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">25...50 °C </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">50...75 °C </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">75...100 °C </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">100...125 °C </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">125... °C </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr></table><br/>"
    "<p style=\"font-size:20px; font-weight:bold;\">Vibration</p>"
    "<table width=\"90%\" border=\"0\" cellspacing=\"3\" cellpadding=\"5\">"
    "<tr><td /*align=\"right\";*/ width=\"140px\">0...12 g </td><td width=\"*\"><span class=histogram style=\"padding-right:33%\">&nbsp;</span>&nbsp;33%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">12...25 g </td><td width=\"*\"><span class=histogram style=\"padding-right:33%\">&nbsp;</span>&nbsp;33%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">25...50 g </td><td width=\"*\"><span class=histogram style=\"padding-right:33%\">&nbsp;</span>&nbsp;33%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">50...100 g </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr>"
    "<tr><td /*align=\"right\";*/ width=\"140px\">100... g </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr></table><br/>"
    "<p style=\"font-size:20px; font-weight:bold;\">Number of impacts : 2</p><br><br><p>Generator power module version : v3.2.2&nbsp;&nbsp;&nbsp;&nbsp; Report generation program : v2.1.1</p></body></html>"
    ;
HtmlReportInput liveInput(const QByteArray &record, quint32 language)
{
    const ReportValues values = decodeReport(record);
    HtmlReportInput input;
    input.language = language;
    input.context = "MainWindow";
    input.sn = values.sn;
    input.date = QStringLiteral("06.12.2026 14:35");
    input.release_date = values.release_date;
    input.firmware_version = values.firmware_version;
    input.impact_level = values.impact_level;
    input.total_time = values.total_time;
    input.repair_time = values.repair_time;
    input.impacts = values.impacts;
    input.irt_impacts = values.irt_impacts;
    input.totalPercents = values.totalPercents;
    input.repairPercents = values.repairPercents;
    return input;
}

QString readWindows1251(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QTextCodec::codecForName("windows-1251")->toUnicode(file.readAll());
}
} // namespace

class TestHtmlReport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void fileName_data();
    void fileName();
    void goldenDocument_data();
    void goldenDocument();
    void storedReportPrintsWhatIsStored();
    void damagedPercentListsPrintZero();
    void writeFailsWithTheFileError();
    void rewritingReplacesTheWholeFile();

private:
    QTranslator english;
};

void TestHtmlReport::initTestCase()
{
    QVERIFY2(english.load(QStringLiteral("RVKReport_en_GB"), QCoreApplication::applicationDirPath()),
             "the English translation must lie beside the test");
}

void TestHtmlReport::fileName_data()
{
    QTest::addColumn<quint32>("sn");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("expected");
    QTest::newRow("live read-out") << 1234u << "15.03.2024 14:05" << "RVKReport_sn1234_15.03.2024_14.05.html";
    QTest::newRow("serial number 0") << 0u << "01.02.2025 09:05" << "RVKReport_sn0_01.02.2025_09.05.html";
    QTest::newRow("every blank and colon") << 4294967295u << "a b:c d:e" << "RVKReport_sn4294967295_a_b.c_d.e.html";
}

void TestHtmlReport::fileName()
{
    QFETCH(quint32, sn);
    QFETCH(QString, date);
    QFETCH(QString, expected);
    QCOMPARE(htmlReportFileName(sn, date), expected);

    HtmlReportInput input;
    input.sn = sn;
    input.date = date;
    QVERIFY(buildHtmlReport(input).contains(QStringLiteral("<title>%1</title>").arg(expected)));
}

void TestHtmlReport::goldenDocument_data()
{
    QTest::addColumn<quint32>("language");
    QTest::addColumn<QByteArray>("context");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Russian") << 0u << QByteArray("MainWindow") << QString::fromUtf8(golden_ru);
    QTest::newRow("any flag but 1 is Russian") << 7u << QByteArray("MainWindow") << QString::fromUtf8(golden_ru);
    QTest::newRow("English") << 1u << QByteArray("MainWindow") << QString::fromUtf8(golden_en);
    QTest::newRow("English, search dialog") << 1u << QByteArray("SSUDialog") << QString::fromUtf8(golden_en);
    QTest::newRow("Russian, search dialog") << 0u << QByteArray("SSUDialog") << QString::fromUtf8(golden_ru);
}

void TestHtmlReport::goldenDocument()
{
    QFETCH(quint32, language);
    QFETCH(QByteArray, context);
    QFETCH(QString, expected);

    // The Russian documents are built with the translation installed too:
    // the language flag, not the translator, chooses captions and units.
    QCoreApplication::installTranslator(&english);
    if (language != 1)
        QCoreApplication::removeTranslator(&english);

    const QByteArray record = QByteArray::fromHex(recordHex);
    QCOMPARE(record.size(), ReportRecordSize);
    HtmlReportInput input = liveInput(record, language);
    input.context = context.constData();

    const QString path = QDir::current().absoluteFilePath(QStringLiteral("golden.html"));
    QString error;
    QVERIFY2(writeHtmlReportFile(path, input, &error), qPrintable(error));
    QCoreApplication::removeTranslator(&english);

    const QString written = readWindows1251(path);
    QCOMPARE(written, expected);
    QVERIFY(!written.contains(QLatin1Char('\n')));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QCOMPARE(bytes.size(), expected.size()); // one byte per character: no UTF-8
}

void TestHtmlReport::storedReportPrintsWhatIsStored()
{
    HtmlReportInput input;
    input.context = "SSUDialog";
    input.sn = 77;
    input.date = QStringLiteral("01.02.2025 09:05");
    input.release_date = QStringLiteral("05.03.2024");
    input.firmware_version = QStringLiteral("10.0.5");
    input.total_time = QStringLiteral("100:00");
    input.repair_time = QStringLiteral("00:59");
    input.impacts = 5;
    input.irt_impacts = 2;
    input.totalPercents = QStringList({"10,20,30,40,0,0", "0,0,0,100", "1,2,3,4,90", "0,0,0,0,0,100", "50,50,0,0,0,0", "0,0,0,0,100"});
    input.repairPercents = input.totalPercents;
    const QString document = buildHtmlReport(input);

    const QString totalImpacts =
        QStringLiteral("<p style=\"font-size:20px; font-weight:bold;\">Количество ударов : 5</p><br><br>");
    const QString repairImpacts =
        QStringLiteral("<p style=\"font-size:20px; font-weight:bold;\">Количество ударов : 2</p><br><br>");
    const QString repairHeading = QStringLiteral("Гистограмма межремонтной наработки :");
    QVERIFY(document.indexOf(totalImpacts) < document.indexOf(repairHeading));
    QVERIFY(document.indexOf(repairHeading) < document.indexOf(repairImpacts));
    QVERIFY(document.contains(QStringLiteral("<td>100:00</td>")));
    QVERIFY(document.contains(QStringLiteral("<td>10.0.5</td>")));
    QVERIFY(document.contains(QStringLiteral(
        "<tr><td width=\"140px\">4000... об/мин </td><td width=\"*\"><span class=histogram style=\"padding-right:0%\">&nbsp;</span>&nbsp;0%</td></tr></tr>")));
    QVERIFY(document.contains(QStringLiteral(
        "<tr><td width=\"140px\">31... В </td><td width=\"*\"><span class=histogram style=\"padding-right:90%\">&nbsp;</span>&nbsp;90%</td></tr></tr>")));
    QVERIFY(document.contains(QStringLiteral(
        "<tr><td /*align=\"right\";*/ width=\"140px\">100... g </td><td width=\"*\"><span class=histogram style=\"padding-right:100%\">&nbsp;</span>&nbsp;100%</td></tr></tr>")));
}

void TestHtmlReport::damagedPercentListsPrintZero()
{
    HtmlReportInput input;
    input.totalPercents = QStringList({"7,x,,-3,12 ,99", "1,2"}); // four lists missing
    const QString document = buildHtmlReport(input);

    auto percentsPrinted = [&document](int from, int to) {
        QStringList printed;
        int at = from;
        const QString marker = QStringLiteral("padding-right:");
        while ((at = document.indexOf(marker, at)) >= 0 && at < to) {
            at += marker.size();
            printed << document.mid(at, document.indexOf(QLatin1Char('%'), at) - at);
        }
        return printed;
    };
    const int repairStart = document.indexOf(QStringLiteral("Гистограмма межремонтной наработки"));
    QVERIFY(repairStart > 0);
    const QStringList total = percentsPrinted(0, repairStart);
    QCOMPARE(total.size(), 32);
    QCOMPARE(total.mid(0, 6), QStringList({"7", "0", "0", "0", "12", "99"}));
    QCOMPARE(total.mid(6, 4), QStringList({"1", "2", "0", "0"}));
    QCOMPARE(total.mid(10).count(QStringLiteral("0")), 22);
    const QStringList repair = percentsPrinted(repairStart, document.size());
    QCOMPARE(repair, QStringList(QVector<QString>(32, QStringLiteral("0")).toList()));
}

void TestHtmlReport::writeFailsWithTheFileError()
{
    QFile blocker(QStringLiteral("notAFolder"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    QString error;
    QVERIFY(!writeHtmlReportFile(QStringLiteral("notAFolder/report.html"), HtmlReportInput(), &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(QFileInfo(QStringLiteral("notAFolder")).size(), 0);
}

void TestHtmlReport::rewritingReplacesTheWholeFile()
{
    const QString path = QStringLiteral("same-minute.html");
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(100000, 'x'));
    old.close();

    HtmlReportInput input;
    QVERIFY(writeHtmlReportFile(path, input));
    QCOMPARE(readWindows1251(path), buildHtmlReport(input));
}

RVK_TEST_MAIN(TestHtmlReport)
#include "tst_htmlreport.moc"
