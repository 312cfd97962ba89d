#include "BookColumns.h"

#include <QHash>

namespace
{

// Column widths of BOOK, in the order of the fields.
constexpr BookColumns::Column kColumns[] = {
    {"TITLE", "ltitle", 65, true}, {"AUTHOR", "lauthor", 35, true},      {"IYEAR", "lyear", 4, true},
    {"SERIA", "lser", 35, false},  {"PUBLISHER", "lpub", 35, true},      {"PLACE", "lplace", 50, false},
    {"GENRE", "lgenre", 25, true}, {"DESCRIPTION", "ldesc", 255, false}, {"CLAS", "lclas", 45, false},
};

// Header names of this program's own export, of spreadsheets and of other catalogues and online
// services, in English, Russian and Ukrainian; written in the folded form of fold().
struct Synonyms {
    BookColumns::Field field;
    const char16_t *names[16];
};
constexpr Synonyms kSynonyms[] = {
    {BookColumns::Title,
     {u"title", u"booktitle", u"name", u"название", u"заглавие", u"наименование", u"назва", u"заголовок",
      u"названиекниги", u"назвакниги"}},
    {BookColumns::Author,
     {u"author", u"authors", u"authorlf", u"primaryauthor", u"writer", u"creator", u"автор", u"авторы", u"автори"}},
    {BookColumns::Year,
     {u"iyear", u"year", u"yearpublished", u"originalpublicationyear", u"publicationyear", u"published", u"год",
      u"годиздания", u"рік", u"ріквидання", u"годпубликации"}},
    {BookColumns::Seria, {u"seria", u"series", u"serie", u"серия", u"серія", u"цикл"}},
    {BookColumns::Publisher,
     {u"publisher", u"publishers", u"publishinghouse", u"издательство", u"издатель", u"видавництво", u"видавець"}},
    {BookColumns::Place,
     {u"place", u"placeofpublication", u"publicationplace", u"city", u"место", u"местоиздания", u"город", u"місце",
      u"місцевидання", u"місто"}},
    {BookColumns::Genre,
     {u"genre", u"genres", u"subject", u"subjects", u"category", u"categories", u"жанр", u"жанры", u"жанри",
      u"категория", u"категорія", u"тема"}},
    {BookColumns::Description,
     {u"description", u"summary", u"notes", u"note", u"comment", u"comments", u"review", u"annotation", u"описание",
      u"аннотация", u"примечание", u"опис", u"анотація", u"примітка", u"комментарий", u"коментар"}},
    {BookColumns::Clas,
     {u"clas", u"class", u"classification", u"callnumber", u"deweydecimal", u"ddc", u"udc", u"lcc", u"класс", u"клас",
      u"классификация", u"класифікація", u"удк", u"ббк"}},
};

// Lower case, letters and digits only: "Year Published", "year_published" and "YEAR-PUBLISHED"
// are one name.
QString fold(const QString &header)
{
    QString folded;
    for (const QChar c : header.toLower())
        if (c.isLetterOrNumber())
            folded += c;
    return folded;
}

const QHash<QString, int> &synonymTable()
{
    static const QHash<QString, int> table = [] {
        QHash<QString, int> t;
        for (const Synonyms &s : kSynonyms)
            for (const char16_t *name : s.names)
                if (name)
                    t.insert(QString::fromUtf16(name), s.field);
        return t;
    }();
    return table;
}

} // namespace

const BookColumns::Column &BookColumns::column(int field)
{
    return kColumns[field];
}

int BookColumns::matchHeader(const QString &header)
{
    return synonymTable().value(fold(header), -1);
}

QList<int> BookColumns::autoMapping(const QStringList &headers)
{
    QList<int> mapping(FieldCount, -1);
    for (int i = 0; i < headers.size(); ++i) {
        const int field = matchHeader(headers.at(i));
        if (field >= 0 && mapping[field] < 0)
            mapping[field] = i;
    }
    return mapping;
}
