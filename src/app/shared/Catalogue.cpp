#include "Catalogue.h"

#include "Platform.h"

#include <QHash>

#include <array>
#include <iterator>
#include <string>

namespace
{

struct Entry {
    const char *key;
    const char16_t *en;
    const char16_t *ru;
    const char16_t *ua;
};

// Keep this file UTF-8; every text must also fit Windows-1251, which the log file and database use.
// "\r" separates the lines of a multi-line message box.
// clang-format off
constexpr Entry kEntries[] = {
    {"iprog", u"Bibliora", u"Bibliora", u"Bibliora"},
    {"iver", u"2.3", u"2.3", u"2.3"},
    {"ibuild", u"83", u"83", u"83"},
    {"iplatf", BIBLIORA_PLATFORM_WORD, BIBLIORA_PLATFORM_WORD, BIBLIORA_PLATFORM_WORD},
    {"imore", u"BETA_04 Application preview", u"BETA_04 Application preview", u"BETA_04 Application preview"},
    {"cinit", u"Initialising", u"Инициализация", u"Ініціалізація"},
    {"cdetected",
     u"Detected built-in database core (gds32.dll)",
     u"Обнаружено встроенное ядро БД (gds32.dll)",
     u"Знайдено вбудоване ядро БД (gds32.dll)"},
    {"cndetected",
     u"Built-in database core isn't detected",
     u"Встроенное ядро БД не обнаружено",
     u"Вбудоване ядро БД не знайдено"},
    {"cstarted", u"Work started", u"Начало работы", u"Початок роботи"},
    {"cswitch",
     u"Switching to external database server mode",
     u"Переход в режим внешнего сервера БД",
     u"Перехід у режим зовнішнього сервера БД"},
    {"cdbno", u"Database file not found", u"Файл базы данных не найден", u"Файл бази даних не знайдено"},
    {"cdbyes", u"Database file has been found", u"Найден файл базы данных", u"Знайдено файл бази даних"},
    {"cdbpath",
     u"Default database file path - ",
     u"Путь к стандартной базе данных - ",
     u"Шлях до стандартної бази даних - "},
    {"clogsav", u"Logfile has been saved", u"Лог-файл сохранен", u"Лог-файл збережено"},
    {"clogopend", u"Logfile loaded", u"Лог-файл загружен", u"Лог-файл завантажено"},
    {"clognopend",
     u"Error! Logfile hasn't been loaded",
     u"Ошибка! Лог-файл не загружен",
     u"Помилка! Лог-файл не завантажено"},
    {"cexit", u"Work ending", u"Завершение работы", u"Закінчення роботи"},
    {"csettingsloaded", u"Settings loaded", u"Настройки загружены", u"Настройки завантажено"},
    {"csettingscreate", u"Creating settings file", u"Создание файла настроек", u"Створення файлу настройок"},
    {"cfilenw",
     u"The file could not be written; the program goes on with what it holds.",
     u"Файл не удалось записать; программа продолжает работу с текущими значениями.",
     u"Файл не вдалося записати; програма продовжує роботу з поточними значеннями."},
    {"cfilebak",
     u"The file %1 could not be read; it has been kept as %2",
     u"Файл %1 не удалось прочитать; он сохранен как %2",
     u"Файл %1 не вдалося прочитати; його збережено як %2"},
    {"cnewbadded", u"New book has been added", u"Новая книга добавлена", u"Нова книга додана"},
    {"cnewbnadded",
     u"Error! New book hasn't been added",
     u"Ошибка! Новая книга не добавлена",
     u"Помилка! Нова книга не додана"},
    {"cbadchar",
     u"The character \"%1\" (%2) in the field \"%3\" cannot be stored in the library.\rNothing has been written.",
     u"Символ \"%1\" (%2) в поле \"%3\" не может быть сохранен в библиотеке.\rНичего не записано.",
     u"Символ \"%1\" (%2) у полі \"%3\" не може бути збережений у бібліотеці.\rНічого не записано."},
    {"lfile", u"File", u"Файл", u"Файл"},
    {"lsettings", u"Settings", u"Настройки", u"Настройки"},
    {"lexit", u"Exit", u"Выход", u"Вихід"},
    {"ltosavlog", u"Save log", u"Сохранить лог", u"Зберегти лог"},
    {"laddb", u"Add book", u"Добавить книгу", u"Додати книжку"},
    {"leditb", u"Edit book", u"Изменить книгу", u"Змінити книжку"},
    {"ldelb", u"Delete book", u"Удалить книгу", u"Видалити книжку"},
    {"linfo", u"Info", u"Инфо", u"Інфо"},
    {"labout", u"About", u"О программе", u"Про програму"},
    {"ldel", u"Delete", u"Удалить", u"Видалити"},
    {"ledit", u"Edit", u"Изменить", u"Змінити"},
    {"ladd", u"Add", u"Добавить", u"Додати"},
    {"lcancel", u"Cancel", u"Отмена", u"Скасувати"},
    {"lsearch", u"Search", u"Поиск", u"Пошук"},
    {"ltosearch", u"Search", u"Искать", u"Шукати"},
    {"llib", u"Library", u"Библиотека", u"Бібліотека"},
    {"lview", u"Books", u"Книги", u"Книжки"},
    {"lcontrol", u"Control", u"Управление", u"Управління"},
    {"linform", u"Information", u"Информация", u"Інформація"},
    {"ldbfile", u"Database file", u"Файл базы данных", u"Файл бази даних"},
    {"lcountb", u"Books count", u"Количество книг", u"Кількість книжок"},
    {"lcountgb", u"Books given", u"Отдано книг", u"Віддано книжок"},
    {"lviewbtn", u"View", u"Просмотр", u"Перегляд"},
    {"lrefrbtn", u"Refresh", u"Обновить", u"Оновити"},
    {"lrefrtbl", u"Refresh table:", u"Обновить таблицу:", u"Оновити таблицю:"},
    {"lexec", u"Execute", u"Выполнить", u"Виконати"},
    {"lconstruct", u"Constructor", u"Конструктор", u"Конструктор"},
    {"lfields", u"Fields", u"Поля", u"Поля"},
    {"lfield", u"Field", u"Поле", u"Поле"},
    {"lexectype", u"Query type", u"Тип запроса", u"Тип запиту"},
    {"lclearbtn", u"Clear", u"Очистить", u"Очистити"},
    {"lread", u"Query", u"Запрос", u"Запит"},
    {"lwrite", u"Edit", u"Изменение", u"Зміна"},
    {"lsave", u"Save", u"Сохранить", u"Зберегти"},
    {"lload", u"Load", u"Загрузить", u"Завантажити"},
    {"lnewbook", u"New book", u"Новая книга", u"Нова книжка"},
    {"ltitle", u"Title", u"Название", u"Назва"},
    {"lauthor", u"Author", u"Автор", u"Автор"},
    {"lyear", u"Year", u"Год", u"Рік"},
    {"lser", u"Seria", u"Серия", u"Серія"},
    {"lpub", u"Publisher", u"Издатель", u"Видавник"},
    {"lplace", u"Place", u"Место", u"Місце"},
    {"lgenre", u"Genre", u"Жанр", u"Жанр"},
    {"ldesc", u"Description", u"Описание", u"Опис"},
    {"lclas", u"Class", u"Оценка", u"Оцінка"},
    {"lmainpar", u" - minimal parameters", u" - минимальные параметры", u" - мінімальні параметри"},
    {"lident", u"Identifier", u"Идентификатор", u"Ідентифікатор"},
    {"lident:", u"Identifier:", u"Идентификатор:", u"Ідентифікатор:"},
    {"lshwtime", u"Show time", u"Показывать время", u"Показувати час"},
    {"lshcons", u"Show console", u"Показывать консоль", u"Показувати консоль"},
    {"lautolog", u"Auto-save log", u"Автосохранение лога", u"Автозбереження логу"},
    {"llnglb", u"Language:", u"Язык:", u"Мова:"},
    {"lsetsel",
     u"Select here settings you preferred",
     u"Выберите здесь нужные вам настройки",
     u"Виберіть тут потрібні вам настройки"},
    {"lusersql", u"User SQL strings", u"Пользовательские SQL-запросы", u"Користувацькі SQL-запити"},
    {"luseclipb",
     u"Use clipboard to copy SQL strings",
     u"Копировать SQL-запросы через буфер обмена",
     u"Копіювати SQL-запити через буфер обміну"},
    // The SQL page and the saved statements file; %1, %2 are filled in by the caller.
    {"csqlrows",
     u"The statement returns rows: run it as \"%1\".",
     u"Запрос возвращает строки: выполните его как \"%1\".",
     u"Запит повертає рядки: виконайте його як \"%1\"."},
    {"csqlnorows",
     u"The statement returns no rows: run it as \"%1\".",
     u"Запрос не возвращает строк: выполните его как \"%1\".",
     u"Запит не повертає рядків: виконайте його як \"%1\"."},
    {"csqlparam",
     u"The parameter :%1 is no column of the book list.",
     u"Параметр :%1 не является полем списка книг.",
     u"Параметр :%1 не є полем списку книжок."},
    {"csqlfnread",
     u"Cannot read the saved statements file \"%1\": %2",
     u"Не удалось прочитать файл сохранённых запросов \"%1\": %2",
     u"Не вдалося прочитати файл збережених запитів \"%1\": %2"},
    {"csqlfbig",
     u"The saved statements file \"%1\" is larger than %2 KB; it was not loaded and is left as it is.",
     u"Файл сохранённых запросов \"%1\" больше %2 КБ; он не загружен и оставлен как есть.",
     u"Файл збережених запитів \"%1\" більший за %2 КБ; його не завантажено й залишено як є."},
    {"csqlfntext",
     u"The saved statements file \"%1\" holds bytes that are not text (line %2); it was not loaded and is left as it is.",
     u"Файл сохранённых запросов \"%1\" содержит байты, не являющиеся текстом (строка %2); он не загружен и оставлен как есть.",
     u"Файл збережених запитів \"%1\" містить байти, що не є текстом (рядок %2); його не завантажено й залишено як є."},
    {"csqlfnwrite",
     u"Cannot write the saved statements file \"%1\": %2",
     u"Не удалось записать файл сохранённых запросов \"%1\": %2",
     u"Не вдалося записати файл збережених запитів \"%1\": %2"},
    {"csqlfchar",
     u"The character \"%1\" cannot be stored in the saved statements file (Windows-1251); nothing was saved.",
     u"Символ \"%1\" нельзя сохранить в файле сохранённых запросов (Windows-1251); ничего не сохранено.",
     u"Символ \"%1\" не можна зберегти у файлі збережених запитів (Windows-1251); нічого не збережено."},
    {"csqlfkept",
     u"The saved statements file that could not be read is kept as",
     u"Файл сохранённых запросов, который не удалось прочитать, сохранён как",
     u"Файл збережених запитів, який не вдалося прочитати, збережено як"},
    {"lbydef", u"By default", u"По умолчанию", u"За замовчуванням"},
    {"llogfview", u"Logfile View", u"Просмотр лог-файла", u"Перегляд лог-файлу"},
    {"lenterid",
     u"Please enter existing book identifier (ID field)",
     u"Введите идентификатор существующей книги (поле ID)",
     u"Введіть ідентифікатор наявної книжки (поле ID)"},
    {"cbook", u"Book", u"Книга", u"Книга"},
    {"cbdeld", u"has been deleted", u"удалена", u"видалена"},
    {"lgeneral", u"General ", u"Общие ", u"Загальні "},
    {"lothers", u"Others ", u"Прочие ", u"Інші "},
    {"ldatabase", u"Database", u"База данных", u"База даних"},
    {"lregister", u"Register", u"Регистрация", u"Реєстрація"},
    {"lconnection", u"Connection ...", u"Подключение ...", u"Підключення ..."},
    {"lbackup", u"Backup ...", u"Резервная копия ...", u"Резервна копія ..."},
    {"lrestore", u"Restore ...", u"Восстановить ...", u"Відновити ..."},
    {"lexpbooks", u"Export book list ...", u"Экспорт списка книг ...", u"Експорт списку книжок ..."},
    {"lexpall", u"Export all books ...", u"Экспорт всех книг ...", u"Експорт усіх книжок ..."},
    {"lexpgiven", u"Export given books ...", u"Экспорт выданных книг ...", u"Експорт відданих книжок ..."},
    {"limpbooks", u"Import books ...", u"Импорт книг ...", u"Імпорт книжок ..."},
    {"lexpcap", u"Export to CSV", u"Экспорт в CSV", u"Експорт у CSV"},
    {"limpcap", u"Import books", u"Импорт книг", u"Імпорт книжок"},
    {"limpfile", u"File:", u"Файл:", u"Файл:"},
    {"limpenc", u"Encoding:", u"Кодировка:", u"Кодування:"},
    {"limpprev", u"First rows of the file", u"Первые строки файла", u"Перші рядки файлу"},
    {"limpmap",
     u"Columns of the file for the book fields",
     u"Столбцы файла для полей книги",
     u"Стовпці файлу для полів книжки"},
    {"limpnone", u"(not imported)", u"(не импортировать)", u"(не імпортувати)"},
    {"limpfill",
     u"Fill empty obligatory fields (Unknown, None, 0000)",
     u"Заполнять пустые обязательные поля (Неизвестно, Нет, 0000)",
     u"Заповнювати порожні обов'язкові поля (Невідомо, Немає, 0000)"},
    {"limpbtn", u"Import", u"Импорт", u"Імпорт"},
    {"limpsave", u"Save report", u"Сохранить отчёт", u"Зберегти звіт"},
    {"limpclose", u"Close", u"Закрыть", u"Закрити"},
    {"cimpwork", u"Importing books ...", u"Импорт книг ...", u"Імпорт книжок ..."},
    {"cimpfailed",
     u"The library refused a row; nothing has been imported",
     u"База данных отклонила строку; ничего не импортировано",
     u"База даних відхилила рядок; нічого не імпортовано"},
    {"cimpcancel",
     u"Import cancelled; nothing has been imported",
     u"Импорт отменён; ничего не импортировано",
     u"Імпорт скасовано; нічого не імпортовано"},
    {"cimpline", u"Line", u"Строка", u"Рядок"},
    {"cimpquote", u"a quotation mark is never closed", u"кавычка не закрыта", u"лапки не закрито"},
    {"cimpadded", u"Books imported:", u"Импортировано книг:", u"Імпортовано книжок:"},
    {"cimpcut",
     u"Values cut to the column width:",
     u"Значений обрезано по ширине столбца:",
     u"Значень обрізано за шириною стовпця:"},
    {"cimprejected", u"Rows rejected:", u"Строк отклонено:", u"Рядків відхилено:"},
    {"cimpempty", u"empty obligatory fields:", u"пустые обязательные поля:", u"порожні обов'язкові поля:"},
    {"cimpyear", u"the year is not a number", u"год не является числом", u"рік не є числом"},
    {"cimpchars",
     u"characters the library cannot store in:",
     u"символы, которые база данных не может хранить, в полях:",
     u"символи, яких база даних не може зберігати, у полях:"},
    {"cimplog", u"Books imported from the file", u"Импортировано книг из файла", u"Імпортовано книжок з файлу"},
    {"cexpwork", u"Exporting ...", u"Экспорт ...", u"Експорт ..."},
    {"cexpcancel",
     u"Export cancelled; no file has been written",
     u"Экспорт отменён; файл не записан",
     u"Експорт скасовано; файл не записано"},
    {"cexported", u"List exported to the file", u"Список экспортирован в файл", u"Список експортовано у файл"},
    {"cbackupwork", u"Backing up the library ...", u"Резервное копирование ...", u"Резервне копіювання ..."},
    {"cbackup",
     u"Library backed up to the file",
     u"Резервная копия библиотеки записана в файл",
     u"Резервну копію бібліотеки записано у файл"},
    {"cbackupbooks", u"books:", u"книг:", u"книжок:"},
    {"cbackupfail",
     u"Error! The library has not been backed up",
     u"Ошибка! Резервная копия не создана",
     u"Помилка! Резервну копію не створено"},
    {"crestwork", u"Restoring the library ...", u"Восстановление библиотеки ...", u"Відновлення бібліотеки ..."},
    {"crestored",
     u"Library restored to the file",
     u"Библиотека восстановлена в файл",
     u"Бібліотеку відновлено у файл"},
    {"crestfail",
     u"Error! The library has not been restored",
     u"Ошибка! Библиотека не восстановлена",
     u"Помилка! Бібліотеку не відновлено"},
    {"crestexists",
     u"The file exists already.\rA library is restored only into a new file.",
     u"Файл уже существует.\rБиблиотека восстанавливается только в новый файл.",
     u"Файл вже існує.\rБібліотека відновлюється лише в новий файл."},
    {"crestask",
     u"The library has been restored.\rUse it as the library now?",
     u"Библиотека восстановлена.\rПодключить её сейчас?",
     u"Бібліотеку відновлено.\rПідключити її зараз?"},
    {"larrgby", u"Arrange by", u"Сортировать по", u"Сортувати по"},
    {"lsrchby", u"Search by", u"Искать по", u"Шукати по"},
    {"lsrchw", u"Search for?", u"Искать что?", u"Шукати що?"},
    {"lnothingfound", u"Nothing found", u"Ничего не найдено", u"Нічого не знайдено"},
    {"lcnsets", u"Connection settings", u"Настройки подключения", u"Настройки підключення"},
    {"lcnpar", u"Connection parameters ", u"Параметры подключения ", u"Параметри підключення "},
    {"lcngenopt", u"General options ", u"Общие параметры ", u"Загальні параметри "},
    {"lcncon", u"Connection", u"Подключение", u"Підключення"},
    {"lcndbpath", u"Database path", u"Путь к базе данных", u"Шлях до бази даних"},
    {"lcncurdb", u"Current DB", u"Текущая БД", u"Поточна БД"},
    {"lcnlogin", u"Login promt", u"Запрашивать пароль", u"Запитувати пароль"},
    {"lcnparr", u"Parameter", u"Параметр", u"Параметр"},
    {"lcnval", u"Value", u"Значение", u"Значення"},
    {"ldbreg", u"Database registration", u"Регистрация базы данных", u"Реєстрація бази даних"},
    {"ldbregbtn", u"Register", u"Зарегистрировать", u"Зареєструвати"},
    {"ldbtypelb",
     u"Type path to existing library created by Bibliora:",
     u"Введите путь к существующей библиотеке, созданной Bibliora:",
     u"Введіть шлях до наявної бібліотеки, створеної Bibliora:"},
    {"ldbdeflb", u"Default library", u"Стандартная библиотека", u"Стандартна бібліотека"},
    {"ldbv2lb", u"Version 2.3 /2.2 /2.0 /1.0", u"Версия 2.3 /2.2 /2.0 /1.0", u"Версія 2.3 /2.2 /2.0 /1.0"},
    {"ldbv15lb", u"Version 1.5", u"Версия 1.5", u"Версія 1.5"},
    {"ldbexdbld",
     u"Use existing library created with this or previous version of software:",
     u"Использовать существующую библиотеку, созданную этой или предыдущей версией программы:",
     u"Використати наявну бібліотеку, створену цією або попередньою версією програми:"},
    {"ldblb2",
     u"Use default library (database file included to",
     u"Использовать стандартную библиотеку (файл базы данных входит в",
     u"Використати стандартну бібліотеку (файл бази даних входить до"},
    {"ldblb3", u"this software package)", u"комплект поставки программы)", u"комплекту постачання програми)"},
    {"ldblb5",
     u"Use library created by Bibliora v2.3/2.2/2.0 or 1.0;",
     u"Использовать библиотеку, созданную Bibliora v2.3/2.2/2.0 или 1.0;",
     u"Використати бібліотеку, створену Bibliora v2.3/2.2/2.0 або 1.0;"},
    {"ldblb6", u"character set is WIN1251", u"кодировка WIN1251", u"кодування WIN1251"},
    {"ldblb8", u"character set is UNICODE_FSS", u"кодировка UNICODE_FSS", u"кодування UNICODE_FSS"},
    {"ldblb7",
     u"Use library created by Bibliora v1.5;",
     u"Использовать библиотеку, созданную Bibliora v1.5;",
     u"Використати бібліотеку, створену Bibliora v1.5;"},
    {"labver", u"Version:", u"Версия:", u"Версія:"},
    {"labbld", u"Build:", u"Сборка:", u"Збірка:"},
    {"labforw", u"for " BIBLIORA_PLATFORM_NAME, u"для " BIBLIORA_PLATFORM_NAME, u"для " BIBLIORA_PLATFORM_NAME},
    {"labauth", u"(c) Bibliora developers", u"(c) Разработчики Bibliora", u"(c) Розробники Bibliora"},
    {"labl1",
     // The about window puts in the engine and version the client library reports.
     u"Embedded SQL server %1",
     u"Встроенный SQL-сервер %1",
     u"Вбудований SQL-сервер %1"},
    {"labl2",
     u"Data grid: our own data-aware grid built on Qt",
     u"Таблица данных: собственный компонент на основе Qt",
     u"Таблиця даних: власний компонент на основі Qt"},
    {"ftitle", u"Title", u"Названию", u"Назві"},
    {"fauthor", u"Author", u"Автору", u"Автору"},
    {"fyear", u"Year", u"Году", u"Року"},
    {"fser", u"Seria", u"Серии", u"Серії"},
    {"fpub", u"Publisher", u"Издателю", u"Видавнику"},
    {"fplace", u"Place", u"Месту", u"Місцю"},
    {"fgenre", u"Genre", u"Жанру", u"Жанру"},
    {"fdesc", u"Description", u"Описанию", u"Опису"},
    {"fclas", u"Class", u"Оценке", u"Оцінці"},
    {"lopactlb", u"Opacity (Win2k/XP/Vista):", u"Непрозрачность (Win2k/XP/Vista):", u"Непрозорість (Win2k/XP/Vista):"},
    {"fgvnt", u"Given to", u"Отданна кому", u"Віддана кому"},
    {"fgvnd", u"Date", u"Дате", u"Даті"},
    {"lgvnfc", u"Mark book as given", u"Отметить книгу как отданную", u"Позначити книжку як віддану"},
    {"lok", u"OK", u"OK", u"OK"},
    {"lgvnfl1", u"Mark book", u"Отметить книгу", u"Позначити книжку"},
    {"lgvnfl2", u"as given to:", u"как отданную:", u"як віддану:"},
    {"lgvnbid", u"Book id:", u"Id книги:", u"Id книжки:"},
    {"lgvntrnc", u"Turn back book", u"Вернуть книгу", u"Повернути книжку"},
    {"lgvntrnl2", u"to library?", u"в библиотеку?", u"до бібліотеки?"},
    {"lgvncngl1", u"Remark book", u"Изменить отметку книги", u"Змінити позначку книжки"},
    {"hviewb", u"View current book", u"Просмотреть текущую книгу", u"Переглянути поточну книжку"},
    {"hsrhby",
     u"Select field you want to searh by",
     u"Выберите поле, по которому искать",
     u"Виберіть поле, по якому шукати"},
    {"harrby",
     u"Select field you want to arrange by",
     u"Выберите поле, по которому сортировать",
     u"Виберіть поле, по якому сортувати"},
    {"hsrch", u"Type text to search here", u"Введите здесь текст для поиска", u"Введіть тут текст для пошуку"},
    {"harrd", u"Arrange descend", u"Сортировать по убыванию", u"Сортувати за спаданням"},
    {"harru", u"Arrange ascend", u"Сортировать по возрастанию", u"Сортувати за зростанням"},
    {"hrefr", u"View library", u"Показать библиотеку", u"Показати бібліотеку"},
    {"ccnged", u"updated", u"обновлена", u"змінена"},
    {"cupder", u"Update error!", u"Ошибка обновления!", u"Помилка обновлення!"},
    {"cfldnupd",
     u"The field \"%1\" has not been changed. What you typed is kept in the window.",
     u"Поле \"%1\" не изменено. Введенный текст остался в окне.",
     u"Поле \"%1\" не змінено. Введений текст залишився у вікні."},
    {"cnobook",
     u"No book is chosen in the list: there is nothing to change.",
     u"В списке не выбрана книга: изменять нечего.",
     u"У списку не вибрано книгу: змінювати нічого."},
    {"cdbmod1",
     u"Starting database structure modification ...",
     u"Начало модификации структуры БД ...",
     u"Початок модифікації структури БД ..."},
    {"cdbmod2",
     u"Database structure modification succefully completed",
     u"Модификация структуры БД успешно завершена",
     u"Модифікація структури БД успішно закінчена"},
    {"cdbmod3",
     u"Error on database modification!",
     u"Ошибка модификации структуры БД!",
     u"Помилка модифікації структури БД!"},
    {"cdbidx1",
     u"Adding indexes for arranging the book list ...",
     u"Добавление индексов для упорядочивания списка книг ...",
     u"Додавання індексів для впорядкування списку книжок ..."},
    {"cdbidx2",
     u"Indexes for arranging the book list added",
     u"Индексы для упорядочивания списка книг добавлены",
     u"Індекси для впорядкування списку книжок додано"},
    {"cdbidx3",
     u"Indexes could not be added, the library is as it was: ",
     u"Индексы добавить не удалось, библиотека осталась прежней: ",
     u"Індекси додати не вдалося, бібліотека залишилася такою, як була: "},
    {"lgvbto", u"Give book", u"Отдать книгу", u"Віддати книжку"},
    {"lcmbackb", u"Back book", u"Вернуть книгу", u"Повернути книжку"},
    {"lbkoprs", u"Operations on books", u"Операции с книгами", u"Операції з книжками"},
    {"ltabs", u"Library view", u"Вид библиотеки", u"Вигляд бібліотеки"},
    {"lsgvbto", u"Give book ...", u"Отдать книгу ...", u"Віддати книжку ..."},
    {"lab13",
     u"If you have some ideas/offers/comments  ",
     u"Если у вас есть идеи/предложения/замечания  ",
     u"Якщо у вас є ідеї/пропозиції/зауваження  "},
    {"lab14",
     u"on Bibliora please e-mail author.",
     u"по Bibliora, пожалуйста, напишите",
     u"щодо Bibliora, будь ласка, напишіть"},
    {"lab15", u"", u"автору по e-mail.", u"авторові на e-mail."},
    {"laddncnst", u"Add new constant", u"Добавить новую константу", u"Додати нову константу"},
    {"laddncnstl1", u"with value:", u"со значением:", u"зі значенням:"},
    {"wcnstnts", u"Constants", u"Константы", u"Константи"},
    {"laddngcnst", u"Add new constant ", u"Добавить новую константу ", u"Додати нову константу "},
    {"ledcnst", u"Edit constants ", u"Изменить константы ", u"Змінити константи "},
    {"lselfld", u"Select a field:", u"Выберите поле:", u"Виберіть поле:"},
    {"lcnstval", u"Constant value:", u"Значение константы:", u"Значення константи:"},
    {"llkupinlib", u"Lookup in library", u"Искать в библиотеке", u"Шукати в бібліотеці"},
    {"lcnstu", u"constant", u"константа", u"константа"},
    {"lcnstlst", u"Constants list:", u"Список констант:", u"Список констант:"},
    {"llkupval", u"Lookup constant value", u"Найти значение константы", u"Знайти значення константи"},
    {"ecnstchar",
     u"The character \"%1\" (%2) cannot be kept in a constant list.\rThe constant was not added.",
     u"Символ \"%1\" (%2) нельзя сохранить в списке констант.\rКонстанта не добавлена.",
     u"Символ \"%1\" (%2) не можна зберегти у списку констант.\rКонстанту не додано."},
    {"lhint", u"Hint:", u"Совет:", u"Порада:"},
    {"lhintstr",
     u"it is strongly recommended to use",
     u"настоятельно рекомендуется использовать",
     u"наполегливо рекомендується використовувати"},
    {"lhintcnst", u"constants!", u"константы!", u"константи!"},
    {"wyes", u"Yes", u"Да", u"Так"},
    {"wno", u"No", u"Нет", u"Ні"},
    {"wapply", u"Apply", u"Применить", u"Застосувати"},
    {"ldoc", u"Help (online)", u"Справка (онлайн)", u"Довідка (онлайн)"},
    {"lupdates", u"Updates", u"Обновления", u"Оновлення"},
    {"lsite", u"Bibliora site (miror1)", u"Сайт Bibliora (зеркало 1)", u"Сайт Bibliora (дзеркало 1)"},
    {"lleftconn", u"Connection:", u"Подключение:", u"Підключення:"},
    {"lsite2", u"Bibliora site (miror2)", u"Сайт Bibliora (зеркало 2)", u"Сайт Bibliora (дзеркало 2)"},
    {"ldlterre",
     u"Delete error! You must return this book\r"
      u"to library (delete from \"Given\") before delete it!",
     u"Ошибка удаления! Вы должны вернуть книгу в библиотеку\r"
      u"(удалить из \"Отданных\") прежде чем удалять ее!",
     u"Помилка видалення! Ви повинні повернути книжку до бібліотеки\r"
      u"(видалитии із \"Відданих\") перед тим як видалити її!"},
    {"cbnoid", u"No book has the identifier %1", u"Нет книги с идентификатором %1", u"Немає книги з ідентифікатором %1"},
    {"lcladd",
     u"Close this window after book adding",
     u"Закрыть это окно после добавления книги",
     u"Закрити це вікно після додавання книжки"},
    {"lcldel",
     u"Close this window after book deleting",
     u"Закрыть это окно после удаления книги",
     u"Закрити це вікно після видалення книжки"},
    {"lmview", u"View book", u"Просмотр книги", u"Перегляд книжки"},
    {"lsmview", u"View book ...", u"Просмотр книги ...", u"Перегляд книжки ..."},
    {"enotpres",
     u"!!! The next fields are empty:",
     u"!!! Следующие поля пустые:   ",
     u"!!! Наступні поля є пустими:  "},
    {"cdbconn.", u"Connecting to database ...", u"Подключение к БД ...", u"Підключення до БД ..."},
    {"cdbconnd", u"Connecting to database: successful", u"Подключение к БД: успешно", u"Підключення до БД: вдало"},
    {"cdbconner", u"Connecting to database: error!", u"Подключение к БД: ошибка!", u"Підключення до БД: помилка!"},
    {"cdbinuse",
     u"The library is open in another program. Close it there and try again.",
     u"Библиотека открыта в другой программе. Закройте её там и повторите попытку.",
     u"Бібліотека відкрита в іншій програмі. Закрийте її там і спробуйте ще раз."},
    {"cdblost",
     u"The connection to the library has been lost. It will be made anew with the next action.",
     u"Соединение с библиотекой потеряно. Оно будет восстановлено при следующем действии.",
     u"З'єднання з бібліотекою втрачено. Його буде відновлено під час наступної дії."},
    {"cprofilebad",
     u"The connection profile could not be read; the old file is kept as .dbconnection.bak",
     u"Профиль подключения не удалось прочитать; старый файл сохранён как .dbconnection.bak",
     u"Профіль підключення не вдалося прочитати; старий файл збережено як .dbconnection.bak"},
    {"eprofilechar",
     u"The character \"%1\" cannot be kept in the connection profile (Windows-1251). The value has not been changed.",
     u"Символ \"%1\" нельзя сохранить в профиле подключения (Windows-1251). Значение не изменено.",
     u"Символ \"%1\" не можна зберегти в профілі підключення (Windows-1251). Значення не змінено."},
    {"cdbdisconn.", u"Disconnecting from database ...", u"Отключение от БД ...", u"Відключення від БД ..."},
    {"cdbdisconnd",
     u"Disconnecting from database: disconnected",
     u"Отключение от БД: отключено",
     u"Відключення від БД: відключено"},
    {"hobligflds",
     u"The next fields are minimal (obligatory)\r"
      u"book parameters:\r"
      u" - Title\r"
      u" - Author\r"
      u" - Year\r"
      u" - Publisher\r"
      u" - Genre",
     u"Следующие поля являются обязательными для заполнения:\r"
      u" - Название\r"
      u" - Автор\r"
      u" - Год\r"
      u" - Издатель\r"
      u" - Жанр",
     u"Наступні поля є обов'язковими\r"
      u"для заповнення:\r"
      u" - Назва\r"
      u" - Автор\r"
      u" - Рік\r"
      u" - Видавник\r"
      u" - Жанр"},
    {"lsmbleft", u"Symbols left:", u"Осталось символов:", u"Залишилось символів:"},
    {"lthemecl", u"Theme color:", u"Цвет темы:", u"Колір теми:"},
    {"lreghnt",
     u" Select this one if you're using",
     u" Выберите этот вариант, если используете",
     u" Виберіть цей варіант, якщо використовуєте"},
    {"lreghnt2", u"Bibliora at first.", u"Bibliora впервые.", u"Bibliora вперше."},
    {"ldbnbks", u"Given books", u"Отданные книги", u"Віддані книжки"},
    {"lslqreqs", u"SQL queries", u"SQL-запросы", u"SQL-запити"},
    {"lnavi", u"Navigator:", u"Навигатор:", u"Навігатор:"},
    {"ldelselbid", u"Selected book Id:", u"Id выбранной книги:", u"Id вибраної книжки:"},
    {"ldelselb", u"Selected book:", u"Выбранная книга:", u"Вибрана книжка:"},
    {"lgvnlb5", u"and given when:", u"и когда отдана:", u"і коли віддана:"},
    {"funknown", u"Unknown", u"Без имени", u"Без імені"},
    {"fnone", u"None", u"Нет", u"Нема"},
    {"ffcap", u"Book fields", u"Поля книг", u"Поля книжок"},
    {"ffctrl", u" Fields control ", u"Управление полями ", u"Управління полями"},
    {"ffal",
     u"Allow empty obligatory fields",
     u"Разрешить пустые обязательные поля",
     u"Дозволити порожні обов'язкові поля"},
    {"wall", u"All books", u"Все книги", u"Усі книжки"},
    {"lshidelf", u"Hide left frame", u"Скрыть левую панель", u"Сховати ліву панель"},
    {"lstbtop", u"Tabs on top", u"Вкладки сверху", u"Вкладки зверху"},
    {"lstbb", u"Display <Books> tab", u"Показывать вкладку <Книги>", u"Показувати вкладку <Книжки>"},
    {"lstbgb",
     u"Display <Given books> tab",
     u"Показывать вкладку <Отданные книги>",
     u"Показувати вкладку <Віддані книжки>"},
    {"lstbi", u"Display <Information> tab", u"Показывать вкладку <Информация>", u"Показувати вкладку <Інформація>"},
    {"lstbs", u"Display <SQL queries> tab", u"Показывать вкладку <SQL-запросы>", u"Показувати вкладку <SQL-запити>"},
    {"lmltdel", u"Multi delete", u"Множественное удаление", u"Множинне видалення"},
    {"lmlcnt", u"Books for delete:", u"Книг для удаления:", u"Книжок для видалення:"},
    {"lmladd",
     u"Add book to a list for delete",
     u"Добавить книгу в список для удаления",
     u"Додати книжку до списку для видалення"},
    {"lmldel", u"Remove book from a list", u"Убрать книгу из списка", u"Прибрати книжку зі списку"},
    {"lmlclr", u"Clear a list", u"Очистить список", u"Очистити список"},
    {"ldeftab", u"Startup tab:", u"Начальная вкладка:", u"Початкова вкладка:"},
    {"lcustomize", u"customize", u"настроить", u"налаштувати"},
    {"lprint", u"Print ...", u"Печать ...", u"Друк ..."},
    {"lprint:", u"Print:", u"Печать:", u"Друк:"},
    {"lprnread", u"Reading the list: %1 rows ...", u"Чтение списка: %1 строк ...", u"Читання списку: %1 рядків ..."},
    {"lprnpage", u"Printing page %1 ...", u"Печать страницы %1 ...", u"Друк сторінки %1 ..."},
    {"lfndcap", u"Find", u"Поиск", u"Пошук"},
    {"lfndwhat", u"Fi&nd what:", u"&Найти:", u"&Знайти:"},
    {"lfndin", u"&Look in:", u"&Искать в:", u"&Шукати в:"},
    {"lfndall", u"All columns", u"Все столбцы", u"Усі стовпці"},
    {"lfndcase", u"Match &case", u"&Учитывать регистр", u"&Враховувати регістр"},
    {"lfndwhole", u"&Whole value", u"&Значение целиком", u"Значення &цілком"},
    {"lfnddir", u"Direction", u"Направление", u"Напрямок"},
    {"lfndup", u"&Up", u"&Вверх", u"&Вгору"},
    {"lfnddown", u"&Down", u"В&низ", u"В&низ"},
    {"lfndnext", u"&Find next", u"Найти &далее", u"Знайти &далі"},
    {"lfndclose", u"Close", u"Закрыть", u"Закрити"},
    {"lfndtype", u"Type the text to find.", u"Введите текст для поиска.", u"Введіть текст для пошуку."},
    {"lfndnone", u"\"%1\" was not found.", u"«%1» не найдено.", u"«%1» не знайдено."},
    {"lfndlast",
     u"Passed the last row; continued from the first.",
     u"Пройдена последняя строка; поиск продолжен с первой.",
     u"Пройдено останній рядок; пошук продовжено з першого."},
    {"lfndfirst",
     u"Passed the first row; continued from the last.",
     u"Пройдена первая строка; поиск продолжен с последней.",
     u"Пройдено перший рядок; пошук продовжено з останнього."},
    {"lqsrch:", u"Quick search:", u"Быстрый поиск:", u"Швидкий пошук:"},

    // ---- Background work: progress, Stop, safety checks

    // ---- end

    // ---- First use: keyboard, help window, printing, placement

    // ---- end

    // ---- Installed program

    // ---- end

    // ---- Speed at a million books
    {"cdbidx4",
     u"Adding index %1 of %2 for arranging the book list ...",
     u"Добавление индекса %1 из %2 для упорядочивания списка книг ...",
     u"Додавання індексу %1 з %2 для впорядкування списку книжок ..."},
    {"cdbidx5",
     u"Not all indexes for arranging the book list were added; the next start adds the rest: ",
     u"Не все индексы для упорядочивания списка книг добавлены; остальные добавит следующий запуск: ",
     u"Не всі індекси для впорядкування списку книжок додано; решту додасть наступний запуск: "},

    // ---- end

    // ---- Forgiving search, Unicode libraries, lent mark

    // ---- end

    // ---- Loans: due dates, borrowers, history

    // ---- end

    // ---- ISBN: lookup, sources, scanner, batch entry

    // ---- end
};
// clang-format on

using Texts = std::array<QString, 3>;

QString wrap(const char16_t *s)
{
    // The table is static, so the strings can point into it instead of copying.
    return QString::fromRawData(reinterpret_cast<const QChar *>(s),
                                static_cast<qsizetype>(std::char_traits<char16_t>::length(s)));
}

// Built once; labels are refreshed often enough that a linear scan would show.
const QHash<QString, Texts> &index()
{
    static const QHash<QString, Texts> byKey = [] {
        QHash<QString, Texts> h;
        h.reserve(static_cast<qsizetype>(std::size(kEntries)));
        for (const Entry &e : kEntries)
            h.insert(QString::fromLatin1(e.key), Texts{wrap(e.en), wrap(e.ru), wrap(e.ua)});
        return h;
    }();
    return byKey;
}

int column(const QString &language)
{
    // Exact, lower-case codes only: "RU" or "Ua" fall back to English like any unknown code.
    if (language == u"ru")
        return 1;
    if (language == u"ua")
        return 2;
    return 0;
}

} // namespace

namespace Catalogue
{

QString text(const QString &key, const QString &language)
{
    const auto &byKey = index();
    const auto it = byKey.constFind(key);
    if (it == byKey.cend())
        return QString();
    return (*it)[static_cast<std::size_t>(column(language))];
}

QStringList keys()
{
    QStringList list;
    list.reserve(static_cast<qsizetype>(std::size(kEntries)));
    for (const Entry &e : kEntries)
        list.append(QString::fromLatin1(e.key));
    return list;
}

} // namespace Catalogue
