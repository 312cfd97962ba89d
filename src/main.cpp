#include "DBGridEh.h"
#include "DataSource.h"
#include "FbDatabase.h"
#include "FbError.h"
#include "FbQuery.h"
#include "FbTransaction.h"

#include <QApplication>
#include <QMessageBox>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    FbDatabase db;
    FbTransaction tr(&db);
    db.setParams({QStringLiteral("user_name=SYSDBA"), QStringLiteral("password=quietlamp"),
                  QStringLiteral("lc_ctype=WIN1251")});
    FbQuery books(&db);
    books.setSqlText(QStringLiteral("select * from BOOK"));
    DataSource source;
    source.setDataSet(&books);
    DBGridEh grid;
    grid.setDataSource(&source);
    grid.setWindowTitle(QStringLiteral("Bibliora"));
    grid.resize(900, 600);
    try {
        books.open();
    } catch (const FbError &e) {
        QMessageBox::critical(nullptr, QStringLiteral("Bibliora"), e.message());
    }
    grid.show();
    return app.exec();
}
