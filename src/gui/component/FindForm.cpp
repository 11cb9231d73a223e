#include "FindForm.h"

#include "DateForm.h"
#include "InputMethod.h"
#include "QnComboBox.h"
#include "QnComboEdit.h"
#include "QnEdit.h"
#include "common/AppContext.h"
#include "common/MessageSink.h"
#include "db/Lookups.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using FindCondition::CodeTraits;
using FindCondition::ValueControl;

namespace {

QPushButton* button(const QString& name, const QString& text, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

QLabel* label(const QString& name, const QString& text, QWidget* buddy, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    if (buddy) {
        l->setBuddy(buddy);
        buddy->setAccessibleName(text);
    }
    return l;
}

const QColor Red(255, 0, 0);
const QColor Blue(0, 0, 255);

} // namespace

// ---------------------------------------------------------------------------------------------------------
// TQnFindForm

TQnFindForm::TQnFindForm(bool simple, QWidget* parent) : QDialog(parent), m_simple(simple)
{
    setObjectName(simple ? QStringLiteral("QnFindSimpleForm") : QStringLiteral("QnFindForm"));
    setWindowTitle(QStringLiteral("查找窗口"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    m_relations = FindCondition::defaultRelations();

    m_fieldBox = new TQnComboBox(this);
    m_fieldBox->setObjectName(QStringLiteral("ComboBox1"));
    m_fieldBox->setEditable(false);
    m_relationBox = new TQnComboBox(this);
    m_relationBox->setObjectName(QStringLiteral("ComboBox2"));
    m_relationBox->setEditable(false);
    m_textEdit = new TQnEdit(this);
    m_textEdit->setObjectName(QStringLiteral("TextEdit"));
    m_yearEdit = new TQnEdit(this);
    m_yearEdit->setObjectName(QStringLiteral("YearEdit"));
    m_yearEdit->setEditType(etInteger);
    m_yearEdit->setMaxLength(4);
    m_monthEdit = new TQnEdit(this);
    m_monthEdit->setObjectName(QStringLiteral("MonthEdit"));
    m_monthEdit->setEditType(etInteger);
    m_monthEdit->setMaxLength(2);
    m_dateEdit = new TQnComboEdit(this);
    m_dateEdit->setObjectName(QStringLiteral("DateEdit"));
    m_dateEdit->setProperty("tag", 10);
    m_dateEdit->setGlyphKind(gkEllipsis);
    m_comboBox3 = new TQnComboBox(this);
    m_comboBox3->setObjectName(QStringLiteral("ComboBox3"));
    m_comboBox3->setEditable(false);

    m_and = new QRadioButton(QStringLiteral("并且"), this);
    m_and->setObjectName(QStringLiteral("AndButton"));
    m_or = new QRadioButton(QStringLiteral("或者"), this);
    m_or->setObjectName(QStringLiteral("OrButton"));

    m_down = button(QStringLiteral("DownButton"), QStringLiteral("增加"), this);
    m_clearButton = button(QStringLiteral("ClearButton"), QStringLiteral("清除"), this);
    m_clearButton->setEnabled(false);
    m_sure = button(QStringLiteral("SureButton"), QStringLiteral("确定[F3]"), this);
    m_sure->setEnabled(simple);
    m_close = button(QStringLiteral("CloseButton"), QStringLiteral("关闭[F12]"), this);
    m_allDataButton = button(QStringLiteral("AllDataButton"), QStringLiteral("全部数据"), this);
    m_allDataButton->setVisible(false);

    m_listBox = new TQnListBox(this);
    m_listBox->setObjectName(QStringLiteral("ListBox1"));
    m_listBox->setAccessibleName(QStringLiteral("查找条件"));

    auto* grid = new QGridLayout;
    grid->addWidget(label(QStringLiteral("Label1"), QStringLiteral("查找字段"), m_fieldBox, this), 0, 0);
    grid->addWidget(m_fieldBox, 0, 1, 1, 3);
    grid->addWidget(label(QStringLiteral("Label2"), QStringLiteral("查找关系"), m_relationBox, this), 1, 0);
    grid->addWidget(m_relationBox, 1, 1, 1, 3);
    m_valueLabel = label(QStringLiteral("Label3"), QStringLiteral("查找值"), m_textEdit, this);
    m_dateEdit->setAccessibleName(QStringLiteral("查找值"));
    m_comboBox3->setAccessibleName(QStringLiteral("查找值"));
    grid->addWidget(m_valueLabel, 2, 0);
    auto* values = new QHBoxLayout;
    values->setContentsMargins(0, 0, 0, 0);
    values->addWidget(m_textEdit, 1);
    values->addWidget(m_dateEdit, 1);
    values->addWidget(m_comboBox3, 1);
    m_yearLabel = label(QStringLiteral("Label4"), QStringLiteral("查找年份"), m_yearEdit, this);
    m_monthLabel = label(QStringLiteral("Label5"), QStringLiteral("查找月份"), m_monthEdit, this);
    values->addWidget(m_yearLabel);
    values->addWidget(m_yearEdit, 1);
    values->addWidget(m_monthLabel);
    values->addWidget(m_monthEdit, 1);
    grid->addLayout(values, 2, 1, 1, 3);
    m_logicLabel = label(QStringLiteral("Label6"), QStringLiteral("查找逻辑"), nullptr, this);
    grid->addWidget(m_logicLabel, 3, 0);
    grid->addWidget(m_and, 3, 1);
    grid->addWidget(m_or, 3, 2);
    grid->setColumnStretch(3, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_down);
    buttons->addWidget(m_clearButton);
    buttons->addStretch();
    buttons->addWidget(m_allDataButton);
    buttons->addWidget(m_sure);
    buttons->addWidget(m_close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->addWidget(m_listBox, 1);

    if (simple) {
        m_listBox->hide();
        m_and->hide();
        m_or->hide();
        m_logicLabel->hide();
        m_down->hide();
        m_clearButton->hide();
        resize(430, 160);
    } else {
        resize(470, 340);
    }

    connect(m_fieldBox, &QComboBox::activated, this, [this] { fieldChanged(); });
    connect(m_dateEdit, &TQnComboEdit::buttonClicked, this, &TQnFindForm::popup);
    connect(m_down, &QPushButton::clicked, this, &TQnFindForm::addCondition);
    connect(m_clearButton, &QPushButton::clicked, this, &TQnFindForm::clearCondition);
    connect(m_sure, &QPushButton::clicked, this, &TQnFindForm::sure);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_allDataButton, &QPushButton::clicked, this, &TQnFindForm::allDataClicked);
    auto selectLine = [this] {
        if (m_listBox->currentRow() >= 0 && m_listBox->count() > 0)
            m_clearButton->setEnabled(true);
    };
    connect(m_listBox, &QListWidget::itemClicked, this, selectLine);
    connect(m_listBox, &QListWidget::itemDoubleClicked, this, selectLine);
    connect(m_listBox, &QListWidget::currentRowChanged, this, selectLine);

    // The window sees the keys before its controls (F3, F12, Enter and the arrows of the value list).
    for (QWidget* w :
         {static_cast<QWidget*>(m_fieldBox), static_cast<QWidget*>(m_relationBox), static_cast<QWidget*>(m_textEdit),
          static_cast<QWidget*>(m_yearEdit), static_cast<QWidget*>(m_monthEdit), static_cast<QWidget*>(m_dateEdit),
          static_cast<QWidget*>(m_comboBox3), static_cast<QWidget*>(m_listBox), static_cast<QWidget*>(m_and),
          static_cast<QWidget*>(m_or)})
        w->installEventFilter(this);
    m_listBox->installEventFilter(this);

    clearValues();
    m_textEdit->show();
    m_dateEdit->hide();
    m_comboBox3->hide();
    m_yearEdit->hide();
    m_monthEdit->hide();
    m_yearLabel->hide();
    m_monthLabel->hide();
}

QComboBox* TQnFindForm::ComboBox1() const
{
    return m_fieldBox;
}

QComboBox* TQnFindForm::ComboBox2() const
{
    return m_relationBox;
}

void TQnFindForm::setFields(const TFieldsDataArray& fields)
{
    m_fields = fields;
    clear();
}

void TQnFindForm::setRelations(const TRelationArray& relations)
{
    m_relations = relations;
    m_needsFill = true;
}

void TQnFindForm::clear()
{
    m_fieldBox->clear();
    m_relationBox->clear();
    clearValues();
    m_listBox->clear();
    m_list.clear();
    m_condition.clear();
    m_code.clear();
    m_fieldName.clear();
    m_and->setAutoExclusive(false);
    m_and->setChecked(false);
    m_or->setChecked(false);
    m_and->setAutoExclusive(true);
    m_needsFill = true;
    refreshButtons();
}

void TQnFindForm::fillLists()
{
    m_fieldBox->clear();
    for (const TFieldsData& f : m_fields)
        if (FindCondition::isOffered(f))
            m_fieldBox->addItem(FindCondition::offeredCaption(f));
    m_fieldBox->setCurrentIndex(-1);
    m_relationBox->clear();
    for (const TRelation& r : m_relations)
        m_relationBox->addItem(r.caption);
    m_relationBox->setCurrentIndex(-1);
    m_relationBox->setEnabled(true);
    m_needsFill = false;
}

void TQnFindForm::prepare(const QString& caption, int fieldIndex, int connectionIndex)
{
    if (m_needsFill)
        fillLists();
    if (fieldIndex != -1 && fieldIndex >= 0 && fieldIndex < m_fieldBox->count()) {
        m_fieldBox->setCurrentIndex(fieldIndex);
        fieldChanged();
    }
    if (connectionIndex != -1 && connectionIndex >= 0 && connectionIndex < m_relationBox->count())
        m_relationBox->setCurrentIndex(connectionIndex);
    setWindowTitle(caption + QStringLiteral("查找窗口"));
    m_allDataButton->setVisible(m_showAllData);
    m_allData = false;
    refreshButtons();
}

void TQnFindForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_needsFill)
        fillLists();
    raise();
    activateWindow();
    m_fieldBox->setFocus();
}

const TFieldsData* TQnFindForm::currentField() const
{
    const QString text = m_fieldBox->currentText();
    if (m_fieldBox->currentIndex() < 0 || text.isEmpty())
        return nullptr;
    for (const TFieldsData& f : m_fields)
        if (FindCondition::isOffered(f) && FindCondition::offeredCaption(f) == text)
            return &f;
    return nullptr;
}

void TQnFindForm::setValueColor(const QColor& color)
{
    for (QWidget* w : {static_cast<QWidget*>(m_textEdit), static_cast<QWidget*>(m_dateEdit)}) {
        QPalette p = w->palette();
        p.setColor(QPalette::Text, color);
        w->setPalette(p);
    }
}

void TQnFindForm::clearValues()
{
    m_textEdit->clear();
    m_textEdit->setEditType(etString);
    m_yearEdit->clear();
    m_monthEdit->clear();
    m_dateEdit->clear();
    m_dateEdit->setEditType(etString);
    m_dateEdit->setDirectInput(true);
    m_comboBox3->clear();
    m_key.clear();
    m_keyValue.clear();
    setValueColor(palette().color(QPalette::WindowText));
}

void TQnFindForm::removeLike()
{
    const int i = m_relationBox->findText(FindCondition::LikeCaption);
    if (i < 0)
        return;
    const bool chosen = m_relationBox->currentIndex() == i;
    m_relationBox->removeItem(i);
    if (chosen)
        m_relationBox->setCurrentIndex(-1);
}

void TQnFindForm::setRelationFixedEqual(bool disable)
{
    const int i = m_relationBox->findText(FindCondition::EqualCaption);
    if (i >= 0)
        m_relationBox->setCurrentIndex(i);
    if (disable)
        m_relationBox->setEnabled(false);
}

void TQnFindForm::fieldChanged()
{
    clearValues();
    m_relationBox->setEnabled(true);
    // "相似" comes back at the top for the next field when the previous one had it removed.
    if (m_relationBox->findText(FindCondition::LikeCaption) < 0) {
        QString likeCaption = FindCondition::LikeCaption;
        bool offered = false;
        for (const TRelation& r : m_relations)
            if (r.caption == likeCaption)
                offered = true;
        if (offered) {
            const int current = m_relationBox->currentIndex();
            m_relationBox->insertItem(0, likeCaption);
            m_relationBox->setCurrentIndex(current < 0 ? -1 : current + 1);
        }
    }

    const TFieldsData* f = currentField();
    m_code = f ? FindCondition::codeOf(*f) : QString();
    m_fieldName = f ? f->fieldName : QString();
    const CodeTraits t = FindCondition::traits(m_code, f ? f->valueKind : QString());

    m_textEdit->setVisible(t.control == ValueControl::Text);
    m_dateEdit->setVisible(t.control == ValueControl::Date);
    m_comboBox3->setVisible(t.control == ValueControl::List);
    const bool ym = t.control == ValueControl::YearMonth;
    m_yearEdit->setVisible(ym);
    m_monthEdit->setVisible(ym);
    m_yearLabel->setVisible(ym);
    m_monthLabel->setVisible(ym);
    m_valueLabel->setVisible(!ym);
    m_valueLabel->setBuddy(t.control == ValueControl::Date   ? static_cast<QWidget*>(m_dateEdit)
                           : t.control == ValueControl::List ? static_cast<QWidget*>(m_comboBox3)
                                                             : static_cast<QWidget*>(m_textEdit));
    if (!f)
        return;

    if (t.decimal) {
        m_textEdit->setEditType(etFloat);
        m_dateEdit->setEditType(etFloat);
    }
    if (t.datePicker)
        m_dateEdit->setEditType(etDate);
    if (t.noLike)
        removeLike();
    if (t.fixedEqual)
        setRelationFixedEqual(true);
    else if (t.preselectEqual)
        setRelationFixedEqual(false);
    if (t.tint == CodeTraits::Red)
        setValueColor(Red);
    else if (t.tint == CodeTraits::Blue)
        setValueColor(Blue);
    if (t.valueReadOnly)
        m_dateEdit->setDirectInput(false);
    if (t.listFromText) {
        for (const QString& v : f->findText.split(QLatin1Char(';')))
            if (!v.isEmpty())
                m_comboBox3->addItem(v);
        m_comboBox3->setCurrentIndex(-1);
    }
    if (t.listFromScreen) {
        m_comboBox3->clear();
        if (m_selectSql) {
            QString name = f->fieldName;
            m_selectSql(name, m_comboBox3);
        }
        m_comboBox3->setCurrentIndex(-1);
    }
}

void TQnFindForm::popup()
{
    const TFieldsData* f = currentField();
    if (!f)
        return;
    const CodeTraits t = FindCondition::traits(m_code, f->valueKind);
    if (t.datePicker) {
        TDateForm picker(this);
        picker.setWindowTitle(QStringLiteral("日期选择窗口"));
        picker.OkButton()->setText(QStringLiteral("确认[F3]"));
        picker.CloseButton()->setText(QStringLiteral("关闭[F12]"));
        picker.setCalendarColor(m_calendarColor);
        if (m_pickerFontSet)
            picker.setFont(m_pickerFont);
        picker.setDate(PickDateStart(m_dateEdit->text(), QString()));
        if (picker.exec() == QDialog::Accepted)
            m_dateEdit->setText(picker.dateText());
        m_dateEdit->setFocus();
        return;
    }
    if (!t.popup)
        return;
    if (m_code == QLatin1String("BF"))
        m_relationBox->setEnabled(true);
    if (!m_popup)
        return;
    QString value = m_dateEdit->text();
    QString id;
    m_popup(value, id, f->fieldName);
    if (id.isEmpty())
        return;
    m_dateEdit->setText(value);
    m_key = id;
    m_keyValue = value;
    if (m_code == QLatin1String("BF") && id.contains(QLatin1Char('@')))
        setRelationFixedEqual(true);
}

void TQnFindForm::focusFor(FindCondition::Focus focus)
{
    using FindCondition::Focus;
    switch (focus) {
    case Focus::FieldList:
        m_fieldBox->setFocus();
        break;
    case Focus::RelationList:
        m_relationBox->setFocus();
        break;
    case Focus::Year:
        m_yearEdit->setFocus();
        break;
    case Focus::Month:
        m_monthEdit->setFocus();
        break;
    case Focus::Value:
        if (m_dateEdit->isVisible())
            m_dateEdit->setFocus();
        else if (m_comboBox3->isVisible())
            m_comboBox3->setFocus();
        else
            m_textEdit->setFocus();
        break;
    case Focus::None:
        break;
    }
}

bool TQnFindForm::buildCurrent(QString* condition)
{
    if (m_fieldBox->currentIndex() < 0 || m_fieldBox->currentText().isEmpty()) {
        ShowWarning(FindCondition::NoField);
        m_fieldBox->setFocus();
        return false;
    }
    if (m_relationBox->currentIndex() < 0) {
        ShowWarning(FindCondition::NoRelation);
        m_relationBox->setFocus();
        return false;
    }
    QString op;
    for (const TRelation& r : m_relations)
        if (r.caption == m_relationBox->currentText()) {
            op = r.op;
            break;
        }
    const TFieldsData* f = currentField();
    if (!f) {
        ShowWarning(FindCondition::NoField);
        m_fieldBox->setFocus();
        return false;
    }
    FindCondition::Entry e;
    e.op = op;
    const CodeTraits t = FindCondition::traits(m_code, f->valueKind);
    switch (t.control) {
    case ValueControl::Text:
        e.value = m_textEdit->text();
        break;
    case ValueControl::Date:
        e.value = m_dateEdit->text();
        break;
    case ValueControl::List:
        e.value = m_comboBox3->currentIndex() >= 0 ? m_comboBox3->currentText() : QString();
        break;
    case ValueControl::YearMonth:
        e.year = m_yearEdit->text();
        e.month = m_monthEdit->text();
        break;
    }
    e.key = m_key;
    e.keyValue = m_keyValue;
    const FindCondition::Result r = FindCondition::build(*f, e);
    if (!r.ok) {
        ShowWarning(r.message);
        focusFor(r.focus);
        return false;
    }
    *condition = r.condition;
    return true;
}

void TQnFindForm::addCondition()
{
    if (m_simple)
        return;
    QString condition;
    if (!buildCurrent(&condition))
        return;
    const TFieldsData* f = currentField();
    FindCondition::Entry e;
    e.value = m_textEdit->isVisible()   ? m_textEdit->text()
              : m_dateEdit->isVisible() ? m_dateEdit->text()
                                        : m_comboBox3->currentText();
    e.year = m_yearEdit->text();
    e.month = m_monthEdit->text();
    const QString valueText = FindCondition::displayValue(*f, e);
    TFindConditionList::Connector connector = m_and->isChecked()  ? TFindConditionList::And
                                              : m_or->isChecked() ? TFindConditionList::Or
                                                                  : TFindConditionList::NoConnector;
    if (!m_list.add(condition, m_fieldBox->currentText(), m_relationBox->currentText(), valueText,
                    !m_relationBox->isEnabled(), connector)) {
        ShowWarning(FindCondition::NoConnector);
        m_and->setFocus();
        return;
    }
    m_listBox->addItem(m_list.lines().last());
    m_listBox->setCurrentRow(-1);
    m_clearButton->setEnabled(false);
    refreshButtons();
}

void TQnFindForm::clearCondition()
{
    const int row = m_listBox->currentRow();
    if (row < 0 || row >= m_listBox->count())
        return;
    delete m_listBox->takeItem(row);
    m_list.removeAt(row);
    m_listBox->setCurrentRow(-1);
    m_clearButton->setEnabled(false);
    refreshButtons();
}

void TQnFindForm::refreshButtons()
{
    if (!m_simple)
        m_sure->setEnabled(m_listBox->count() > 0);
}

void TQnFindForm::sure()
{
    if (m_simple) {
        QString condition;
        if (!buildCurrent(&condition))
            return;
        m_condition = condition;
        accept();
        return;
    }
    if (m_list.isEmpty()) {
        ShowWarning(FindCondition::NoConditions);
        m_fieldBox->setFocus();
        return;
    }
    accept();
}

void TQnFindForm::allDataClicked()
{
    m_list.clear();
    m_listBox->clear();
    m_condition.clear();
    m_allData = true;
    refreshButtons();
    accept();
}

void TQnFindForm::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_F3:
        sure();
        return;
    case Qt::Key_F12:
        if (m_close->isEnabled())
            m_close->click();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter never closes the window by a default button.
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

bool TQnFindForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
    case Qt::Key_F3:
    case Qt::Key_F12:
        keyPressEvent(key);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (watched == m_dateEdit) {
            if (m_dateEdit->isVisible())
                popup();
            return true;
        }
        if (watched == m_fieldBox || watched == m_relationBox || watched == m_yearEdit || watched == m_monthEdit ||
            watched == m_textEdit || watched == m_comboBox3) {
            focusNextChild();
            return true;
        }
        break;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (watched == m_comboBox3) {
            if (key->key() == Qt::Key_Left)
                focusPreviousChild();
            else
                focusNextChild();
            return true;
        }
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------------------
// TFindFormDialog

TFindFormDialog::TFindFormDialog(bool simple, QObject* parent) : QObject(parent), m_simple(simple)
{
    m_relations = FindCondition::defaultRelations();
}

TFindFormDialog::~TFindFormDialog()
{
    delete m_form.data();
}

TQnFindForm* TFindFormDialog::form()
{
    if (!m_form) {
        m_form = m_simple ? new TQnFindSimpleForm : new TQnFindForm(false);
        m_form->setRelations(m_relations);
        m_form->setFields(m_fields);
    }
    return m_form;
}

void TFindFormDialog::SetFields(const TFieldsDataArray& fields)
{
    m_fields = fields;
    form()->setFields(fields);
}

void TFindFormDialog::SetRelations(const TRelationArray& relations)
{
    m_relations = relations;
    form()->setRelations(relations);
}

void TFindFormDialog::Clear()
{
    form()->clear();
}

void TFindFormDialog::prepare()
{
    TQnFindForm* f = form();
    f->setPopupWindow(PopupWindow);
    f->setSelectSql(SelectSQL);
    f->setShowAllData(ShowAllDataButton);
    f->setCalendarColor(Color);
    if (m_simple) {
        QFont font =
            Language == TLanguage::BIG5 ? QFont(QStringLiteral("細明體"), 11) : QFont(QStringLiteral("宋体"), 9);
        f->setPickerFont(font);
    }
    for (QWidget* w : f->findChildren<QWidget*>()) {
        if (auto* c = dynamic_cast<TQnFocusColor*>(w)) {
            c->setColorOnFocus(ColorOnFocus);
            c->setRememberedColor(ColorNotOnFocus);
            c->setColor(Color);
        }
    }
    ApplyImeToControls(f, ImeName);
    f->prepare(Caption, FieldIndex, ConnectionIndex);
}

bool TFindFormDialog::Execute()
{
    prepare();
    TQnFindForm* f = form();
    f->raise();
    return f->exec() == QDialog::Accepted;
}

QStringList TFindFormDialog::Conditions() const
{
    return m_form ? m_form->conditions() : QStringList();
}

QString TFindFormDialog::DisplayText() const
{
    return m_form ? m_form->displayText() : QString();
}

bool TFindFormDialog::AllData() const
{
    return m_form && m_form->allData();
}

QString TFindSimpleFormDialog::Condition() const
{
    return m_form ? m_form->condition() : QString();
}

// ---------------------------------------------------------------------------------------------------------
// TFindStatusForm

TFindStatusForm::TFindStatusForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FindStatusForm"));
    setWindowTitle(QStringLiteral("状态选择窗口"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    m_combo = new TQnComboBox(this);
    m_combo->setObjectName(QStringLiteral("ComboBox1"));
    m_combo->setEditable(false);
    m_combo->addItems({QStringLiteral("已归还"), QStringLiteral("未归还")});
    m_combo->setCurrentIndex(-1);
    m_combo->setColorOnFocus(AppContext::instance().WindowFocusColor);
    auto* ok = button(QStringLiteral("button_ok"), QStringLiteral("确定"), this);
    auto* close = button(QStringLiteral("button_close"), QStringLiteral("关闭"), this);
    auto* row = new QHBoxLayout;
    row->addWidget(label(QStringLiteral("Label1"), QStringLiteral("状态"), m_combo, this));
    row->addWidget(m_combo, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(buttons);
    resize(260, 100);
    connect(ok, &QPushButton::clicked, this, [this] {
        if (m_combo->currentIndex() < 0) {
            ShowWarning(QStringLiteral("必须选择状态"));
            m_combo->setFocus();
            return;
        }
        accept();
    });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

QString TFindStatusForm::state() const
{
    return m_combo->currentIndex() >= 0 ? m_combo->currentText() : QString();
}

void TFindStatusForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    m_combo->setFocus();
}

bool PickLendState(QString* state, QString* condition, const QString& alias, QWidget* parent)
{
    TFindStatusForm form(parent);
    form.raise();
    form.activateWindow();
    if (form.exec() != QDialog::Accepted)
        return false;
    if (state)
        *state = form.state();
    if (condition)
        *condition = LendStateCondition(form.state(), alias);
    return true;
}
