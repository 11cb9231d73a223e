#include "OpenDirDialog.h"

#include "common/MessageSink.h"

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>

TDirOpenForm::TDirOpenForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DirOpenForm"));
    setWindowFlags((windowFlags() & ~Qt::WindowContextHelpButtonHint) | Qt::WindowStaysOnTopHint);

    m_drives = new QComboBox(this);
    m_drives->setObjectName(QStringLiteral("DriveComboBox1"));
    m_drives->setAccessibleName(QStringLiteral("驱动器"));
    QStringList roots;
    for (const QStorageInfo& s : QStorageInfo::mountedVolumes())
        if (s.isValid() && s.isReady())
            roots << QDir::cleanPath(s.rootPath());
    roots << QDir::rootPath() << QDir::homePath();
    roots.removeDuplicates();
    roots.sort();
    m_drives->addItems(roots);

    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_model->setRootPath(QDir::rootPath());
    m_tree = new QTreeView(this);
    m_tree->setObjectName(QStringLiteral("DirectoryListBox1"));
    m_tree->setModel(m_model);
    for (int c = 1; c < m_model->columnCount(); ++c)
        m_tree->hideColumn(c);
    m_tree->header()->hide();
    m_tree->setSortingEnabled(true);
    m_tree->sortByColumn(0, Qt::AscendingOrder);
    m_tree->setAccessibleName(QStringLiteral("目录"));

    m_up = new QPushButton(QStringLiteral("↑"), this);
    m_up->setObjectName(QStringLiteral("button_up"));
    m_up->setToolTip(QStringLiteral("上移一行"));
    m_up->setAccessibleName(QStringLiteral("上移一行"));
    m_up->setAutoDefault(false);
    m_path = new QLineEdit(this);
    m_path->setObjectName(QStringLiteral("Edit1"));
    m_path->setReadOnly(true);
    m_ok = new QPushButton(QStringLiteral("确定"), this);
    m_ok->setObjectName(QStringLiteral("button_ok"));
    m_ok->setDefault(true);
    m_close = new QPushButton(QStringLiteral("取消"), this);
    m_close->setObjectName(QStringLiteral("button_close"));
    m_close->setAutoDefault(false);

    auto* search = new QLabel(QStringLiteral("目录搜寻"), this);
    search->setBuddy(m_tree);
    auto* nameLabel = new QLabel(QStringLiteral("目录名称"), this);
    nameLabel->setBuddy(m_path);
    m_path->setAccessibleName(QStringLiteral("目录名称"));
    auto* top = new QHBoxLayout;
    top->addWidget(search);
    top->addWidget(m_drives, 1);
    top->addWidget(m_up);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_tree, 1);
    layout->addWidget(nameLabel);
    layout->addWidget(m_path);
    layout->addLayout(buttons);
    resize(380, 420);

    connect(m_drives, &QComboBox::activated, this, &TDirOpenForm::driveChosen);
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this, &TDirOpenForm::refreshPath);
    connect(m_tree, &QTreeView::clicked, this, &TDirOpenForm::refreshPath);
    connect(m_up, &QPushButton::clicked, this, &TDirOpenForm::moveUp);
    connect(m_ok, &QPushButton::clicked, this, &TDirOpenForm::confirm);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    selectFolder(QDir::homePath());
}

void TDirOpenForm::driveChosen(int index)
{
    if (index >= 0)
        selectFolder(m_drives->itemText(index));
}

void TDirOpenForm::selectFolder(const QString& path)
{
    const QString clean = QDir::cleanPath(path);
    // The drive is the longest mounted root that holds the folder.
    int best = -1;
    for (int i = 0; i < m_drives->count(); ++i) {
        const QString root = m_drives->itemText(i);
        const bool holds = clean == root || clean.startsWith(root.endsWith(QLatin1Char('/')) ? root : root + '/');
        if (holds && (best < 0 || root.size() > m_drives->itemText(best).size()))
            best = i;
    }
    if (best >= 0)
        m_drives->setCurrentIndex(best);
    const QModelIndex index = m_model->index(clean);
    if (index.isValid()) {
        m_tree->setCurrentIndex(index);
        m_tree->scrollTo(index);
        m_tree->expand(index);
    }
    refreshPath();
}

QString TDirOpenForm::selectedFolder() const
{
    const QModelIndex index = m_tree->currentIndex();
    return index.isValid() ? m_model->filePath(index) : QString();
}

void TDirOpenForm::moveUp()
{
    const QModelIndex above = m_tree->indexAbove(m_tree->currentIndex());
    if (above.isValid())
        m_tree->setCurrentIndex(above);
    refreshPath();
}

void TDirOpenForm::refreshPath()
{
    m_path->setText(selectedFolder());
}

void TDirOpenForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    refreshPath();
    m_tree->setFocus();
}

void TDirOpenForm::confirm()
{
    if (m_path->text().trimmed().isEmpty()) {
        ShowWarning(QStringLiteral("必须选择一个目录"));
        m_tree->setFocus();
        return;
    }
    accept();
}

TOpenDirDialog::TOpenDirDialog(QObject* parent) : QObject(parent) {}

TOpenDirDialog::~TOpenDirDialog()
{
    delete m_form.data();
}

TDirOpenForm* TOpenDirDialog::form()
{
    if (!m_form)
        m_form = new TDirOpenForm;
    return m_form;
}

void TOpenDirDialog::prepare()
{
    TDirOpenForm* f = form();
    f->setWindowTitle(DialogType == Open ? QStringLiteral("选择要保存的目录") : QStringLiteral("选择要存放的目录"));
    f->setFont(Language == TLanguage::BIG5 ? QFont(QStringLiteral("細明體"), 11) : QFont(QStringLiteral("宋体"), 9));
}

bool TOpenDirDialog::Execute()
{
    prepare();
    TDirOpenForm* f = form();
    f->raise();
    if (f->exec() != QDialog::Accepted)
        return false;
    m_folder = f->Edit1()->text();
    return true;
}

QString TOpenDirDialog::FolderName() const
{
    QString folder = m_folder.trimmed();
    if (folder.isEmpty())
        return {};
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}
