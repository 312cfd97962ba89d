#pragma once

#include "DialogBase.h"

#include <memory>

class DataSource;
class FbQuery;

namespace Ui
{
class TLookupF;
}

// Lookup window: the values one book field has in the library, one of which the user takes
// over into the constants window.
class TLookupF : public DialogBase
{
    Q_OBJECT
public:
    explicit TLookupF(QWidget *parent = nullptr);
    ~TLookupF() override;

    // Runs the statement and shows the window with the column's values; an engine error
    // propagates and the window stays hidden.
    void lookup(const QString &statement, const QString &column);

    FbQuery *IBQuery1() const { return m_query; }

public slots:
    void Button1Click(); // "OK"

private:
    std::unique_ptr<Ui::TLookupF> ui;
    FbQuery *m_query = nullptr;
    DataSource *m_source = nullptr;
};

extern TLookupF *LookupF;
