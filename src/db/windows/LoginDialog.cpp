#include "LoginDialog.h"

#include "FbDatabase.h"

#include <QApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

LoginDialog::LoginDialog(const QString &databaseName, const QString &userName, QWidget *parent)
    : QDialog(parent), m_database(new QLabel(databaseName, this)), m_userName(new QLineEdit(userName, this)),
      m_password(new QLineEdit(this)), m_ok(new QPushButton(QStringLiteral("&OK"), this)),
      m_cancel(new QPushButton(QStringLiteral("Cancel"), this))
{
    setObjectName(QStringLiteral("LoginDialog"));
    setWindowTitle(QStringLiteral("Database Login"));
    setModal(true);

    m_database->setObjectName(QStringLiteral("DatabaseName"));
    m_userName->setObjectName(QStringLiteral("UserName"));
    m_password->setObjectName(QStringLiteral("Password"));
    m_ok->setObjectName(QStringLiteral("OKButton"));
    m_cancel->setObjectName(QStringLiteral("CancelButton"));

    m_userName->setMaxLength(kMaxLength);
    m_password->setMaxLength(kMaxLength);
    m_password->setEchoMode(QLineEdit::Password);
    // The password shows as asterisks whatever the style's own mask character is.
    m_password->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Database:"), m_database);
    form->addRow(QStringLiteral("&User Name:"), m_userName);
    form->addRow(QStringLiteral("&Password:"), m_password);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    m_ok->setDefault(true);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString LoginDialog::userName() const
{
    return m_userName->text();
}

QString LoginDialog::password() const
{
    return m_password->text();
}

void LoginDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    (m_userName->text().isEmpty() ? m_userName : m_password)->setFocus();
}

void installLoginDialog()
{
    FbDatabase::setLoginHandler([](const QString &databaseName, QString &userName, QString &password) {
        LoginDialog dialog(databaseName, userName, QApplication::activeWindow());
        if (dialog.exec() != QDialog::Accepted)
            return false;
        userName = dialog.userName();
        password = dialog.password();
        return true;
    });
}
