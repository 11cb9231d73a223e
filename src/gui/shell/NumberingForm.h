#pragma once

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QPushButton;

// "编号方式设置窗口": which numbers the program fills in by itself, the lending reminder, the backup at start,
// and how archive numbers are checked for repeats. "确定" (and Esc) writes every setting.
class TNumberingForm : public QDialog
{
    Q_OBJECT
public:
    explicit TNumberingForm(QWidget* parent = nullptr);

public slots:
    // Writes the settings and closes.
    void confirm();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QCheckBox* m_archiveId;
    QCheckBox* m_detailId;
    QCheckBox* m_lendId;
    QCheckBox* m_overdue;
    QCheckBox* m_backup;
    QButtonGroup* m_scheme;
    QPushButton* m_ok;
};
