#pragma once

#include <QDate>
#include <QDialog>

class QCalendarWidget;
class QLabel;
class QPushButton;
class QToolButton;

// "日期选择窗口": a month calendar with the chosen date above it as "YYYY-MM-DD", small buttons that move a
// year or a month back and on, 确定[F3] and 关闭[F4]. A double click on the calendar confirms.
class TDateForm : public QDialog
{
    Q_OBJECT
public:
    explicit TDateForm(QWidget* parent = nullptr);

    QDate date() const;
    void setDate(const QDate& date);
    // The chosen date as the title shows it.
    QString dateText() const;

    QLabel* TitleLabel() const { return m_title; }
    QCalendarWidget* Calendar() const { return m_calendar; }
    QPushButton* OkButton() const { return m_ok; }
    QPushButton* CloseButton() const { return m_close; }
    void setCalendarColor(const QColor& color);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refreshTitle();

    QLabel* m_title;
    QCalendarWidget* m_calendar;
    QToolButton* m_prevYear;
    QToolButton* m_nextYear;
    QToolButton* m_prevMonth;
    QToolButton* m_nextMonth;
    QPushButton* m_ok;
    QPushButton* m_close;
};

// The date window opened at the date in text (with a time, the part before ":" less two characters, so
// "2009-03-25 10:30" opens at 2009-03-25) or else at fallback; "YYYY/MM/DD" on 确定, empty when closed.
QString PickDate(const QString& text, const QString& fallback, QWidget* parent = nullptr);
// The date the window opens at for text and fallback (today when neither is a date).
QDate PickDateStart(const QString& text, const QString& fallback);
