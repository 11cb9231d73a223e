#pragma once

#include <QDialog>

class QPushButton;
class TQnEdit;

// "标题编辑修改窗口": the name the archive room gives its detail items ("档案明细资料" unless renamed). Saving
// renames the detail query program and with it the main window's entry and tool button hint.
class TSetTitleNameForm : public QDialog
{
    Q_OBJECT
public:
    explicit TSetTitleNameForm(QWidget* parent = nullptr);

    TQnEdit* QnEdit1() const { return m_edit; }
    QPushButton* OkButton() const { return m_ok; }
    QPushButton* CloseButton() const { return m_close; }

    // Captions of the main window that carry the detail name.
    static void applyDetailName(const QString& name);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void save();

    TQnEdit* m_edit;
    QPushButton* m_ok;
    QPushButton* m_close;
};
