#include "db/Database.h"

#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("QNSOFTWARE"));
    QCoreApplication::setApplicationName(QStringLiteral("vuzazo"));

    QString error;
    const auto result = Database::openFromAlias(&error);
    if (result != Database::OpenResult::Ok) {
        QMessageBox::critical(nullptr, QStringLiteral("错误信息"), error);
        return 1;
    }
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("档案管理系统"));
    window.resize(1024, 700);
    window.show();
    const int rc = app.exec();
    Database::close();
    return rc;
}
