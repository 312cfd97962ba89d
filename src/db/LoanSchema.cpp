#include "LoanSchema.h"

#include "FbDatabase.h"
#include "FbError.h"
#include "OwnTransaction.h"

namespace {

struct Step {
    const char *kind;  // relation, field (of GIVEN), trigger, index, generator
    const char *name;
    const char *statement;
    bool onGiven;      // needs GIVEN
    int phase;         // 1: tables and column; 2: what uses them
    // A trigger writes with its own rights: without them another account of a server library
    // could no longer take a book back.
    const char *grant = nullptr;
};

const Step kSteps[] = {
    {"field", "DUE_DATE", "ALTER TABLE GIVEN ADD DUE_DATE DATE", true, 1},
    {"relation", "LOAN_HISTORY",
     "CREATE TABLE LOAN_HISTORY (BOOK_ID INTEGER NOT NULL, TITLE VARCHAR(65), GIVEN_TO VARCHAR(35), "
     "GIVEN_DATE DATE, DUE_DATE DATE, RETURNED_DATE DATE)",
     false, 1},
    {"relation", "BORROWER",
     "CREATE TABLE BORROWER (NAME VARCHAR(35) NOT NULL, PHONE VARCHAR(35), EMAIL VARCHAR(80), "
     "NOTE VARCHAR(255), CONSTRAINT PK_BORROWER PRIMARY KEY (NAME))",
     false, 1},
    // A counter every change of GIVEN steps, so that the lent marks read GIVEN again only when
    // it changed, whoever changed it. Everyone may read it.
    {"generator", "GIVEN_CHANGES", "CREATE SEQUENCE GIVEN_CHANGES", false, 1,
     "GRANT USAGE ON SEQUENCE GIVEN_CHANGES TO PUBLIC"},
    // Every path that ends a loan (the return window, a statement typed on the SQL page, another
    // program) goes through a DELETE on GIVEN; the title is copied so that deleting the book keeps it.
    {"trigger", "GIVEN_HISTORY",
     "CREATE TRIGGER GIVEN_HISTORY FOR GIVEN AFTER DELETE AS BEGIN "
     "INSERT INTO LOAN_HISTORY (BOOK_ID, TITLE, GIVEN_TO, GIVEN_DATE, DUE_DATE, RETURNED_DATE) "
     "VALUES (OLD.GIVEN_ID, (SELECT TITLE FROM BOOK WHERE ID = OLD.GIVEN_ID), OLD.GIVEN_TO, OLD.GIVEN_DATE, "
     "OLD.DUE_DATE, CURRENT_DATE); END",
     true, 2, "GRANT INSERT ON LOAN_HISTORY TO TRIGGER GIVEN_HISTORY"},
    {"trigger", "GIVEN_CHANGED",
     "CREATE TRIGGER GIVEN_CHANGED FOR GIVEN AFTER INSERT OR UPDATE OR DELETE AS "
     "DECLARE STEPPED BIGINT; BEGIN STEPPED = GEN_ID(GIVEN_CHANGES, 1); END",
     true, 2, "GRANT USAGE ON SEQUENCE GIVEN_CHANGES TO TRIGGER GIVEN_CHANGED"},
    {"index", "GIVEN_DUE_ASC", "CREATE INDEX GIVEN_DUE_ASC ON GIVEN (DUE_DATE)", true, 2},
    {"index", "GIVEN_DUE_DESC", "CREATE DESCENDING INDEX GIVEN_DUE_DESC ON GIVEN (DUE_DATE)", true, 2},
    {"index", "LOAN_HISTORY_BOOK", "CREATE INDEX LOAN_HISTORY_BOOK ON LOAN_HISTORY (BOOK_ID)", false, 2},
    {"index", "LOAN_HISTORY_TO", "CREATE INDEX LOAN_HISTORY_TO ON LOAN_HISTORY (GIVEN_TO)", false, 2},
};

bool present(const LibraryCatalog &catalog, const Step &step)
{
    const QString name = QString::fromLatin1(step.name);
    const QString kind = QString::fromLatin1(step.kind);
    if (kind == QLatin1String("relation"))
        return catalog.hasRelation(name);
    if (kind == QLatin1String("field"))
        return catalog.hasField(QStringLiteral("GIVEN"), name);
    if (kind == QLatin1String("trigger"))
        return catalog.hasTrigger(name);
    if (kind == QLatin1String("generator"))
        return catalog.hasGenerator(name);
    return catalog.hasIndex(name);
}

QList<const Step *> missingSteps(const LibraryCatalog &catalog)
{
    const bool haveGiven = catalog.hasRelation(QStringLiteral("GIVEN"));
    QList<const Step *> missing;
    for (const Step &step : kSteps)
        if ((haveGiven || !step.onGiven) && !present(catalog, step))
            missing << &step;
    return missing;
}

} // namespace

namespace LoanSchema {

QStringList missingStatements(FbDatabase &db)
{
    if (!db.connected())
        db.open();
    QStringList result;
    for (const Step *step : missingSteps(db.catalog())) {
        result << QString::fromLatin1(step->statement);
        if (step->grant)
            result << QString::fromLatin1(step->grant);
    }
    return result;
}

QStringList addMissing(FbDatabase &db)
{
    if (!db.connected())
        db.open();
    QStringList done;
    for (int phase = 1; phase <= 2; ++phase) {
        QStringList statements;
        for (const Step *step : missingSteps(db.catalog())) {
            if (step->phase != phase)
                continue;
            statements << QString::fromLatin1(step->statement);
            if (step->grant)
                statements << QString::fromLatin1(step->grant);
        }
        if (statements.isEmpty())
            continue;
        OwnTransaction tr(db);
        for (const QString &statement : statements)
            tr.execute(statement);
        tr.commit();
        done << statements;
    }
    return done;
}

bool present(FbDatabase &db)
{
    try {
        if (!db.connected())
            return false;
        const LibraryCatalog catalog = db.catalog();
        return catalog.hasField(QStringLiteral("GIVEN"), QStringLiteral("DUE_DATE")) &&
               catalog.hasRelation(QStringLiteral("LOAN_HISTORY")) && catalog.hasRelation(QStringLiteral("BORROWER"));
    } catch (const FbError &) {
        return false;
    }
}

} // namespace LoanSchema
