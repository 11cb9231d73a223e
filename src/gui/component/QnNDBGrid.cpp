#include "QnNDBGrid.h"

#include "QnDataSource.h"

#include "common/MessageSink.h"
#include "db/Database.h"
#include "db/FunLib.h"
#include "db/Sql.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSqlQuery>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {

const QString MsgHiddenDelete = QStringLiteral("隐藏字段删除过程发生错误");
const QString MsgRestoreFailed = QStringLiteral("恢复默认显示设置过程发生错误");

bool isTotal(const TFieldsData* f)
{
    return f && (f->footerKind == QLatin1String("@Count") || f->footerKind == QLatin1String("@Sum"));
}

bool execLayout(const QString& sql)
{
    return ExecSql(sql);
}

} // namespace

// ---------------------------------------------------------------- footer

TQnGridFooter::TQnGridFooter(TQnNDBGrid* grid) : QWidget(grid), m_grid(grid)
{
    setObjectName(QStringLiteral("Footer"));
    setAutoFillBackground(true);
}

bool TQnGridFooter::hasFooters() const
{
    TQnQuery* q = m_grid->query();
    if (!q)
        return false;
    for (const TFieldsData& f : q->fieldsData())
        if (!f.footerKind.isEmpty())
            return true;
    return false;
}

bool TQnGridFooter::hasSums() const
{
    TQnQuery* q = m_grid->query();
    if (!q)
        return false;
    for (const TFieldsData& f : q->fieldsData())
        if (f.footerKind == QLatin1String("@Sum"))
            return true;
    return false;
}

QString TQnGridFooter::text(int column) const
{
    TQnQuery* q = m_grid->query();
    if (!q || !q->isOpen())
        return {};
    const QString field = m_grid->fieldOf(column);
    const TFieldsData* f = q->fieldData(field);
    if (!f || f->footerKind.isEmpty())
        return {};
    if (f->footerKind == QLatin1String("@Count")) {
        const QString n = QString::number(q->recordCount());
        const QString fmt = f->footerFormat;
        if (fmt.contains(QLatin1String("%1")))
            return fmt.arg(n);
        if (fmt.contains(QLatin1String("%d")))
            return QString(fmt).replace(QLatin1String("%d"), n);
        return n;
    }
    return q->footerText(field);
}

void TQnGridFooter::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QColor line = palette().color(QPalette::Mid);
    p.fillRect(rect(), palette().color(QPalette::Button));
    p.setPen(line);
    p.drawLine(0, 0, width(), 0);
    TQnQuery* q = m_grid->query();
    if (!q || !q->isOpen())
        return;
    // A sum takes a pass over the whole result: after opening, the rows are shown first and the totals in
    // the next turn of the event loop.
    const bool sumsNow = m_sumsShown || !hasSums();
    if (!sumsNow && !m_sumsPending) {
        m_sumsPending = true;
        QTimer::singleShot(0, this, [this] {
            m_sumsPending = false;
            m_sumsShown = true;
            update();
        });
    }
    QHeaderView* header = m_grid->horizontalHeader();
    for (int c = 0; c < header->count(); ++c) {
        if (header->isSectionHidden(c))
            continue;
        const int x = header->sectionViewportPosition(c);
        const int w = header->sectionSize(c);
        if (x + w < 0 || x > width() || w <= 0)
            continue;
        p.setPen(line);
        p.drawLine(x + w - 1, 0, x + w - 1, height());
        const TFieldsData* f = q->fieldData(m_grid->fieldOf(c));
        if (!sumsNow && f && f->footerKind == QLatin1String("@Sum"))
            continue;
        const QString t = text(c);
        if (t.isEmpty())
            continue;
        const bool right = isTotal(f) || (f && f->valueKind == QLatin1String("N"));
        p.setPen(palette().color(QPalette::ButtonText));
        p.drawText(QRect(x + 4, 1, w - 8, height() - 1),
                   Qt::AlignVCenter | (right ? Qt::AlignRight : Qt::AlignLeft) | Qt::TextSingleLine, t);
    }
}

// ---------------------------------------------------------------- indicator and delegate

TQnGridIndicator::TQnGridIndicator(TQnNDBGrid* grid) : QHeaderView(Qt::Vertical, grid), m_grid(grid)
{
    setSectionResizeMode(QHeaderView::Fixed);
    setSectionsClickable(false);
    setHighlightSections(false);
}

QSize TQnGridIndicator::sizeHint() const
{
    return QSize(14, QHeaderView::sizeHint().height());
}

void TQnGridIndicator::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    painter->save();
    painter->fillRect(rect, palette().color(QPalette::Button));
    painter->setPen(palette().color(QPalette::Mid));
    painter->drawLine(rect.topRight(), rect.bottomRight());
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    TQnQuery* q = m_grid->query();
    if (q && q->currentRow() == logicalIndex) {
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        painter->setBrush(palette().color(QPalette::ButtonText));
        const QPointF c = QRectF(rect).center();
        if (q->isEditing()) { // a record being edited shows a small pencil-like bar
            painter->drawRect(QRectF(c.x() - 1.5, c.y() - 4, 3, 8));
        } else {
            QPolygonF tri;
            tri << QPointF(c.x() - 2.5, c.y() - 4) << QPointF(c.x() + 2.5, c.y()) << QPointF(c.x() - 2.5, c.y() + 4);
            painter->drawPolygon(tri);
        }
    }
    painter->restore();
}

TQnGridDelegate::TQnGridDelegate(TQnNDBGrid* grid) : QStyledItemDelegate(grid), m_grid(grid) {}

void TQnGridDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (m_grid->OnApplyCellAttr())
        m_grid->OnApplyCellAttr()(m_grid, m_grid->fieldOf(index.column()), index.row(), *option);
}

// ---------------------------------------------------------------- grid

TQnNDBGrid::TQnNDBGrid(QWidget* parent) : QTableView(parent), m_footer(new TQnGridFooter(this))
{
    setVerticalHeader(new TQnGridIndicator(this));
    setItemDelegate(new TQnGridDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    horizontalHeader()->setSectionsMovable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setMinimumSectionSize(0);
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    horizontalHeader()->setTextElideMode(Qt::ElideRight);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    viewport()->setCursor(Qt::PointingHandCursor);
    horizontalHeader()->viewport()->installEventFilter(this);

    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this] {
        recordWidths();
        m_footer->update();
    });
    connect(horizontalHeader(), &QHeaderView::sectionMoved, this, [this] {
        recordOrder();
        m_footer->update();
    });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, m_footer, qOverload<>(&QWidget::update));
}

TQnNDBGrid::~TQnNDBGrid() = default;

void TQnNDBGrid::setDataSource(TQnDataSource* source)
{
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    attachQuery(source ? source->DataSet() : nullptr);
    if (source)
        connect(source, &TQnDataSource::dataSetChanged, this, [this] { attachQuery(m_source->DataSet()); });
}

void TQnNDBGrid::attachQuery(TQnQuery* query)
{
    if (m_query == query)
        return;
    for (const auto& c : m_queryConnections)
        disconnect(c);
    m_queryConnections.clear();
    m_query = query;
    setModel(query);
    m_layoutApplied = false;
    if (!query)
        return;
    m_queryConnections << connect(query, &TQnQuery::aboutToOpen, this, &TQnNDBGrid::queryAboutToOpen);
    m_queryConnections << connect(query, &TQnQuery::opened, this, &TQnNDBGrid::queryOpened);
    m_queryConnections << connect(query, &TQnQuery::closed, this, &TQnNDBGrid::queryClosed);
    m_queryConnections << connect(query, &TQnQuery::currentRowChanged, this,
                                  [this](int current) { showQueryRow(current); });
    m_queryConnections << connect(query, &TQnQuery::footersChanged, m_footer, qOverload<>(&QWidget::update));
    m_queryConnections << connect(query, &TQnQuery::stateChanged, this, [this] {
        verticalHeader()->viewport()->update();
        m_footer->update();
    });
    m_queryConnections << connect(query, &QAbstractItemModel::modelReset, this, [this] {
        // A reset outside opening (a save that reread the result) keeps the applied layout.
        if (m_layoutApplied && m_query && m_query->isOpen()) {
            m_layoutApplied = false;
            ApplyLayout();
            showQueryRow(m_query->currentRow());
        }
    });
    if (query->isOpen())
        queryOpened();
}

QColor TQnNDBGrid::Color() const
{
    return palette().color(QPalette::Base);
}

void TQnNDBGrid::setColor(const QColor& c)
{
    if (!c.isValid())
        return;
    QPalette p = palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(group, QPalette::Base, c);
    setPalette(p);
}

int TQnNDBGrid::columnOf(const QString& field) const
{
    return m_query ? m_query->columnIndex(field) : -1;
}

QString TQnNDBGrid::fieldOf(int column) const
{
    if (!m_query)
        return {};
    const QStringList names = m_query->columnNames();
    return column >= 0 && column < names.size() ? names.at(column) : QString();
}

int TQnNDBGrid::widthForCharacters(int n) const
{
    return n * fontMetrics().horizontalAdvance(QLatin1Char('0')) + 10;
}

int TQnNDBGrid::footerHeight() const
{
    return m_footer->hasFooters() ? fontMetrics().height() + 8 : 0;
}

void TQnNDBGrid::updateGeometries()
{
    if (m_inGeometries)
        return;
    m_inGeometries = true;
    QTableView::updateGeometries();
    // The footer row takes the bottom of the viewport area; the row header ends above it.
    const int fh = footerHeight();
    const QMargins m = viewportMargins();
    if (m.bottom() != fh)
        setViewportMargins(m.left(), m.top(), m.right(), fh);
    const QRect vp = viewport()->geometry();
    if (!verticalHeader()->isHidden())
        verticalHeader()->setGeometry(vp.left() - m.left(), vp.top(), m.left(), vp.height());
    m_footer->setGeometry(vp.left(), vp.bottom() + 1, vp.width(), fh);
    m_footer->setVisible(fh > 0);
    m_inGeometries = false;
}

QString TQnNDBGrid::layoutWhere() const
{
    return QStringLiteral("USE_ID = ") + Sql::quote(m_userId) + QStringLiteral(" AND FORM_NAME = ") +
           Sql::quote(m_formName) + QStringLiteral(" AND DBGRID_NAME = ") + Sql::quote(objectName());
}

void TQnNDBGrid::readLists(bool byOrder)
{
    const QString table = Sql::identifier(m_table);
    m_listsExist = true;
    if (table.isEmpty())
        return;
    const QString sql = QStringLiteral("SELECT FIELD_WIDTH,FIELD_NAME") +
                        (m_saveOrder ? QStringLiteral(",FIELD_ORDER") : QString()) + QStringLiteral(" FROM ") + table +
                        QStringLiteral(" WHERE ") + layoutWhere() + QStringLiteral(" ORDER BY ") +
                        (byOrder && m_saveOrder ? QStringLiteral("FIELD_ORDER") : QStringLiteral("FIELD_NAME"));
    auto q = OpenSql(sql);
    if (!q)
        return;
    while (q->next()) {
        Remembered r;
        r.name = q->value(1).toString();
        if (r.name.isEmpty())
            continue;
        r.width = int(std::lround(q->value(0).toDouble()));
        r.order = m_saveOrder ? int(std::lround(q->value(2).toDouble())) : 0;
        r.loadedName = r.name;
        r.loadedWidth = r.width;
        r.loadedOrder = r.order;
        m_lists << r;
    }
}

void TQnNDBGrid::clearLists()
{
    m_lists.clear();
    m_listsExist = false;
}

void TQnNDBGrid::LoadLayout()
{
    if (m_formName.isEmpty() || !m_lists.isEmpty())
        return;
    readLists(false);
    if (m_saveOrder) // equal orders keep their places
        std::stable_sort(m_lists.begin(), m_lists.end(),
                         [](const Remembered& a, const Remembered& b) { return a.order < b.order; });
}

void TQnNDBGrid::queryAboutToOpen()
{
    m_setColWidthChange = false;
    m_layoutApplied = false;
    if (!m_query || m_formName.isEmpty())
        return;
    LoadLayout();
    TFieldsDataArray fields = m_query->fieldsData();
    if (fields.isEmpty())
        return;
    for (const Remembered& r : std::as_const(m_lists)) {
        for (TFieldsData& f : fields) {
            if (r.name.isEmpty() || f.fieldName.compare(r.name, Qt::CaseInsensitive) != 0 || f.displayWidth == -1)
                continue;
            const int d = int(std::nearbyint(r.width * 0.16)); // halves to even
            if (d >= 2) {
                f.displayWidth = d;
                continue;
            }
            f.displayWidth = 0;
            if (isTotal(&f))
                continue; // totals stay, so their sums still show
            f.visible = false;
            DeleteLayoutRow(r.name);
        }
    }
    if (!m_lists.isEmpty()) {
        for (TFieldsData& f : fields)
            if (rememberedIndex(f.fieldName) < 0)
                f.visible = false;
    }
    m_query->SetFieldsData(fields);
}

void TQnNDBGrid::queryOpened()
{
    m_footer->deferSums();
    ApplyLayout();
    m_setColWidthChange = true;
    showQueryRow(m_query ? m_query->currentRow() : -1);
    updateGeometries();
    m_footer->update();
}

void TQnNDBGrid::queryClosed()
{
    m_layoutApplied = false;
    m_setColWidthChange = false;
    updateGeometries();
}

void TQnNDBGrid::ApplyLayout()
{
    if (m_layoutApplied || !m_query || !m_query->isOpen())
        return;
    m_applying = true;
    QHeaderView* header = horizontalHeader();
    const int cols = m_query->columnCount();
    if (cols > 1) {
        for (int c = 0; c < cols; ++c) {
            const TFieldsData* f = m_query->fieldData(fieldOf(c));
            bool hidden = !m_query->columnVisible(c);
            if (f && f->displayWidth == -1)
                hidden = true;
            setColumnHidden(c, hidden);
            const int chars = m_query->columnDisplayWidth(c);
            const QString caption = m_query->headerData(c, Qt::Horizontal).toString();
            int w = chars > 0 ? widthForCharacters(chars) : 100;
            w = std::max(w, header->fontMetrics().horizontalAdvance(caption) + 16);
            setColumnWidth(c, w);
        }
        if (!m_formName.isEmpty()) {
            if (m_lists.isEmpty())
                readLists(true);
            for (const Remembered& r : std::as_const(m_lists)) {
                const int c = columnOf(r.name);
                const TFieldsData* f = m_query->fieldData(r.name);
                if (c < 0 || !f || !f->visible || f->displayWidth == -1 || f->displayWidth == -2)
                    continue;
                if (r.width > 10) {
                    setColumnHidden(c, false);
                    setColumnWidth(c, r.width);
                } else if (isTotal(f)) {
                    // Narrowed to nothing but carrying a total: as narrow as the total itself.
                    setColumnHidden(c, false);
                    setColumnWidth(c, fontMetrics().horizontalAdvance(m_footer->text(c)) + 10);
                } else {
                    setColumnHidden(c, true);
                }
            }
            if (m_saveOrder) {
                QList<Remembered> ordered = m_lists;
                std::stable_sort(ordered.begin(), ordered.end(),
                                 [](const Remembered& a, const Remembered& b) { return a.order < b.order; });
                int position = 0;
                for (const Remembered& r : std::as_const(ordered)) {
                    const int c = columnOf(r.name);
                    if (c < 0)
                        continue;
                    header->moveSection(header->visualIndex(c), std::min(position, cols - 1));
                    ++position;
                }
            }
        }
    }
    m_layoutApplied = true;
    m_applying = false;
    m_footer->update();
}

int TQnNDBGrid::rememberedIndex(const QString& name) const
{
    for (int i = 0; i < m_lists.size(); ++i)
        if (m_lists.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void TQnNDBGrid::appendRemembered(int column)
{
    Remembered r;
    r.name = fieldOf(column);
    r.width = columnWidth(column);
    r.order = m_saveOrder ? horizontalHeader()->visualIndex(column) : 0;
    r.loadedName = QStringLiteral("1");
    r.loadedWidth = 1;
    r.loadedOrder = 1;
    m_lists << r;
}

void TQnNDBGrid::recordWidths()
{
    if (m_applying || !m_layoutApplied || !m_setColWidthChange || !m_listsExist || !m_query)
        return;
    for (int c = 0; c < m_query->columnCount(); ++c) {
        if (isColumnHidden(c))
            continue;
        const int i = rememberedIndex(fieldOf(c));
        if (i < 0)
            appendRemembered(c);
        else if (m_lists[i].width != columnWidth(c))
            m_lists[i].width = columnWidth(c);
    }
}

void TQnNDBGrid::recordOrder()
{
    if (m_applying || !m_saveOrder || !m_layoutApplied || !m_listsExist || !m_query)
        return;
    for (int c = 0; c < m_query->columnCount(); ++c) {
        if (isColumnHidden(c))
            continue;
        const int i = rememberedIndex(fieldOf(c));
        if (i < 0)
            appendRemembered(c);
        else
            m_lists[i].order = horizontalHeader()->visualIndex(c);
    }
}

void TQnNDBGrid::SaveLayout()
{
    m_setColWidthChange = false;
    const QString table = Sql::identifier(m_table);
    if (!m_layoutReset && !m_formName.isEmpty() && m_lists.size() > 1 && !table.isEmpty()) {
        // All or nothing: a failing statement leaves the layout table as it was.
        Transaction tx;
        bool ok = true;
        for (const Remembered& r : std::as_const(m_lists)) {
            if (r.name.isEmpty())
                continue;
            const auto loaded = std::find_if(m_lists.cbegin(), m_lists.cend(),
                                             [&](const Remembered& x) { return x.loadedName == r.name; });
            if (loaded != m_lists.cend() && loaded->loadedWidth == r.width &&
                (!m_saveOrder || loaded->loadedOrder == r.order))
                continue;
            const QString where = layoutWhere() + QStringLiteral(" AND FIELD_NAME = ") + Sql::quote(r.name);
            auto q = OpenSql(QStringLiteral("SELECT FIELD_WIDTH") +
                             (m_saveOrder ? QStringLiteral(",FIELD_ORDER") : QString()) + QStringLiteral(" FROM ") +
                             table + QStringLiteral(" WHERE  ") + where);
            if (!q) {
                ok = false;
                break;
            }
            QString sql;
            if (!q->next()) {
                sql = QStringLiteral("INSERT INTO ") + table +
                      (m_saveOrder ? QStringLiteral("(USE_ID,FORM_NAME,DBGRID_NAME,FIELD_NAME,FIELD_WIDTH,FIELD_ORDER)")
                                   : QStringLiteral("(USE_ID,FORM_NAME,DBGRID_NAME,FIELD_NAME,FIELD_WIDTH)")) +
                      QStringLiteral(" VALUES(") + Sql::quote(m_userId) + QLatin1Char(',') + Sql::quote(m_formName) +
                      QLatin1Char(',') + Sql::quote(objectName()) + QLatin1Char(',') + Sql::quote(r.name) +
                      QLatin1Char(',') + Sql::number(r.width) +
                      (m_saveOrder ? QLatin1Char(',') + Sql::number(r.order) : QString()) + QLatin1Char(')');
            } else {
                const bool same = int(std::lround(q->value(0).toDouble())) == r.width &&
                                  (!m_saveOrder || int(std::lround(q->value(1).toDouble())) == r.order);
                if (same)
                    continue;
                sql = QStringLiteral("UPDATE ") + table + QStringLiteral(" SET FIELD_WIDTH = ") + Sql::number(r.width) +
                      (m_saveOrder ? QStringLiteral(",FIELD_ORDER = ") + Sql::number(r.order) : QString()) +
                      QStringLiteral(" WHERE  ") + where;
            }
            q.reset();
            if (!execLayout(sql)) {
                ok = false;
                break;
            }
        }
        if (ok)
            tx.commit();
    }
    if (!m_keepLists)
        clearLists();
    m_layoutReset = false;
    m_keepLists = false;
}

void TQnNDBGrid::RestoreDefaults()
{
    const QString table = Sql::identifier(m_table);
    if (m_formName.isEmpty() || table.isEmpty())
        return;
    if (!AskYesNo(QStringLiteral("是否恢复默认显示设置")))
        return;
    if (execLayout(QStringLiteral("DELETE FROM ") + table + QStringLiteral(" WHERE  ") + layoutWhere())) {
        ShowWarning(QStringLiteral("请关闭窗口后再重新打开"));
        m_layoutReset = true;
    } else {
        ShowWarning(MsgRestoreFailed);
    }
}

void TQnNDBGrid::ResetLayoutAllUsers()
{
    const QString table = Sql::identifier(m_table);
    if (!table.isEmpty() &&
        execLayout(QStringLiteral("DELETE FROM ") + table + QStringLiteral(" WHERE FORM_NAME = ") +
                   Sql::quote(m_formName) + QStringLiteral(" AND DBGRID_NAME = ") + Sql::quote(objectName()))) {
        m_layoutReset = true;
        m_layoutApplied = false;
    } else {
        ShowWarning(MsgRestoreFailed);
    }
    clearLists();
}

bool TQnNDBGrid::DeleteLayoutRow(const QString& fieldName)
{
    const QString table = Sql::identifier(m_table);
    if (!table.isEmpty() && execLayout(QStringLiteral("DELETE FROM ") + table + QStringLiteral(" WHERE  ") +
                                       layoutWhere() + QStringLiteral(" AND FIELD_NAME = ") + Sql::quote(fieldName)))
        return true;
    ShowWarning(MsgHiddenDelete);
    return false;
}

void TQnNDBGrid::showQueryRow(int row)
{
    if (!m_query || !selectionModel())
        return;
    m_syncing = true;
    if (row >= 0 && row < m_query->rowCount()) {
        int column = currentIndex().isValid() ? currentIndex().column() : -1;
        if (column < 0 || isColumnHidden(column)) {
            column = 0;
            QHeaderView* header = horizontalHeader();
            for (int v = 0; v < header->count(); ++v)
                if (!header->isSectionHidden(header->logicalIndex(v))) {
                    column = header->logicalIndex(v);
                    break;
                }
        }
        const QModelIndex idx = m_query->index(row, column);
        selectionModel()->setCurrentIndex(idx, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(idx);
    } else {
        selectionModel()->clearSelection();
    }
    verticalHeader()->viewport()->update();
    m_syncing = false;
}

void TQnNDBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (m_syncing || !m_query || !current.isValid() || current.row() == m_query->currentRow())
        return;
    if (!m_query->setCurrentRow(current.row()))
        QMetaObject::invokeMethod(
            this, [this] { showQueryRow(m_query ? m_query->currentRow() : -1); }, Qt::QueuedConnection);
    verticalHeader()->viewport()->update();
}

void TQnNDBGrid::focusInEvent(QFocusEvent* event)
{
    if (m_layoutApplied)
        m_setColWidthChange = true;
    if (m_focusColorChange && m_colorOnFocus.isValid()) {
        m_restoreColor = Color();
        setColor(m_colorOnFocus);
    }
    QTableView::focusInEvent(event);
}

void TQnNDBGrid::focusOutEvent(QFocusEvent* event)
{
    m_setColWidthChange = false;
    if (m_focusColorChange && m_restoreColor.isValid())
        setColor(m_restoreColor);
    QTableView::focusOutEvent(event);
}

bool TQnNDBGrid::eventFilter(QObject* watched, QEvent* event)
{
    // Pressing on the titles (to size or move a column) takes the focus, as a click into the grid does.
    if (watched == horizontalHeader()->viewport() && event->type() == QEvent::MouseButtonPress &&
        focusPolicy() != Qt::NoFocus && isEnabled())
        setFocus(Qt::MouseFocusReason);
    return QTableView::eventFilter(watched, event);
}

void TQnNDBGrid::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton && m_rightClickRestores) {
        event->accept();
        RestoreDefaults();
        return;
    }
    QTableView::mousePressEvent(event);
}

void TQnNDBGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QModelIndex idx = indexAt(event->position().toPoint());
    QTableView::mouseDoubleClickEvent(event);
    if (idx.isValid())
        emit rowDoubleClicked(idx.row());
}
