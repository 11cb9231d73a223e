#pragma once

#include <QList>
#include <QString>

// One line of the printed archive type list (shaped like QN_ARCHIVE_NODE_NAME_TABLE).
struct TTypeListRow
{
    QString nodeName; // indent, optional outline number, type name
    QString note;
};

// The archive type list printed from the type window, read from the database depth first from the type
// key ("G001", the root, lists every first-level type without a line of its own). Below a chosen type its
// own line comes first and its children are indented by two blanks per level. With outline numbers each
// child's position among its siblings and a point lead its name, padded so that "1." lines up with
// "10.". A type that names itself or an ancestor as parent is listed once.
QList<TTypeListRow> BuildTypePrintList(const QString& typeKey, bool outlineNumbers);
// "1." with the blanks that line it up with the widest number of siblings.
QString OutlineNumber(int position, int siblings);
