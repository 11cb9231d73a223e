#include "DateForm.h"

#include "common/Clock.h"
#include "db/Sql.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTextCharFormat>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QToolButton* smallButton(const QString& name, const QString& text, const QString& hint, QWidget* parent)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(text);
    b->setToolTip(hint);
    b->setAccessibleName(hint);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

} // namespace

TDateForm::TDateForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DateForm"));
    setWindowTitle(QStringLiteral("日期选择窗口"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    m_prevYear = smallButton(QStringLiteral("button_PriorYear"), QStringLiteral("<<"), QStringLiteral("上一年"), this);
    m_nextYear = smallButton(QStringLiteral("button_NextYear"), QStringLiteral(">>"), QStringLiteral("下一年"), this);
    m_prevMonth = smallButton(QStringLiteral("button_PriorMonth"), QStringLiteral("<"), QStringLiteral("上一月"), this);
    m_nextMonth = smallButton(QStringLiteral("button_NextMonth"), QStringLiteral(">"), QStringLiteral("下一月"), this);

    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("TitleLabel"));
    m_title->setAlignment(Qt::AlignCenter);
    QFont f = m_title->font();
    f.setBold(true);
    m_title->setFont(f);

    m_calendar = new QCalendarWidget(this);
    m_calendar->setObjectName(QStringLiteral("Calendar"));
    m_calendar->setFirstDayOfWeek(Qt::Sunday);
    m_calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    m_calendar->setNavigationBarVisible(false);
    m_calendar->setGridVisible(true);
    m_calendar->setAccessibleName(QStringLiteral("日历"));
    setCalendarColor(Qt::white);
    m_calendar->setSelectedDate(Clock::today());

    m_ok = new QPushButton(QStringLiteral("确定[F3]"), this);
    m_ok->setObjectName(QStringLiteral("button_ok"));
    m_ok->setDefault(true);
    m_close = new QPushButton(QStringLiteral("关闭[F4]"), this);
    m_close->setObjectName(QStringLiteral("button_close"));
    m_close->setAutoDefault(false);

    auto* top = new QHBoxLayout;
    top->addWidget(m_prevYear);
    top->addWidget(m_nextYear);
    top->addWidget(m_title, 1);
    top->addWidget(m_prevMonth);
    top->addWidget(m_nextMonth);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_calendar);
    layout->addLayout(buttons);

    connect(m_prevYear, &QToolButton::clicked, this, [this] { setDate(date().addYears(-1)); });
    connect(m_nextYear, &QToolButton::clicked, this, [this] { setDate(date().addYears(1)); });
    connect(m_prevMonth, &QToolButton::clicked, this, [this] { setDate(date().addMonths(-1)); });
    connect(m_nextMonth, &QToolButton::clicked, this, [this] { setDate(date().addMonths(1)); });
    connect(m_calendar, &QCalendarWidget::selectionChanged, this, &TDateForm::refreshTitle);
    connect(m_calendar, &QCalendarWidget::currentPageChanged, this, [this](int year, int month) {
        // Paging the month keeps the day where the month has it.
        const QDate d = date();
        if (d.year() != year || d.month() != month)
            setDate(QDate(year, month, qMin(d.day(), QDate(year, month, 1).daysInMonth())));
    });
    connect(m_calendar, &QCalendarWidget::activated, m_ok, &QPushButton::click);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    // The calendar's own table sees the double click and the keys first.
    for (QWidget* w : m_calendar->findChildren<QWidget*>())
        w->installEventFilter(this);
    refreshTitle();
}

QDate TDateForm::date() const
{
    return m_calendar->selectedDate();
}

void TDateForm::setDate(const QDate& d)
{
    if (!d.isValid())
        return;
    m_calendar->setSelectedDate(d);
    m_calendar->setCurrentPage(d.year(), d.month());
    refreshTitle();
}

QString TDateForm::dateText() const
{
    return date().toString(QStringLiteral("yyyy-MM-dd"));
}

void TDateForm::setCalendarColor(const QColor& color)
{
    QPalette p = m_calendar->palette();
    p.setColor(QPalette::Base, color);
    p.setColor(QPalette::Window, color);
    m_calendar->setPalette(p);
    m_calendar->setAutoFillBackground(true);
}

void TDateForm::refreshTitle()
{
    m_title->setText(dateText());
}

void TDateForm::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_F3:
        m_ok->click();
        return;
    case Qt::Key_F4:
    case Qt::Key_F12:
        m_close->click();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

bool TDateForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_F3 || key == Qt::Key_F4 || key == Qt::Key_F12) {
            keyPressEvent(static_cast<QKeyEvent*>(event));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

QDate PickDateStart(const QString& text, const QString& fallback)
{
    QString t = text.trimmed();
    const int colon = t.indexOf(QLatin1Char(':'));
    if (colon >= 0)
        t = t.left(qMax(0, colon - 2)).trimmed();
    QDate d = Sql::parseDate(t);
    if (!d.isValid())
        d = Sql::parseDate(fallback);
    return d.isValid() ? d : Clock::today();
}

QString PickDate(const QString& text, const QString& fallback, QWidget* parent)
{
    TDateForm form(parent);
    form.setDate(PickDateStart(text, fallback));
    form.raise();
    form.activateWindow();
    if (form.exec() != QDialog::Accepted)
        return {};
    return form.date().toString(QStringLiteral("yyyy/MM/dd"));
}
