#pragma once

#include "QnComboEdit.h"
#include "QnDataLink.h"

// The data-aware combo edit: a column of the current record with a picker button (dates, value lists).
// It becomes editable only while the record is being added or edited; Escape brings back the value it had
// on entry; characters the column cannot hold are refused with a beep.
class TQnDBComboEdit : public TQnCustomComboEdit
{
    Q_OBJECT
public:
    explicit TQnDBComboEdit(QWidget* parent = nullptr);

    TQnDataSource* DataSource() const { return m_link->DataSource(); }
    void setDataSource(TQnDataSource* source) { m_link->setDataSource(source); }
    QString DataField() const { return m_link->DataField(); }
    void setDataField(const QString& field) { m_link->setDataField(field); }
    TQnDataLink* dataLink() const { return m_link; }
    // Writes a picked value into the column (and shows it); false when the record is not being edited.
    bool pick(const QString& value);

protected:
    bool textReadOnly() const override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    TQnDataLink* m_link;
};

// The data-aware variant of the label combo edit.
class TQnLDBComboEdit : public TQnLCustomComboEdit
{
    Q_OBJECT
public:
    explicit TQnLDBComboEdit(QWidget* parent = nullptr);

    TQnDataSource* DataSource() const { return m_link->DataSource(); }
    void setDataSource(TQnDataSource* source) { m_link->setDataSource(source); }
    QString DataField() const { return m_link->DataField(); }
    void setDataField(const QString& field) { m_link->setDataField(field); }
    TQnDataLink* dataLink() const { return m_link; }

protected:
    bool textReadOnly() const override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    TQnDataLink* m_link;
};
