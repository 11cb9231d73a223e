#include "QnPageControl.h"

#include "QnDataSource.h"

#include "common/MessageSink.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QTabBar>
#include <QWheelEvent>

namespace {

// The tab bar asks the page control before it lets the user change the page.
class GuardedTabBar : public QTabBar
{
public:
    explicit GuardedTabBar(TQnPageControl* owner) : QTabBar(owner), m_owner(owner) {}

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        const int to = tabAt(event->position().toPoint());
        if (event->button() == Qt::LeftButton && to >= 0 && to != currentIndex() && !m_owner->PageChanging(to)) {
            event->accept();
            return;
        }
        QTabBar::mousePressEvent(event);
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        int to = -1;
        if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Up)
            to = currentIndex() - 1;
        else if (event->key() == Qt::Key_Right || event->key() == Qt::Key_Down)
            to = currentIndex() + 1;
        if (to >= 0 && to < count() && !m_owner->PageChanging(to)) {
            event->accept();
            return;
        }
        QTabBar::keyPressEvent(event);
    }
    void wheelEvent(QWheelEvent* event) override { event->ignore(); }

private:
    TQnPageControl* m_owner;
};

} // namespace

TQnPageControl::TQnPageControl(QWidget* parent) : QTabWidget(parent)
{
    setTabBar(new GuardedTabBar(this));
    tabBar()->setCursor(Qt::PointingHandCursor);
}

void TQnPageControl::setDataSource(int n, TQnDataSource* ds)
{
    if (n >= 1 && n <= 7)
        m_sources[n - 1] = ds;
}

TQnDataSource* TQnPageControl::dataSource(int n) const
{
    return n >= 1 && n <= 7 ? m_sources[n - 1].data() : nullptr;
}

bool TQnPageControl::PageChanging(int to)
{
    for (const auto& ds : m_sources)
        if (ds && ds->isEditing()) {
            ShowWarning(QStringLiteral("必须先保存或取消新增的数据或修改后的数据"));
            return false;
        }
    if (m_master && m_master->isEmpty() && currentIndex() == 0) {
        ShowWarning(QStringLiteral("没有主档数据记录，不能改变页面"));
        return false;
    }
    return m_onChanging ? m_onChanging(currentIndex(), to) : true;
}
