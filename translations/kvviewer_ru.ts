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
</context>
<context>
    <name>TkvPreviewForm</name>
    <message>
        <source>Page %1 could not be read: %2</source>
        <translation>Страницу %1 не удалось прочитать: %2</translation>
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
