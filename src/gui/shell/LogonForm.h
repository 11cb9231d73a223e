#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

// "用户登陆窗口": the user types a user number or picks a name, and the password. Four wrong attempts end
// the program (the window closes with Rejected).
class TLogonForm : public QDialog
{
    Q_OBJECT
public:
    static constexpr int MaxFailures = 4;

    explicit TLogonForm(QWidget* parent = nullptr);

    int failures() const { return m_failures; }

public slots:
    void confirm();

private:
    QComboBox* m_user;
    QLineEdit* m_password;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    int m_failures = 0;
};
