#pragma once

#include <QApplication>

// The application object: every error that escapes an event handler ends in ReportException, and the
// event loop goes on.
class TQnApplication : public QApplication
{
    Q_OBJECT
public:
    TQnApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
