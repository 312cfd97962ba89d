#include "LoanSchema.h"

#include "FbDatabase.h"
#include "FbError.h"
#include "OwnTransaction.h"

namespace {

struct Step {
    const char *kind;  // what the catalogue of the engine calls it: relation, field, trigger, index, generator
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

// Names of what the library has, each prefixed with its kind ("relation:GIVEN").
QStringList presentNames(OwnTransaction &tr)
{
    QStringList names;
    const auto add = [&](const char *kind, const char *select) {
        for (const QString &name : tr.column(QString::fromLatin1(select)))
            names << QString::fromLatin1(kind) + QLatin1Char(':') + name;
    };
    add("relation", "SELECT RDB$RELATION_NAME FROM RDB$RELATIONS WHERE RDB$RELATION_NAME IN "
                    "('GIVEN', 'LOAN_HISTORY', 'BORROWER')");
    add("field", "SELECT RDB$FIELD_NAME FROM RDB$RELATION_FIELDS WHERE RDB$RELATION_NAME = 'GIVEN'");
    add("trigger", "SELECT RDB$TRIGGER_NAME FROM RDB$TRIGGERS WHERE RDB$TRIGGER_NAME IN "
                   "('GIVEN_HISTORY', 'GIVEN_CHANGED')");
    add("generator", "SELECT RDB$GENERATOR_NAME FROM RDB$GENERATORS WHERE RDB$GENERATOR_NAME = 'GIVEN_CHANGES'");
    add("index", "SELECT RDB$INDEX_NAME FROM RDB$INDICES WHERE RDB$RELATION_NAME IN ('GIVEN', 'LOAN_HISTORY')");
    return names;
}

QList<const Step *> missingSteps(OwnTransaction &tr)
{
    const QStringList have = presentNames(tr);
    const bool haveGiven = have.contains(QStringLiteral("relation:GIVEN"));
    QList<const Step *> missing;
    for (const Step &step : kSteps)
        if ((haveGiven || !step.onGiven) &&
            !have.contains(QString::fromLatin1(step.kind) + QLatin1Char(':') + QString::fromLatin1(step.name)))
            missing << &step;
    return missing;
}

} // namespace

namespace LoanSchema {

QStringList missingStatements(FbDatabase &db)
{
    if (!db.connected())
        db.open();
    OwnTransaction tr(db);
    QStringList result;
    for (const Step *step : missingSteps(tr)) {
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
        OwnTransaction tr(db);
        QStringList statements;
        for (const Step *step : missingSteps(tr)) {
            if (step->phase != phase)
                continue;
            statements << QString::fromLatin1(step->statement);
            if (step->grant)
                statements << QString::fromLatin1(step->grant);
        }
        if (statements.isEmpty())
            continue;
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
        OwnTransaction tr(db);
        const QStringList have = presentNames(tr);
        return have.contains(QStringLiteral("field:DUE_DATE")) && have.contains(QStringLiteral("relation:LOAN_HISTORY")) &&
               have.contains(QStringLiteral("relation:BORROWER"));
    } catch (const FbError &) {
        return false;
    }
}

} // namespace LoanSchema
