// The search window without a database: its form, texts in both languages and
// the behaviour that does not need rows.
#include "tests/support/testmain.h"

#include "ssu/gui/ssudialog.h"

#include <QDateEdit>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>

namespace {
QString textOf(const QWidget *widget)
{
    if (auto *box = qobject_cast<const QGroupBox *>(widget))
        return box->title();
    if (auto *button = qobject_cast<const QPushButton *>(widget))
        return button->text();
    if (auto *label = qobject_cast<const QLabel *>(widget))
        return label->text();
    return QString();
}
} // namespace

class TestSsuDialogForm : public QObject
{
    Q_OBJECT

private slots:
    void texts_data()
    {
        QTest::addColumn<QString>("object");
        QTest::addColumn<QString>("russian");
        QTest::addColumn<QString>("english");
        QTest::newRow("search") << "groupBox" << "Поиск отчётов RVK в базе данных" << "Search reports in the database";
        QTest::newRow("serial") << "groupBox_SN" << "Серийный номер (0 - все номера)" << "Serial number (0 - all numbers)";
        QTest::newRow("serial range") << "groupBox_SNrange" << "Диапазон серийных номеров" << "The range of serial numbers";
        QTest::newRow("report dates") << "groupBox_Date" << "Дата создания отчёта" << "Date the report was created";
        QTest::newRow("release dates") << "groupBox_Release" << "Дата изготовления" << "Date of manufacture";
        QTest::newRow("report") << "groupBox_Report" << "Отчёт" << "Report";
        QTest::newRow("from") << "label_SNfrom" << "от" << "from";
        QTest::newRow("to") << "label_SNto" << "до" << "to";
        QTest::newRow("date from") << "label_DATEfrom" << "от" << "from";
        QTest::newRow("release to") << "label_RELfrom" << "до" << "to";
        QTest::newRow("open") << "pushButton_Open" << "Открыть" << "Open";
        QTest::newRow("save") << "pushButton_Save" << "Сохранить" << "Save";
        QTest::newRow("delete") << "pushButton_Delete" << "Удалить" << "Delete";
        QTest::newRow("range OK") << "pushButton_RELrange" << "OK" << "OK";
    }

    void texts()
    {
        QFETCH(QString, object);
        QFETCH(QString, russian);
        QFETCH(QString, english);
        SSUDialog dialog;
        const QWidget *widget = dialog.findChild<QWidget *>(object);
        QVERIFY(widget);
        QCOMPARE(textOf(widget), russian);
        dialog.setLanguage(1);
        QCOMPARE(textOf(widget), english);
        dialog.setLanguage(0);
        QCOMPARE(textOf(widget), russian);
    }

    void titleAndLanguageCodes()
    {
        SSUDialog dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Система статистического учёта RVK"));
        QVERIFY(!(dialog.windowFlags() & Qt::WindowContextHelpButtonHint));
        dialog.setLanguage(1);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Statistical accounting system RVK"));
        QCOMPARE(dialog.findChild<QDateEdit *>(QStringLiteral("dateEdit_RELmax"))->locale().language(),
                 QLocale::English);
        // Codes other than 0 and 1 leave texts and locales as they were.
        dialog.setLanguage(7);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Statistical accounting system RVK"));
        QCOMPARE(dialog.findChild<QDateEdit *>(QStringLiteral("dateEdit_min"))->locale().language(), QLocale::English);
        dialog.setLanguage(0);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Система статистического учёта RVK"));
        QCOMPARE(dialog.findChild<QDateEdit *>(QStringLiteral("dateEdit_min"))->locale().language(), QLocale::Russian);
    }

    void fieldsAndDefaults()
    {
        SSUDialog dialog;
        QCOMPARE(dialog.size(), QSize(510, 528));
        const QList<QPair<QString, int>> maxima{
            {"spinBox_SN", 1000000}, {"spinBox_SNmin", 100000}, {"spinBox_SNmax", 1000000}};
        for (const auto &field : maxima) {
            auto *spin = dialog.findChild<QSpinBox *>(field.first);
            QVERIFY(spin);
            QCOMPARE(spin->minimum(), 0);
            QCOMPARE(spin->maximum(), field.second);
            QCOMPARE(spin->value(), 0);
        }
        QVERIFY(!dialog.findChild<QPushButton *>(QStringLiteral("pushButton_Delete"))->isEnabled());
        QVERIFY(dialog.findChild<QPushButton *>(QStringLiteral("pushButton_Open"))->isDefault());

        // Defaults are set by the first table set-up, then left to the user.
        dialog.setupTableView();
        const QDate today = QDate::currentDate();
        for (const char *name : {"dateEdit_min", "dateEdit_RELmin"})
            QCOMPARE(dialog.findChild<QDateEdit *>(QLatin1String(name))->date(), QDate(today.year(), 1, 1));
        for (const char *name : {"dateEdit_max", "dateEdit_RELmax"}) {
            auto *edit = dialog.findChild<QDateEdit *>(QLatin1String(name));
            QCOMPARE(edit->date(), today.addDays(1));
            QCOMPARE(edit->displayFormat(), QStringLiteral("dd.MM.yyyy"));
            QVERIFY(edit->calendarPopup());
        }
        auto *chosen = dialog.findChild<QDateEdit *>(QStringLiteral("dateEdit_min"));
        chosen->setDate(QDate(2020, 5, 6));
        dialog.setLanguage(1);
        dialog.setupTableView();
        QCOMPARE(chosen->date(), QDate(2020, 5, 6));
        QCOMPARE(chosen->text(), QStringLiteral("06.05.2020"));
    }

    void tableIsReadOnlyWholeRowSingleSelection()
    {
        SSUDialog dialog;
        dialog.setLanguage(0);
        QTableView *view = dialog.findChild<QTableView *>(QStringLiteral("tableView"));
        QCOMPARE(view->editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(view->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(view->selectionMode(), QAbstractItemView::SingleSelection);
        QVERIFY(view->isSortingEnabled());
        QCOMPARE(view->horizontalHeader()->defaultAlignment(), Qt::AlignHCenter | Qt::AlignVCenter);
        QVERIFY(view->minimumWidth() > 2);
    }

    void withoutModelSearchesAndActionsDoNothing()
    {
        SSUDialog dialog;
        QTableView *view = dialog.findChild<QTableView *>(QStringLiteral("tableView"));
        dialog.findChild<QSpinBox *>(QStringLiteral("spinBox_SN"))->setValue(5);
        for (const char *button : {"pushButton_SN", "pushButton_SNrange", "pushButton_DATErange", "pushButton_RELrange",
                                   "pushButton_Open", "pushButton_Save"})
            dialog.findChild<QPushButton *>(QLatin1String(button))->click();
        QVERIFY(!view->model() || view->model()->rowCount() == 0);
        QVERIFY(!QDir(QStringLiteral("Reports")).exists());

        dialog.findChild<QSpinBox *>(QStringLiteral("spinBox_SN"))->setValue(583146);
        dialog.findChild<QPushButton *>(QStringLiteral("pushButton_SN"))->click();
        QVERIFY(dialog.findChild<QPushButton *>(QStringLiteral("pushButton_Delete"))->isEnabled());
    }
};

RVK_TEST_MAIN(TestSsuDialogForm)
#include "tst_ssudialog_form.moc"
