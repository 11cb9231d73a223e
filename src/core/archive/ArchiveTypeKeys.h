#pragma once

#include <QString>

// The keys of the archive-type tree. A type's key is its parent's key followed by three digits; first-level
// types have the parent "G001", the tree's root, which is no row. So the level of a key is its length / 3
// and the first 3 × n characters name its ancestor on level n. Keys are never reused below the highest
// sibling: the next child follows the highest existing sibling key.
namespace ArchiveTypeKeys {

inline const QString RootKey = QStringLiteral("G001");
inline const QString RootCaption = QStringLiteral("档案类别");
constexpr int MaxLevel = 5;
constexpr int DigitsPerLevel = 3;

bool isRoot(const QString& key);
// 0 for the root, 1 for 001, 2 for 001001 …
int level(const QString& key);
// The prefix of the keys of a node's children: empty for the root, the node's key otherwise.
QString childPrefix(const QString& parentKey);
// The numbering condition of a node's children: "  PRIOR_ID = '<parent key>'".
QString childCondition(const QString& parentKey);
// The ancestor of a key on the given level (the key itself when it is on that level or above).
QString ancestor(const QString& key, int level);

// Read from the type table: the key and order number the next child of parentKey gets (the highest sibling
// plus one; a gap below it is never filled), and whether a key has children or archives.
QString nextChildKey(const QString& parentKey);
int nextOrderId(const QString& parentKey);
int childCount(const QString& key);
int archiveCount(const QString& key);

} // namespace ArchiveTypeKeys
