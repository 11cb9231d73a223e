#include "QnSetForm.h"

#include "QnChild.h"
#include "QnColor.h"
#include "QnComboBox.h"
#include "QnComboEdit.h"
#include "QnDBComboBox.h"
#include "QnDBComboEdit.h"
#include "QnDBEdit.h"
#include "QnDBLookup.h"
#include "QnDataSource.h"
#include "QnEdit.h"
#include "QnNDBGrid.h"
#include "QnTreeView.h"

#include "common/AppContext.h"
#include "common/Clock.h"
#include "db/Database.h"
#include "query/QnQuery.h"

#include <QLabel>
#include <QWidget>

TQnSetForm::TQnSetForm(QWidget* window) : QObject(window), m_window(window)
{
    setObjectName(QStringLiteral("QnSetForm"));
    m_dataBaseName = QString::fromLatin1(Database::ConnectionName);
}

void TQnSetForm::ResetInputMethod()
{
    if (!m_window)
        return;
    const QList<QWidget*> all = m_window->findChildren<QWidget*>();
    for (QWidget* w : all) {
        if (qnTag(w) == 100)
            continue;
        if (auto* f = dynamic_cast<TQnFocusColor*>(w))
            f->setImeName(QString());
    }
}

namespace QnForms {

QFont windowFont()
{
    QFont f(QStringLiteral("宋体"));
    f.setPointSize(9);
    return f;
}

void applyColourScheme(QWidget* window, const TQnChild* child)
{
    const AppContext& ctx = AppContext::instance();
    const QColor color = child ? child->Color() : ctx.WindowColor;
    const QColor label = child ? child->LabelColor() : ctx.WindowLabelColor;
    const QColor edit = child ? child->EditColor() : ctx.WindowEditColor;
    const QColor focus = child ? child->ColorOnFocus() : ctx.WindowFocusColor;
    const bool gb = (child ? child->Language() : ctx.Language) == QLatin1String("GB");

    auto scheme = [&](TQnFocusColor* c, const QColor& colour, const QColor& onFocus) {
        c->setColor(colour);
        c->setColorOnFocus(onFocus);
        c->setRememberedColor(colour);
    };
    auto font = [&](QWidget* w, int size) {
        if (!gb || qnTag(w) == 10)
            return;
        QFont f(QStringLiteral("宋体"));
        f.setPointSize(size);
        w->setFont(f);
    };

    for (QWidget* w : window->findChildren<QWidget*>()) {
        const int tag = qnTag(w);
        if (auto* grid = dynamic_cast<TQnNDBGrid*>(w)) {
            grid->setColor(color);
            grid->setColorOnFocus(color);
            font(grid, 9);
            continue;
        }
        if (auto* tree = dynamic_cast<TQnTreeView*>(w)) {
            QPalette p = tree->palette();
            p.setColor(QPalette::Base, color);
            tree->setPalette(p);
            font(tree, 10);
            continue;
        }
        if (auto* f = dynamic_cast<TQnFocusColor*>(w)) {
            const bool plainEdit = dynamic_cast<TQnEdit*>(w) && !dynamic_cast<TQnDBEdit*>(w);
            const bool tag100Kind = plainEdit || dynamic_cast<TQnListBox*>(w) ||
                                    (dynamic_cast<TQnComboBox*>(w) && !dynamic_cast<TQnDBComboBox*>(w)) ||
                                    dynamic_cast<TQnComboEdit*>(w) || dynamic_cast<TQnLComboEdit*>(w);
            if (tag == 3 && dynamic_cast<TQnEdit*>(w))
                scheme(f, label, label);
            else if (tag == 100 && tag100Kind)
                scheme(f, edit, focus);
            else
                scheme(f, color, color);
            font(w, 10);
            continue;
        }
        if (auto* l = qobject_cast<QLabel*>(w)) {
            if (tag == 0 && gb) {
                QFont f(QStringLiteral("宋体"));
                f.setPointSize(9);
                l->setFont(f);
            }
        }
    }
    for (auto* ds : window->findChildren<TQnDataSource*>()) {
        ds->setBrowseColor(color);
        ds->setEditColor(edit);
    }
    for (auto* q : window->findChildren<TQnQuery*>())
        q->setColorOnFocus(color);
}

void prepareQuery(TQnQuery* query)
{
    if (query)
        query->stampFromContext();
}

void prepareDataSource(TQnDataSource* ds, bool editRight, bool printRight, bool checkRight)
{
    if (!ds)
        return;
    ds->HookStateChange();
    ds->setRightAdd(editRight);
    ds->setRightEdit(editRight);
    ds->setRightDelete(editRight);
    ds->setRightPrint(printRight);
    ds->setRightCheck(checkRight);
    ds->ApplyRights();
    const AppContext& ctx = AppContext::instance();
    ds->setEditColor(ctx.WindowEditColor);
    ds->setBrowseColor(ctx.WindowColor);
    ds->setColorOnFocus(ctx.WindowFocusColor);
}

} // namespace QnForms
