#pragma once

#include "component/QnDForm.h"

class QGridLayout;
class QGroupBox;
class QLabel;
class QTreeWidgetItem;
class TQnDBEdit;
class TQnTreeView;

// "档案类别录入编辑窗口": the tree of archive types (five levels under the root "档案类别") on the left, the
// selected type's fields on the right. 增加 adds a child of the selected node; keys and order numbers follow
// the highest sibling (a gap is never filled). Rights: "档案管理" / "档案类别资料录入编辑".
class TArchiveTypeForm : public TQnDForm
{
    Q_OBJECT
public:
    explicit TArchiveTypeForm(QWidget* parent = nullptr);

    TQnTreeView* QnTreeView() const { return m_tree; }
    QTreeWidgetItem* currentNode() const { return m_node; }
    QString currentParentKey() const { return m_parentKey; }
    TQnDBEdit* EditOrder() const { return m_order; }
    TQnDBEdit* EditName() const { return m_name; }
    TQnDBEdit* EditNote() const { return m_note; }

public slots:
    void button_addClick() override;
    void button_editClick() override;
    void button_deleteClick() override;
    void button_saveClick() override;
    // The type list from the selected node down, previewed with its export.
    void button_printClick() override;

protected:
    void FormShow() override;

private:
    void QnTreeViewChange(QTreeWidgetItem* node);
    void showNodeRow(bool force);
    TQnDBEdit* addField(QGridLayout* grid, int row, const QString& name, const QString& caption, const QString& column,
                        int tag);

    TQnTreeView* m_tree;
    QWidget* m_treePanel;
    QLabel* m_note_label;
    TQnDBEdit* m_order;
    TQnDBEdit* m_name;
    TQnDBEdit* m_note;
    QTreeWidgetItem* m_node = nullptr;
    QString m_parentKey;
};
