#pragma once

#include "QnDataLink.h"
#include "QnInput.h"

#include <QComboBox>
#include <QListWidget>

// Lookup controls: the column holds a key, the control shows the text that belongs to it and offers the
// other keys of a list by their texts. The list comes from a statement whose first column is the key and
// second the text shown (one column: key and text alike).
class TQnDBLookupComboBox : public QComboBox, public TQnFocusColor
{
    Q_OBJECT
public:
    explicit TQnDBLookupComboBox(QWidget* parent = nullptr);

    TQnDataSource* DataSource() const { return m_link->DataSource(); }
    void setDataSource(TQnDataSource* source) { m_link->setDataSource(source); }
    QString DataField() const { return m_link->DataField(); }
    void setDataField(const QString& field) { m_link->setDataField(field); }
    TQnDataLink* dataLink() const { return m_link; }

    // Fills the list; false when the statement fails.
    bool loadList(const QString& sql);
    void setListItems(const QList<QPair<QString, QString>>& keyAndText);
    QString currentKey() const;

    bool ReadOnly() const { return m_readOnly; }
    void setReadOnly(bool on) { m_readOnly = on; }
    bool isReadOnly() const { return m_readOnly || !m_link->editing(); }

    void showPopup() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void showValue();

    TQnDataLink* m_link;
    bool m_readOnly = false;
    bool m_showing = false;
};

class TQnDBLookupListBox : public QListWidget, public TQnFocusColor
{
    Q_OBJECT
public:
    explicit TQnDBLookupListBox(QWidget* parent = nullptr);

    TQnDataSource* DataSource() const { return m_link->DataSource(); }
    void setDataSource(TQnDataSource* source) { m_link->setDataSource(source); }
    QString DataField() const { return m_link->DataField(); }
    void setDataField(const QString& field) { m_link->setDataField(field); }
    TQnDataLink* dataLink() const { return m_link; }

    bool loadList(const QString& sql);
    void setListItems(const QList<QPair<QString, QString>>& keyAndText);
    QString currentKey() const;

    bool ReadOnly() const { return m_readOnly; }
    void setReadOnly(bool on) { m_readOnly = on; }
    bool isReadOnly() const { return m_readOnly || !m_link->editing(); }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void showValue();

    TQnDataLink* m_link;
    bool m_readOnly = false;
    bool m_showing = false;
};

namespace QnLookup {
// Key and text pairs of a statement (first column key, second text); false when it fails.
bool readList(const QString& sql, QList<QPair<QString, QString>>* out);
} // namespace QnLookup
