#include "ComponentTestSupport.h"

#include "common/MessageSink.h"
#include "component/DateForm.h"
#include "component/FindForm.h"
#include "component/InputMethod.h"
#include "component/QnComboBox.h"
#include "component/QnComboEdit.h"
#include "component/QnEdit.h"

#include <QCalendarWidget>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

// The find window driven as a user would: choose a field and a relation, type or pick a value, add, clear,
// confirm; every refusal names what is missing and keeps what was collected.
class TestFindForm : public QObject
{
    Q_OBJECT

private:
    static TFieldsDataArray fields()
    {
        auto f = [](const char* name, const char* caption, const char* kind, const char* code,
                    const char* second = "") {
            TFieldsData d(QString::fromUtf8(name), QString::fromUtf8(caption), QString::fromUtf8(kind));
            d.findKind = QString::fromUtf8(code);
            d.findText = QString::fromUtf8(second);
            return d;
        };
        return {f("ARCHIVE_NAME", "档案名称", "C", "T"),
                f("ARCHIVE_RECORD_ID", "记录编号", "C", ""), // not offered
                f("NUMBER_FIELD1", "页数", "N", "T"),
                f("DATE_FIELD1", "归档日期", "D", "D"),
                f("DATE_FIELD2", "归档日期2", "D", "Y", "归档年月"),
                f("TEXT_FIELD2", "状态", "C", "B", "有效;;停用"),
                f("ARCHIVE_TYPE_ID", "类别编号", "C", "S"),
                f("ARCHIVE_TYPE_NAME", "档案类别", "C", "ES", "ARCHIVE_TYPE_ID"),
                f("RETURN_DATE", "借阅状态", "C", "BS"),
                f("ARCHIVE_ID", "档案编号", "C", "BF")};
    }

    struct Window
    {
        TFindFormDialog dialog;
        TQnFindForm* form = nullptr;
        explicit Window(bool allData = false)
        {
            dialog.SetFields(fields());
            dialog.ShowAllDataButton = allData;
            dialog.Caption = QStringLiteral("档案");
            dialog.prepare();
            form = dialog.form();
            form->show();
            form->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(form));
        }
        void choose(const QString& field, const QString& relation = {})
        {
            const int i = form->ComboBox1()->findText(field);
            QVERIFY2(i >= 0, qPrintable(field));
            form->ComboBox1()->setCurrentIndex(i);
            emit form->ComboBox1()->activated(i);
            if (!relation.isEmpty()) {
                const int r = form->ComboBox2()->findText(relation);
                QVERIFY2(r >= 0, qPrintable(relation));
                form->ComboBox2()->setCurrentIndex(r);
            }
        }
        QStringList relations() const
        {
            QStringList l;
            for (int i = 0; i < form->ComboBox2()->count(); ++i)
                l << form->ComboBox2()->itemText(i);
            return l;
        }
        QStringList lines() const
        {
            QStringList l;
            for (int i = 0; i < form->ListBox1()->count(); ++i)
                l << form->ListBox1()->item(i)->text();
            return l;
        }
    };

private slots:
    void initTestCase() { Startup::setUpApplication(*qApp); }

    void offersFieldsAndRelations()
    {
        Window w;
        QCOMPARE(w.form->windowTitle(), QStringLiteral("档案查找窗口"));
        QStringList offered;
        for (int i = 0; i < w.form->ComboBox1()->count(); ++i)
            offered << w.form->ComboBox1()->itemText(i);
        QCOMPARE(offered, QStringList({"档案名称", "页数", "归档日期", "归档年月", "状态", "类别编号", "档案类别",
                                       "借阅状态", "档案编号"}));
        QCOMPARE(w.relations(), QStringList({"相似", "等于", "不等于", "小于等于", "大于等于"}));
        QVERIFY(!w.form->SureButton()->isEnabled());
        QVERIFY(!w.form->ClearButton()->isEnabled());
        QVERIFY(!w.form->AllDataButton()->isVisible());
        QCOMPARE(w.form->CloseButton()->text(), QStringLiteral("关闭[F12]"));
        QCOMPARE(w.form->focusWidget(), static_cast<QWidget*>(w.form->ComboBox1()));
        ComponentTest::shoot(w.form, QStringLiteral("findform-empty"));
    }

    void likeOnText()
    {
        RecordingSink sink;
        Window w;
        w.choose(QStringLiteral("档案名称"), QStringLiteral("相似"));
        QVERIFY(w.form->TextEdit()->isVisible());
        ComponentTest::commitText(w.form->TextEdit(), QStringLiteral("合同"));
        QTest::mouseClick(w.form->DownButton(), Qt::LeftButton);
        QVERIFY2(sink.texts().isEmpty(), qPrintable(sink.texts().join('|')));
        QCOMPARE(w.lines(), QStringList({QStringLiteral(" 档案名称 相似 合同")}));
        QCOMPARE(w.dialog.Conditions(), QStringList({QStringLiteral("ARCHIVE_NAME LIKE '%合同%' ESCAPE '\\'")}));
        QVERIFY(w.form->SureButton()->isEnabled());
        ComponentTest::shoot(w.form, QStringLiteral("findform-one"));
        QTest::keyClick(w.form->TextEdit(), Qt::Key_F3);
        QCOMPARE(w.form->result(), int(QDialog::Accepted));
        QCOMPARE(w.dialog.DisplayText(), QStringLiteral(" 档案名称 相似 合同"));
    }

    void numericFieldHasNoLike()
    {
        Window w;
        w.choose(QStringLiteral("页数"));
        QVERIFY(!w.relations().contains(QStringLiteral("相似")));
        QCOMPARE(w.form->TextEdit()->EditType(), etFloat);
        w.form->TextEdit()->setFocus();
        QTest::keyClicks(w.form->TextEdit(), QStringLiteral("1x2.5"));
        QCOMPARE(w.form->TextEdit()->text(), QStringLiteral("12.5"));
        // The next field has 相似 again, at the top.
        w.choose(QStringLiteral("档案名称"));
        QCOMPARE(w.relations().first(), QStringLiteral("相似"));
        QVERIFY(w.form->TextEdit()->text().isEmpty());
    }

    void connectorsAndClearing()
    {
        RecordingSink sink;
        Window w;
        w.choose(QStringLiteral("档案名称"), QStringLiteral("等于"));
        ComponentTest::commitText(w.form->TextEdit(), QStringLiteral("甲"));
        w.form->DownButton()->click();
        w.choose(QStringLiteral("页数"), QStringLiteral("大于等于"));
        w.form->TextEdit()->setText(QStringLiteral("5"));
        w.form->DownButton()->click();
        QCOMPARE(sink.texts(), QStringList({QStringLiteral("必须有一个查找逻辑")}));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.form->AndButton()));
        QCOMPARE(w.lines().size(), 1);
        w.form->OrButton()->setChecked(true);
        w.form->DownButton()->click();
        QCOMPARE(w.lines(),
                 QStringList({QStringLiteral(" 档案名称 等于 甲"), QStringLiteral(" 或着 页数 大于等于 5")}));
        QCOMPARE(w.form->conditionList().pieces(),
                 QStringList({QStringLiteral("ARCHIVE_NAME = '甲'"), QStringLiteral(" or NUMBER_FIELD1 >= 5")}));

        // Deleting the first leaves one piece without a connector.
        QVERIFY(!w.form->ClearButton()->isEnabled());
        w.form->ListBox1()->setCurrentRow(0);
        QVERIFY(w.form->ClearButton()->isEnabled());
        w.form->ClearButton()->click();
        QVERIFY(!w.form->ClearButton()->isEnabled());
        QCOMPARE(w.lines(), QStringList({QStringLiteral(" 或着 页数 大于等于 5")}));
        w.form->SureButton()->click();
        QCOMPARE(w.form->result(), int(QDialog::Accepted));
        QCOMPARE(w.dialog.Conditions(), QStringList({QStringLiteral("NUMBER_FIELD1 >= 5")}));

        // The last line removed: 确定 is off again, and F3 says why.
        w.form->show();
        w.form->ListBox1()->setCurrentRow(0);
        w.form->ClearButton()->click();
        QVERIFY(!w.form->SureButton()->isEnabled());
        sink.clear();
        QTest::keyClick(w.form->ComboBox1(), Qt::Key_F3);
        QCOMPARE(sink.texts(), QStringList({QStringLiteral("没有查找表达式")}));
        QVERIFY(w.form->isVisible());
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("relation");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("month");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("no field") << ""
                                  << ""
                                  << ""
                                  << ""
                                  << ""
                                  << "必须有一个查找字段"
                                  << "ComboBox1";
        QTest::newRow("no relation") << "档案名称"
                                     << ""
                                     << "x"
                                     << ""
                                     << ""
                                     << "必须有一个查找关系"
                                     << "ComboBox2";
        QTest::newRow("no value") << "档案名称"
                                  << "等于"
                                  << " "
                                  << ""
                                  << ""
                                  << "必须有一个查找的值"
                                  << "TextEdit";
        QTest::newRow("no year") << "归档年月"
                                 << "等于"
                                 << ""
                                 << ""
                                 << "08"
                                 << "必须有一个查找的年份"
                                 << "YearEdit";
        QTest::newRow("bad year") << "归档年月"
                                  << "等于"
                                  << ""
                                  << "208"
                                  << "08"
                                  << "错误的年份,正确的年份如2000年是:“2000”"
                                  << "YearEdit";
        QTest::newRow("no month") << "归档年月"
                                  << "等于"
                                  << ""
                                  << "2008"
                                  << ""
                                  << "必须有一个查找的月份"
                                  << "MonthEdit";
        QTest::newRow("bad month") << "归档年月"
                                   << "等于"
                                   << ""
                                   << "2008"
                                   << "8"
                                   << "错误的月份,正确的月份如8月是:“08”"
                                   << "MonthEdit";
        QTest::newRow("no date") << "归档日期"
                                 << "等于"
                                 << ""
                                 << ""
                                 << ""
                                 << "必须有一个查找的日期"
                                 << "DateEdit";
        QTest::newRow("bad date") << "归档日期"
                                  << "等于"
                                  << "2000-8-08"
                                  << ""
                                  << ""
                                  << "错误的日期格式,正确的日期格式如2000年8月8日是:“2000-08-08”"
                                  << "DateEdit";
        QTest::newRow("no key") << "档案类别"
                                << "等于"
                                << "文书"
                                << ""
                                << ""
                                << "必须从弹出的窗口里选择一个值"
                                << "DateEdit";
    }

    void refusals()
    {
        QFETCH(QString, field);
        QFETCH(QString, relation);
        QFETCH(QString, value);
        QFETCH(QString, year);
        QFETCH(QString, month);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        RecordingSink sink;
        Window w;
        // One condition collected before; a refusal leaves it.
        w.choose(QStringLiteral("档案名称"), QStringLiteral("等于"));
        w.form->TextEdit()->setText(QStringLiteral("甲"));
        w.form->DownButton()->click();
        w.form->AndButton()->setChecked(true);
        if (field.isEmpty()) {
            w.form->ComboBox1()->setCurrentIndex(-1);
        } else {
            w.choose(field, relation);
            if (relation.isEmpty())
                w.form->ComboBox2()->setCurrentIndex(-1);
        }
        w.form->TextEdit()->setText(value);
        w.form->DateEdit()->setText(value);
        w.form->YearEdit()->setText(year);
        w.form->MonthEdit()->setText(month);
        w.form->DownButton()->click();
        QCOMPARE(sink.texts(), QStringList({message}));
        QVERIFY(QApplication::focusWidget());
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        QCOMPARE(w.lines().size(), 1);
    }

    void yearAndMonth()
    {
        Window w;
        w.choose(QStringLiteral("归档年月"));
        QVERIFY(!w.relations().contains(QStringLiteral("相似")));
        QVERIFY(w.form->YearEdit()->isVisible());
        QVERIFY(w.form->MonthEdit()->isVisible());
        QVERIFY(!w.form->TextEdit()->isVisible());
        w.form->ComboBox2()->setCurrentIndex(w.form->ComboBox2()->findText(QStringLiteral("大于等于")));
        w.form->YearEdit()->setText(QStringLiteral("2008"));
        w.form->MonthEdit()->setText(QStringLiteral("11"));
        ComponentTest::shoot(w.form, QStringLiteral("findform-year"));
        w.form->DownButton()->click();
        QCOMPARE(w.lines(), QStringList({QStringLiteral(" 归档年月 大于等于 2008年11月")}));
        QCOMPARE(w.form->conditions(), QStringList({QStringLiteral("DATE_FIELD2 >= '2008-11-01'")}));
    }

    void datePicker()
    {
        Window w;
        w.choose(QStringLiteral("归档日期"), QStringLiteral("等于"));
        QVERIFY(w.form->DateEdit()->isVisible());
        w.form->DateEdit()->setText(QStringLiteral("2009-03-25"));
        QString title, ok, close, shown;
        ComponentTest::onNextModal([&](QWidget* m) {
            auto* picker = qobject_cast<TDateForm*>(m);
            QVERIFY(picker);
            title = picker->windowTitle();
            ok = picker->OkButton()->text();
            close = picker->CloseButton()->text();
            shown = picker->TitleLabel()->text();
            ComponentTest::shoot(picker, QStringLiteral("dateform"));
            picker->findChild<QAbstractButton*>(QStringLiteral("button_NextMonth"))->click();
            QTest::keyClick(picker->Calendar(), Qt::Key_F3);
        });
        w.form->DateEdit()->clickButton();
        QCOMPARE(title, QStringLiteral("日期选择窗口"));
        QCOMPARE(ok, QStringLiteral("确认[F3]"));
        QCOMPARE(close, QStringLiteral("关闭[F12]"));
        QCOMPARE(shown, QStringLiteral("2009-03-25"));
        QCOMPARE(w.form->DateEdit()->text(), QStringLiteral("2009-04-25"));
        // Enter in the date edit opens it too; 关闭 leaves the value.
        ComponentTest::onNextModal([](QWidget* m) { QTest::keyClick(m, Qt::Key_F12); });
        QTest::keyClick(w.form->DateEdit(), Qt::Key_Return);
        QCOMPARE(w.form->DateEdit()->text(), QStringLiteral("2009-04-25"));
        w.form->DownButton()->click();
        QCOMPARE(w.form->conditions(),
                 QStringList({QStringLiteral("(DATE_FIELD1 >= '2009-04-25' AND DATE_FIELD1 < '2009-04-26')")}));
    }

    void valueLists()
    {
        Window w;
        QString asked;
        w.form->setSelectSql([&](QString& value, QComboBox* combo) {
            asked = value;
            combo->addItems({QStringLiteral("001"), QStringLiteral("002")});
        });
        w.choose(QStringLiteral("状态"), QStringLiteral("等于"));
        QVERIFY(w.form->ComboBox3()->isVisible());
        QVERIFY(!w.relations().contains(QStringLiteral("相似")));
        QCOMPARE(w.form->ComboBox3()->count(), 2);
        QCOMPARE(w.form->ComboBox3()->itemText(1), QStringLiteral("停用"));
        w.choose(QStringLiteral("类别编号"), QStringLiteral("相似"));
        QCOMPARE(asked, QStringLiteral("ARCHIVE_TYPE_ID"));
        QCOMPARE(w.form->ComboBox3()->count(), 2);
        w.form->ComboBox3()->setCurrentIndex(1);
        w.form->DownButton()->click();
        QCOMPARE(w.lines(), QStringList({QStringLiteral(" 类别编号 相似 002")}));
    }

    void popupKeys()
    {
        RecordingSink sink;
        Window w;
        QString askedField, askedValue;
        w.form->setPopupWindow([&](QString& value, QString& id, const QString& fieldName) {
            askedField = fieldName;
            askedValue = value;
            if (fieldName == QLatin1String("ARCHIVE_TYPE_NAME")) {
                value = QStringLiteral("文书档案");
                id = QStringLiteral("001");
            } else if (fieldName == QLatin1String("RETURN_DATE")) {
                value = QStringLiteral("未归还");
                id = QStringLiteral(" (RETURN_DATE IS NULL)@");
            } else {
                value = QStringLiteral("停用");
                id = QStringLiteral(" (TEXT_FIELD2 = '停用')@");
            }
        });
        w.choose(QStringLiteral("档案类别"), QStringLiteral("等于"));
        QCOMPARE(w.form->DateEdit()->palette().color(QPalette::Text), QColor(255, 0, 0));
        w.form->DateEdit()->clickButton();
        QCOMPARE(askedField, QStringLiteral("ARCHIVE_TYPE_NAME"));
        QCOMPARE(w.form->DateEdit()->text(), QStringLiteral("文书档案"));
        w.form->DateEdit()->setText(QStringLiteral("文书档案X"));
        w.form->DownButton()->click();
        QCOMPARE(sink.texts(), QStringList({QStringLiteral("选择出来的值不能改变")}));
        w.form->DateEdit()->setText(QStringLiteral("文书档案"));
        w.form->DownButton()->click();
        QCOMPARE(w.form->conditions().last(), QStringLiteral("ARCHIVE_TYPE_ID = '001'"));

        // BS: the relation is 等于 and cannot be changed; the key is the condition.
        w.form->AndButton()->setChecked(true);
        w.choose(QStringLiteral("借阅状态"));
        QVERIFY(!w.form->ComboBox2()->isEnabled());
        QCOMPARE(w.form->ComboBox2()->currentText(), QStringLiteral("等于"));
        QVERIFY(!w.form->DateEdit()->DirectInput());
        QCOMPARE(w.form->DateEdit()->palette().color(QPalette::Text), QColor(0, 0, 255));
        QTest::keyClick(w.form->DateEdit(), Qt::Key_Return);
        w.form->DownButton()->click();
        QCOMPARE(w.lines().last(), QStringLiteral(" 并且  借阅状态 等于 未归还"));
        QCOMPARE(w.form->conditions().last(), QStringLiteral(" and (RETURN_DATE IS NULL)"));

        // BF with a key holding "@": the relation becomes fixed and the part before "@" is the condition.
        w.choose(QStringLiteral("档案编号"));
        QVERIFY(w.form->ComboBox2()->isEnabled());
        QCOMPARE(w.form->ComboBox2()->currentText(), QStringLiteral("等于"));
        w.form->DateEdit()->clickButton();
        QVERIFY(!w.form->ComboBox2()->isEnabled());
        w.form->DownButton()->click();
        QCOMPARE(w.form->conditions().last(), QStringLiteral(" and (TEXT_FIELD2 = '停用')"));
        ComponentTest::shoot(w.form, QStringLiteral("findform-three"));
    }

    void allData()
    {
        Window w(true);
        QVERIFY(w.form->AllDataButton()->isVisible());
        w.choose(QStringLiteral("档案名称"), QStringLiteral("等于"));
        w.form->TextEdit()->setText(QStringLiteral("甲"));
        w.form->DownButton()->click();
        w.form->AllDataButton()->click();
        QCOMPARE(w.form->result(), int(QDialog::Accepted));
        QVERIFY(w.dialog.AllData());
        QVERIFY(w.dialog.Conditions().isEmpty());
        QVERIFY(w.lines().isEmpty());
    }

    void executeKeepsConditionsUntilCleared()
    {
        TFindFormDialog dialog;
        dialog.SetFields(fields());
        dialog.FieldIndex = 0;
        dialog.ConnectionIndex = 1;
        ComponentTest::onNextModal([](QWidget* m) {
            auto* form = qobject_cast<TQnFindForm*>(m);
            QVERIFY(form);
            QCOMPARE(form->ComboBox1()->currentText(), QStringLiteral("档案名称"));
            QCOMPARE(form->ComboBox2()->currentText(), QStringLiteral("等于"));
            form->TextEdit()->setText(QStringLiteral("O'Brien"));
            form->DownButton()->click();
            QTest::keyClick(form->TextEdit(), Qt::Key_F3);
        });
        QVERIFY(dialog.Execute());
        QCOMPARE(dialog.Conditions(), QStringList({QStringLiteral("ARCHIVE_NAME = 'O''Brien'")}));
        QVERIFY(!dialog.AllData());

        // Shown again: the conditions are still there; F12 cancels.
        dialog.FieldIndex = -1;
        dialog.ConnectionIndex = -1;
        int lines = -1;
        ComponentTest::onNextModal([&](QWidget* m) {
            lines = m->findChild<QListWidget*>(QStringLiteral("ListBox1"))->count();
            QTest::keyClick(m->findChild<QWidget*>(QStringLiteral("ComboBox1")), Qt::Key_F12);
        });
        QVERIFY(!dialog.Execute());
        QCOMPARE(lines, 1);
        dialog.Clear();
        QVERIFY(dialog.Conditions().isEmpty());
        QCOMPARE(dialog.form()->ComboBox1()->count(), 0);
    }

    void enterMovesOn()
    {
        Window w;
        w.choose(QStringLiteral("档案名称"));
        w.form->ComboBox1()->setFocus();
        QTest::keyClick(w.form->ComboBox1(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.form->ComboBox2()));
        QVERIFY(w.form->isVisible());
        QTest::keyClick(w.form->ComboBox2(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.form->TextEdit()));
        QTest::keyClick(w.form->TextEdit(), Qt::Key_Return);
        QVERIFY(w.form->isVisible());
    }

    void simpleDialog()
    {
        RecordingSink sink;
        TFindSimpleFormDialog dialog;
        dialog.SetFields(fields());
        dialog.prepare();
        TQnFindForm* form = dialog.form();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        QVERIFY(!form->ListBox1()->isVisible());
        QVERIFY(!form->DownButton()->isVisible());
        QVERIFY(!form->AndButton()->isVisible());
        QVERIFY(form->SureButton()->isEnabled());
        form->SureButton()->click();
        QCOMPARE(sink.texts(), QStringList({QStringLiteral("必须有一个查找字段")}));
        form->ComboBox1()->setCurrentIndex(form->ComboBox1()->findText(QStringLiteral("页数")));
        emit form->ComboBox1()->activated(form->ComboBox1()->currentIndex());
        form->ComboBox2()->setCurrentIndex(form->ComboBox2()->findText(QStringLiteral("不等于")));
        form->TextEdit()->setText(QStringLiteral("3"));
        ComponentTest::shoot(form, QStringLiteral("findsimpleform"));
        QTest::keyClick(form->TextEdit(), Qt::Key_F3);
        QCOMPARE(form->result(), int(QDialog::Accepted));
        QCOMPARE(dialog.Condition(), QStringLiteral("NUMBER_FIELD1 <> 3"));
    }

    void inputMethodAndColours()
    {
        TFindFormDialog dialog;
        dialog.SetFields(fields());
        dialog.ImeName = QStringLiteral("pinyin");
        dialog.Color = QColor(1, 2, 3);
        dialog.ColorOnFocus = QColor(4, 5, 6);
        dialog.prepare();
        QCOMPARE(controlImeName(dialog.form()->TextEdit()), QStringLiteral("pinyin"));
        QCOMPARE(controlImeName(dialog.form()->DateEdit()), QStringLiteral("pinyin"));
        QCOMPARE(dialog.form()->TextEdit()->Color(), QColor(1, 2, 3));
        QCOMPARE(dialog.form()->TextEdit()->ColorOnFocus(), QColor(4, 5, 6));

        // ApplyInputMethod reaches the find dialogs of a window and skips controls tagged 100.
        QWidget window;
        auto* edit = new TQnEdit(&window);
        auto* own = new TQnEdit(&window);
        own->setProperty("tag", 100);
        own->setImeName(QStringLiteral("own"));
        auto* find = new TFindFormDialog(&window);
        ApplyInputMethod(&window, QStringLiteral("wubi"));
        QCOMPARE(edit->ImeName(), QStringLiteral("wubi"));
        QCOMPARE(own->ImeName(), QStringLiteral("own"));
        QCOMPARE(find->ImeName, QStringLiteral("wubi"));
    }

    void statusForm()
    {
        RecordingSink sink;
        QString state, condition;
        ComponentTest::onNextModal([](QWidget* m) {
            QCOMPARE(m->windowTitle(), QStringLiteral("状态选择窗口"));
            auto* ok = m->findChild<QPushButton*>(QStringLiteral("button_ok"));
            ok->click();
            auto* combo = m->findChild<QComboBox*>(QStringLiteral("ComboBox1"));
            combo->setCurrentIndex(combo->findText(QStringLiteral("未归还")));
            ComponentTest::shoot(m, QStringLiteral("statusform"));
            ok->click();
        });
        QVERIFY(PickLendState(&state, &condition, QStringLiteral("L")));
        QCOMPARE(sink.texts(), QStringList({QStringLiteral("必须选择状态")}));
        QCOMPARE(state, QStringLiteral("未归还"));
        QCOMPARE(condition, QStringLiteral(" (L.RETURN_DATE IS NULL)@"));
        ComponentTest::onNextModal(
            [](QWidget* m) { m->findChild<QPushButton*>(QStringLiteral("button_close"))->click(); });
        QVERIFY(!PickLendState(&state, &condition));
    }
};

QTEST_MAIN(TestFindForm)
#include "tst_findform.moc"
