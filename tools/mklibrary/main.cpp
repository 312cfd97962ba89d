// mklibrary PATH: creates an empty library database at PATH.
#include "FbError.h"
#include "LibrarySchema.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        err << "usage: mklibrary PATH\n";
        return 2;
    }
    try {
        LibrarySchema::create(args.at(1));
    } catch (const FbError &e) {
        err << "mklibrary: " << e.message() << "\n";
        return 1;
    }
    return 0;
}
