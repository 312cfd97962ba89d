#pragma once

#include "DataSource.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <functional>

// Ties a widget to one field of a data source's current row. The text follows every row move,
// open and close; it is empty while the query is closed or has no such field. While the
// widget's window is hidden the text waits, and is brought up to date when the window shows.
class FieldLink : public QObject
{
    Q_OBJECT
public:
    FieldLink(QWidget *owner, std::function<void(const QString &)> show);

    DataSource *dataSource() const { return m_source; }
    void setDataSource(DataSource *source);
    QString dataField() const { return m_field; }
    void setDataField(const QString &field);
    // The field's text in the current row as it stands now.
    QString fieldText() const;
    void refresh();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_owner;
    bool m_stale = false;
    QPointer<DataSource> m_source;
    QString m_field;
    std::function<void(const QString &)> m_show;
};

class DBText : public QLabel
{
    Q_OBJECT
public:
    explicit DBText(QWidget *parent = nullptr);

    DataSource *dataSource() const { return m_link.dataSource(); }
    void setDataSource(DataSource *source) { m_link.setDataSource(source); }
    QString dataField() const { return m_link.dataField(); }
    void setDataField(const QString &field) { m_link.setDataField(field); }

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    FieldLink m_link;
};

// Editable by the user, but nothing is written back: the next row move replaces the text.
class DBEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit DBEdit(QWidget *parent = nullptr);

    DataSource *dataSource() const { return m_link.dataSource(); }
    void setDataSource(DataSource *source) { m_link.setDataSource(source); }
    QString dataField() const { return m_link.dataField(); }
    void setDataField(const QString &field) { m_link.setDataField(field); }

private:
    FieldLink m_link;
};

// Like DBEdit, for long texts.
class DBMemo : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit DBMemo(QWidget *parent = nullptr);

    DataSource *dataSource() const { return m_link.dataSource(); }
    void setDataSource(DataSource *source) { m_link.setDataSource(source); }
    QString dataField() const { return m_link.dataField(); }
    void setDataField(const QString &field) { m_link.setDataField(field); }

private:
    FieldLink m_link;
};
