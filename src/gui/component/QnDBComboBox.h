#pragma once

#include "QnComboBox.h"
#include "QnDataLink.h"

// The data-aware combo box: the column's text with a list of values to choose from (its own items, or the
// column descriptor's pick list when it has none). Read-only: nothing can be typed and the list stays shut.
class TQnDBComboBox : public TQnComboBox
{
    Q_OBJECT
public:
    explicit TQnDBComboBox(QWidget* parent = nullptr);

    TQnDataSource* DataSource() const { return m_link->DataSource(); }
    void setDataSource(TQnDataSource* source) { m_link->setDataSource(source); }
    QString DataField() const { return m_link->DataField(); }
    void setDataField(const QString& field) { m_link->setDataField(field); }
    TQnDataLink* dataLink() const { return m_link; }

    bool ReadOnly() const { return m_readOnly; }
    void setReadOnly(bool on);
    bool isReadOnly() const;

    void showPopup() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void showValue();
    void applyReadOnly();

    TQnDataLink* m_link;
    bool m_readOnly = false;
    bool m_showing = false;
};
