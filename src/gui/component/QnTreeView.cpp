#include "QnTreeView.h"

#include "QnColor.h"

#include "common/MessageSink.h"
#include "db/FunLib.h"
#include "db/Sql.h"

#include <QPainter>
#include <QPainterPath>
#include <QSqlQuery>

namespace {

constexpr int KeyRole = Qt::UserRole + 1;
constexpr int NameRole = Qt::UserRole + 2;
constexpr int HasDataRole = Qt::UserRole + 3;
constexpr int PlaceholderRole = Qt::UserRole + 4;

QIcon folderIcon(bool open)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor edge(176, 128, 32);
    p.setPen(QPen(edge, 1));
    p.setBrush(QColor(250, 214, 110));
    QPainterPath back;
    back.moveTo(1.5, 3.5);
    back.lineTo(6, 3.5);
    back.lineTo(7.5, 5);
    back.lineTo(14.5, 5);
    back.lineTo(14.5, 13.5);
    back.lineTo(1.5, 13.5);
    back.closeSubpath();
    p.drawPath(back);
    p.setBrush(QColor(253, 232, 160));
    if (open) {
        QPolygonF front;
        front << QPointF(3.5, 7.5) << QPointF(15.5, 7.5) << QPointF(13.5, 13.5) << QPointF(1.5, 13.5);
        p.drawPolygon(front);
    } else {
        p.drawRect(QRectF(1.5, 6.5, 13, 7));
    }
    return QIcon(pm);
}

QIcon leafIcon()
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QColor(110, 120, 135));
    p.setBrush(Qt::white);
    p.drawRect(3, 1, 10, 13);
    p.setPen(QColor(120, 150, 200));
    for (int y = 4; y <= 11; y += 2)
        p.drawLine(5, y, 11, y);
    return QIcon(pm);
}

} // namespace

TQnTreeView::TQnTreeView(QWidget* parent)
    : QTreeWidget(parent), m_closed(folderIcon(false)), m_open(folderIcon(true)), m_leaf(leafIcon())
{
    setObjectName(QStringLiteral("QnTreeView"));
    setHeaderHidden(true);
    setColumnCount(1);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformRowHeights(true);
    setSelectColor(winColor(0xC08000));
    connect(this, &QTreeWidget::itemExpanded, this, &TQnTreeView::onExpanded);
    connect(this, &QTreeWidget::itemCollapsed, this, &TQnTreeView::onCollapsed);
    connect(this, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { onCurrentChanged(current); });
}

TQnTreeView::~TQnTreeView() = default;

void TQnTreeView::SetQuery(int kind, const QString& head, int padWidth, const QString& suffix, const QString& keyKind,
                           const QString& tail)
{
    if (kind == 0) {
        m_childHead = head;
        m_childPad = padWidth;
        m_childSuffix = suffix;
        m_childKeyKind = keyKind;
        m_childTail = tail;
    } else {
        m_countHead = head;
        m_countKind = keyKind;
        m_countTail = tail;
    }
}

void TQnTreeView::setSelectColor(const QColor& color)
{
    m_selectColor = color;
    // The selection keeps its colour when the tree loses the focus.
    QPalette p = palette();
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::Highlight, color);
        p.setColor(group, QPalette::HighlightedText, Qt::white);
    }
    setPalette(p);
}

int TQnTreeView::level(const QTreeWidgetItem* node)
{
    int n = 0;
    for (const QTreeWidgetItem* p = node ? node->parent() : nullptr; p; p = p->parent())
        ++n;
    return n;
}

bool TQnTreeView::isPlaceholder(const QTreeWidgetItem* node)
{
    return node && node->data(0, PlaceholderRole).toBool();
}

bool TQnTreeView::holdsOnlyPlaceholder(const QTreeWidgetItem* node)
{
    return node && node->childCount() == 1 && isPlaceholder(node->child(0));
}

QString TQnTreeView::NodeKey(const QTreeWidgetItem* node) const
{
    return node ? node->data(0, KeyRole).toString() : QString();
}

QString TQnTreeView::NodeName(const QTreeWidgetItem* node) const
{
    return node ? node->data(0, NameRole).toString() : QString();
}

void TQnTreeView::SetNodeName(QTreeWidgetItem* node, const QString& name)
{
    if (!node)
        return;
    node->setData(0, NameRole, name);
    node->setText(0, name);
}

QString TQnTreeView::caption(const QString& name) const
{
    QString c = name;
    if (m_childPad != 0)
        c = (QStringLiteral("000000000") + name).right(m_childPad);
    return c + m_childSuffix;
}

bool TQnTreeView::BuildTree()
{
    if (m_rootKey.isEmpty() || m_rootCaption.isEmpty()) {
        ShowWarning(QStringLiteral("没有节点ID或没有节点名称，不能建立节点"));
        return false;
    }
    const bool setColor = m_setColor;
    m_setColor = true; // clearing and making the root is no selection by the user
    clear();
    m_setColor = setColor;
    auto* root = new QTreeWidgetItem(this, QStringList(m_rootCaption));
    root->setData(0, KeyRole, m_rootKey);
    root->setData(0, NameRole, m_rootCaption);
    root->setData(0, HasDataRole, true);
    m_built = true;
    addPlaceholder(root);
    root->setExpanded(false);
    setImage(root);
    return true;
}

void TQnTreeView::addPlaceholder(QTreeWidgetItem* item)
{
    auto* temp = new QTreeWidgetItem(item, QStringList(Placeholder));
    temp->setData(0, PlaceholderRole, true);
}

bool TQnTreeView::hasChildrenInTable(const QString& key) const
{
    if (m_countKind == QLatin1String("A"))
        return true;
    if (m_countHead.isEmpty())
        return false;
    const QString value = m_countKind == QLatin1String("C") ? Sql::quote(key) : Sql::numberOrNull(key);
    return LookupNumber(m_countHead + value + QLatin1Char(' ') + m_countTail) > 0;
}

QTreeWidgetItem* TQnTreeView::AddNode(QTreeWidgetItem* parent, const QString& name, const QString& key)
{
    if (!m_built) {
        ShowWarning(QStringLiteral("必须有头节点数据及未节点数据"));
        return nullptr;
    }
    const bool firstChild = parent && parent->childCount() == 0;
    auto* item = parent ? new QTreeWidgetItem(parent, QStringList(name)) : new QTreeWidgetItem(this, QStringList(name));
    item->setData(0, KeyRole, key);
    item->setData(0, NameRole, name);
    item->setData(0, HasDataRole, true);
    if (firstChild)
        parent->setExpanded(false);
    if ((!parent || parent->data(0, HasDataRole).toBool()) && hasChildrenInTable(key))
        addPlaceholder(item);
    setImage(item);
    if (parent)
        setImage(parent);
    return item;
}

bool TQnTreeView::loadChildren(QTreeWidgetItem* node)
{
    if (!holdsOnlyPlaceholder(node))
        return false;
    if (!node->data(0, HasDataRole).toBool()) {
        ShowWarning(QStringLiteral("节点空"));
        return false;
    }
    delete node->takeChild(0);
    const QString key = NodeKey(node);
    if (m_childKeyKind == QLatin1String("A")) {
        for (const auto& [name, childKey] : std::as_const(m_fixedChildren)) {
            QTreeWidgetItem* child = AddNode(node, caption(name), childKey);
            if (child)
                child->setData(0, NameRole, name);
        }
    } else if (!m_childHead.isEmpty()) {
        const QString value = m_childKeyKind == QLatin1String("C") ? Sql::quote(key) : Sql::numberOrNull(key);
        auto q = OpenSql(m_childHead + value + QLatin1Char(' ') + m_childTail);
        QList<QPair<QString, QString>> rows;
        while (q && q->next())
            rows.append({q->value(0).toString(), q->value(1).toString()});
        q.reset();
        for (const auto& [childKey, name] : std::as_const(rows)) {
            QTreeWidgetItem* child = AddNode(node, caption(name), childKey);
            if (child)
                child->setData(0, NameRole, name);
        }
    }
    setImage(node);
    return true;
}

void TQnTreeView::expandAll()
{
    QList<QTreeWidgetItem*> top;
    for (int i = 0; i < topLevelItemCount(); ++i)
        top.append(topLevelItem(i));
    loadLevels(top, -1);
    QTreeWidget::expandAll();
}

void TQnTreeView::expandRecursively(const QModelIndex& index, int depth)
{
    if (QTreeWidgetItem* item = itemFromIndex(index))
        loadLevels({item}, depth);
    QTreeWidget::expandRecursively(index, depth);
}

void TQnTreeView::loadLevels(const QList<QTreeWidgetItem*>& from, int depth)
{
    // Each node that will be expanded (its level at most depth, -1 every level) gets its children now.
    QList<QPair<QTreeWidgetItem*, int>> pending;
    for (QTreeWidgetItem* item : from)
        pending.append({item, 0});
    while (!pending.isEmpty()) {
        const auto [node, level] = pending.takeLast();
        if (depth >= 0 && level > depth)
            continue;
        if (holdsOnlyPlaceholder(node)) {
            emit expanding(node);
            loadChildren(node);
        }
        for (int i = 0; i < node->childCount(); ++i)
            pending.append({node->child(i), level + 1});
    }
}

void TQnTreeView::onExpanded(QTreeWidgetItem* item)
{
    if (holdsOnlyPlaceholder(item)) {
        emit expanding(item);
        loadChildren(item);
    }
    setImage(item);
}

void TQnTreeView::onCollapsed(QTreeWidgetItem* item)
{
    setImage(item);
}

void TQnTreeView::setImage(QTreeWidgetItem* item)
{
    if (!item || isPlaceholder(item))
        return;
    if (item->childCount() == 0)
        item->setIcon(0, m_leaf);
    else
        item->setIcon(0, item->isExpanded() ? m_open : m_closed);
}

void TQnTreeView::onCurrentChanged(QTreeWidgetItem* current)
{
    if (m_setColor) {
        m_setColor = false;
        return;
    }
    emit nodeChanged(current);
}

bool TQnTreeView::DeleteNode(QTreeWidgetItem* node, bool force)
{
    if (!node)
        return false;
    if (node->childCount() > 0 && !force) {
        ShowWarning(QStringLiteral("请先删除该节点的子节点"));
        return false;
    }
    QTreeWidgetItem* parent = node->parent();
    delete node; // children go with it
    if (parent)
        setImage(parent);
    setImage(currentItem());
    return true;
}

void TQnTreeView::RenameByKey(const QString& key, const QString& caption)
{
    for (QTreeWidgetItem* item : nodesWithKey(key))
        SetNodeName(item, caption);
}

QList<QTreeWidgetItem*> TQnTreeView::nodesWithKey(const QString& key) const
{
    QList<QTreeWidgetItem*> out;
    QTreeWidgetItemIterator it(const_cast<TQnTreeView*>(this));
    for (; *it; ++it)
        if (!isPlaceholder(*it) && NodeKey(*it) == key)
            out << *it;
    return out;
}
