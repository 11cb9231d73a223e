#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// "注册窗口": the first run records the organisation and the first system administrator, then asks for the
// numbering settings, confirms the user's logon data and registers the delivered reports.
class TEnrolForm : public QDialog
{
    Q_OBJECT
public:
    explicit TEnrolForm(QWidget* parent = nullptr);

public slots:
    void confirm();

private:
    bool check();
    void registerReports();

    QLineEdit* m_company;
    QLineEdit* m_userId;
    QLineEdit* m_userName;
    QLineEdit* m_password;
    QLineEdit* m_confirm;
    QPushButton* m_ok;
    QPushButton* m_close;
};
