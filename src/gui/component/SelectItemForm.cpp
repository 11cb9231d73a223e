#include "SelectItemForm.h"

#include "common/MessageSink.h"
#include "db/Sql.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TRadioGroup::TRadioGroup(QWidget* parent) : QGroupBox(parent)
{
    m_group = new QButtonGroup(this);
    m_layout = new QGridLayout(this);
    m_layout->setContentsMargins(12, 6, 12, 6);
    m_layout->setVerticalSpacing(4);
    connect(m_group, &QButtonGroup::idClicked, this, &TRadioGroup::itemChosen);
}

void TRadioGroup::setItems(const QStringList& items)
{
    m_items = items;
    rebuild();
}

void TRadioGroup::setColumns(int columns)
{
    m_columns = qMax(1, columns);
    rebuild();
}

void TRadioGroup::rebuild()
{
    const int keep = itemIndex();
    qDeleteAll(m_buttons);
    m_buttons.clear();
    const int rows = (int(m_items.size()) + m_columns - 1) / m_columns;
    for (int i = 0; i < m_items.size(); ++i) {
        auto* b = new QRadioButton(m_items.at(i), this);
        b->setObjectName(QStringLiteral("RadioButton%1").arg(i + 1));
        m_group->addButton(b, i);
        // Filled column by column, as option groups are.
        m_layout->addWidget(b, rows ? i % rows : 0, rows ? i / rows : 0);
        m_buttons << b;
    }
    if (keep >= 0 && keep < m_buttons.size())
        m_buttons.at(keep)->setChecked(true);
}

int TRadioGroup::itemIndex() const
{
    return m_group->checkedId();
}

void TRadioGroup::setItemIndex(int index)
{
    if (index >= 0 && index < m_buttons.size()) {
        m_buttons.at(index)->setChecked(true);
        return;
    }
    if (QAbstractButton* b = m_group->checkedButton()) {
        m_group->setExclusive(false);
        b->setChecked(false);
        m_group->setExclusive(true);
    }
}

QRadioButton* TRadioGroup::button(int index) const
{
    return index >= 0 && index < m_buttons.size() ? m_buttons.at(index) : nullptr;
}

TSelectItemForm::TSelectItemForm(bool query, QWidget* parent) : QDialog(parent)
{
    setObjectName(query ? QStringLiteral("SelectItemQueryForm") : QStringLiteral("SelectItemForm"));
    setWindowTitle(QStringLiteral("打印选择窗口"));
    // No border icons: the window is left through its buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   (query ? Qt::WindowStaysOnTopHint : Qt::WindowFlags()));
    m_group = new TRadioGroup(this);
    m_group->setObjectName(QStringLiteral("RadioGroup"));
    m_ok = new QPushButton(QStringLiteral("确定"), this);
    m_ok->setObjectName(QStringLiteral("Button_ok"));
    m_ok->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    if (query) {
        m_closeButton = new QPushButton(QStringLiteral("关闭"), this);
        m_closeButton->setObjectName(QStringLiteral("Button_Close"));
        m_closeButton->setAutoDefault(false);
        buttons->addWidget(m_closeButton);
        connect(m_closeButton, &QPushButton::clicked, this, &QDialog::reject);
    }
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(12); // the buttons stand clear of the options' frame
    layout->addWidget(m_group);
    layout->addLayout(buttons);
    m_group->setMinimumWidth(220);
    connect(m_ok, &QPushButton::clicked, this, &TSelectItemForm::confirm);
}

int TSelectItemForm::groupHeight(int options, int designed)
{
    switch (options) {
    case 2:
        return 89;
    case 3:
        return 113;
    case 4:
        return 129;
    default:
        return designed;
    }
}

void TSelectItemForm::showEvent(QShowEvent* event)
{
    const int n = int(m_group->items().size());
    const int designed = m_group->property("designedHeight").isValid() ? m_group->property("designedHeight").toInt()
                                                                       : m_group->sizeHint().height();
    m_group->setFixedHeight(groupHeight(n, designed));
    if (m_group->itemIndex() < 0 && n > 0)
        m_group->setItemIndex(0);
    adjustSize();
    QDialog::showEvent(event);
    raise();
    activateWindow();
    if (QRadioButton* b = m_group->button(qMax(0, m_group->itemIndex())))
        b->setFocus();
    else
        m_group->setFocus();
}

void TSelectItemForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        m_ok->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TSelectItemForm::confirm()
{
    if (m_group->itemIndex() < 0) {
        ShowWarning(QStringLiteral("必须选择一个选项"));
        m_group->setFocus();
        return;
    }
    m_chosen = m_group->itemIndex() + 1;
    accept();
}

namespace {

int choose(TSelectItemForm& form, const QStringList& options, int preselect, const QString& title)
{
    form.setWindowTitle(title);
    form.RadioGroup()->setItems(options);
    if (preselect >= 1 && preselect <= options.size())
        form.RadioGroup()->setItemIndex(preselect - 1);
    form.raise();
    return form.exec() == QDialog::Accepted ? form.chosen() : 0;
}

} // namespace

int ChooseOne4(const QString& a, const QString& b, const QString& c, const QString& d, const QString& title,
               QWidget* parent)
{
    TSelectItemForm form(parent);
    return choose(form, {a, b, c, d}, 0, title);
}

int ChooseOne2(int preselect, const QString& a, const QString& b, const QString& title, QWidget* parent)
{
    TSelectItemForm form(parent);
    return choose(form, {a, b}, preselect, title);
}

int ChooseQuery2(const QString& a, const QString& b, const QString& title, QWidget* parent)
{
    TSelectItemQueryForm form(parent);
    return choose(form, {a, b}, 0, title);
}

int ChooseQuery2Pre(int preselect, const QString& a, const QString& b, const QString& title, QWidget* parent)
{
    TSelectItemQueryForm form(parent);
    return choose(form, {a, b}, preselect, title);
}

bool ChooseSortOrder(const QStringList& columns, const QStringList& captions, const QString& alias, QString* orderBy,
                     const QString& title, QWidget* parent)
{
    if (orderBy)
        orderBy->clear();
    QStringList options;
    for (int i = 0; i < captions.size() && i < 12; ++i)
        options << QStringLiteral("按") + captions.at(i) + QStringLiteral("排序");
    TSelectItemQueryForm form(parent);
    if (options.size() > 8) {
        form.RadioGroup()->setProperty("designedHeight", 166);
        form.RadioGroup()->setColumns(2);
        form.setFixedHeight(252);
    }
    const int n = choose(form, options, 0, title);
    if (n < 1 || n > columns.size())
        return false;
    // Column and alias come from the screen's configuration; anything but a plain name is refused.
    const QString column = Sql::identifier(columns.at(n - 1).trimmed());
    const QString prefix = alias.trimmed();
    if (column.isEmpty() || (!prefix.isEmpty() && !Sql::isIdentifier(prefix)))
        return false;
    if (orderBy)
        *orderBy = QStringLiteral(" ORDER BY ") + (prefix.isEmpty() ? column : prefix + QLatin1Char('.') + column);
    return true;
}
