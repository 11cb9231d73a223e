#pragma once

#include <QPointer>
#include <QTabWidget>

#include <functional>

class TQnDataSource;
class TQnQuery;

// The master/detail page control: a page change is refused while any of its data sources is adding or
// editing, and the master page (0) cannot be left while the master query is empty. Otherwise the screen's
// own OnChanging decides.
class TQnPageControl : public QTabWidget
{
    Q_OBJECT
public:
    explicit TQnPageControl(QWidget* parent = nullptr);

    // n from 1 to 7.
    void setDataSource(int n, TQnDataSource* ds);
    TQnDataSource* dataSource(int n) const;
    TQnQuery* QyMaster() const { return m_master; }
    void setQyMaster(TQnQuery* q) { m_master = q; }
    void setOnChanging(std::function<bool(int from, int to)> handler) { m_onChanging = std::move(handler); }

    // Whether the page may change from the current page to page to (messages for the refusals).
    bool PageChanging(int to);

private:
    QPointer<TQnDataSource> m_sources[7];
    QPointer<TQnQuery> m_master;
    std::function<bool(int, int)> m_onChanging;
};
