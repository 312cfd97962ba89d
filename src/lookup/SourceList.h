#pragma once

#include <QList>
#include <QString>

// The online catalogues a lookup asks, in order, as the settings window keeps them.
struct SourceSetting {
    enum class Kind { OpenLibrary, GoogleBooks, Sru, Z3950, Z3950Unimarc };
    Kind kind = Kind::OpenLibrary;
    bool on = true;
    QString address; // base URL; "host:port/database" for Z39.50 (MARC 21 or UNIMARC records)
    bool operator==(const SourceSetting &) const = default;
};

struct SourceList {
    QList<SourceSetting> sources;
    QString googleKey;
    int timeoutMs = 5000;
    bool operator==(const SourceList &) const = default;

    // Public servers that need no account.
    static SourceList defaults();
    // The file .isbnsources in the base directory: Windows-1251, CR LF, one source a line
    // ("kind;on;address"), then "googlekey=" and "timeout=". A missing or unreadable file gives the defaults.
    static SourceList read(const QString &path);
    // Whole or not at all; false when it could not be written.
    bool write(const QString &path) const;
    static QString fileName();
};
