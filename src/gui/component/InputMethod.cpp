#include "InputMethod.h"

#include "FindForm.h"
#include "QnColor.h"
#include "QnInput.h"

#include <QAbstractItemView>
#include <QWidget>

namespace {

bool takesName(QWidget* w)
{
    if (dynamic_cast<TQnFocusColor*>(w))
        return true;
    // The grids of the data screens keep the name for their cell editors.
    return w->inherits("TQnNDBGrid") || w->inherits("TQnDBGrid");
}

void give(QWidget* w, const QString& imeName)
{
    if (auto* c = dynamic_cast<TQnFocusColor*>(w))
        c->setImeName(imeName);
    else
        w->setProperty("ImeName", imeName);
}

} // namespace

void ApplyImeToControls(QWidget* form, const QString& imeName)
{
    if (!form)
        return;
    for (QWidget* w : form->findChildren<QWidget*>())
        if (takesName(w))
            give(w, imeName);
}

void ApplyInputMethod(QWidget* window, const QString& imeName)
{
    if (!window)
        return;
    for (QWidget* w : window->findChildren<QWidget*>())
        if (takesName(w) && qnTag(w) != 100)
            give(w, imeName);
    for (TFindFormDialog* find : window->findChildren<TFindFormDialog*>())
        find->ImeName = imeName;
}

QString controlImeName(const QObject* control)
{
    if (auto* c = dynamic_cast<const TQnFocusColor*>(control))
        return c->ImeName();
    return control ? control->property("ImeName").toString() : QString();
}
