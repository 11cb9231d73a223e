#include "MainForm.h"

#include "AboutForm.h"
#include "Manual.h"
#include "common/AppContext.h"
#include "common/Clock.h"
#include "common/MachineSettings.h"
#include "common/MessageSink.h"
#include "component/QnChild.h"
#include "component/QnMain.h"
#include "db/Database.h"
#include "db/FunLib.h"
#include "db/Lookups.h"
#include "db/Rights.h"
#include "db/Schema.h"
#include "db/Sql.h"
#include "maintenance/CleanUp.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <cmath>

namespace {

const QString ArchiveGroup = QStringLiteral("档案管理");
const QString SystemGroup = QStringLiteral("系统管理");
const QString OtherWindowsOpen = QStringLiteral("请先关闭其它的窗口");

// The gates a menu entry passes before its screen opens, in the order it checks them.
enum class Gate
{
    None,
    Admin,
    NoWindows,
    Rights
};

struct EntryDef
{
    const char* name;
    const char* caption; // empty: computed (the detail query entry)
    int menu;            // 0 档案管理, 1 系统管理, 2 帮助
    int tag;
    const char* icon;
    Gate first;
    Gate second;
    const char* adminMessage;
    bool separatorBefore;
};

const EntryDef Entries[] = {
    {"action_ArchiveType", "档案类别资料录入编辑", 0, 0, "archive-type", Gate::Rights, Gate::None, "", false},
    {"action_Archive", "档案资料录入编辑管理", 0, 100, "archive", Gate::Rights, Gate::None, "", false},
    {"action_DetailQuery", "", 0, 0, "detail-query", Gate::Rights, Gate::None, "", false},
    {"action_LendQuery", "档案借阅记录查询管理", 0, 0, "lend-query", Gate::Rights, Gate::None, "", false},
    {"action_Import", "EXCEL资料导入管理", 0, 0, "import", Gate::Rights, Gate::None, "", true},
    {"action_Company", "单位名称录入编辑", 0, 0, "company", Gate::Rights, Gate::None, "", true},
    {"action_Users", "用户管理", 1, 0, "users", Gate::Admin, Gate::None, "您没有在程序\"人员管理\"中的权限", false},
    {"action_Password", "用户口令修改", 1, 0, "password", Gate::None, Gate::None, "", false},
    {"action_Backup", "数据备份管理", 1, 0, "backup", Gate::None, Gate::None, "", true},
    {"action_Restore", "数据恢复管理", 1, 0, "restore", Gate::Admin, Gate::None, "只有系统管理员才能有恢复数据库的权限",
     false},
    {"action_RemoveOld", "过时数据删除", 1, 0, "remove-old", Gate::NoWindows, Gate::Rights, "", true},
    {"action_Repair", "数据修复管理", 1, 0, "repair", Gate::NoWindows, Gate::Admin, "您没有在程序\"数据修复\"中的权限",
     false},
    {"action_Numbering", "编号方式设置修改", 1, 300, "numbering", Gate::Admin, Gate::NoWindows,
     "只有系统管理员才能有设置修改编号方式的权限", false},
};

const EntryDef* definition(const QString& name)
{
    for (const EntryDef& d : Entries)
        if (name == QLatin1String(d.name))
            return &d;
    return nullptr;
}

QString groupOf(const EntryDef& d)
{
    return d.menu == 0 ? ArchiveGroup : SystemGroup;
}

QIcon icon(const char* name)
{
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name)));
}

// Windows colour values are 0x00BBGGRR.
QColor fromWindowsColour(qint64 value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

QString chineseDate(const QDate& d)
{
    return d.toString(QStringLiteral("yyyy年MM月dd日"));
}

// The client area: the picture of the machine settings stretched over it, or its colour.
class ClientPanel : public QWidget
{
public:
    explicit ClientPanel(QWidget* parent) : QWidget(parent) { setObjectName(QStringLiteral("ClientPanel")); }
    QColor colour = QColor(0, 128, 192);
    QPixmap picture;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        if (!picture.isNull())
            p.drawPixmap(rect(), picture);
        else
            p.fillRect(rect(), colour);
    }
};

// One of the large pictures: a double click runs its menu entry.
class PictureTile : public QWidget
{
public:
    PictureTile(const QString& entryName, const QString& picture, const QString& caption, QWidget* parent,
                std::function<void(const QString&)> activated)
        : QWidget(parent), m_entry(entryName), m_activated(std::move(activated))
    {
        setObjectName(QStringLiteral("Picture_") + entryName.mid(QStringLiteral("action_").size()));
        setToolTip(QStringLiteral("用鼠标左键双击图标"));
        setCursor(Qt::PointingHandCursor);
        m_image = new QLabel(this);
        m_image->setAlignment(Qt::AlignCenter);
        m_icon = QIcon(picture);
        m_caption = new QLabel(caption, this);
        m_caption->setObjectName(QStringLiteral("Caption_") + entryName.mid(QStringLiteral("action_").size()));
        m_caption->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        m_caption->setFixedWidth(m_caption->fontMetrics().horizontalAdvance(QStringLiteral("档案借阅记录查询管理")) +
                                 12);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(6, 6, 6, 6);
        layout->setSpacing(8);
        layout->addWidget(m_image, 0, Qt::AlignHCenter);
        layout->addWidget(m_caption, 0, Qt::AlignHCenter);
        setAvailable(true);
    }

    void setAvailable(bool available)
    {
        m_image->setPixmap(
            m_icon.pixmap(QSize(96, 96), devicePixelRatioF(), available ? QIcon::Normal : QIcon::Disabled));
        m_caption->setStyleSheet(available ? QStringLiteral("color: #1f3a5f;") : QStringLiteral("color: #9aa5b1;"));
    }

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && m_activated)
            m_activated(m_entry);
    }

private:
    QString m_entry;
    std::function<void(const QString&)> m_activated;
    QIcon m_icon;
    QLabel* m_image;
    QLabel* m_caption;
};

} // namespace

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("vuzazo"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/archive.svg")));
    AppContext& ctx = AppContext::instance();

    // Cover the screen without being maximised.
    if (QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
    ctx.TempDir = TempFolder();

    m_qnMain = new TQnMain(this);
    m_qnMain->setIsHidePanel(false);
    m_qnMain->setHideToolBar(false);
    m_qnMain->setDataBaseName(QString::fromLatin1(Database::ConnectionName));
    connect(m_qnMain, &TQnMain::entriesLockChanged, this, &TMainForm::refreshEntries);

    buildMenu();
    m_qnMain->setMainMenu(menuBar());
    m_qnMain->setMainMenuIndex(3);
    buildToolBar();
    buildClient();
    buildStatusBar();

    ctx.DatabaseDir = Database::folder();
    if (!ctx.DatabaseDir.isEmpty()) {
        QDir parentDir(ctx.DatabaseDir);
        parentDir.cdUp();
        ctx.InstallDir = parentDir.absolutePath();
        CleanUp::CleanInstallFolder(ctx.InstallDir);
    }
    readSettings();
    ctx.MainClientWidth = centralWidget()->width();
    ctx.MainClientHeight = centralWidget()->height();
    refreshEntries();
}

TMainForm::~TMainForm() = default;

QStringList TMainForm::entryNames()
{
    QStringList names;
    for (const EntryDef& d : Entries)
        names << QString::fromLatin1(d.name);
    names << QStringLiteral("action_Exit") << QStringLiteral("action_Help") << QStringLiteral("action_About");
    return names;
}

QAction* TMainForm::entry(const QString& name) const
{
    return m_entries.value(name);
}

QString TMainForm::detailEntryCaption() const
{
    return AppContext::instance().DetailName + QStringLiteral("查询管理");
}

void TMainForm::buildMenu()
{
    QMenuBar* bar = menuBar();
    QMenu* menus[3] = {bar->addMenu(QStringLiteral("档案管理")), bar->addMenu(QStringLiteral("系统管理")),
                       bar->addMenu(QStringLiteral("帮助[F1]"))};
    menus[0]->setObjectName(QStringLiteral("menu_Archive"));
    menus[1]->setObjectName(QStringLiteral("menu_System"));
    menus[2]->setObjectName(QStringLiteral("menu_Help"));

    for (const EntryDef& d : Entries) {
        if (d.separatorBefore)
            menus[d.menu]->addSeparator();
        const QString name = QString::fromLatin1(d.name);
        const QString caption = *d.caption ? QString::fromUtf8(d.caption) : detailEntryCaption();
        QAction* a = menus[d.menu]->addAction(icon(d.icon), caption);
        a->setObjectName(name);
        a->setProperty("tag", d.tag);
        connect(a, &QAction::triggered, this, [this, name] { openEntry(name); });
        m_entries.insert(name, a);
    }
    menus[1]->addSeparator();
    QAction* exitAction = menus[1]->addAction(icon("exit"), QStringLiteral("退出[T]"));
    exitAction->setObjectName(QStringLiteral("action_Exit"));
    exitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    connect(exitAction, &QAction::triggered, this, &QWidget::close);
    m_entries.insert(exitAction->objectName(), exitAction);

    QAction* help = menus[2]->addAction(icon("help"), QStringLiteral("帮助"));
    help->setObjectName(QStringLiteral("action_Help"));
    help->setShortcut(QKeySequence(Qt::Key_F1));
    connect(help, &QAction::triggered, this, &TMainForm::showHelp);
    m_entries.insert(help->objectName(), help);
    QAction* about = menus[2]->addAction(icon("about"), QStringLiteral("关于"));
    about->setObjectName(QStringLiteral("action_About"));
    connect(about, &QAction::triggered, this, &TMainForm::showAbout);
    m_entries.insert(about->objectName(), about);

    // The fourth menu lists the open program windows; hidden while there are none.
    QMenu* windows = bar->addMenu(QStringLiteral(" "));
    windows->setObjectName(QStringLiteral("menu_Windows"));
    windows->menuAction()->setVisible(false);
}

void TMainForm::buildToolBar()
{
    m_toolBar = addToolBar(QStringLiteral("工具栏"));
    m_toolBar->setObjectName(QStringLiteral("ToolBar1"));
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setIconSize(QSize(32, 32));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolBar->setContextMenuPolicy(Qt::PreventContextMenu);
    struct Tool
    {
        const char* name;
        const char* text;
        const char* hint;
        const char* icon;
        const char* entry;
    };
    const Tool tools[] = {
        {"tool_Archive", "档案管理", "档案管理", "archive", "action_Archive"},
        {"tool_DetailQuery", "明细查询", "", "detail-query", "action_DetailQuery"},
        {"tool_LendQuery", "借阅查询", "档案借阅记录查询管理", "lend-query", "action_LendQuery"},
        {"tool_Backup", "数据备份", "数据备份", "backup", "action_Backup"},
        {"tool_Exit", "退出系统", "退出系统", "exit", ""},
    };
    for (const Tool& t : tools) {
        QAction* a = m_toolBar->addAction(icon(t.icon), QString::fromUtf8(t.text));
        a->setObjectName(QString::fromLatin1(t.name));
        a->setToolTip(*t.hint ? QString::fromUtf8(t.hint) : detailEntryCaption());
        const QString target = QString::fromLatin1(t.entry);
        if (target.isEmpty()) {
            connect(a, &QAction::triggered, this, &QWidget::close);
            continue;
        }
        a->setProperty("tag", entry(target) ? entry(target)->property("tag") : QVariant(0));
        connect(a, &QAction::triggered, this, [this, target] {
            if (QAction* e = entry(target); e && e->isEnabled())
                e->trigger();
        });
        m_toolActions << qMakePair(a, target);
        if (target == QLatin1String("action_Backup"))
            m_toolBar->addSeparator();
    }
}

void TMainForm::buildClient()
{
    auto* client = new ClientPanel(this);
    m_client = client;
    setCentralWidget(client);

    auto* panel = new QFrame(client);
    panel->setObjectName(QStringLiteral("PicturePanel"));
    panel->setStyleSheet(QStringLiteral("QFrame#PicturePanel { background: white; border: 1px solid #9fb4c8; "
                                        "border-radius: 6px; }"));
    m_picturePanel = panel;
    auto* outer = new QVBoxLayout(panel);
    outer->setContentsMargins(32, 22, 32, 14);
    outer->setSpacing(14);
    auto* heading = new QLabel(QStringLiteral("常用功能"), panel);
    heading->setObjectName(QStringLiteral("Label_Heading"));
    heading->setStyleSheet(QStringLiteral("color: #1f4e79; font-weight: bold; border: none;"));
    outer->addWidget(heading);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(20);
    grid->setVerticalSpacing(16);
    outer->addLayout(grid);
    auto* hint = new QLabel(QStringLiteral("用鼠标左键双击图标"), panel);
    hint->setObjectName(QStringLiteral("Label_Hint"));
    hint->setAlignment(Qt::AlignRight);
    hint->setStyleSheet(QStringLiteral("color: #8a9bb0; border: none;"));
    outer->addWidget(hint);
    struct Picture
    {
        const char* entry;
        const char* picture;
        const char* caption;
    };
    const Picture pictures[] = {
        {"action_ArchiveType", "archive-type", "档案类别资料录入编辑"},
        {"action_Archive", "archive", "档案资料录入编辑管理"},
        {"action_DetailQuery", "detail-query", "档案明细资料查询管理"},
        {"action_LendQuery", "lend-query", "档案借阅记录查询管理"},
        {"action_Import", "import", "EXCEL资料导入管理"},
    };
    for (const Picture& p : pictures)
        m_tiles << (new PictureTile(
            QString::fromLatin1(p.entry), QStringLiteral(":/pictures/%1.svg").arg(QLatin1String(p.picture)),
            QString::fromUtf8(p.caption), panel, [this](const QString& name) { pictureActivated(name); }));
    arrangePictures(5);
}

void TMainForm::arrangePictures(int columns)
{
    auto* grid = m_picturePanel->findChild<QGridLayout*>();
    if (!grid || (columns == m_pictureColumns))
        return;
    m_pictureColumns = columns;
    for (QWidget* tile : m_tiles)
        grid->removeWidget(tile);
    for (int i = 0; i < m_tiles.size(); ++i)
        grid->addWidget(m_tiles.at(i), i / columns, i % columns, Qt::AlignHCenter | Qt::AlignTop);
    grid->invalidate();
    m_picturePanel->adjustSize();
}

void TMainForm::buildStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    const int screenWidth = screen() ? screen()->geometry().width() : width();
    m_productPanel =
        new QLabel(QStringLiteral("  vuzazo 档案管理系统 单机版  版本 %1").arg(QStringLiteral(VUZAZO_VERSION)), bar);
    m_productPanel->setObjectName(QStringLiteral("StatusPanel_Product"));
    m_productPanel->setFixedWidth(int(std::lround(screenWidth * 3 / 5.0)));
    m_datePanel = new QLabel(QStringLiteral("  ") + chineseDate(Clock::today()), bar);
    m_datePanel->setObjectName(QStringLiteral("StatusPanel_Date"));
    bar->addWidget(m_productPanel);
    bar->addWidget(m_datePanel, 1);
}

void TMainForm::refreshCaption()
{
    AppContext& ctx = AppContext::instance();
    ctx.CompanyName = LookupText(QStringLiteral("SELECT COMPANY_NAME FROM SYS_COMPANY_TABLE"));
    setWindowTitle(ctx.CompanyName + QStringLiteral("vuzazo"));
}

void TMainForm::readSettings()
{
    AppContext& ctx = AppContext::instance();
    refreshCaption();

    const QString detail = ReadProgramName(1, 3, QStringLiteral("查询管理"));
    ctx.DetailName = detail.isEmpty() ? QStringLiteral("档案明细资料") : detail;
    if (QAction* a = entry(QStringLiteral("action_DetailQuery")))
        a->setText(detailEntryCaption());
    for (const auto& [tool, target] : m_toolActions)
        if (target == QLatin1String("action_DetailQuery"))
            tool->setToolTip(detailEntryCaption());

    LoadReminderSettings();
    if (ctx.ReminderField.isEmpty())
        ctx.ReminderDays = 0;
    LoadNumberingScheme();

    auto* client = static_cast<ClientPanel*>(m_client);
    const QString picture = m_qnMain->ReadBackgroundPicture();
    client->picture = picture.isEmpty() ? QPixmap() : QPixmap(picture);
    const QString colour = ReadRegInt(QString::fromLatin1(MachineSettings::KeyColor));
    if (!colour.isEmpty())
        client->colour = fromWindowsColour(colour.toLongLong());
    client->update();
}

void TMainForm::refreshEntries()
{
    for (const EntryDef& d : Entries) {
        const QString name = QString::fromLatin1(d.name);
        QAction* a = entry(name);
        const bool available = ProgramWindows::find(name) != nullptr;
        a->setProperty("available", available);
        a->setEnabled(available && !(entriesLocked() && (d.tag == 100 || d.tag == 300)));
        if (!available)
            a->setToolTip(QStringLiteral("此功能尚未提供"));
    }
    for (const auto& [tool, target] : m_toolActions)
        tool->setEnabled(entry(target)->isEnabled());
    for (QWidget* child : m_tiles) {
        auto* tile = dynamic_cast<PictureTile*>(child);
        if (!tile)
            continue;
        const QString name = QStringLiteral("action_") + tile->objectName().mid(QStringLiteral("Picture_").size());
        tile->setAvailable(entry(name) && entry(name)->property("available").toBool());
    }
}

void TMainForm::setEntriesLocked(bool locked)
{
    m_qnMain->setEntriesLocked(locked);
}

bool TMainForm::entriesLocked() const
{
    return m_qnMain->entriesLocked();
}

void TMainForm::pictureActivated(const QString& entryName)
{
    QAction* a = entry(entryName);
    if (!a || !a->property("available").toBool())
        return;
    if (!a->isEnabled()) {
        ShowWarning(QStringLiteral("请先关闭打开的其它窗口"));
        return;
    }
    a->trigger();
}

QWidget* TMainForm::OpenProgram(const QString& formName, const QString& group, const QString& program,
                                const QString& caption, const std::function<QWidget*()>& create,
                                const std::function<void()>& handler)
{
    const AppContext& ctx = AppContext::instance();
    if (m_qnMain->ActivateIfOpen(formName))
        return m_qnMain->openWindow(formName);
    if (!group.isEmpty() && !m_qnMain->HasProgramRight(group, program, ctx.UserId)) {
        ShowWarning(NoRightMessage(program));
        return nullptr;
    }
    QWidget* window = create ? create() : nullptr;
    if (!window)
        return nullptr;
    window->setAttribute(Qt::WA_DeleteOnClose);
    TQnChild* child = TQnChild::of(window);
    if (!child)
        child = new TQnChild(window);
    if (child->ShowChild(ctx.WindowPlacement) == 0)
        return nullptr;
    m_qnMain->RegisterChild(formName, window, handler, caption, child);
    return window;
}

void TMainForm::openEntry(const QString& name, const ProgramPreset& preset)
{
    const EntryDef* def = definition(name);
    const ProgramWindows::Entry* program = ProgramWindows::find(name);
    QAction* action = entry(name);
    if (!def || !program || !action)
        return;
    const AppContext& ctx = AppContext::instance();
    const QString caption = action->text();
    const QString group = groupOf(*def);
    for (Gate gate : {def->first, def->second}) {
        switch (gate) {
        case Gate::Admin:
            if (!ctx.IsAdmin) {
                ShowWarning(QString::fromUtf8(def->adminMessage));
                return;
            }
            break;
        case Gate::NoWindows:
            if (m_qnMain->hasOpenWindows()) {
                ShowWarning(OtherWindowsOpen);
                return;
            }
            break;
        case Gate::Rights:
            // Program windows check their right in the opening protocol; a procedure checks it here.
            if (!program->create && !m_qnMain->HasProgramRight(group, caption, ctx.UserId)) {
                ShowWarning(NoRightMessage(caption));
                return;
            }
            break;
        case Gate::None:
            break;
        }
    }
    if (program->create) {
        const bool rights = def->first == Gate::Rights || def->second == Gate::Rights;
        auto create = program->create;
        OpenProgram(
            program->formName, rights ? group : QString(), caption, caption,
            [this, create, preset] { return create(*this, preset); }, [this, name] { openEntry(name); });
        return;
    }
    program->run(*this);
}

void TMainForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    AppContext& ctx = AppContext::instance();
    ctx.MainClientWidth = centralWidget()->width();
    ctx.MainClientHeight = centralWidget()->height();
    if (m_firstShowingEnabled)
        QTimer::singleShot(0, this, &TMainForm::runFirstShowing);
}

void TMainForm::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (!m_picturePanel || !m_client)
        return;
    const QRect area = m_client->rect();
    // Five pictures in a row when they fit, else rows of three.
    arrangePictures(5);
    if (m_picturePanel->sizeHint().width() > area.width() - 40)
        arrangePictures(3);
    const QSize size = m_picturePanel->sizeHint();
    m_picturePanel->setGeometry(
        QRect(QPoint(area.center().x() - size.width() / 2, area.center().y() - size.height() / 2), size));
}

void TMainForm::runFirstShowing()
{
    refreshCaption();
    const AppContext& ctx = AppContext::instance();
    if (const ProgramWindows::Entry* backup =
            ProgramWindows::find(QString::fromLatin1(ProgramWindows::StartupBackup))) {
        if (ReadSetting(QStringLiteral("不自动数据备份")) != QStringLiteral("是") && !ctx.JustEnrolled &&
            AskYesNo(QStringLiteral("是否备份数据")))
            backup->run(*this);
    }
    dateReminder();
    overdueReminder();
}

void TMainForm::dateReminder()
{
    const AppContext& ctx = AppContext::instance();
    const QString field = ctx.ReminderField;
    if (field.isEmpty() || !m_qnMain->HasProgramRight(ArchiveGroup, QStringLiteral("档案资料录入编辑管理"), ctx.UserId))
        return;
    // The setting names a column; only a date column of the archive table is accepted.
    const Schema::Column* column = Schema::column(QStringLiteral("QN_ARCHIVE_MASTER_TABLE"), field);
    if (!Sql::isIdentifier(field) || !column || column->kind != Schema::ColumnKind::Date)
        return;
    const QString caption =
        LookupText(QStringLiteral("SELECT FIELD_DISPLAY_NAME FROM SYS_ARCHIVE_FIELD_TABLE WHERE FIELD_NAME = ") +
                   Sql::quote(field));
    if (caption.isEmpty())
        return;
    const QDate today = Clock::today();
    const QString limit = Sql::quoteDate(Sql::isoDate(today.addDays(-ctx.ReminderDays)));
    const QString condition = QStringLiteral("((NOT(%1 IS NULL)) AND (%1 <= %2))").arg(column->name, limit);
    const int n = int(std::lround(LookupNumber(
        QStringLiteral("SELECT COUNT(ARCHIVE_RECORD_ID) FROM QN_ARCHIVE_MASTER_TABLE WHERE ") + condition)));
    if (n <= 0)
        return;
    const QString due = QStringLiteral("有 %1 个档案的").arg(n) + caption + QStringLiteral("到了设定的提醒日");
    // Without the archive window a yes would open nothing: then the count is only told.
    if (!ProgramWindows::find(QStringLiteral("action_Archive"))) {
        ShowWarning(due);
        return;
    }
    if (!AskYesNo(due + QLatin1Char('\n') + QStringLiteral("是否去看看这些档案")))
        return;
    ProgramPreset preset;
    preset.condition = condition;
    preset.conditionCaption = QStringLiteral("查找条件：(") + caption + QStringLiteral(" - ") + chineseDate(today) +
                              QStringLiteral(") 小于等于 ") + QString::number(ctx.ReminderDays);
    openEntry(QStringLiteral("action_Archive"), preset);
}

void TMainForm::overdueReminder()
{
    if (!SettingIsOn(QStringLiteral("过期未还提醒")) ||
        !m_qnMain->HasProgramRight(ArchiveGroup, QStringLiteral("档案借阅记录查询管理"), AppContext::instance().UserId))
        return;
    RefreshLoginDate();
    const QString loginDate = AppContext::instance().LoginDate;
    const QString condition =
        QStringLiteral("(A.RETURN_DATE IS NULL) AND (A.RETURN_LIMIT_DATE < %1)").arg(Sql::quoteDate(loginDate));
    const int n = int(std::lround(LookupNumber(
        QStringLiteral("SELECT COUNT(A.ARCHIVE_RECORD_ID) FROM QN_ARCHIVE_LEND_TABLE A,"
                       "QN_ARCHIVE_MASTER_TABLE B WHERE (A.ARCHIVE_RECORD_ID = B.ARCHIVE_RECORD_ID) AND ") +
        condition)));
    if (n <= 0)
        return;
    const QString overdue = QStringLiteral("今天日期：") + chineseDate(Sql::parseDate(loginDate)) + QLatin1Char('\n') +
                            QStringLiteral("有 %1 个借阅档案过借阅期限未归还").arg(n);
    // Without the lending query window a yes would open nothing: then the count is only told.
    if (!ProgramWindows::find(QStringLiteral("action_LendQuery"))) {
        ShowWarning(overdue);
        return;
    }
    if (!AskYesNo(overdue + QStringLiteral(",是否显示这些借阅档案资料")))
        return;
    ProgramPreset preset;
    preset.condition = condition;
    openEntry(QStringLiteral("action_LendQuery"), preset);
}

void TMainForm::showHelp()
{
    QString page;
    if (Manual::open(&page))
        return;
    if (page.isEmpty())
        ShowWarning(QStringLiteral("说明文件打开错误"));
    else // nothing on this desktop shows HTML pages: say where the manual is
        ShowWarning(
            QStringLiteral("没有找到能打开说明文件的浏览器,说明文件在:\n%1").arg(QDir::toNativeSeparators(page)));
}

void TMainForm::showAbout()
{
    if (!m_about)
        m_about = new TAboutForm(this);
    m_about->exec();
}
