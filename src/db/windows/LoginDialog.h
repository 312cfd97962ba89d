#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// Asks for the user name and password of one connection when the login prompt is on.
class LoginDialog : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kMaxLength = 31;

    LoginDialog(const QString &databaseName, const QString &userName, QWidget *parent = nullptr);

    QString userName() const;
    QString password() const;

    QLineEdit *userNameEdit() const { return m_userName; }
    QLineEdit *passwordEdit() const { return m_password; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    QLabel *m_database;
    QLineEdit *m_userName;
    QLineEdit *m_password;
    QPushButton *m_ok;
    QPushButton *m_cancel;
};

// Makes LoginDialog the dialog every connection with the login prompt on asks through.
void installLoginDialog();
