<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB" sourcelanguage="ru_RU">
<context>
    <name>AdapterLibraries</name>
    <message>
        <source>Внимание</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>В библиотеке драйвера адаптера %1 нет функции %2 (ошибка Windows %3). Адаптер KIVO недоступен; в списке адаптеров показаны CAN-интерфейсы Qt.</source>
        <translation>The adapter driver library %1 has no function %2 (Windows error %3). The KIVO adapter is not available; the adapter list shows Qt&apos;s CAN interfaces instead.</translation>
    </message>
    <message>
        <source>В библиотеке драйвера адаптера %1 нет функции %2 (ошибка Windows %3). Адаптер KIVO недоступен.</source>
        <translation>The adapter driver library %1 has no function %2 (Windows error %3). The KIVO adapter is not available.</translation>
    </message>
    <message>
        <source>Библиотека драйвера адаптера %1 не загружена (ошибка Windows %2). Адаптер KIVO недоступен.</source>
        <translation>The adapter driver library %1 could not be loaded (Windows error %2). The KIVO adapter is not available.</translation>
    </message>
    <message>
        <source>Библиотека драйвера адаптера %1 не загружена (ошибка Windows %2). Адаптер KIVO недоступен; в списке адаптеров показаны CAN-интерфейсы Qt.</source>
        <translation>The adapter driver library %1 could not be loaded (Windows error %2). The KIVO adapter is not available; the adapter list shows Qt&apos;s CAN interfaces instead.</translation>
    </message>
    <message>
        <source>В библиотеке FTDI %1 нет функции %2 (ошибка Windows %3). Список адаптеров не заполняется; канал открывается на адаптере, выбранном последним.</source>
        <translation>The FTDI library %1 has no function %2 (Windows error %3). The adapter list cannot be filled; the channel is opened on the adapter chosen last.</translation>
    </message>
    <message>
        <source>Библиотека FTDI %1 не загружена (ошибка Windows %2). Список адаптеров не заполняется; канал открывается на адаптере, выбранном последним.</source>
        <translation>The FTDI library %1 could not be loaded (Windows error %2). The adapter list cannot be filled; the channel is opened on the adapter chosen last.</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Адаптер &lt;name&gt; (см. &quot;adapters&quot;).</source>
        <translation>Use the adapter &lt;name&gt; (see &quot;adapters&quot;).</translation>
    </message>
    <message>
        <source>Сохранить отчёт в архивную папку, а не в ССУ.</source>
        <translation>Keep the report in the archive folder instead of the SSU.</translation>
    </message>
    <message>
        <source>Вывести значения отчёта в JSON.</source>
        <translation>Print the decoded values as JSON.</translation>
    </message>
    <message>
        <source>Серийный номер (0..65534).</source>
        <translation>The serial number (0..65534).</translation>
    </message>
    <message>
        <source>Дата выпуска, дд.ММ.гггг.</source>
        <translation>The release date, dd.MM.yyyy.</translation>
    </message>
    <message>
        <source>Уровень удара (0..65534).</source>
        <translation>The impact level (0..65534).</translation>
    </message>
    <message>
        <source>Также очистить межремонтную наработку.</source>
        <translation>Also clear the inter-repair counters.</translation>
    </message>
    <message>
        <source>Остановиться через &lt;seconds&gt; с (по умолчанию: по Ctrl+C).</source>
        <translation>Stop after &lt;seconds&gt; (default: at Ctrl+C).</translation>
    </message>
    <message>
        <source>Записывать значения датчиков в &lt;file&gt;.</source>
        <translation>Write the sensor values to &lt;file&gt;.</translation>
    </message>
    <message>
        <source>Только отчёты модуля &lt;N&gt;.</source>
        <translation>Only the reports of module &lt;N&gt;.</translation>
    </message>
    <message>
        <source>Отчёты не раньше &lt;date&gt; (гггг-ММ-дд).</source>
        <translation>Reports made on or after &lt;date&gt; (yyyy-MM-dd).</translation>
    </message>
    <message>
        <source>Отчёты не позже &lt;date&gt; (гггг-ММ-дд).</source>
        <translation>Reports made on or before &lt;date&gt; (yyyy-MM-dd).</translation>
    </message>
    <message>
        <source>csv (по умолчанию) или json.</source>
        <translation>csv (default) or json.</translation>
    </message>
    <message>
        <source>Писать в &lt;file&gt;, а не в стандартный вывод.</source>
        <translation>Write to &lt;file&gt; instead of the standard output.</translation>
    </message>
    <message>
        <source>Найденные интерфейсы адаптеров, по одному в строке.</source>
        <translation>List the adapter interfaces found, one per line.</translation>
    </message>
    <message>
        <source>Прочитать отчёт модуля: документ, ССУ или архив.</source>
        <translation>Read the module&apos;s report: document, SSU or archive.</translation>
    </message>
    <message>
        <source>Записать заводские значения и проверить их обратным чтением.</source>
        <translation>Write the factory values and check them by reading back.</translation>
    </message>
    <message>
        <source>Записывать значения датчиков отладочного монитора.</source>
        <translation>Record the sensor values of the debug monitor.</translation>
    </message>
    <message>
        <source>Выгрузить сохранённые отчёты из ССУ.</source>
        <translation>Export stored reports from the SSU.</translation>
    </message>
    <message>
        <source>Работать в папке &lt;folder&gt;, создав её при необходимости (по умолчанию: текущая папка).</source>
        <translation>Work in &lt;folder&gt;, created when missing (default: the current folder).</translation>
    </message>
    <message>
        <source>Использование: rvk-report &lt;команда&gt; [параметры]</source>
        <translation>Usage: rvk-report &lt;command&gt; [options]</translation>
    </message>
    <message>
        <source>Сервисная программа модуля питания генератора RVK, без окна.</source>
        <translation>Service tool for the RVK generator power module, without a window.</translation>
    </message>
    <message>
        <source>Команды:</source>
        <translation>Commands:</translation>
    </message>
    <message>
        <source>&quot;rvk-report &lt;команда&gt; --help&quot; описывает параметры команды.</source>
        <translation>&quot;rvk-report &lt;command&gt; --help&quot; describes a command&apos;s options.</translation>
    </message>
    <message>
        <source>Адаптер %1 не открывается.</source>
        <translation>The adapter %1 does not open.</translation>
    </message>
    <message>
        <source>Нет связи с адаптером (%1). &quot;rvk-report adapters&quot; перечисляет найденные.</source>
        <translation>No adapter link (adapter %1). &quot;rvk-report adapters&quot; lists those found.</translation>
    </message>
    <message>
        <source>Неизвестная команда &quot;%1&quot;.</source>
        <translation>Unknown command &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>Показать эту справку.</source>
        <translation>Show this help.</translation>
    </message>
    <message>
        <source>Использование: rvk-report %1 [параметры]</source>
        <translation>Usage: rvk-report %1 [options]</translation>
    </message>
    <message>
        <source>Лишний аргумент &quot;%1&quot;.</source>
        <translation>Unexpected argument &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>Не удалось открыть рабочую папку: %1.</source>
        <translation>The working folder cannot be used: %1.</translation>
    </message>
    <message>
        <source>--%1 принимает дату гггг-ММ-дд.</source>
        <translation>--%1 takes a date yyyy-MM-dd.</translation>
    </message>
    <message>
        <source>--format: csv или json.</source>
        <translation>--format is csv or json.</translation>
    </message>
    <message>
        <source>Не могу записать %1: %2</source>
        <translation>%1 cannot be written: %2</translation>
    </message>
    <message>
        <source>ССУ недоступна.</source>
        <translation>The SSU cannot be reached.</translation>
    </message>
    <message>
        <source>Выгружено отчётов: %1</source>
        <translation>%1 reports exported</translation>
    </message>
    <message>
        <source>Выгрузка прервана после %1 отчётов: %2</source>
        <translation>The export stopped after %1 reports: %2</translation>
    </message>
    <message>
        <source>Выгружено отчётов: %1.</source>
        <translation>%1 reports exported.</translation>
    </message>
    <message>
        <source>Нужен параметр --csv.</source>
        <translation>--csv is required.</translation>
    </message>
    <message>
        <source>--duration принимает положительное число секунд.</source>
        <translation>--duration takes a positive number of seconds.</translation>
    </message>
    <message>
        <source>Связь с адаптером нарушена.</source>
        <translation>The adapter link failed.</translation>
    </message>
    <message>
        <source>Значения датчиков записываются в %1 (остановка: Ctrl+C).</source>
        <translation>Recording the sensor values to %1 (Ctrl+C stops).</translation>
    </message>
    <message>
        <source>Записано показаний: %1.</source>
        <translation>%1 readings recorded.</translation>
    </message>
    <message>
        <source>Чтение отчёта: %1 %</source>
        <translation>Reading the report: %1 %</translation>
    </message>
    <message>
        <source>Не могу сохранить файл отчёта: %1 (%2)</source>
        <translation>The report document cannot be written: %1 (%2)</translation>
    </message>
    <message>
        <source>Модуль перестал отвечать после %1 кадров из 37.</source>
        <translation>The module stopped answering after %1 of 37 frames.</translation>
    </message>
    <message>
        <source>Модуль не отвечает.</source>
        <translation>No module answered.</translation>
    </message>
    <message>
        <source>Отчёт прочитан не полностью (получено кадров: %1 из 37); ничего не сохранено.</source>
        <translation>The report arrived incomplete (%1 of 37 frames); nothing was stored.</translation>
    </message>
    <message>
        <source>Отчёт не сохранён вовремя.</source>
        <translation>The report was not stored in time.</translation>
    </message>
    <message>
        <source>Серийный номер: %1</source>
        <translation>Serial number: %1</translation>
    </message>
    <message>
        <source>Наработка: %1</source>
        <translation>Operating time: %1</translation>
    </message>
    <message>
        <source>Межремонтная наработка: %1</source>
        <translation>Since repair: %1</translation>
    </message>
    <message>
        <source>Дата выпуска: %1</source>
        <translation>Release date: %1</translation>
    </message>
    <message>
        <source>Версия ПО: %1</source>
        <translation>Firmware: %1</translation>
    </message>
    <message>
        <source>Уровень удара: %1</source>
        <translation>Impact level: %1</translation>
    </message>
    <message>
        <source>Документ: %1</source>
        <translation>Document: %1</translation>
    </message>
    <message>
        <source>Отчёт сохранён в ССУ.</source>
        <translation>Stored in the SSU.</translation>
    </message>
    <message>
        <source>Отчёт сохранён в архив: %1</source>
        <translation>Kept in the archive: %1</translation>
    </message>
    <message>
        <source>Отчёт не передан в ССУ и не сохранён в архив: %1 (%2)</source>
        <translation>The report was neither stored in the SSU nor archived: %1 (%2)</translation>
    </message>
    <message>
        <source>Нужен параметр --%1.</source>
        <translation>--%1 is required.</translation>
    </message>
    <message>
        <source>Серийный номер и уровень удара: числа от 0 до 65534, дата выпуска: дата дд.ММ.гггг.</source>
        <translation>The serial number and the impact level are numbers from 0 to 65534, the release date a date dd.MM.yyyy.</translation>
    </message>
    <message>
        <source>Текущие значения не прочитаны полностью; ничего не записано.</source>
        <translation>The current values could not be read whole; nothing was written.</translation>
    </message>
    <message>
        <source>Текущий отчёт не удалось сохранить (%1); ничего не записано.</source>
        <translation>The current report could not be kept (%1); nothing was written.</translation>
    </message>
    <message>
        <source>Текущие значения: %1</source>
        <translation>Current values: %1</translation>
    </message>
    <message>
        <source>Модуль не подтвердил команду.</source>
        <translation>The module did not acknowledge a command.</translation>
    </message>
    <message>
        <source>Записанные значения не удалось прочитать.</source>
        <translation>The values written could not be read back.</translation>
    </message>
    <message>
        <source>Прочитано: %1</source>
        <translation>Read back: %1</translation>
    </message>
    <message>
        <source>Прочитанные значения отличаются от записанных.</source>
        <translation>The values read back differ from those written.</translation>
    </message>
    <message>
        <source>Значения записаны, но журнал изменений %1 не записывается.</source>
        <translation>The values are written, but the change log %1 cannot be written.</translation>
    </message>
    <message>
        <source>Изменения с прошлого отчёта: %1</source>
        <translation>Since the last report: %1</translation>
    </message>
    <message>
        <source>Группировать по firmware, release-month или release-year.</source>
        <translation>Group by firmware, release-month or release-year.</translation>
    </message>
    <message>
        <source>Сводка по парку из ССУ, как в окне &quot;Парк модулей&quot;, по группам.</source>
        <translation>The fleet summary from the SSU, as the &quot;Module fleet&quot; window shows it, group by group.</translation>
    </message>
    <message>
        <source>--serial принимает серийный номер от 0 до 4294967295.</source>
        <translation>--serial takes a serial number from 0 to 4294967295.</translation>
    </message>
    <message>
        <source>--group: firmware, release-month или release-year.</source>
        <translation>--group: firmware, release-month or release-year.</translation>
    </message>
    <message>
        <source>Не удалось вывести сводку по парку.</source>
        <translation>Could not print the fleet summary.</translation>
    </message>
    <message>
        <source>Групп: %1.</source>
        <translation>Groups: %1.</translation>
    </message>
    <message>
        <source>Значения и их команды: %1</source>
        <translation>Each value and its command: %1</translation>
    </message>
    <message>
        <source>Значения модуля прочитать не удалось: что он хранит, не известно.</source>
        <translation>The module&apos;s values could not be read back: what it holds is not known.</translation>
    </message>
    <message>
        <source>Монитор модуля выключен.</source>
        <translation>The module&apos;s monitor is switched off.</translation>
    </message>
    <message>
        <source>Монитор модуля выключить не удалось: связь с адаптером нарушена.</source>
        <translation>The module&apos;s monitor could not be switched off: the link to the adapter is broken.</translation>
    </message>
    <message>
        <source>Читать модуль за модулем до Ctrl+C: следующий модуль читается, когда ответит модуль с другим серийным номером или любой модуль после того, как прочитанный замолчал. По строке на модуль (с --json: по объекту JSON на строке).</source>
        <translation>Read module after module until Ctrl+C: the next module is read when a module with another serial number answers, or any module answers after the one read has fallen silent. One line per module (with --json: one JSON object per line).</translation>
    </message>
    <message>
        <source>Передать в ССУ отчёты, ждущие в архивной папке.</source>
        <translation>Send the reports waiting in the archive folder to the SSU.</translation>
    </message>
    <message>
        <source>Язык вывода и документов: ru или en (по умолчанию: язык, выбранный в программе, иначе LANG).</source>
        <translation>Language of the output and the documents: ru or en (default: the language chosen in the program, otherwise LANG).</translation>
    </message>
    <message>
        <source>Коды завершения:
  0  выполнено
  1  ошибка
  2  командная строка не понята
  3  нет связи с адаптером
  4  модуль не ответил
  5  отчёт получен не полностью
  6  отчёт сохранён только в архив (upload: не все отчёты переданы)
  7  отчёт не сохранён ни в ССУ, ни в архив
  8  прочитанные значения отличаются от записанных
  9  ССУ недоступна или запрос не выполнен</source>
        <translation>Exit codes:
  0  done
  1  failed
  2  the command line was not understood
  3  no adapter link
  4  no module answered
  5  the report arrived incomplete
  6  the report was kept in the archive only (upload: not every report was sent)
  7  the report was neither stored nor archived
  8  the values read back differ from those written
  9  the SSU could not be reached or queried</translation>
    </message>
    <message>
        <source>--lang ru|en перед командой или после неё выбирает язык.</source>
        <translation>--lang ru|en before or after the command chooses the language.</translation>
    </message>
    <message>
        <source>Английский перевод не загружается; вывод на русском.</source>
        <translation>The English translation cannot be loaded; the output is in Russian.</translation>
    </message>
    <message>
        <source>--lang: ru или en, не &quot;%1&quot;.</source>
        <translation>--lang: ru or en, not &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>Внимание: %1</source>
        <translation>Attention: %1</translation>
    </message>
    <message>
        <source>ССУ</source>
        <translation>SSU</translation>
    </message>
    <message>
        <source>архив: %1</source>
        <translation>archive: %1</translation>
    </message>
    <message>
        <source>не сохранён: %1</source>
        <translation>not kept: %1</translation>
    </message>
    <message>
        <source>Модули читаются один за другим; остановка: Ctrl+C.</source>
        <translation>Reading module after module; stop with Ctrl+C.</translation>
    </message>
    <message>
        <source>Прочитано модулей: %1.</source>
        <translation>Modules read: %1.</translation>
    </message>
    <message>
        <source>Отчётов в архивной папке %1 нет.</source>
        <translation>No reports in the archive folder %1.</translation>
    </message>
    <message>
        <source>Отчётов в архивной папке %1: %2.</source>
        <translation>Reports in the archive folder %1: %2.</translation>
    </message>
    <message>
        <source>%1: передан в ССУ</source>
        <translation>%1: sent to the SSU</translation>
    </message>
    <message>
        <source>%1: не передан: ССУ недоступна</source>
        <translation>%1: not sent: the SSU cannot be reached</translation>
    </message>
    <message>
        <source>ССУ не сохранила отчёт</source>
        <translation>the SSU did not store the report</translation>
    </message>
    <message>
        <source>ССУ не ответила вовремя</source>
        <translation>the SSU did not answer in time</translation>
    </message>
    <message>
        <source>%1: не передан: %2</source>
        <translation>%1: not sent: %2</translation>
    </message>
    <message>
        <source>%1: уже был в ССУ (заменён этой копией)</source>
        <translation>%1: already in the SSU (replaced by this copy)</translation>
    </message>
    <message>
        <source>файла больше нет в архивной папке</source>
        <translation>the file is no longer in the archive folder</translation>
    </message>
    <message>
        <source>Передано в ССУ: %1 (из них уже были там: %2), не передано: %3.</source>
        <translation>Sent to the SSU: %1 (%2 of them already there), not sent: %3.</translation>
    </message>
</context>
<context>
    <name>ComparisonLine</name>
    <message>
        <source>Сравнение</source>
        <translation>Comparison</translation>
    </message>
    <message>
        <source>Открыть сравнение с прошлым отчётом модуля</source>
        <translation>Open the comparison with the module&apos;s previous report</translation>
    </message>
</context>
<context>
    <name>FleetFigures</name>
    <message>
        <source>Модулей</source>
        <translation>Modules</translation>
    </message>
    <message>
        <source>Наработка, ч: медиана</source>
        <translation>Operating hours: median</translation>
    </message>
    <message>
        <source>Наработка, ч: 10-й процентиль</source>
        <translation>Operating hours: 10th percentile</translation>
    </message>
    <message>
        <source>Наработка, ч: 90-й процентиль</source>
        <translation>Operating hours: 90th percentile</translation>
    </message>
    <message>
        <source>Возраст, лет: медиана</source>
        <translation>Age, years: median</translation>
    </message>
    <message>
        <source>Возраст, лет: 10-й процентиль</source>
        <translation>Age, years: 10th percentile</translation>
    </message>
    <message>
        <source>Возраст, лет: 90-й процентиль</source>
        <translation>Age, years: 90th percentile</translation>
    </message>
    <message>
        <source>Наработка за год возраста, ч: медиана</source>
        <translation>Hours per year of age: median</translation>
    </message>
    <message>
        <source>Наработка за год возраста, ч: 10-й процентиль</source>
        <translation>Hours per year of age: 10th percentile</translation>
    </message>
    <message>
        <source>Наработка за год возраста, ч: 90-й процентиль</source>
        <translation>Hours per year of age: 90th percentile</translation>
    </message>
    <message>
        <source>Ударов на 100 ч наработки</source>
        <translation>Impacts per 100 operating hours</translation>
    </message>
    <message>
        <source>%1 %2…%3 %4, %</source>
        <translation>%1 %2…%3 %4, %</translation>
    </message>
</context>
<context>
    <name>FleetQuery</name>
    <message>
        <source>Не удалось прочитать сводку по парку: %1</source>
        <translation>Could not read the fleet summary: %1</translation>
    </message>
    <message>
        <source>Недопустимое имя таблицы: %1</source>
        <translation>Invalid table name: %1</translation>
    </message>
    <message>
        <source>Нет открытого подключения к базе данных</source>
        <translation>No open database connection</translation>
    </message>
    <message>
        <source>Не удалось прочитать сводку по парку: сервер прислал больше модулей, чем насчитал (%1)</source>
        <translation>Could not read the fleet summary: the server sent more modules than it counted (%1)</translation>
    </message>
</context>
<context>
    <name>FleetWindow</name>
    <message>
        <source>неизвестно</source>
        <translation>unknown</translation>
    </message>
    <message>
        <source>Чтение…</source>
        <translation>Reading…</translation>
    </message>
    <message>
        <source>Прочитано в %1</source>
        <translation>Read at %1</translation>
    </message>
    <message>
        <source>Сохранить сводку по парку</source>
        <translation>Save fleet summary</translation>
    </message>
    <message>
        <source>Файлы CSV (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>Сводка по парку</source>
        <translation>Fleet summary</translation>
    </message>
    <message>
        <source>Не удалось записать файл %1: %2</source>
        <translation>Could not write file %1: %2</translation>
    </message>
    <message>
        <source>Парк модулей</source>
        <translation>Module fleet</translation>
    </message>
    <message>
        <source>По версии прошивки</source>
        <translation>By firmware version</translation>
    </message>
    <message>
        <source>По месяцу выпуска</source>
        <translation>By release month</translation>
    </message>
    <message>
        <source>По году выпуска</source>
        <translation>By release year</translation>
    </message>
    <message>
        <source>Группировка:</source>
        <translation>Grouping:</translation>
    </message>
    <message>
        <source>Группа А:</source>
        <translation>Group A:</translation>
    </message>
    <message>
        <source>Группа Б:</source>
        <translation>Group B:</translation>
    </message>
    <message>
        <source>Обновить</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>Выгрузить в CSV…</source>
        <translation>Export to CSV…</translation>
    </message>
</context>
<context>
    <name>HtmlReport</name>
    <message>
        <source>&lt;body&gt;&lt;h1 align=&quot;center&quot;&gt;Отчёт модуля питания генератора RVK&lt;/h1&gt;</source>
        <translation>&lt;body&gt;&lt;h1 align=&quot;center&quot;&gt;Generator Power Supply Module Report&lt;/h1&gt;</translation>
    </message>
    <message>
        <source>&lt;p style=&quot;font-size:24px; font-weight:bold;&quot;&gt;Гистограмма полной наработки :&lt;/p&gt;</source>
        <translation>&lt;p style=&quot;font-size:24px; font-weight:bold;&quot;&gt;Histogram of the total operating time :&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;p style=&quot;font-size:24px; font-weight:bold;&quot;&gt;Гистограмма межремонтной наработки :&lt;/p&gt;</source>
        <translation>&lt;p style=&quot;font-size:24px; font-weight:bold;&quot;&gt;Histogram of the inter-repair operating time :&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;p&gt;Версия модуля питания генератора : %1&amp;nbsp;&amp;nbsp;&amp;nbsp;&amp;nbsp; Программа формирования отчёта : %2&lt;/p&gt;</source>
        <translation>&lt;p&gt;Generator power module version : %1&amp;nbsp;&amp;nbsp;&amp;nbsp;&amp;nbsp; Report generation program : %2&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Серийный номер :</source>
        <translation>Serial number :</translation>
    </message>
    <message>
        <source>Дата формирования отчета :</source>
        <translation>Date the report was created :</translation>
    </message>
    <message>
        <source>Дата выпуска :</source>
        <translation>Release date :</translation>
    </message>
    <message>
        <source>Версия прошивки :</source>
        <translation>Firmware version :</translation>
    </message>
    <message>
        <source>Уровень удара :</source>
        <translation>Impact level :</translation>
    </message>
    <message>
        <source>Полная наработка, часов :</source>
        <translation>Total operating time, hours :</translation>
    </message>
    <message>
        <source>Межремонтная наработка, часов : </source>
        <translation>Inter-repair operating time, hours : </translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>MainWindow</source>
        <translation>Форточка</translation>
    </message>
    <message>
        <source>Имя адаптера</source>
        <translation>Adapter Name</translation>
    </message>
    <message>
        <source>Полная наработка</source>
        <translation>Full operating time</translation>
    </message>
    <message>
        <source>---</source>
        <translation>---</translation>
    </message>
    <message>
        <source>часов</source>
        <translation>hours</translation>
    </message>
    <message>
        <source>Межремонтная наработка</source>
        <translation>Inter-repair time</translation>
    </message>
    <message>
        <source>Серийный номер</source>
        <translation>Serial number</translation>
    </message>
    <message>
        <source>Установить</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>Дата выпуска</source>
        <translation>Release date</translation>
    </message>
    <message>
        <source>Уровень удара, g</source>
        <translation>Impact level, g</translation>
    </message>
    <message>
        <source>Версия прошивки</source>
        <translation>Firmware version</translation>
    </message>
    <message>
        <source>ВНИМАНИЕ! Данные межремонтной наработки будут безвозвратно удалены!</source>
        <translation>Attention! The data of the inter-repair work will be permanently deleted!</translation>
    </message>
    <message>
        <source>Сбросить межремонтную наработку</source>
        <translation>Reset inter-repair time</translation>
    </message>
    <message>
        <source>ВНИМАНИЕ! Все данные будут безвозвратно удалены!</source>
        <translation>Attention! All data will be permanently deleted!</translation>
    </message>
    <message>
        <source>Очистить EEPROM (удалит все данные)</source>
        <translation>Delete all data</translation>
    </message>
    <message>
        <source>Записывать лог в файл</source>
        <translation>Write log to file</translation>
    </message>
    <message>
        <source>Включить отладочный монитор</source>
        <translation>Enable debugging monitor</translation>
    </message>
    <message>
        <source>Выключить отладочный монитор</source>
        <translation>Disable debugging monitor</translation>
    </message>
    <message>
        <source>Прочитать отчёт</source>
        <translation>Read the report</translation>
    </message>
    <message>
        <source>toolBar</source>
        <translation>toolBar</translation>
    </message>
    <message>
        <source>RUS</source>
        <translation>RUS</translation>
    </message>
    <message>
        <source>Выбрать русский язык</source>
        <translation>Choose Russian language</translation>
    </message>
    <message>
        <source>ENG</source>
        <translation>ENG</translation>
    </message>
    <message>
        <source>Выбрать английский язык</source>
        <translation>Choose English language</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>О программе</source>
        <translation>About</translation>
    </message>
    <message>
        <source>SSU</source>
        <translation>SAS</translation>
    </message>
    <message>
        <source>Система статистического учёта RVK</source>
        <translation>Statistical accounting system RVK</translation>
    </message>
    <message>
        <source>Индикатор подключения к KIVO</source>
        <translation>KIVO connection indicator</translation>
    </message>
    <message>
        <source> SSU </source>
        <translation> SAS </translation>
    </message>
    <message>
        <source>Индикатор подключения к ССУ</source>
        <translation>SAS Connection indicator</translation>
    </message>
    <message>
        <source>Ошибка</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Отсутствует связь с модулем RVK
Проверьте подключение адаптера KIVO и модуля RVK</source>
        <translation>There is no connection with the RVK module
Check the connection of the KIVO adapter and the RVK module</translation>
    </message>
    <message>
        <source>Внимание</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Отсутствует файл перевода</source>
        <translation>The translation file is missing</translation>
    </message>
    <message>
        <source>Сервисная программа модуля питания генератора RVK</source>
        <translation>Service program for the RVK generator power module</translation>
    </message>
    <message>
        <source>Отчёт прочитан не полностью (получено кадров: %1 из 37). Прочитайте отчёт ещё раз.</source>
        <translation>The report was read incompletely (%1 of 37 frames received). Read the report again.</translation>
    </message>
    <message>
        <source>Подождите...</source>
        <translation>Wait...</translation>
    </message>
    <message>
        <source>Вход в ССУ</source>
        <translation>Logging in to SAS</translation>
    </message>
    <message>
        <source>Введите пароль:</source>
        <translation>Enter the password:</translation>
    </message>
    <message>
        <source>Доступ запрещён</source>
        <translation>Access is denied</translation>
    </message>
    <message>
        <source>Неверный пароль</source>
        <translation>Invalid password</translation>
    </message>
    <message>
        <source>Отсутствует подключение к БД</source>
        <translation>There is no connection to the database</translation>
    </message>
    <message>
        <source>В таблице ССУ не хватает ключей и индексов (%1): нужен шаг администратора (scripts/ssu-admin).</source>
        <translation>The SSU table lacks keys and indexes (%1): the administrator&apos;s step (scripts/ssu-admin) is pending.</translation>
    </message>
    <message>
        <source>Не удалось получить файл пароля с веб-сервера ССУ.</source>
        <translation>The password file could not be fetched from the SAS web server.</translation>
    </message>
    <message>
        <source>Файл пароля с веб-сервера ССУ не расшифровывается.</source>
        <translation>The password file from the SAS web server cannot be decrypted.</translation>
    </message>
    <message>
        <source>Сервер базы данных ССУ недоступен или не принял подключение.</source>
        <translation>The SAS database server could not be reached or refused the connection.</translation>
    </message>
    <message>
        <source>Сброс межремонтной наработки</source>
        <translation>Resetting the inter-repair time</translation>
    </message>
    <message>
        <source>Удаление всех данных</source>
        <translation>Deleting all data</translation>
    </message>
</context>
<context>
    <name>ModuleHistoryWindow</name>
    <message>
        <source>История модуля %1</source>
        <translation>History of module %1</translation>
    </message>
    <message>
        <source>Наработка, ч</source>
        <translation>Operating time, h</translation>
    </message>
    <message>
        <source>Удары</source>
        <translation>Impacts</translation>
    </message>
    <message>
        <source>Часы в верхнем диапазоне</source>
        <translation>Hours in the top range</translation>
    </message>
    <message>
        <source>Полная наработка</source>
        <translation>Total operating time</translation>
    </message>
    <message>
        <source>Межремонтная наработка</source>
        <translation>Inter-repair operating time</translation>
    </message>
    <message>
        <source>Количество ударов</source>
        <translation>Number of impacts</translation>
    </message>
    <message>
        <source>Дата</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Дата выпуска</source>
        <translation>Date of manufacture</translation>
    </message>
    <message>
        <source>Версия ПО</source>
        <translation>Software Version</translation>
    </message>
    <message>
        <source>Наработка</source>
        <translation>Operating time</translation>
    </message>
    <message>
        <source>Межремонтная</source>
        <translation>IR time</translation>
    </message>
    <message>
        <source>Межремонтные удары</source>
        <translation>IR impacts</translation>
    </message>
    <message>
        <source>Отчётов: %1. Выберите два отчёта, чтобы сравнить их.</source>
        <translation>Reports: %1. Select two reports to compare them.</translation>
    </message>
    <message>
        <source>Сравнить</source>
        <translation>Compare</translation>
    </message>
    <message>
        <source>Экспорт в CSV...</source>
        <translation>Export to CSV...</translation>
    </message>
    <message>
        <source>Внимание</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Не могу сохранить файл сравнения
%1
%2</source>
        <translation>Cannot save the comparison file
%1
%2</translation>
    </message>
    <message>
        <source>Экспорт истории модуля</source>
        <translation>Export the module&apos;s history</translation>
    </message>
    <message>
        <source>Файлы CSV (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>Не могу сохранить файл
%1
%2</source>
        <translation>Cannot save the file
%1
%2</translation>
    </message>
</context>
<context>
    <name>ModuleNotice</name>
    <message>
        <source>Модуль не подтвердил команду. Проверьте адаптер KIVO, кабель и питание модуля RVK.</source>
        <translation>The module did not confirm the command. Check the KIVO adapter, the cable and the module&apos;s power.</translation>
    </message>
    <message>
        <source>Модуль не отвечает. Проверьте адаптер KIVO, кабель и питание модуля RVK.</source>
        <translation>The module does not answer. Check the KIVO adapter, the cable and the module&apos;s power.</translation>
    </message>
    <message>
        <source>Модуль перестал отвечать: прочитано %1 % отчёта. Проверьте адаптер KIVO, кабель и питание модуля RVK и прочитайте отчёт ещё раз.</source>
        <translation>The module stopped answering at %1 % of the report. Check the KIVO adapter, the cable and the module&apos;s power, and read the report again.</translation>
    </message>
</context>
<context>
    <name>MonitorController</name>
    <message>
        <source>Состояние датчиков</source>
        <translation>Status of sensors</translation>
    </message>
    <message>
        <source>Тренды</source>
        <translation>Trends</translation>
    </message>
    <message>
        <source>Графики значений датчиков</source>
        <translation>Sensor value charts</translation>
    </message>
    <message>
        <source>Внимание</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Не могу открыть файл для сохранения лога</source>
        <translation>I can&apos;t open the file to save the log</translation>
    </message>
    <message>
        <source>Debugger — прокрутка остановлена (Enter)</source>
        <translation>Debugger — scrolling paused (Enter)</translation>
    </message>
</context>
<context>
    <name>ReportComparison</name>
    <message>
        <source>Полная наработка уменьшилась: модуль заменён под этим серийным номером или его память очищена.</source>
        <translation>The total operating time went down: the module was exchanged under this serial number or its memory was cleared.</translation>
    </message>
    <message>
        <source>Количество ударов уменьшилось: модуль заменён под этим серийным номером или его память очищена.</source>
        <translation>The impact count went down: the module was exchanged under this serial number or its memory was cleared.</translation>
    </message>
    <message>
        <source>Этот отчёт датирован раньше предыдущего: проверьте часы компьютеров станций.</source>
        <translation>This report is dated before the previous one: check the clocks of the stations&apos; computers.</translation>
    </message>
    <message>
        <source>Межремонтные счётчики сброшены после предыдущего отчёта.</source>
        <translation>The inter-repair counters were reset since the previous report.</translation>
    </message>
    <message>
        <source>Необычная работа: %1, %2 — %3 % добавленного времени, ранее %4 %.</source>
        <translation>Unusual operation: %1, %2 took %3 % of the added time, before %4 %.</translation>
    </message>
    <message>
        <source>Необычно много ударов: %1 на 100 часов, ранее %2.</source>
        <translation>Unusually many impacts: %1 per 100 hours, before %2.</translation>
    </message>
    <message>
        <source>Серийный номер</source>
        <translation>Serial number</translation>
    </message>
    <message>
        <source>Этот отчёт</source>
        <translation>This report</translation>
    </message>
    <message>
        <source>копия этой станции</source>
        <translation>this station&apos;s copy</translation>
    </message>
    <message>
        <source>ССУ</source>
        <translation>SSU</translation>
    </message>
    <message>
        <source>Предыдущий отчёт</source>
        <translation>Previous report</translation>
    </message>
    <message>
        <source>Прошло дней</source>
        <translation>Days since</translation>
    </message>
    <message>
        <source>прошивка обновлена</source>
        <translation>firmware updated</translation>
    </message>
    <message>
        <source>Версия прошивки</source>
        <translation>Firmware version</translation>
    </message>
    <message>
        <source>Было</source>
        <translation>Before</translation>
    </message>
    <message>
        <source>Стало</source>
        <translation>Now</translation>
    </message>
    <message>
        <source>Добавилось</source>
        <translation>Added</translation>
    </message>
    <message>
        <source>Полная наработка, ч:мин</source>
        <translation>Total operating time, h:min</translation>
    </message>
    <message>
        <source>Межремонтная наработка, ч:мин</source>
        <translation>Inter-repair operating time, h:min</translation>
    </message>
    <message>
        <source>Межремонтное количество ударов</source>
        <translation>Inter-repair number of impacts</translation>
    </message>
    <message>
        <source>Часы по диапазонам (полная наработка)</source>
        <translation>Hours per range (total operating time)</translation>
    </message>
    <message>
        <source>Часы диапазона — его процент от наработки. Модуль хранит секунды, но в отчёте проценты округлены до целых, поэтому добавленные часы верны лишь до ±%1 ч.</source>
        <translation>A range&apos;s hours are its percentage of the operating time. The module counts seconds, but the report keeps the percentages rounded to whole numbers, so the added hours are right only to within ±%1 h.</translation>
    </message>
    <message>
        <source>Было, ч</source>
        <translation>Before, h</translation>
    </message>
    <message>
        <source>Стало, ч</source>
        <translation>Now, h</translation>
    </message>
    <message>
        <source>Добавилось, ч</source>
        <translation>Added, h</translation>
    </message>
    <message>
        <source>Доля добавленного, %</source>
        <translation>Share of the added time, %</translation>
    </message>
    <message>
        <source>С прошлого отчёта</source>
        <translation>Since the last report</translation>
    </message>
    <message>
        <source>Это первый отчёт модуля: сравнивать не с чем.</source>
        <translation>This is the module&apos;s first report: there is nothing to compare.</translation>
    </message>
    <message>
        <source>Обратите внимание</source>
        <translation>Needs a look</translation>
    </message>
    <message>
        <source>Предыдущий отчёт модуля здесь не известен: отчёты сейчас не передаются в ССУ, а эта станция модуль ещё не читала.</source>
        <translation>The module&apos;s previous report is not known here: reports are not sent to the SAS at present, and this station has not read the module before.</translation>
    </message>
    <message>
        <source>Предыдущий отчёт модуля здесь не известен: ССУ не ответила, а эта станция модуль ещё не читала.</source>
        <translation>The module&apos;s previous report is not known here: the SAS did not answer, and this station has not read the module before.</translation>
    </message>
    <message>
        <source>Предыдущий отчёт не известен: у модуля нет серийного номера.</source>
        <translation>The previous report is not known: the module has no serial number.</translation>
    </message>
    <message>
        <source>С прошлого отчёта: %1 сут., наработка %2, ударов %3.</source>
        <translation>Since the last report: %1 days, operating time %2, impacts %3.</translation>
    </message>
</context>
<context>
    <name>ReportExport</name>
    <message>
        <source>Не удалось прочитать сохранённые отчёты: %1</source>
        <translation>Reading the stored reports failed: %1</translation>
    </message>
    <message>
        <source>У отчёта модуля %1 дата не читается</source>
        <translation>A report of module %1 has a date that cannot be read</translation>
    </message>
    <message>
        <source>У отчёта модуля %1 от %2 не читается значение %3</source>
        <translation>The report of module %1 made %2 has a value of %3 that cannot be read</translation>
    </message>
    <message>
        <source>Не удалось записать выгрузку: %1</source>
        <translation>Writing the export failed: %1</translation>
    </message>
    <message>
        <source>Выгрузке некуда писать</source>
        <translation>The export has nowhere to be written</translation>
    </message>
    <message>
        <source>Нет открытого подключения к базе данных</source>
        <translation>There is no open connection to the database</translation>
    </message>
</context>
<context>
    <name>ReportStore</name>
    <message>
        <source>файл не читается как отчёт</source>
        <translation>the file cannot be read as a report</translation>
    </message>
</context>
<context>
    <name>SSUDialog</name>
    <message>
        <source>Система статистического учёта RVK</source>
        <translation>Statistical accounting system RVK</translation>
    </message>
    <message>
        <source>Выбранный отчёт (серийный номер %1, %2) больше не хранится в ССУ: его удалили или заменили с другого рабочего места. Ничего не изменено.</source>
        <translation>The selected report (serial number %1, %2) is no longer stored in the SAS: it was deleted or replaced from another workstation. Nothing was changed.</translation>
    </message>
    <message>
        <source>Отчётов: %1, подсчёт...</source>
        <translation>Reports: %1, counting...</translation>
    </message>
    <message>
        <source>Отчётов: не менее %1 (всего пока не известно)</source>
        <translation>Reports: at least %1 (the total is not known yet)</translation>
    </message>
    <message>
        <source>Отчётов: %1</source>
        <translation>Reports: %1</translation>
    </message>
    <message>
        <source>Поиск отчётов RVK в базе данных</source>
        <translation>Search reports in the database</translation>
    </message>
    <message>
        <source>Серийный номер (0 - все номера)</source>
        <translation>Serial number (0 - all numbers)</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Диапазон серийных номеров</source>
        <translation>The range of serial numbers</translation>
    </message>
    <message>
        <source>от</source>
        <translation>from</translation>
    </message>
    <message>
        <source>до</source>
        <translation>to</translation>
    </message>
    <message>
        <source>Дата создания отчёта</source>
        <translation>Date the report was created</translation>
    </message>
    <message>
        <source>Дата изготовления</source>
        <translation>Date of manufacture</translation>
    </message>
    <message>
        <source>Отчёт</source>
        <translation>Report</translation>
    </message>
    <message>
        <source>Открыть</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Сохранить</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Удалить</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Серийный номер,Дата отчёта,Изготовлен,Версия ПО,Наработка,Межремонтная</source>
        <translation>Serial number,Date report,Manufactured,Software Version,Operating time,IR time</translation>
    </message>
    <message>
        <source>Внимание</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Не могу сохранить файл отчёта
</source>
        <translation>I can&apos;t save the report file
</translation>
    </message>
    <message>
        <source>История модуля</source>
        <translation>Module history</translation>
    </message>
    <message>
        <source>Все отчёты модуля выбранной строки: графики, таблица, сравнение двух отчётов</source>
        <translation>Every report of the selected row&apos;s module: charts, a table, the comparison of two reports</translation>
    </message>
    <message>
        <source>Выберите в списке отчёт модуля.</source>
        <translation>Select a report of the module in the list.</translation>
    </message>
    <message>
        <source>Нет связи с ССУ: историю модуля прочитать не удалось.</source>
        <translation>No connection to the SSU: the module&apos;s history could not be read.</translation>
    </message>
    <message>
        <source>Отчёты читаются из ССУ...</source>
        <translation>Reading the reports from the SAS...</translation>
    </message>
    <message>
        <source>ССУ не ответила: список отчётов не прочитан.</source>
        <translation>The SAS did not answer: the list of reports was not read.</translation>
    </message>
    <message>
        <source>ССУ не ответила: отчёт не прочитан.</source>
        <translation>The SAS did not answer: the report was not read.</translation>
    </message>
    <message>
        <source>ССУ не ответила: отчёт не удалён.</source>
        <translation>The SAS did not answer: the report was not deleted.</translation>
    </message>
</context>
<context>
    <name>ServiceControls</name>
    <message>
        <source>Внимание</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Не могу записать журнал заводских значений %1:
%2</source>
        <translation>Cannot write the factory values log %1:
%2</translation>
    </message>
    <message>
        <source>Парк модулей</source>
        <translation>Module fleet</translation>
    </message>
    <message>
        <source>Сравнение групп модулей по их последним отчётам в ССУ</source>
        <translation>Groups of modules compared by their latest reports in the SSU</translation>
    </message>
    <message>
        <source>Сервисный режим</source>
        <translation>Service mode</translation>
    </message>
    <message>
        <source>Код доступа:</source>
        <translation>Access code:</translation>
    </message>
    <message>
        <source>Неверный код доступа</source>
        <translation>Invalid access code</translation>
    </message>
    <message>
        <source>Внимание!</source>
        <translation>Attention!</translation>
    </message>
    <message>
        <source>Вы уверены?
Данные будут безвозвратно утеряны!</source>
        <translation>Are you sure? The data will be irretrievably lost!</translation>
    </message>
    <message>
        <source>%1: модуль с серийным номером %2.</source>
        <translation>%1: the module with serial number %2.</translation>
    </message>
    <message>
        <source>Да</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>Нет</source>
        <translation>No</translation>
    </message>
    <message>
        <source>Сначала прочитайте отчёт</source>
        <translation>Read the report first</translation>
    </message>
    <message>
        <source>Успех</source>
        <translation>Success</translation>
    </message>
    <message>
        <source>Серийный номер успешно записан!</source>
        <translation>Serial number has been successfully recorded!</translation>
    </message>
    <message>
        <source>Дата выпуска успешно записана!</source>
        <translation>The release date has been successfully recorded!</translation>
    </message>
    <message>
        <source>Уровень удара успешно записан!</source>
        <translation>The impact level has been successfully recorded!</translation>
    </message>
    <message>
        <source>Межремонтная наработка очищена!</source>
        <translation>The time between repairs has been cleared!</translation>
    </message>
    <message>
        <source>EEPROM очищен!</source>
        <translation>The EEPROM has been cleared!</translation>
    </message>
</context>
<context>
    <name>SsuSession</name>
    <message>
        <source>Нет подключения к ССУ</source>
        <translation>no connection to the SSU</translation>
    </message>
</context>
<context>
    <name>StorageStatus</name>
    <message>
        <source>Подождите...</source>
        <translation>Wait...</translation>
    </message>
    <message>
        <source>Сохраняется отчётов: %1</source>
        <translation>Reports being stored: %1</translation>
    </message>
    <message>
        <source>Передача архива в ССУ, осталось: %1</source>
        <translation>Sending the archive to the SAS, left: %1</translation>
    </message>
    <message>
        <source>Отчётов ждут передачи в ССУ: %1</source>
        <translation>Reports waiting for the SAS: %1</translation>
    </message>
    <message>
        <source>Внимание</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Не могу сохранить файл отчёта
</source>
        <translation>I can&apos;t save the report file
</translation>
    </message>
    <message>
        <source>Отчёт не передан в ССУ и не может быть сохранён в архив:
%1
%2</source>
        <translation>The report was not sent to the SAS and cannot be saved to the archive:
%1
%2</translation>
    </message>
</context>
<context>
    <name>TrendsWindow</name>
    <message>
        <source>Ошибка</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Не могу открыть лог монитора %1.</source>
        <translation>I can&apos;t open the monitor log %1.</translation>
    </message>
    <message>
        <source>Файл не читается: %1</source>
        <translation>The file cannot be read: %1</translation>
    </message>
    <message>
        <source>В файле нет ни одного блока монитора.</source>
        <translation>The file holds no monitor block.</translation>
    </message>
    <message>
        <source>Строка %1: ожидалась метка времени [гггг-ММ-дд чч:мм:сс.ззз], это не лог монитора.</source>
        <translation>Line %1: a time stamp [yyyy-MM-dd hh:mm:ss.zzz] was expected; this is not a monitor log.</translation>
    </message>
    <message>
        <source>Строка %1: неверная метка времени.</source>
        <translation>Line %1: invalid time stamp.</translation>
    </message>
    <message>
        <source>Строка %1: блок без строки dataAverage=, файл обрезан или повреждён.</source>
        <translation>Line %1: a block without its dataAverage= line; the file is cut short or damaged.</translation>
    </message>
    <message>
        <source>Строка %1: двоичные данные, файл повреждён.</source>
        <translation>Line %1: binary data; the file is damaged.</translation>
    </message>
    <message>
        <source>Внимание</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Не могу сохранить график в файл %1</source>
        <translation>I can&apos;t save the chart to the file %1</translation>
    </message>
    <message>
        <source>Открыть лог монитора</source>
        <translation>Open a monitor log</translation>
    </message>
    <message>
        <source>Логи монитора (*.log);;Все файлы (*)</source>
        <translation>Monitor logs (*.log);;All files (*)</translation>
    </message>
    <message>
        <source>Сохранить график</source>
        <translation>Save the chart</translation>
    </message>
    <message>
        <source>Изображения PNG (*.png)</source>
        <translation>PNG images (*.png)</translation>
    </message>
    <message>
        <source>Лог %1, блоков: %2</source>
        <translation>Log %1, blocks: %2</translation>
    </message>
    <message>
        <source>Пауза: Enter продолжает</source>
        <translation>Paused: Enter resumes</translation>
    </message>
    <message>
        <source>Слежение за монитором</source>
        <translation>Following the monitor</translation>
    </message>
    <message>
        <source>Тренды датчиков</source>
        <translation>Sensor trends</translation>
    </message>
    <message>
        <source>Окно:</source>
        <translation>Span:</translation>
    </message>
    <message>
        <source>%1 мин</source>
        <translation>%1 min</translation>
    </message>
    <message>
        <source>Пауза (Enter)</source>
        <translation>Pause (Enter)</translation>
    </message>
    <message>
        <source>К монитору</source>
        <translation>Back to the monitor</translation>
    </message>
    <message>
        <source>Открыть лог…</source>
        <translation>Open log…</translation>
    </message>
    <message>
        <source>Сохранить PNG…</source>
        <translation>Save PNG…</translation>
    </message>
    <message>
        <source>Обороты и частота</source>
        <translation>Rotation speed and frequency</translation>
    </message>
    <message>
        <source>Входное и выходное напряжение</source>
        <translation>Input and output voltage</translation>
    </message>
    <message>
        <source>Ток потребления</source>
        <translation>Current consumption</translation>
    </message>
    <message>
        <source>Температура</source>
        <translation>Temperature</translation>
    </message>
    <message>
        <source>Вибрация (акселерометр)</source>
        <translation>Vibration (accelerometer)</translation>
    </message>
    <message>
        <source>Монитор выключен: включите его клавишей +</source>
        <translation>The monitor is off: switch it on with +</translation>
    </message>
</context>
<context>
    <name>VerificationDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Sensor values</translation>
    </message>
    <message>
        <source>Частота</source>
        <translation>Frequency</translation>
    </message>
    <message>
        <source>Обороты</source>
        <translation>Rotation speed</translation>
    </message>
    <message>
        <source>Входное напряжение</source>
        <translation>Input voltage</translation>
    </message>
    <message>
        <source>Выходное напряжение</source>
        <translation>Output voltage</translation>
    </message>
    <message>
        <source>Ток потребления</source>
        <translation>Current consumption</translation>
    </message>
    <message>
        <source>Температура</source>
        <translation>Temperature</translation>
    </message>
    <message>
        <source>Акселерометр</source>
        <translation>Accelerometer</translation>
    </message>
    <message>
        <source>Z среднее</source>
        <translation>Z average</translation>
    </message>
    <message>
        <source>Y среднее</source>
        <translation>Y average</translation>
    </message>
    <message>
        <source>Z максимум</source>
        <translation>Z maximum</translation>
    </message>
    <message>
        <source>Y максимум</source>
        <translation>Y maximum</translation>
    </message>
    <message>
        <source>Вибрация максимум</source>
        <translation>Vibration maximum</translation>
    </message>
    <message>
        <source>Значения датчиков</source>
        <translation>Sensor values</translation>
    </message>
    <message>
        <source>Гц</source>
        <translation>Hz</translation>
    </message>
    <message>
        <source>об/мин</source>
        <translation>rpm</translation>
    </message>
    <message>
        <source>В</source>
        <translation>V</translation>
    </message>
    <message>
        <source>мА</source>
        <translation>mA</translation>
    </message>
    <message>
        <source>°С</source>
        <translation>°C</translation>
    </message>
    <message>
        <source>Ускорение и вибрация — в g</source>
        <translation>Acceleration and vibration in g</translation>
    </message>
</context>
</TS>
