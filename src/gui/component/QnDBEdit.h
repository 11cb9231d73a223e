#pragma once

#include "QnDataLink.h"
#include "QnEdit.h"

// The data-aware edit: shows a column of the current record and writes what is typed into it. It takes
// input only while the record is being added or edited; Escape brings back the value it had on entry.
class TQnDBEdit : public TQnEdit
{
    Q_OBJECT
public:
    explicit TQnDBEdit(QWidget* parent = nullptr);

    TQnDataSource* DataSource() const { return m_link->DataSource(); }
    void setDataSource(TQnDataSource* source) { m_link->setDataSource(source); }
    QString DataField() const { return m_link->DataField(); }
    void setDataField(const QString& field) { m_link->setDataField(field); }
    TQnDataLink* dataLink() const { return m_link; }

    // The control's own read-only state (display-only fields); the text is read-only as well whenever the
    // record is not being added or edited.
    bool ReadOnly() const { return m_readOnly; }
    void setReadOnly(bool on);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void applyReadOnly();

    TQnDataLink* m_link;
    bool m_readOnly = false;
};
