#pragma once

#include <QDialog>

class QPushButton;
class QTreeWidgetItem;
class TQnTreeView;

// "档案类别选择窗口": the archive-type tree in a modal dialog. 确定 (or a double click) takes the selected
// type unless it is the root; the caller reads the chosen key and name. Callers create it once, keep it and
// show it again: the tree keeps the last selection.
class TSelectArchivesTypeForm : public QDialog
{
    Q_OBJECT
public:
    explicit TSelectArchivesTypeForm(QWidget* parent = nullptr);

    TQnTreeView* QnTreeView() const { return m_tree; }
    QPushButton* Button_ok() const { return m_ok; }
    QPushButton* Button_Close() const { return m_close; }

    bool Accepted() const { return m_accepted; }
    QString SelectedKey() const { return m_key; }
    QString SelectedName() const { return m_name; }

    // Shows the window modally; true when a type was chosen.
    bool choose();

public slots:
    void Button_okClick();
    void Button_CloseClick();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    TQnTreeView* m_tree;
    QPushButton* m_ok;
    QPushButton* m_close;
    bool m_accepted = false;
    QString m_key;
    QString m_name;
};
