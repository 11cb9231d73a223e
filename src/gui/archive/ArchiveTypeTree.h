#pragma once

class TQnTreeView;

// The archive-type tree as every screen shows it: the root "档案类别" (key G001, always expandable), children
// read by ORDER_ID when a node is first expanded, and a placeholder on each new node of levels 1 to 4 that
// has children of its own. Fifth-level types are never tested, so they show no expansion mark.
namespace ArchiveTypeTree {

// Configures and builds the tree and selects the root.
void setUp(TQnTreeView* tree);

} // namespace ArchiveTypeTree
