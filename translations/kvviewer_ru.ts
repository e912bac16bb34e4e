<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru">
<context>
    <name>TfrmChild</name>
    <message>
        <source>Opening %1...</source>
        <translation>Открывается %1...</translation>
    </message>
    <message>
        <source>Cannot open &quot;%1&quot;: %2</source>
        <translation>Не удалось открыть «%1»: %2</translation>
    </message>
</context>
<context>
    <name>TfrmMain</name>
    <message>
        <source>Открыть в новом окне</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Открыть</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сохранить как...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сохранение содержимого окна в файл</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Печать</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Отправка на принтер</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Редактировать</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Редактировать текущую страницу</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Закрыть окно</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Выход</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Выход из программы</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>По горизонтали</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>По вертикали</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Каскадом</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Свернуть все окна</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zoom In</source>
        <translation>Увеличить</translation>
    </message>
    <message>
        <source>Zoom Out</source>
        <translation>Уменьшить</translation>
    </message>
    <message>
        <source>Fit Width</source>
        <translation>По ширине страницы</translation>
    </message>
    <message>
        <source>Fit Page</source>
        <translation>Страница целиком</translation>
    </message>
    <message>
        <source>Actual Size</source>
        <translation>Исходный размер</translation>
    </message>
    <message>
        <source>Go to Page...</source>
        <translation>Перейти к странице...</translation>
    </message>
    <message>
        <source>Full Screen</source>
        <translation>Во весь экран</translation>
    </message>
    <message>
        <source>Clear List</source>
        <translation>Очистить список</translation>
    </message>
    <message>
        <source>&amp;Файл</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New report</source>
        <translation>Новый отчёт</translation>
    </message>
    <message>
        <source>Open template...</source>
        <translation>Открыть шаблон...</translation>
    </message>
    <message>
        <source>Report templates</source>
        <translation>Шаблоны отчётов</translation>
    </message>
    <message>
        <source>Recent Files</source>
        <translation>Недавние файлы</translation>
    </message>
    <message>
        <source>&amp;Правка</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Вид</translation>
    </message>
    <message>
        <source>&amp;Окна</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Page</source>
        <translation>Страница</translation>
    </message>
    <message>
        <source>Go to page (Ctrl+G)</source>
        <translation>Перейти к странице (Ctrl+G)</translation>
    </message>
    <message>
        <source>Cannot open &quot;%1&quot;.</source>
        <translation>Не удалось открыть «%1».</translation>
    </message>
    <message>
        <source>Найти...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Поиск текста в отчёте</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Find Next</source>
        <translation>Найти далее</translation>
    </message>
</context>
<context>
    <name>TkvLibraryText</name>
    <message>
        <source>Find text</source>
        <translation>Поиск текста</translation>
    </message>
    <message>
        <source>Text to &amp;find</source>
        <translation>&amp;Искомый текст</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Параметры</translation>
    </message>
    <message>
        <source>&amp;Case sensitive</source>
        <translation>&amp;Учитывать регистр</translation>
    </message>
    <message>
        <source>Origin</source>
        <translation>Начинать</translation>
    </message>
    <message>
        <source>&amp;1st page</source>
        <translation>с &amp;первой страницы</translation>
    </message>
    <message>
        <source>Current &amp;page</source>
        <translation>с &amp;текущей страницы</translation>
    </message>
    <message>
        <source>&amp;Page width</source>
        <translation>По &amp;ширине страницы</translation>
    </message>
    <message>
        <source>&amp;Whole page</source>
        <translation>&amp;Страница целиком</translation>
    </message>
    <message>
        <source>&amp;Two pages</source>
        <translation>&amp;Две страницы</translation>
    </message>
    <message>
        <source>Close preview</source>
        <translation>Закрыть просмотр</translation>
    </message>
    <message>
        <source>Scale</source>
        <translation>Масштаб</translation>
    </message>
    <message>
        <source>Open report</source>
        <translation>Открыть отчёт</translation>
    </message>
    <message>
        <source>Save report</source>
        <translation>Сохранить отчёт</translation>
    </message>
    <message>
        <source>Print report</source>
        <translation>Печать отчёта</translation>
    </message>
    <message>
        <source>Edit page</source>
        <translation>Редактировать страницу</translation>
    </message>
    <message>
        <source>Add page</source>
        <translation>Добавить страницу</translation>
    </message>
    <message>
        <source>Delete page</source>
        <translation>Удалить страницу</translation>
    </message>
    <message>
        <source>Show help</source>
        <translation>Справка</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Печать</translation>
    </message>
    <message>
        <source>Printer</source>
        <translation>Принтер</translation>
    </message>
    <message>
        <source>Properties</source>
        <translation>Свойства</translation>
    </message>
    <message>
        <source>Copies</source>
        <translation>Копии</translation>
    </message>
    <message>
        <source>Page range</source>
        <translation>Страницы</translation>
    </message>
    <message>
        <source>&amp;All</source>
        <translation>&amp;Все</translation>
    </message>
    <message>
        <source>Current pa&amp;ge</source>
        <translation>&amp;Текущая</translation>
    </message>
    <message>
        <source>&amp;Pages:</source>
        <translation>&amp;Номера:</translation>
    </message>
    <message>
        <source>Enter page numbers and/or page ranges, separated by commas. For example, 1,3,5-12</source>
        <translation>Введите номера и/или диапазоны страниц через запятую. Например: 1,3,5-12</translation>
    </message>
    <message>
        <source>&amp;Name:</source>
        <translation>&amp;Имя:</translation>
    </message>
    <message>
        <source>Number of &amp;copies:</source>
        <translation>Число &amp;копий:</translation>
    </message>
    <message>
        <source>Co&amp;llate</source>
        <translation>&amp;Разобрать по копиям</translation>
    </message>
    <message>
        <source>P&amp;rint</source>
        <translation>&amp;Печатать</translation>
    </message>
    <message>
        <source>All pages</source>
        <translation>Все страницы</translation>
    </message>
    <message>
        <source>Odd pages</source>
        <translation>Нечётные страницы</translation>
    </message>
    <message>
        <source>Even pages</source>
        <translation>Чётные страницы</translation>
    </message>
    <message>
        <source>Object inspector</source>
        <translation>Инспектор объектов</translation>
    </message>
    <message>
        <source>Text editor</source>
        <translation>Редактор текста</translation>
    </message>
    <message>
        <source>Insert expression</source>
        <translation>Вставить выражение</translation>
    </message>
    <message>
        <source>Insert data field</source>
        <translation>Вставить поле данных</translation>
    </message>
    <message>
        <source>Word wrap</source>
        <translation>Перенос слов</translation>
    </message>
    <message>
        <source>Show/hide script</source>
        <translation>Показать/скрыть сценарий</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>Вырезать</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Копировать</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Вставить</translation>
    </message>
    <message>
        <source>C&amp;ut</source>
        <translation>&amp;Вырезать</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Копировать</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>Вст&amp;авить</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Удалить</translation>
    </message>
    <message>
        <source>Select &amp;all</source>
        <translation>Выделить &amp;всё</translation>
    </message>
    <message>
        <source>&amp;Edit...</source>
        <translation>&amp;Редактировать...</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Файл</translation>
    </message>
    <message>
        <source>&amp;New...</source>
        <translation>&amp;Новый...</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>&amp;Открыть...</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Сохранить</translation>
    </message>
    <message>
        <source>&amp;Data dictionary...</source>
        <translation>&amp;Словарь данных...</translation>
    </message>
    <message>
        <source>&amp;Report options...</source>
        <translation>Параметры &amp;отчёта...</translation>
    </message>
    <message>
        <source>&amp;Page options...</source>
        <translation>Параметры &amp;страницы...</translation>
    </message>
    <message>
        <source>Pre&amp;view</source>
        <translation>&amp;Просмотр</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>В&amp;ыход</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Правка</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Отменить</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Повторить</translation>
    </message>
    <message>
        <source>&amp;Select all</source>
        <translation>&amp;Выделить всё</translation>
    </message>
    <message>
        <source>&amp;Add page</source>
        <translation>&amp;Добавить страницу</translation>
    </message>
    <message>
        <source>&amp;Remove page</source>
        <translation>&amp;Удалить страницу</translation>
    </message>
    <message>
        <source>Bring to &amp;front</source>
        <translation>На &amp;передний план</translation>
    </message>
    <message>
        <source>Send to &amp;back</source>
        <translation>На &amp;задний план</translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation>&amp;Сервис</translation>
    </message>
    <message>
        <source>&amp;Toolbars</source>
        <translation>&amp;Панели инструментов</translation>
    </message>
    <message>
        <source>Too&amp;ls</source>
        <translation>&amp;Инструменты</translation>
    </message>
    <message>
        <source>&amp;Options...</source>
        <translation>&amp;Настройки...</translation>
    </message>
    <message>
        <source>&amp;Rectangle</source>
        <translation>&amp;Прямоугольник</translation>
    </message>
    <message>
        <source>&amp;Standard</source>
        <translation>&amp;Стандартная</translation>
    </message>
    <message>
        <source>&amp;Text</source>
        <translation>&amp;Текст</translation>
    </message>
    <message>
        <source>&amp;Objects</source>
        <translation>&amp;Объекты</translation>
    </message>
    <message>
        <source>Object &amp;Inspector</source>
        <translation>&amp;Инспектор объектов</translation>
    </message>
    <message>
        <source>&amp;Alignment palette</source>
        <translation>Палитра &amp;выравнивания</translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation>&amp;О программе...</translation>
    </message>
    <message>
        <source>Save &amp;as...</source>
        <translation>Сохранить &amp;как...</translation>
    </message>
    <message>
        <source>&amp;Help contents</source>
        <translation>&amp;Содержание справки</translation>
    </message>
    <message>
        <source>Help &amp;tool</source>
        <translation>&amp;Подсказка</translation>
    </message>
    <message>
        <source>Add dialog &amp;form</source>
        <translation>Добавить &amp;диалоговую форму</translation>
    </message>
    <message>
        <source>Object&apos;s restrictions</source>
        <translation>Ограничения объекта</translation>
    </message>
    <message>
        <source>Don&apos;t edit &amp;memo</source>
        <translation>Не изменять &amp;текст</translation>
    </message>
    <message>
        <source>Don&apos;t edit &amp;script</source>
        <translation>Не изменять &amp;сценарий</translation>
    </message>
    <message>
        <source>Don&apos;t edit &amp;contents</source>
        <translation>Не изменять &amp;содержимое</translation>
    </message>
    <message>
        <source>Don&apos;t mo&amp;dify</source>
        <translation>Не &amp;изменять</translation>
    </message>
    <message>
        <source>Don&apos;t change si&amp;ze</source>
        <translation>Не изменять &amp;размер</translation>
    </message>
    <message>
        <source>Don&apos;t mo&amp;ve</source>
        <translation>Не &amp;перемещать</translation>
    </message>
    <message>
        <source>Don&apos;t de&amp;lete</source>
        <translation>Не &amp;удалять</translation>
    </message>
    <message>
        <source>Variable formatting</source>
        <translation>Формат переменной</translation>
    </message>
    <message>
        <source>&amp;Decimal digits</source>
        <translation>&amp;Знаков после запятой</translation>
    </message>
    <message>
        <source>Decimal &amp;separator</source>
        <translation>&amp;Десятичный разделитель</translation>
    </message>
    <message>
        <source>Custom &amp;format</source>
        <translation>&amp;Свой формат</translation>
    </message>
    <message>
        <source>Picture</source>
        <translation>Рисунок</translation>
    </message>
    <message>
        <source>Load...</source>
        <translation>Загрузить...</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Очистить</translation>
    </message>
    <message>
        <source>Conditional highlightning</source>
        <translation>Условное выделение</translation>
    </message>
    <message>
        <source>&amp;Condition</source>
        <translation>&amp;Условие</translation>
    </message>
    <message>
        <source>Font</source>
        <translation>Шрифт</translation>
    </message>
    <message>
        <source>C&amp;olor...</source>
        <translation>&amp;Цвет...</translation>
    </message>
    <message>
        <source>&amp;Bold</source>
        <translation>&amp;Полужирный</translation>
    </message>
    <message>
        <source>&amp;Italic</source>
        <translation>&amp;Курсив</translation>
    </message>
    <message>
        <source>&amp;Underline</source>
        <translation>П&amp;одчёркнутый</translation>
    </message>
    <message>
        <source>Background</source>
        <translation>Фон</translation>
    </message>
    <message>
        <source>Co&amp;lor...</source>
        <translation>Ц&amp;вет...</translation>
    </message>
    <message>
        <source>&amp;Transparent</source>
        <translation>&amp;Прозрачный</translation>
    </message>
    <message>
        <source>Ot&amp;her</source>
        <translation>&amp;Другое</translation>
    </message>
    <message>
        <source>Rich Edit</source>
        <translation>Форматированный текст</translation>
    </message>
    <message>
        <source>Object tag</source>
        <translation>Метка объекта</translation>
    </message>
    <message>
        <source>TXT export options</source>
        <translation>Параметры экспорта в TXT</translation>
    </message>
    <message>
        <source>&amp;Kill empty lines</source>
        <translation>&amp;Удалять пустые строки</translation>
    </message>
    <message>
        <source>Convert to &amp;DOS</source>
        <translation>Преобразовать в &amp;DOS</translation>
    </message>
    <message>
        <source>Export &amp;frames</source>
        <translation>Экспортировать &amp;рамки</translation>
    </message>
    <message>
        <source>Use DOS &amp;pseudographic</source>
        <translation>&amp;Псевдографика DOS</translation>
    </message>
    <message>
        <source>Insert page &amp;breaks</source>
        <translation>Вставлять &amp;разрывы страниц</translation>
    </message>
    <message>
        <source>Scaling factor</source>
        <translation>Масштаб</translation>
    </message>
    <message>
        <source>RTF export options</source>
        <translation>Параметры экспорта в RTF</translation>
    </message>
    <message>
        <source>Export &amp;pictures</source>
        <translation>Экспортировать &amp;рисунки</translation>
    </message>
    <message>
        <source>Convert to &amp;table</source>
        <translation>Преобразовать в &amp;таблицу</translation>
    </message>
    <message>
        <source>Excel file OLE (*.xls)</source>
        <translation>Файл Excel OLE (*.xls)</translation>
    </message>
    <message>
        <source>Excel workbook (*.xlsx)</source>
        <translation>Книга Excel (*.xlsx)</translation>
    </message>
    <message>
        <source>Export to Excel</source>
        <translation>Экспорт в Excel</translation>
    </message>
    <message>
        <source> Page properties </source>
        <translation> Свойства страницы </translation>
    </message>
    <message>
        <source>Top margin</source>
        <translation>Верхнее поле</translation>
    </message>
    <message>
        <source>Left margin</source>
        <translation>Левое поле</translation>
    </message>
    <message>
        <source>Scale on X</source>
        <translation>Масштаб по X</translation>
    </message>
    <message>
        <source>Scale on Y</source>
        <translation>Масштаб по Y</translation>
    </message>
    <message>
        <source> Quality settings </source>
        <translation> Качество </translation>
    </message>
    <message>
        <source>Merged</source>
        <translation>Объединять ячейки</translation>
    </message>
    <message>
        <source>Borders</source>
        <translation>Рамки</translation>
    </message>
    <message>
        <source>Words wrap</source>
        <translation>Перенос слов</translation>
    </message>
    <message>
        <source>Page breaks</source>
        <translation>Разрывы страниц</translation>
    </message>
    <message>
        <source>Better</source>
        <translation>Лучше</translation>
    </message>
    <message>
        <source>Faster</source>
        <translation>Быстрее</translation>
    </message>
    <message>
        <source>Pictures</source>
        <translation>Рисунки</translation>
    </message>
    <message>
        <source>Open Excel after export</source>
        <translation>Открыть Excel после экспорта</translation>
    </message>
    <message>
        <source>Numbers as numbers</source>
        <translation>Числа как числа</translation>
    </message>
    <message>
        <source>Rich text file advanced (*.rtf)</source>
        <translation>Файл RTF, таблицы (*.rtf)</translation>
    </message>
    <message>
        <source>Export to RTF</source>
        <translation>Экспорт в RTF</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Page</source>
        <translation>Страница</translation>
    </message>
    <message>
        <source>Remove this page?</source>
        <translation>Удалить эту страницу?</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Подтверждение</translation>
    </message>
    <message>
        <source>Virtual printer</source>
        <translation>Виртуальный принтер</translation>
    </message>
    <message>
        <source>Letter, 8 1/2 x 11&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Letter small, 8 1/2 x 11&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tabloid, 11 x 17&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ledger, 17 x 11&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Legal, 8 1/2 x 14&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Statement, 5 1/2 x 8 1/2&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Executive, 7 1/4 x 10 1/2&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A3 297 x 420 mm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A4 210 x 297 mm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A4 small sheet, 210 x 297 mm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A5 148 x 210 mm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>B4 250 x 354 mm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>B5 182 x 257 mm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Folio, 8 1/2 x 13&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quarto Sheet, 215 x 275 mm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>10 x 14&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>11 x 17&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Note, 8 1/2 x 11&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>9 Envelope, 3 7/8 x 8 7/8&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>#10 Envelope, 4 1/8  x 9 1/2&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>#11 Envelope, 4 1/2 x 10 3/8&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>#12 Envelope, 4 3/4 x 11&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>#14 Envelope, 5 x 11 1/2&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>C Sheet, 17 x 22&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>D Sheet, 22 x 34&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>E Sheet, 34 x 44&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DL Envelope, 110 x 220 mm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>C5 Envelope, 162 x 229 mm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>C3 Envelope,  324 x 458 mm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>C4 Envelope,  229 x 324 mm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>C6 Envelope,  114 x 162 mm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>C65 Envelope, 114 x 229 mm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>B4 Envelope,  250 x 353 mm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>B5 Envelope,  176 x 250 mm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>B6 Envelope,  176 x 125 mm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Italy Envelope, 110 x 230 mm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Monarch Envelope, 3 7/8 x 7 1/2&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>6 3/4 Envelope, 3 5/8 x 6 1/2&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>US Std Fanfold, 14 7/8 x 11&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>German Std Fanfold, 8 1/2 x 12&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>German Legal Fanfold, 8 1/2 x 13&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>B4 (ISO) 250 x 353 mm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Japanese Postcard 100 x 148 mm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>9 x 11&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>10 x 11&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>15 x 11&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Envelope Invite 220 x 220 mm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Letter Extra 9/275 x 12&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Legal Extra 9/275 x 15&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tabloid Extra 11.69 x 18&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A4 Extra 9.27 x 12.69&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Letter Transverse 8/275 x 11&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A4 Transverse 210 x 297 mm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Letter Extra Transverse 9/275 x 12&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SuperASuperAA4 227 x 356 mm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SuperBSuperBA3 305 x 487 mm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Letter Plus 8.5 x 12.69&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A4 Plus 210 x 330 mm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A5 Transverse 148 x 210 mm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>B5 (JIS) Transverse 182 x 257 mm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A3 Extra 322 x 445 mm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A5 Extra 174 x 235 mm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>B5 (ISO) Extra 201 x 276 mm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A2 420 x 594 mm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A3 Transverse 297 x 420 mm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A3 Extra Transverse 322 x 445 mm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Custom</source>
        <translation>Особый</translation>
    </message>
    <message>
        <source>[None]</source>
        <translation>[Нет]</translation>
    </message>
    <message>
        <source>Report title</source>
        <translation>Заголовок отчёта</translation>
    </message>
    <message>
        <source>Report summary</source>
        <translation>Итог отчёта</translation>
    </message>
    <message>
        <source>Page header</source>
        <translation>Верхний колонтитул</translation>
    </message>
    <message>
        <source>Page footer</source>
        <translation>Нижний колонтитул</translation>
    </message>
    <message>
        <source>Master header</source>
        <translation>Заголовок данных</translation>
    </message>
    <message>
        <source>Master data</source>
        <translation>Данные</translation>
    </message>
    <message>
        <source>Master footer</source>
        <translation>Итог данных</translation>
    </message>
    <message>
        <source>Detail header</source>
        <translation>Заголовок подчинённых данных</translation>
    </message>
    <message>
        <source>Detail data</source>
        <translation>Подчинённые данные</translation>
    </message>
    <message>
        <source>Detail footer</source>
        <translation>Итог подчинённых данных</translation>
    </message>
    <message>
        <source>Subdetail header</source>
        <translation>Заголовок вложенных данных</translation>
    </message>
    <message>
        <source>Subdetail data</source>
        <translation>Вложенные данные</translation>
    </message>
    <message>
        <source>Subdetail footer</source>
        <translation>Итог вложенных данных</translation>
    </message>
    <message>
        <source>Overlay</source>
        <translation>Подложка</translation>
    </message>
    <message>
        <source>Column header</source>
        <translation>Заголовок колонки</translation>
    </message>
    <message>
        <source>Column footer</source>
        <translation>Итог колонки</translation>
    </message>
    <message>
        <source>Group header</source>
        <translation>Заголовок группы</translation>
    </message>
    <message>
        <source>Group footer</source>
        <translation>Итог группы</translation>
    </message>
    <message>
        <source>Cross header</source>
        <translation>Заголовок перекрёстной таблицы</translation>
    </message>
    <message>
        <source>Cross data</source>
        <translation>Данные перекрёстной таблицы</translation>
    </message>
    <message>
        <source>Cross footer</source>
        <translation>Итог перекрёстной таблицы</translation>
    </message>
    <message>
        <source>Child</source>
        <translation>Дочерняя полоса</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Нет</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Текст</translation>
    </message>
    <message>
        <source>Number</source>
        <translation>Число</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Дата</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Время</translation>
    </message>
    <message>
        <source>Boolean</source>
        <translation>Логическое</translation>
    </message>
    <message>
        <source>1234,5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1234,50</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1 234,5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1 234,50</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>11.15.98</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>11.15.1998</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>15 nov 1998</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>15 november 1998</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>02:43:35</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>2:43:35</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>02:43</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>2:43</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>0;1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No;Yes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>_;x</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>False;True</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>mm.dd.yy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>mm.dd.yyyy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>d mmm yyyy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>d mmmm yyyy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>hh:nn:ss</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>h:nn:ss</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>hh:nn</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>h:nn</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stretched</source>
        <translation>Растягивать</translation>
    </message>
    <message>
        <source>Variable format...</source>
        <translation>Формат переменной...</translation>
    </message>
    <message>
        <source>Force new page</source>
        <translation>Каждая с новой страницы</translation>
    </message>
    <message>
        <source>Print if detail empty</source>
        <translation>Печатать без подчинённых данных</translation>
    </message>
    <message>
        <source>Breaked</source>
        <translation>Разрывать</translation>
    </message>
    <message>
        <source>Center picture</source>
        <translation>Рисунок по центру</translation>
    </message>
    <message>
        <source>Keep aspect ratio</source>
        <translation>Сохранять пропорции</translation>
    </message>
    <message>
        <source>from</source>
        <translation>из</translation>
    </message>
    <message>
        <source>An error occured during calculating</source>
        <translation>Ошибка при вычислении</translation>
    </message>
    <message>
        <source>Report:</source>
        <translation>Отчёт:</translation>
    </message>
    <message>
        <source>Object:</source>
        <translation>Объект:</translation>
    </message>
    <message>
        <source>Preparing report</source>
        <translation>Построение отчёта</translation>
    </message>
    <message>
        <source>Performing 1st pass:</source>
        <translation>Первый проход:</translation>
    </message>
    <message>
        <source>Processing page:</source>
        <translation>Обработка страницы:</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Ошибка</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Просмотр</translation>
    </message>
    <message>
        <source>Printing page:</source>
        <translation>Печать страницы:</translation>
    </message>
    <message>
        <source>Untitled</source>
        <translation>Без имени</translation>
    </message>
    <message>
        <source>Printer selected is not valid</source>
        <translation>Выбранный принтер недоступен</translation>
    </message>
    <message>
        <source>Report file</source>
        <translation>Файл отчёта</translation>
    </message>
    <message>
        <source>ASCII Text file</source>
        <translation>Текстовый файл ASCII</translation>
    </message>
    <message>
        <source>Kavora form</source>
        <translation>Шаблон Kavora</translation>
    </message>
    <message>
        <source>Picture file</source>
        <translation>Файл рисунка</translation>
    </message>
    <message>
        <source>Rich Text file</source>
        <translation>Файл RTF</translation>
    </message>
    <message>
        <source>All files</source>
        <translation>Все файлы</translation>
    </message>
    <message>
        <source>Insert RichText object</source>
        <translation>Вставить объект RTF</translation>
    </message>
    <message>
        <source>[Picture]</source>
        <translation>[Рисунок]</translation>
    </message>
    <message>
        <source>On first page</source>
        <translation>На первой странице</translation>
    </message>
    <message>
        <source>On last page</source>
        <translation>На последней странице</translation>
    </message>
    <message>
        <source>Show on all pages</source>
        <translation>На всех страницах</translation>
    </message>
    <message>
        <source>Save changes</source>
        <translation>Сохранить изменения</translation>
    </message>
    <message>
        <source>Pixels</source>
        <translation>Пиксели</translation>
    </message>
    <message>
        <source>MM</source>
        <translation>мм</translation>
    </message>
    <message>
        <source>Inches</source>
        <translation>Дюймы</translation>
    </message>
    <message>
        <source>Font...</source>
        <translation>Шрифт...</translation>
    </message>
    <message>
        <source>Auto size</source>
        <translation>Автоматический размер</translation>
    </message>
    <message>
        <source>to</source>
        <translation>по</translation>
    </message>
    <message>
        <source>1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unsupported KVF format</source>
        <translation>Неподдерживаемый формат KVF</translation>
    </message>
    <message>
        <source>Clear contents</source>
        <translation>Очистить содержимое</translation>
    </message>
    <message>
        <source>All functions</source>
        <translation>Все функции</translation>
    </message>
    <message>
        <source>Aggregate</source>
        <translation>Агрегатные</translation>
    </message>
    <message>
        <source>Date and time</source>
        <translation>Дата и время</translation>
    </message>
    <message>
        <source>String</source>
        <translation>Строковые</translation>
    </message>
    <message>
        <source>Other</source>
        <translation>Прочие</translation>
    </message>
    <message>
        <source>Math</source>
        <translation>Математические</translation>
    </message>
    <message>
        <source>Interpreter</source>
        <translation>Интерпретатор</translation>
    </message>
    <message>
        <source>AVG(&lt;Expression&gt; [,BandName [,1]])/Calculates the average of &lt;Expression&gt; for [BandName] row given. If [1] parameter is used, calculates average for non-visible rows too.</source>
        <translation>AVG(&lt;Expression&gt; [,BandName [,1]])/Среднее значение &lt;Expression&gt; по строкам полосы [BandName]. С параметром [1] учитываются и невидимые строки.</translation>
    </message>
    <message>
        <source>COUNT(&lt;BandName&gt;)/Returns count of data-rows given in the &lt;BandName&gt;.</source>
        <translation>COUNT(&lt;BandName&gt;)/Число строк данных полосы &lt;BandName&gt;.</translation>
    </message>
    <message>
        <source>DAYOF(&lt;Date&gt;)/Returns day number (1..31) of given &lt;Date&gt;.</source>
        <translation>DAYOF(&lt;Date&gt;)/День месяца (1..31) даты &lt;Date&gt;.</translation>
    </message>
    <message>
        <source>FORMATDATETIME(&lt;Fmt&gt;, &lt;DateTime&gt;)/Converts a &lt;DateTime&gt; value to a string using mask in &lt;Fmt&gt;.</source>
        <translation>FORMATDATETIME(&lt;Fmt&gt;, &lt;DateTime&gt;)/Преобразует дату и время &lt;DateTime&gt; в строку по маске &lt;Fmt&gt;.</translation>
    </message>
    <message>
        <source>FORMATFLOAT(&lt;Fmt&gt;, &lt;Numeric&gt;)/Converts a &lt;Numeric&gt; value to a string using mask in &lt;Fmt&gt;.</source>
        <translation>FORMATFLOAT(&lt;Fmt&gt;, &lt;Numeric&gt;)/Преобразует число &lt;Numeric&gt; в строку по маске &lt;Fmt&gt;.</translation>
    </message>
    <message>
        <source>INPUT(&lt;Caption&gt; [,Default])/Shows dialog window with headstring &lt;Caption&gt; and edit box. If [Default] parameter is set, puts this string in edit box. After user clicks OK, returns input string.</source>
        <translation>INPUT(&lt;Caption&gt; [,Default])/Показывает окно с заголовком &lt;Caption&gt; и полем ввода (с текстом [Default], если он задан). После нажатия ОК возвращает введённую строку.</translation>
    </message>
    <message>
        <source>LENGTH(&lt;String&gt;)/Returns length of &lt;String&gt;.</source>
        <translation>LENGTH(&lt;String&gt;)/Длина строки &lt;String&gt;.</translation>
    </message>
    <message>
        <source>LOWERCASE(&lt;String&gt;)/Converts &lt;String&gt; symbols to lower case.</source>
        <translation>LOWERCASE(&lt;String&gt;)/Переводит &lt;String&gt; в нижний регистр.</translation>
    </message>
    <message>
        <source>MAX(&lt;Expression&gt; [,BandName [,1]])/Calculates the maximum of &lt;Expression&gt; for [BandName] row given. If [1] parameter is used, calculates maximum for non-visible rows too.</source>
        <translation>MAX(&lt;Expression&gt; [,BandName [,1]])/Максимум &lt;Expression&gt; по строкам полосы [BandName]. С параметром [1] учитываются и невидимые строки.</translation>
    </message>
    <message>
        <source>MIN(&lt;Expression&gt; [,BandName [,1]])/Calculates the minimum of &lt;Expression&gt; for [BandName] row given. If [1] parameter is used, calculates minimum for non-visible rows too.</source>
        <translation>MIN(&lt;Expression&gt; [,BandName [,1]])/Минимум &lt;Expression&gt; по строкам полосы [BandName]. С параметром [1] учитываются и невидимые строки.</translation>
    </message>
    <message>
        <source>MONTHOF(&lt;Date&gt;)/Returns month number (1..12) of given &lt;Date&gt;.</source>
        <translation>MONTHOF(&lt;Date&gt;)/Номер месяца (1..12) даты &lt;Date&gt;.</translation>
    </message>
    <message>
        <source>NAMECASE(&lt;String&gt;)/Converts &lt;String&gt; symbols to lower case, and first symbol is in upper case.</source>
        <translation>NAMECASE(&lt;String&gt;)/Переводит &lt;String&gt; в нижний регистр, первую букву — в верхний.</translation>
    </message>
    <message>
        <source>STRTODATE(&lt;String&gt;)/Converts &lt;String&gt; to date.</source>
        <translation>STRTODATE(&lt;String&gt;)/Преобразует &lt;String&gt; в дату.</translation>
    </message>
    <message>
        <source>STRTOTIME(&lt;String&gt;)/Converts &lt;String&gt; to time.</source>
        <translation>STRTOTIME(&lt;String&gt;)/Преобразует &lt;String&gt; во время.</translation>
    </message>
    <message>
        <source>SUM(&lt;Expression&gt; [,BandName [,1]])/Calculates the sum of &lt;Expression&gt; for [BandName] row given. If [1] parameter is used, calculates sum for non-visible rows too.</source>
        <translation>SUM(&lt;Expression&gt; [,BandName [,1]])/Сумма &lt;Expression&gt; по строкам полосы [BandName]. С параметром [1] учитываются и невидимые строки.</translation>
    </message>
    <message>
        <source>TRIM(&lt;String&gt;)/Trims all heading and trailing spaces in &lt;String&gt; and returns resulting string.</source>
        <translation>TRIM(&lt;String&gt;)/Удаляет пробелы в начале и в конце &lt;String&gt;.</translation>
    </message>
    <message>
        <source>UPPERCASE(&lt;String&gt;)/Converts &lt;String&gt; symbols to upper case.</source>
        <translation>UPPERCASE(&lt;String&gt;)/Переводит &lt;String&gt; в верхний регистр.</translation>
    </message>
    <message>
        <source>YEAROF(&lt;Date&gt;)/Returns year of given &lt;Date&gt;.</source>
        <translation>YEAROF(&lt;Date&gt;)/Год даты &lt;Date&gt;.</translation>
    </message>
    <message>
        <source>IF(&lt;Expression&gt;, &lt;Value1&gt;, &lt;Value2&gt;)/Returns &lt;Value1&gt;, if expression &lt;Expression&gt; is True; otherwise returns &lt;Value2&gt;. Return value can be not only string.</source>
        <translation>IF(&lt;Expression&gt;, &lt;Value1&gt;, &lt;Value2&gt;)/Возвращает &lt;Value1&gt;, если выражение &lt;Expression&gt; истинно, иначе &lt;Value2&gt;. Значение может быть не только строкой.</translation>
    </message>
    <message>
        <source>COPY(&lt;String&gt;, &lt;From&gt;, &lt;Count&gt;)/Returns a substring of string.</source>
        <translation>COPY(&lt;String&gt;, &lt;From&gt;, &lt;Count&gt;)/Часть строки.</translation>
    </message>
    <message>
        <source>&lt;Value1&gt; MOD &lt;Value2&gt;/Returns remainder from dividing &lt;Value1&gt; by &lt;Value2&gt;.</source>
        <translation>&lt;Value1&gt; MOD &lt;Value2&gt;/Остаток от деления &lt;Value1&gt; на &lt;Value2&gt;.</translation>
    </message>
    <message>
        <source>STR(&lt;Value&gt;)/Converts number given in &lt;Value&gt; to a string.</source>
        <translation>STR(&lt;Value&gt;)/Преобразует число &lt;Value&gt; в строку.</translation>
    </message>
    <message>
        <source>NOT &lt;Value&gt;/Logical &apos;NOT&apos;.</source>
        <translation>NOT &lt;Value&gt;/Логическое «НЕ».</translation>
    </message>
    <message>
        <source>&lt;Value1&gt; AND &lt;Value2&gt;/Logical &apos;AND&apos;.</source>
        <translation>&lt;Value1&gt; AND &lt;Value2&gt;/Логическое «И».</translation>
    </message>
    <message>
        <source>&lt;Value1&gt; OR &lt;Value2&gt;/Logical &apos;OR&apos;.</source>
        <translation>&lt;Value1&gt; OR &lt;Value2&gt;/Логическое «ИЛИ».</translation>
    </message>
    <message>
        <source>ROUND(&lt;Value&gt;)/Returns rounded &lt;Value&gt;.</source>
        <translation>ROUND(&lt;Value&gt;)/Округлённое значение &lt;Value&gt;.</translation>
    </message>
    <message>
        <source>FRAC(&lt;Value&gt;)/Returns fractional part of &lt;Value&gt;.</source>
        <translation>FRAC(&lt;Value&gt;)/Дробная часть &lt;Value&gt;.</translation>
    </message>
    <message>
        <source>INT(&lt;Value&gt;)/Returns integer part of &lt;Value&gt;.</source>
        <translation>INT(&lt;Value&gt;)/Целая часть &lt;Value&gt;.</translation>
    </message>
    <message>
        <source>TRUE/Logical &apos;TRUE&apos;.</source>
        <translation>TRUE/Логическая «истина».</translation>
    </message>
    <message>
        <source>FALSE/Logical &apos;FALSE&apos;.</source>
        <translation>FALSE/Логическая «ложь».</translation>
    </message>
    <message>
        <source>PAGE#/Returns current page number.</source>
        <translation>PAGE#/Номер текущей страницы.</translation>
    </message>
    <message>
        <source>DATE/Returns current date.</source>
        <translation>DATE/Текущая дата.</translation>
    </message>
    <message>
        <source>TIME/Returns current time.</source>
        <translation>TIME/Текущее время.</translation>
    </message>
    <message>
        <source>LINE#/Returns current data-row number (starting at group beginning).</source>
        <translation>LINE#/Номер текущей строки данных (от начала группы).</translation>
    </message>
    <message>
        <source>LINETHROUGH#/Returns current data-row number (starting at report beginning).</source>
        <translation>LINETHROUGH#/Номер текущей строки данных (от начала отчёта).</translation>
    </message>
    <message>
        <source>COLUMN#/Returns current column number.</source>
        <translation>COLUMN#/Номер текущей колонки.</translation>
    </message>
    <message>
        <source>TOTALPAGES/Returns number of total pages in the report.</source>
        <translation>TOTALPAGES/Общее число страниц отчёта.</translation>
    </message>
    <message>
        <source>MROK/Modal result constant.</source>
        <translation>MROK/Результат диалога: ОК.</translation>
    </message>
    <message>
        <source>MRCANCEL/Modal result constant.</source>
        <translation>MRCANCEL/Результат диалога: отмена.</translation>
    </message>
    <message>
        <source>CURY/Returns &apos;Y&apos; position (in pixels) where current band will be shown. You can also assign value to CurY.</source>
        <translation>CURY/Позиция по вертикали (в пикселях), где будет выведена текущая полоса; CurY можно присвоить значение.</translation>
    </message>
    <message>
        <source>FREESPACE/Returns remain space on the page in pixels.</source>
        <translation>FREESPACE/Оставшееся место на странице в пикселях.</translation>
    </message>
    <message>
        <source>FINALPASS/Returns True if report engine performs final pass.</source>
        <translation>FINALPASS/Истина, если идёт последний проход.</translation>
    </message>
    <message>
        <source>PAGEHEIGHT/Returns height of the page in pixels.</source>
        <translation>PAGEHEIGHT/Высота страницы в пикселях.</translation>
    </message>
    <message>
        <source>PAGEWIDTH/Returns width of the page in pixels.</source>
        <translation>PAGEWIDTH/Ширина страницы в пикселях.</translation>
    </message>
    <message>
        <source>PROGRESS/Value assigned to Progress will be showed in Progress window.</source>
        <translation>PROGRESS/Значение, присвоенное Progress, показывается в окне хода построения.</translation>
    </message>
    <message>
        <source>MODALRESULT/Assigning non-zero value to ModalResult will close dialog form.</source>
        <translation>MODALRESULT/Ненулевое значение ModalResult закрывает диалоговую форму.</translation>
    </message>
    <message>
        <source>STOPREPORT/Stops report building.</source>
        <translation>STOPREPORT/Останавливает построение отчёта.</translation>
    </message>
    <message>
        <source>NEWPAGE/Starts new page.</source>
        <translation>NEWPAGE/Начинает новую страницу.</translation>
    </message>
    <message>
        <source>NEWCOLUMN/Starts new column.</source>
        <translation>NEWCOLUMN/Начинает новую колонку.</translation>
    </message>
    <message>
        <source>SHOWBAND(&lt;BandName&gt;)/Shows band with name &lt;BandName&gt; given.</source>
        <translation>SHOWBAND(&lt;BandName&gt;)/Выводит полосу с именем &lt;BandName&gt;.</translation>
    </message>
    <message>
        <source>INC(&lt;Value&gt;)/Increments &lt;Value&gt;.</source>
        <translation>INC(&lt;Value&gt;)/Увеличивает &lt;Value&gt; на единицу.</translation>
    </message>
    <message>
        <source>DEC(&lt;Value&gt;)/Decrements &lt;Value&gt;.</source>
        <translation>DEC(&lt;Value&gt;)/Уменьшает &lt;Value&gt; на единицу.</translation>
    </message>
    <message>
        <source>MAXNUM(&lt;Value1&gt;, &lt;Value2&gt;)/Returns max of given values.</source>
        <translation>MAXNUM(&lt;Value1&gt;, &lt;Value2&gt;)/Большее из значений.</translation>
    </message>
    <message>
        <source>MINNUM(&lt;Value1&gt;, &lt;Value2&gt;)/Returns min of given values.</source>
        <translation>MINNUM(&lt;Value1&gt;, &lt;Value2&gt;)/Меньшее из значений.</translation>
    </message>
    <message>
        <source>POS(&lt;SubString&gt;, &lt;String&gt;)/Returns position of substring in given string.</source>
        <translation>POS(&lt;SubString&gt;, &lt;String&gt;)/Позиция подстроки в строке.</translation>
    </message>
    <message>
        <source>MESSAGEBOX(&lt;Text&gt;, &lt;Title&gt;, &lt;Buttons&gt;)/Shows standard dialog window with title, text and buttons.</source>
        <translation>MESSAGEBOX(&lt;Text&gt;, &lt;Title&gt;, &lt;Buttons&gt;)/Показывает стандартное окно сообщения с заголовком, текстом и кнопками.</translation>
    </message>
    <message>
        <source>FORMATTEXT(&lt;Mask&gt;, &lt;String&gt;)/Applies &lt;Mask&gt; to given &lt;String&gt; and returns formatted string.</source>
        <translation>FORMATTEXT(&lt;Mask&gt;, &lt;String&gt;)/Применяет маску &lt;Mask&gt; к строке &lt;String&gt; и возвращает результат.</translation>
    </message>
    <message>
        <source>Text only</source>
        <translation>Только текст</translation>
    </message>
    <message>
        <source>Suppress repeated values</source>
        <translation>Скрывать повторяющиеся значения</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>По умолчанию</translation>
    </message>
    <message>
        <source>This will delete all objects on this page.</source>
        <translation>Все объекты на этой странице будут удалены.</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Предупреждение</translation>
    </message>
    <message>
        <source>Hide zeros</source>
        <translation>Скрывать нули</translation>
    </message>
    <message>
        <source>Undefined symbol</source>
        <translation>Неизвестный идентификатор</translation>
    </message>
    <message>
        <source>Print childs if invisible</source>
        <translation>Печатать дочерние полосы, если эта скрыта</translation>
    </message>
    <message>
        <source>Underlines</source>
        <translation>Подчёркивание строк</translation>
    </message>
    <message>
        <source>You can&apos;t place two or more %s objects on one page.</source>
        <translation>На странице может быть только один объект %s.</translation>
    </message>
    <message>
        <source>Database</source>
        <translation>База данных</translation>
    </message>
    <message>
        <source>FIELDISNULL(&lt;FieldName&gt;)/Returns &apos;true&apos; if DB-field is null</source>
        <translation>FIELDISNULL(&lt;FieldName&gt;)/Истина, если поле базы данных пусто (null)</translation>
    </message>
    <message>
        <source>Report info</source>
        <translation>Сведения об отчёте</translation>
    </message>
    <message>
        <source>REPORTCOMMENT/Returns report comment</source>
        <translation>REPORTCOMMENT/Комментарий отчёта</translation>
    </message>
    <message>
        <source>REPORTNAME/Returns report name</source>
        <translation>REPORTNAME/Имя отчёта</translation>
    </message>
    <message>
        <source>REPORTAUTOR/Returns report author</source>
        <translation>REPORTAUTOR/Автор отчёта</translation>
    </message>
    <message>
        <source>VMAJOR/Returns version major</source>
        <translation>VMAJOR/Старший номер версии</translation>
    </message>
    <message>
        <source>VMINOR/Returns version minor</source>
        <translation>VMINOR/Младший номер версии</translation>
    </message>
    <message>
        <source>VRELEASE/Returns version release</source>
        <translation>VRELEASE/Номер выпуска</translation>
    </message>
    <message>
        <source>VBUILD/Returns version build</source>
        <translation>VBUILD/Номер сборки</translation>
    </message>
    <message>
        <source>REPORTDATE/Returns report create date</source>
        <translation>REPORTDATE/Дата создания отчёта</translation>
    </message>
    <message>
        <source>REPORTLASTCHANGE/Returns report modification date</source>
        <translation>REPORTLASTCHANGE/Дата изменения отчёта</translation>
    </message>
    <message>
        <source>Styles</source>
        <translation>Стили</translation>
    </message>
    <message>
        <source>Active=</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>AliasName=</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>WordWrap=</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TkvPageSetupForm</name>
    <message>
        <source>Page setup</source>
        <translation>Параметры страницы</translation>
    </message>
    <message>
        <source>Paper</source>
        <translation>Бумага</translation>
    </message>
    <message>
        <source>P&amp;ortrait</source>
        <translation>&amp;Книжная</translation>
    </message>
    <message>
        <source>&amp;Landscape</source>
        <translation>&amp;Альбомная</translation>
    </message>
    <message>
        <source>Margins (millimetres)</source>
        <translation>Поля (мм)</translation>
    </message>
    <message>
        <source>Le&amp;ft:</source>
        <translation>&amp;Левое:</translation>
    </message>
    <message>
        <source>&amp;Top:</source>
        <translation>&amp;Верхнее:</translation>
    </message>
    <message>
        <source>&amp;Right:</source>
        <translation>&amp;Правое:</translation>
    </message>
    <message>
        <source>&amp;Bottom:</source>
        <translation>&amp;Нижнее:</translation>
    </message>
</context>
<context>
    <name>TkvPreviewForm</name>
    <message>
        <source>Page %1 could not be read: %2</source>
        <translation>Страницу %1 не удалось прочитать: %2</translation>
    </message>
    <message>
        <source>&quot;%1&quot; was not found.</source>
        <translation>«%1» не найдено.</translation>
    </message>
</context>
<context>
    <name>kv</name>
    <message>
        <source>Save as</source>
        <translation>Сохранить как</translation>
    </message>
    <message>
        <source>&quot;%1&quot; already exists. Do you want to replace it?</source>
        <translation>Файл «%1» уже существует. Заменить его?</translation>
    </message>
    <message>
        <source>No printer is installed. Print to a PDF file instead?</source>
        <translation>Принтер не установлен. Напечатать в файл PDF?</translation>
    </message>
    <message>
        <source>Print to PDF file</source>
        <translation>Печать в файл PDF</translation>
    </message>
</context>
</TS>
