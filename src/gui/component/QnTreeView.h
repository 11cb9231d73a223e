#pragma once

#include <QColor>
#include <QList>
#include <QPair>
#include <QTreeWidget>

#include <functional>

// Node data: the key and name of the node. The tree keeps one record per node from BuildTree until it is
// rebuilt or the node deleted.
struct TTreeData
{
    QString key;
    QString name;
};

// The lazily loaded tree of the archive-type screens. A node whose children have not been read yet holds one
// placeholder child "temp"; expanding it reads the children with the child query (the screen may change the
// queries per level in its expanding handler, which runs first), and each new node gets a placeholder when
// the count query finds children of its own.
class TQnTreeView : public QTreeWidget
{
    Q_OBJECT
public:
    static inline const QString Placeholder = QStringLiteral("temp");

    explicit TQnTreeView(QWidget* parent = nullptr);
    ~TQnTreeView() override;

    // Loads every level below first, then expands: QTreeView expands inside its own layout pass, where
    // loading children would change the rows it is walking.
    void expandAll();
    void expandRecursively(const QModelIndex& index, int depth = -1);

    // Configuration.
    QString RootKey() const { return m_rootKey; }
    void setRootKey(const QString& key) { m_rootKey = key; }
    QString RootCaption() const { return m_rootCaption; }
    void setRootCaption(const QString& caption) { m_rootCaption = caption; }
    QString DataBaseName() const { return m_databaseName; }
    void setDataBaseName(const QString& name) { m_databaseName = name; }
    // kind 0: the child query (key kind "C" quotes the key; caption suffix and pad width apply to names);
    // kind 1: the count query (key kind "A": every node can be expanded, no query; "C": quoted key).
    void SetQuery(int kind, const QString& head, int padWidth, const QString& suffix, const QString& keyKind,
                  const QString& tail);
    // Child kind "A": these (name, key) pairs instead of a query.
    void setFixedChildren(const QList<QPair<QString, QString>>& nameAndKey) { m_fixedChildren = nameAndKey; }
    bool SetColor() const { return m_setColor; }
    void setSetColor(bool on) { m_setColor = on; }
    QColor SelectColor() const { return m_selectColor; }
    void setSelectColor(const QColor& color);

    // Clears the tree and makes the root node (collapsed, expandable through its placeholder).
    bool BuildTree();
    // A node under parent (nullptr: top level) with a placeholder when it has children of its own.
    QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, const QString& name, const QString& key);
    // A node with children is deleted only with force ("请先删除该节点的子节点" otherwise).
    bool DeleteNode(QTreeWidgetItem* node, bool force);
    // Every node carrying key gets the caption.
    void RenameByKey(const QString& key, const QString& caption);
    TTreeData NodeData(const QTreeWidgetItem* node) const { return {NodeKey(node), NodeName(node)}; }
    QString NodeKey(const QTreeWidgetItem* node) const;
    QString NodeName(const QTreeWidgetItem* node) const;
    void SetNodeName(QTreeWidgetItem* node, const QString& name);

    QTreeWidgetItem* root() const { return topLevelItemCount() ? topLevelItem(0) : nullptr; }
    // 0 for the root, 1 for its children ...
    static int level(const QTreeWidgetItem* node);
    static bool isPlaceholder(const QTreeWidgetItem* node);
    // The node has only its placeholder (children not read yet).
    static bool holdsOnlyPlaceholder(const QTreeWidgetItem* node);
    QList<QTreeWidgetItem*> nodesWithKey(const QString& key) const;
    // Reads the children now (as expanding does); false when the node had no placeholder.
    bool loadChildren(QTreeWidgetItem* node);

signals:
    // Before the children of node are read: the screen sets the queries for the node's level.
    void expanding(QTreeWidgetItem* node);
    // The selected node changed (not reported while SetColor is on; SetColor is then cleared).
    void nodeChanged(QTreeWidgetItem* node);

private:
    void onExpanded(QTreeWidgetItem* item);
    // Loads the children of every node from these down that an expansion to depth (-1: all) opens.
    void loadLevels(const QList<QTreeWidgetItem*>& from, int depth);
    void onCollapsed(QTreeWidgetItem* item);
    void onCurrentChanged(QTreeWidgetItem* current);
    void setImage(QTreeWidgetItem* item);
    QString caption(const QString& name) const;
    bool hasChildrenInTable(const QString& key) const;
    void addPlaceholder(QTreeWidgetItem* item);

    QString m_rootKey;
    QString m_rootCaption;
    QString m_databaseName;
    QString m_childHead, m_childTail, m_childKeyKind, m_childSuffix;
    int m_childPad = 0;
    QString m_countHead, m_countTail, m_countKind;
    QList<QPair<QString, QString>> m_fixedChildren;
    bool m_setColor = false;
    QColor m_selectColor;
    bool m_built = false;
    QIcon m_closed, m_open, m_leaf;
};
