<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>TfrmChild</name>
    <message>
        <source>Opening %1...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot open &quot;%1&quot;: %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TfrmMain</name>
    <message>
        <source>Открыть в новом окне</source>
        <translation>Open in New Window</translation>
    </message>
    <message>
        <source>Открыть</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Сохранить как...</source>
        <translation>Save As...</translation>
    </message>
    <message>
        <source>Сохранение содержимого окна в файл</source>
        <translation>Save the window&apos;s contents to a file</translation>
    </message>
    <message>
        <source>Печать</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>Отправка на принтер</source>
        <translation>Send to the printer</translation>
    </message>
    <message>
        <source>Редактировать</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>Редактировать текущую страницу</source>
        <translation>Edit the current page</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Закрыть окно</source>
        <translation>Close the window</translation>
    </message>
    <message>
        <source>Выход</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Выход из программы</source>
        <translation>Exit the program</translation>
    </message>
    <message>
        <source>По горизонтали</source>
        <translation>Tile Horizontally</translation>
    </message>
    <message>
        <source>По вертикали</source>
        <translation>Tile Vertically</translation>
    </message>
    <message>
        <source>Каскадом</source>
        <translation>Cascade</translation>
    </message>
    <message>
        <source>Свернуть все окна</source>
        <translation>Minimize All</translation>
    </message>
    <message>
        <source>Zoom In</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zoom Out</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fit Width</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fit Page</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Actual Size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Go to Page...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Full Screen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clear List</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Файл</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>New report</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open template...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Report templates</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Recent Files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Правка</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Окна</source>
        <translation>&amp;Window</translation>
    </message>
    <message>
        <source>Page</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Go to page (Ctrl+G)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot open &quot;%1&quot;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Найти...</source>
        <translation>&amp;Find...</translation>
    </message>
    <message>
        <source>Поиск текста в отчёте</source>
        <translation>Find text in the report</translation>
    </message>
    <message>
        <source>Find Next</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TkvLibraryText</name>
    <message>
        <source>Find text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Text to &amp;find</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Case sensitive</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Origin</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;1st page</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Current &amp;page</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Page width</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Whole page</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Two pages</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close preview</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Scale</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open report</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save report</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print report</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit page</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add page</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete page</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Printer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Properties</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copies</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Page range</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Current pa&amp;ge</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Pages:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter page numbers and/or page ranges, separated by commas. For example, 1,3,5-12</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Name:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Number of &amp;copies:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Co&amp;llate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P&amp;rint</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All pages</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Odd pages</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Even pages</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Object inspector</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Text editor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Insert expression</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Insert data field</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Word wrap</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show/hide script</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cut</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Paste</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>C&amp;ut</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select &amp;all</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Edit...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;New...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Data dictionary...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Report options...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Page options...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pre&amp;view</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Select all</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Add page</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Remove page</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bring to &amp;front</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Send to &amp;back</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Toolbars</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Too&amp;ls</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Options...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Rectangle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Standard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Objects</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Object &amp;Inspector</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Alignment palette</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save &amp;as...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Help contents</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Help &amp;tool</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add dialog &amp;form</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Object&apos;s restrictions</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Don&apos;t edit &amp;memo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Don&apos;t edit &amp;script</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Don&apos;t edit &amp;contents</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Don&apos;t mo&amp;dify</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Don&apos;t change si&amp;ze</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Don&apos;t mo&amp;ve</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Don&apos;t de&amp;lete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Variable formatting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Decimal digits</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Decimal &amp;separator</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Custom &amp;format</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Picture</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Load...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clear</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Conditional highlightning</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Condition</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Font</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>C&amp;olor...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Bold</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Italic</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Underline</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Background</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Co&amp;lor...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Transparent</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ot&amp;her</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rich Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Object tag</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TXT export options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Kill empty lines</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Convert to &amp;DOS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export &amp;frames</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Use DOS &amp;pseudographic</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Insert page &amp;breaks</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Scaling factor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RTF export options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export &amp;pictures</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Convert to &amp;table</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Excel file OLE (*.xls)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Excel workbook (*.xlsx)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export to Excel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> Page properties </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Top margin</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Left margin</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Scale on X</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Scale on Y</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> Quality settings </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Merged</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Borders</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Words wrap</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Page breaks</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Better</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Faster</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pictures</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open Excel after export</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Numbers as numbers</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rich text file advanced (*.rtf)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export to RTF</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Page</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove this page?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Virtual printer</source>
        <translation type="unfinished"></translation>
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
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[None]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Report title</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Report summary</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Page header</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Page footer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Master header</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Master data</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Master footer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Detail header</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Detail data</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Detail footer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Subdetail header</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Subdetail data</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Subdetail footer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Overlay</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Column header</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Column footer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Group header</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Group footer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cross header</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cross data</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cross footer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Child</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>None</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Number</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Boolean</source>
        <translation type="unfinished"></translation>
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
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Variable format...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Force new page</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print if detail empty</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Breaked</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Center picture</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keep aspect ratio</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>from</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>An error occured during calculating</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Report:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Object:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preparing report</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Performing 1st pass:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Processing page:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preview</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Printing page:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Untitled</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Printer selected is not valid</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Report file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ASCII Text file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kavora form</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Picture file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rich Text file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Insert RichText object</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[Picture]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>On first page</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>On last page</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show on all pages</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save changes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pixels</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MM</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Inches</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Font...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Auto size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>to</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unsupported KVF format</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clear contents</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All functions</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Aggregate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Date and time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>String</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Other</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Math</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Interpreter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>AVG(&lt;Expression&gt; [,BandName [,1]])/Calculates the average of &lt;Expression&gt; for [BandName] row given. If [1] parameter is used, calculates average for non-visible rows too.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>COUNT(&lt;BandName&gt;)/Returns count of data-rows given in the &lt;BandName&gt;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DAYOF(&lt;Date&gt;)/Returns day number (1..31) of given &lt;Date&gt;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>FORMATDATETIME(&lt;Fmt&gt;, &lt;DateTime&gt;)/Converts a &lt;DateTime&gt; value to a string using mask in &lt;Fmt&gt;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>FORMATFLOAT(&lt;Fmt&gt;, &lt;Numeric&gt;)/Converts a &lt;Numeric&gt; value to a string using mask in &lt;Fmt&gt;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>INPUT(&lt;Caption&gt; [,Default])/Shows dialog window with headstring &lt;Caption&gt; and edit box. If [Default] parameter is set, puts this string in edit box. After user clicks OK, returns input string.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>LENGTH(&lt;String&gt;)/Returns length of &lt;String&gt;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>LOWERCASE(&lt;String&gt;)/Converts &lt;String&gt; symbols to lower case.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MAX(&lt;Expression&gt; [,BandName [,1]])/Calculates the maximum of &lt;Expression&gt; for [BandName] row given. If [1] parameter is used, calculates maximum for non-visible rows too.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MIN(&lt;Expression&gt; [,BandName [,1]])/Calculates the minimum of &lt;Expression&gt; for [BandName] row given. If [1] parameter is used, calculates minimum for non-visible rows too.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MONTHOF(&lt;Date&gt;)/Returns month number (1..12) of given &lt;Date&gt;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>NAMECASE(&lt;String&gt;)/Converts &lt;String&gt; symbols to lower case, and first symbol is in upper case.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>STRTODATE(&lt;String&gt;)/Converts &lt;String&gt; to date.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>STRTOTIME(&lt;String&gt;)/Converts &lt;String&gt; to time.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SUM(&lt;Expression&gt; [,BandName [,1]])/Calculates the sum of &lt;Expression&gt; for [BandName] row given. If [1] parameter is used, calculates sum for non-visible rows too.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TRIM(&lt;String&gt;)/Trims all heading and trailing spaces in &lt;String&gt; and returns resulting string.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>UPPERCASE(&lt;String&gt;)/Converts &lt;String&gt; symbols to upper case.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>YEAROF(&lt;Date&gt;)/Returns year of given &lt;Date&gt;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IF(&lt;Expression&gt;, &lt;Value1&gt;, &lt;Value2&gt;)/Returns &lt;Value1&gt;, if expression &lt;Expression&gt; is True; otherwise returns &lt;Value2&gt;. Return value can be not only string.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>COPY(&lt;String&gt;, &lt;From&gt;, &lt;Count&gt;)/Returns a substring of string.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;Value1&gt; MOD &lt;Value2&gt;/Returns remainder from dividing &lt;Value1&gt; by &lt;Value2&gt;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>STR(&lt;Value&gt;)/Converts number given in &lt;Value&gt; to a string.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>NOT &lt;Value&gt;/Logical &apos;NOT&apos;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;Value1&gt; AND &lt;Value2&gt;/Logical &apos;AND&apos;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;Value1&gt; OR &lt;Value2&gt;/Logical &apos;OR&apos;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ROUND(&lt;Value&gt;)/Returns rounded &lt;Value&gt;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>FRAC(&lt;Value&gt;)/Returns fractional part of &lt;Value&gt;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>INT(&lt;Value&gt;)/Returns integer part of &lt;Value&gt;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TRUE/Logical &apos;TRUE&apos;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>FALSE/Logical &apos;FALSE&apos;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PAGE#/Returns current page number.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DATE/Returns current date.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TIME/Returns current time.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>LINE#/Returns current data-row number (starting at group beginning).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>LINETHROUGH#/Returns current data-row number (starting at report beginning).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>COLUMN#/Returns current column number.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TOTALPAGES/Returns number of total pages in the report.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MROK/Modal result constant.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MRCANCEL/Modal result constant.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CURY/Returns &apos;Y&apos; position (in pixels) where current band will be shown. You can also assign value to CurY.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>FREESPACE/Returns remain space on the page in pixels.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>FINALPASS/Returns True if report engine performs final pass.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PAGEHEIGHT/Returns height of the page in pixels.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PAGEWIDTH/Returns width of the page in pixels.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PROGRESS/Value assigned to Progress will be showed in Progress window.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MODALRESULT/Assigning non-zero value to ModalResult will close dialog form.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>STOPREPORT/Stops report building.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>NEWPAGE/Starts new page.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>NEWCOLUMN/Starts new column.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SHOWBAND(&lt;BandName&gt;)/Shows band with name &lt;BandName&gt; given.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>INC(&lt;Value&gt;)/Increments &lt;Value&gt;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DEC(&lt;Value&gt;)/Decrements &lt;Value&gt;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MAXNUM(&lt;Value1&gt;, &lt;Value2&gt;)/Returns max of given values.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MINNUM(&lt;Value1&gt;, &lt;Value2&gt;)/Returns min of given values.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>POS(&lt;SubString&gt;, &lt;String&gt;)/Returns position of substring in given string.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MESSAGEBOX(&lt;Text&gt;, &lt;Title&gt;, &lt;Buttons&gt;)/Shows standard dialog window with title, text and buttons.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>FORMATTEXT(&lt;Mask&gt;, &lt;String&gt;)/Applies &lt;Mask&gt; to given &lt;String&gt; and returns formatted string.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Text only</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Suppress repeated values</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Default</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This will delete all objects on this page.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Warning</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hide zeros</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undefined symbol</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print childs if invisible</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Underlines</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You can&apos;t place two or more %s objects on one page.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Database</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>FIELDISNULL(&lt;FieldName&gt;)/Returns &apos;true&apos; if DB-field is null</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Report info</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>REPORTCOMMENT/Returns report comment</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>REPORTNAME/Returns report name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>REPORTAUTOR/Returns report author</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>VMAJOR/Returns version major</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>VMINOR/Returns version minor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>VRELEASE/Returns version release</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>VBUILD/Returns version build</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>REPORTDATE/Returns report create date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>REPORTLASTCHANGE/Returns report modification date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Styles</source>
        <translation type="unfinished"></translation>
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
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Paper</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P&amp;ortrait</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Landscape</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Margins (millimetres)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Le&amp;ft:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Top:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Right:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Bottom:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TkvPreviewForm</name>
    <message>
        <source>Page %1 could not be read: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;%1&quot; was not found.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kv</name>
    <message>
        <source>Save as</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;%1&quot; already exists. Do you want to replace it?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No printer is installed. Print to a PDF file instead?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print to PDF file</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
