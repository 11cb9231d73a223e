#pragma once

#include <QDialog>

// "关于": the program's title picture with the version and the maker's contact lines.
class TAboutForm : public QDialog
{
    Q_OBJECT
public:
    explicit TAboutForm(QWidget* parent = nullptr);
};
