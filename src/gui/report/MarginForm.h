#pragma once

#include <QDialog>
#include <QPageLayout>

class QLabel;
class QSpinBox;
class TReportRunTime;

// "报表属性设置" of the preview: the template's four margins in millimetres and its paper ("Setup": the
// printer's page set-up). OK applies both to the template and writes it back to its file.
class TMarginForm : public QDialog
{
    Q_OBJECT

public:
    explicit TMarginForm(TReportRunTime& runTime, QWidget* parent = nullptr);

    QSpinBox* leftBox() const { return m_left; }
    QSpinBox* topBox() const { return m_top; }
    QSpinBox* rightBox() const { return m_right; }
    QSpinBox* bottomBox() const { return m_bottom; }
    const QPageLayout& paper() const { return m_paper; }

public slots:
    void setup();
    void accept() override;

private:
    void showPaper();

    TReportRunTime& m_runTime;
    QPageLayout m_paper;
    QSpinBox* m_left;
    QSpinBox* m_top;
    QSpinBox* m_right;
    QSpinBox* m_bottom;
    QLabel* m_paperLabel;
};
