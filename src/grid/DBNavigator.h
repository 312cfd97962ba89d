#pragma once

#include "DataSource.h"

#include <QPointer>
#include <QWidget>

class FbQuery;
class QToolButton;

// Four buttons that move the current row of a data source's query: first, prior, next, last.
class DBNavigator : public QWidget
{
    Q_OBJECT
public:
    enum Button { First, Prior, Next, Last };
    Q_ENUM(Button)

    explicit DBNavigator(QWidget *parent = nullptr);

    DataSource *dataSource() const { return m_source; }
    void setDataSource(DataSource *source);
    QToolButton *button(Button which) const { return m_buttons[which]; }

public slots:
    // What a click on the button does.
    void press(Button which);

signals:
    // Before the button acts; a handler may bind another data source, and the button then acts on that.
    void beforeAction(DBNavigator::Button button);
    void actionFailed(const QString &message);

private:
    void updateButtons();

    QPointer<DataSource> m_source;
    QToolButton *m_buttons[4];
};
