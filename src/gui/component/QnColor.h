#pragma once

#include <QColor>
#include <QObject>
#include <QVariant>

// Colours of the window designs are written the Windows way, 0x00BBGGRR (blue in the high byte).
inline QColor winColor(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

// The "tag" of a control, window or data set: a number the window bases and the data source read to decide
// how a control is treated (display-only fields, always-editable fields, master or detail controls).
inline int qnTag(const QObject* o)
{
    return o ? o->property("tag").toInt() : 0;
}
inline void setQnTag(QObject* o, int tag)
{
    if (o)
        o->setProperty("tag", tag);
}
