#include "ArchiveTypeTree.h"

#include "archive/ArchiveTypeKeys.h"
#include "component/QnTreeView.h"
#include "db/Database.h"

namespace ArchiveTypeTree {

namespace {

const QString ChildHead =
    QStringLiteral("SELECT ARCHIVE_TYPE_ID,ARCHIVE_TYPE_NAME,ORDER_ID FROM QN_ARCHIVE_TYPE_TABLE WHERE PRIOR_ID = ");
const QString ChildTail = QStringLiteral(" ORDER BY ORDER_ID");
const QString CountHead = QStringLiteral("SELECT Count(ARCHIVE_TYPE_ID) FROM QN_ARCHIVE_TYPE_TABLE WHERE PRIOR_ID = ");

// The children of a level-4 node are the fifth and last level: they are not tested for children.
void queriesFor(TQnTreeView* tree, int level)
{
    tree->SetQuery(0, ChildHead, 0, QString(), QStringLiteral("C"), ChildTail);
    if (level < ArchiveTypeKeys::MaxLevel - 1)
        tree->SetQuery(1, CountHead, 0, QString(), QStringLiteral("C"), QString());
    else
        tree->SetQuery(1, QString(), 0, QString(), QStringLiteral("C"), QString());
}

} // namespace

void setUp(TQnTreeView* tree)
{
    tree->setRootKey(ArchiveTypeKeys::RootKey);
    tree->setRootCaption(ArchiveTypeKeys::RootCaption);
    tree->setDataBaseName(QString::fromLatin1(Database::ConnectionName));
    queriesFor(tree, 0);
    QObject::connect(tree, &TQnTreeView::expanding, tree,
                     [tree](QTreeWidgetItem* node) { queriesFor(tree, TQnTreeView::level(node)); });
    tree->BuildTree();
    tree->setCurrentItem(tree->root());
}

} // namespace ArchiveTypeTree
