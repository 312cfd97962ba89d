#include "SourceList.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <iterator>

namespace {

const char *const kKinds[] = {"openlibrary", "google", "sru", "z3950", "z3950unimarc"};

} // namespace

QString SourceList::fileName()
{
    return QStringLiteral(".isbnsources");
}

SourceList SourceList::defaults()
{
    SourceList list;
    list.sources = {
        {SourceSetting::Kind::OpenLibrary, true, QStringLiteral("https://openlibrary.org")},
        {SourceSetting::Kind::GoogleBooks, true, QStringLiteral("https://www.googleapis.com")},
        {SourceSetting::Kind::Sru, true, QStringLiteral("http://lx2.loc.gov:210/LCDB")},
        {SourceSetting::Kind::Z3950, true, QStringLiteral("z3950.loc.gov:7090/Voyager")},
    };
    return list;
}

SourceList SourceList::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return defaults();
    QStringDecoder decode("windows-1251");
    const QString text = decode(file.readAll());
    SourceList list;
    for (const QString &line : text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        if (line.startsWith(QLatin1String("googlekey="))) {
            list.googleKey = line.mid(10);
            continue;
        }
        if (line.startsWith(QLatin1String("timeout="))) {
            const int ms = line.mid(8).toInt();
            if (ms > 0)
                list.timeoutMs = ms;
            continue;
        }
        const QStringList parts = line.split(QLatin1Char(';'));
        if (parts.size() < 3)
            continue;
        for (int k = 0; k < int(std::size(kKinds)); ++k)
            if (parts[0] == QLatin1String(kKinds[k]))
                list.sources.append({static_cast<SourceSetting::Kind>(k), parts[1] == QLatin1String("1"),
                                     parts.mid(2).join(QLatin1Char(';'))});
    }
    return list.sources.isEmpty() ? defaults() : list;
}

bool SourceList::write(const QString &path) const
{
    QString text;
    for (const SourceSetting &s : sources)
        text += QLatin1String(kKinds[static_cast<int>(s.kind)]) + QLatin1Char(';') +
                (s.on ? QLatin1Char('1') : QLatin1Char('0')) + QLatin1Char(';') + s.address + QStringLiteral("\r\n");
    text += QStringLiteral("googlekey=") + googleKey + QStringLiteral("\r\n");
    text += QStringLiteral("timeout=") + QString::number(timeoutMs) + QStringLiteral("\r\n");
    QStringEncoder encode("windows-1251");
    const QByteArray bytes = encode(text);
    if (encode.hasError())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(bytes);
    return file.commit();
}
