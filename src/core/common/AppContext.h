#pragma once

#include <QColor>
#include <QString>

enum class TSqlType
{
    urStandard
};

// The login context: one instance for the process, filled by the shell.
struct AppContext
{
    QString UserId;
    QString UserName;
    bool IsAdmin = false;
    QString LoginDate; // the working date, "YYYY-MM-DD"
    QString CompanyName;
    QString DetailName = QStringLiteral("档案明细资料");
    QString ImeName;
    QString DatabaseDir;
    QString InstallDir;
    QString TempDir;
    int MainClientWidth = 0;
    int MainClientHeight = 0;
    bool JustEnrolled = false;
    QString ReminderField;
    int ReminderDays = 0;
    int NumberingScheme = 0;

    // Fixed window defaults handed to every program window.
    QString Language = QStringLiteral("GB");
    QColor WindowColor = QColor(254, 250, 241);
    QColor WindowFocusColor = QColor(199, 247, 248);
    QColor WindowEditColor = QColor(238, 253, 253);
    QColor WindowLabelColor = QColor(190, 253, 183);
    TSqlType SqlType = TSqlType::urStandard;
    int WindowPlacement = 90;

    static AppContext& instance();
    // Back to a fresh context (tests, and a new logon after enrolment).
    static void reset();
};
