#include "TestSupport.h"

#include "component/QnComboBox.h"
#include "component/QnComboEdit.h"
#include "component/QnDBComboBox.h"
#include "component/QnDBComboEdit.h"
#include "component/QnDBEdit.h"
#include "component/QnDataSource.h"
#include "component/QnEdit.h"
#include "component/QnPanel.h"

#include "common/AppContext.h"
#include "query/QnQuery.h"

#include <QApplication>
#include <QFormLayout>
#include <QInputMethodEvent>
#include <QLabel>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <QToolButton>

#include <functional>

// Typing into every kind of input control: the key filter of each edit type, the maximum lengths, the
// input-method memory, the focus colour and the combo edit's button.
class TestQnInput : public QObject
{
    Q_OBJECT

private:
    QWidget* m_window = nullptr;
    TQnEdit* m_edit = nullptr;
    TQnComboBox* m_combo = nullptr;
    TQnComboEdit* m_comboEdit = nullptr;
    TQnLComboEdit* m_labelEdit = nullptr;
    TQnEdit* m_other = nullptr;

    QLineEdit* control(const QString& kind, TEditTypes type)
    {
        QLineEdit* e = nullptr;
        if (kind == "edit") {
            m_edit->setEditType(type);
            e = m_edit;
        } else if (kind == "combo") {
            m_combo->setEditType(type);
            e = m_combo->lineEdit();
        } else if (kind == "comboedit") {
            m_comboEdit->setEditType(type);
            e = m_comboEdit;
        } else {
            m_labelEdit->setEditType(type);
            e = m_labelEdit;
        }
        e->clear();
        e->setMaxLength(32767);
        return e;
    }
    QWidget* focusTarget(const QString& kind)
    {
        if (kind == "edit")
            return m_edit;
        if (kind == "combo")
            return m_combo;
        if (kind == "comboedit")
            return m_comboEdit;
        return m_labelEdit;
    }
    static void commit(QWidget* w, const QString& text)
    {
        QInputMethodEvent e;
        e.setCommitString(text);
        QApplication::sendEvent(w, &e);
    }

private slots:
    void initTestCase()
    {
        m_window = new QWidget;
        auto* form = new QFormLayout(m_window);
        m_edit = new TQnEdit;
        m_combo = new TQnComboBox;
        m_comboEdit = new TQnComboEdit;
        m_labelEdit = new TQnLComboEdit;
        m_other = new TQnEdit;
        m_labelEdit->setButtonCaption(QStringLiteral("时"));
        m_comboEdit->setGlyphKind(gkEllipsis);
        form->addRow(QStringLiteral("编辑"), m_edit);
        form->addRow(QStringLiteral("组合"), m_combo);
        form->addRow(QStringLiteral("选择"), m_comboEdit);
        form->addRow(QStringLiteral("时间"), m_labelEdit);
        form->addRow(QStringLiteral("其它"), m_other);
        m_window->resize(360, 200);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window));
    }
    void cleanupTestCase() { delete m_window; }
    void init()
    {
        // A test with a window of its own leaves the shared window inactive.
        if (!m_window->isActiveWindow()) {
            m_window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(m_window));
        }
    }

    void typing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("expected");

        const QStringList kinds = {"edit", "combo", "comboedit", "label"};
        for (const QString& k : kinds) {
            const QByteArray p = k.toLatin1() + ": ";
            QTest::newRow(p + "integer refuses a second minus") << k << int(etInteger) << "1-2-3"
                                                                << "1-23";
            QTest::newRow(p + "integer refuses letters and blanks") << k << int(etInteger) << "1a 2.5"
                                                                    << "125";
            QTest::newRow(p + "decimal comma becomes point") << k << int(etFloat) << "3,5"
                                                             << "3.5";
            QTest::newRow(p + "decimal second point refused") << k << int(etFloat) << "3.5.1"
                                                              << "3.51";
            QTest::newRow(p + "decimal point after comma refused") << k << int(etFloat) << "-1,2,3-"
                                                                   << "-1.23";
            QTest::newRow(p + "date refuses letters") << k << int(etDate) << "2024x-0a1-15"
                                                      << "2024-01-15";
            QTest::newRow(p + "date with slashes") << k << int(etDate) << "2024/01/15"
                                                   << "2024/01/15";
            QTest::newRow(p + "date never exceeds 10") << k << int(etDate) << "2024-01-15123"
                                                       << "2024-01-15";
            QTest::newRow(p + "string takes anything") << k << int(etString) << "Ab 1-,.x"
                                                       << "Ab 1-,.x";
            QTest::newRow(p + "phone takes anything") << k << int(etPhone) << "0571-8888 x2"
                                                      << "0571-8888 x2";
        }
        QTest::newRow("label: time digits and colon") << "label" << int(etTime) << "12:3a0"
                                                      << "12:30";
    }
    void typing()
    {
        QFETCH(QString, kind);
        QFETCH(int, type);
        QFETCH(QString, keys);
        QFETCH(QString, expected);
        QLineEdit* e = control(kind, TEditTypes(type));
        QWidget* target = focusTarget(kind);
        m_other->setFocus();
        target->setFocus();
        QTRY_VERIFY(target->hasFocus());
        QTest::keyClicks(target, keys);
        QCOMPARE(e->text(), expected);
    }

    // The data-aware kinds filter the same way while their record is being added, and the typed text goes
    // into the record; the mask edit is always a text field.
    void typingIntoDataAwareControls_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("expected");
        for (const char* k : {"dbedit", "dbcombo", "dbcomboedit", "ldbcomboedit"}) {
            const QByteArray p = QByteArray(k) + ": ";
            QTest::newRow(p + "integer refuses a second minus") << k << int(etInteger) << "1-2-3"
                                                                << "1-23";
            QTest::newRow(p + "decimal comma becomes point") << k << int(etFloat) << "3,5.1"
                                                             << "3.51";
            QTest::newRow(p + "date refuses letters") << k << int(etDate) << "2009x-03-25123"
                                                      << "2009-03-25";
            QTest::newRow(p + "string takes anything") << k << int(etString) << "Ab 1-,.x"
                                                       << "Ab 1-,.x";
        }
        QTest::newRow("medit: always text") << "medit" << int(etString) << "1a-2-,."
                                            << "1a-2-,.";
    }
    void typingIntoDataAwareControls()
    {
        QFETCH(QString, kind);
        QFETCH(int, type);
        QFETCH(QString, keys);
        QFETCH(QString, expected);
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        QWidget window;
        auto* layout = new QFormLayout(&window);
        TQnQuery query(&window);
        query.setTableName(QStringLiteral("QN_ARCHIVE_LEND_TABLE"));
        query.setSql(QStringLiteral("SELECT * FROM QN_ARCHIVE_LEND_TABLE"));
        TQnDataSource ds(&window);
        ds.setDataSet(&query);
        QWidget* target = nullptr;
        std::function<QString()> shown;
        const QString column = QStringLiteral("NOTE");
        if (kind == "dbedit") {
            auto* c = new TQnDBEdit;
            c->setEditType(TEditTypes(type));
            c->setDataSource(&ds);
            c->setDataField(column);
            target = c;
            shown = [c] { return c->text(); };
        } else if (kind == "dbcombo") {
            auto* c = new TQnDBComboBox;
            c->setEditType(TEditTypes(type));
            c->setDataSource(&ds);
            c->setDataField(column);
            target = c;
            shown = [c] { return c->currentText(); };
        } else if (kind == "dbcomboedit") {
            auto* c = new TQnDBComboEdit;
            c->setEditType(TEditTypes(type));
            c->setDataSource(&ds);
            c->setDataField(column);
            target = c;
            shown = [c] { return c->text(); };
        } else if (kind == "ldbcomboedit") {
            auto* c = new TQnLDBComboEdit;
            c->setEditType(TEditTypes(type));
            c->setDataSource(&ds);
            c->setDataField(column);
            target = c;
            shown = [c] { return c->text(); };
        } else {
            auto* c = new TQnMEdit;
            target = c;
            shown = [c] { return c->text(); };
        }
        auto* next = new TQnEdit;
        layout->addRow(QStringLiteral("备注"), target);
        layout->addRow(QStringLiteral("其它"), next);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        query.OpenQuery();
        query.AppendRecord();
        target->setFocus();
        QTRY_VERIFY(target->hasFocus());
        QTest::keyClicks(target, keys);
        QCOMPARE(shown(), expected);
        next->setFocus(); // leaving the control writes the text into the record
        QTRY_VERIFY(next->hasFocus());
        if (kind != "medit")
            QCOMPARE(query.text(column), expected);
        if (kind == "dbedit" || kind == "dbcomboedit" || kind == "ldbcomboedit") {
            // Escape puts back the value the field had on entering it, in the control and the record.
            target->setFocus();
            QTRY_VERIFY(target->hasFocus());
            QTest::keyClicks(target, QStringLiteral("9"));
            QTest::keyClick(target, Qt::Key_Escape);
            QCOMPARE(shown(), expected);
            QCOMPARE(query.text(column), expected);
        }
        query.CancelRecord();
    }

    void integerMaxLengthWithMinus()
    {
        QLineEdit* e = control("edit", etInteger);
        m_edit->setFocus();
        QTest::keyClicks(m_edit, "12");
        QCOMPARE(e->maxLength(), 32767);
        QTest::keyClicks(m_edit, "-");
        QCOMPARE(e->maxLength(), 11);
        QTest::keyClicks(m_edit, "345678901234");
        QCOMPARE(e->text().size(), 11);
    }

    void maxLengthOnEntry_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("preset");
        QTest::addColumn<int>("expected");
        QTest::newRow("decimal without limit gets 16") << int(etFloat) << 32767 << 16;
        QTest::newRow("decimal keeps its own limit") << int(etFloat) << 12 << 12;
        QTest::newRow("date always 10") << int(etDate) << 30 << 10;
        QTest::newRow("string unchanged") << int(etString) << 40 << 40;
    }
    void maxLengthOnEntry()
    {
        QFETCH(int, type);
        QFETCH(int, preset);
        QFETCH(int, expected);
        m_other->setFocus();
        m_edit->setEditType(TEditTypes(type));
        m_edit->setMaxLength(preset);
        m_edit->setFocus();
        QTRY_VERIFY(m_edit->hasFocus());
        QCOMPARE(m_edit->maxLength(), expected);
    }

    void selectionFromStartIsReplaced()
    {
        QLineEdit* e = control("edit", etInteger);
        e->setText("123");
        m_edit->setFocus();
        e->selectAll();
        QTest::keyClicks(m_edit, "x");
        QCOMPARE(e->text(), QStringLiteral("x"));
        // A selection that does not start at the first character is filtered.
        e->setText("123");
        e->setSelection(1, 2);
        QTest::keyClicks(m_edit, "y");
        QCOMPARE(e->text(), QStringLiteral("123"));
    }

    void chineseCommitIntoText()
    {
        control("edit", etString);
        m_edit->setFocus();
        commit(m_edit, QStringLiteral("档案"));
        QTest::keyClicks(m_edit, "A1");
        commit(m_edit, QStringLiteral("资料"));
        QCOMPARE(m_edit->text(), QStringLiteral("档案A1资料"));
    }

    void chineseCommitIntoNumberIsFiltered()
    {
        control("edit", etInteger);
        m_edit->setFocus();
        commit(m_edit, QStringLiteral("一2三4"));
        QCOMPARE(m_edit->text(), QStringLiteral("24"));
    }

    void inputMethodMemory()
    {
        m_other->setFocus();
        AppContext::instance().ImeName = QStringLiteral("搜狗拼音");
        QnInput::setActiveInputMethodProvider([] { return QString(); });
        m_edit->setEditType(etString);
        m_other->setEditType(etInteger);
        m_comboEdit->setEditType(etString);

        m_edit->setFocus();
        QVERIFY(m_edit->testAttribute(Qt::WA_InputMethodEnabled));
        QnInput::setActiveInputMethodProvider([] { return QStringLiteral("微软拼音"); });
        QCOMPARE(m_edit->ImeName(), QStringLiteral("搜狗拼音"));
        // Leaving a text field records the input method in use; a numeric field has none.
        m_other->setFocus();
        QCOMPARE(AppContext::instance().ImeName, QStringLiteral("微软拼音"));
        QVERIFY(!m_other->testAttribute(Qt::WA_InputMethodEnabled));
        QVERIFY(m_other->ImeName().isEmpty());
        // The next text field switches the same input method on again.
        m_comboEdit->setFocus();
        QVERIFY(m_comboEdit->testAttribute(Qt::WA_InputMethodEnabled));
        QCOMPARE(m_comboEdit->ImeName(), QStringLiteral("微软拼音"));
        QnInput::setActiveInputMethodProvider({});
        m_other->setEditType(etString);
    }

    void focusColour()
    {
        const QColor browse(248, 252, 226);
        const QColor aqua(0, 255, 255);
        m_other->setFocus();
        m_edit->setColor(browse);
        m_edit->setColorOnFocus(aqua);
        QCOMPARE(m_edit->shownColor(), browse);
        m_edit->setFocus();
        QCOMPARE(m_edit->shownColor(), aqua);
        m_other->setFocus();
        QCOMPARE(m_edit->shownColor(), browse);
        // A colour set while focused returns when the focus leaves.
        m_edit->setFocus();
        m_edit->setColor(Qt::white);
        QCOMPARE(m_edit->shownColor(), aqua);
        m_other->setFocus();
        QCOMPARE(m_edit->shownColor(), QColor(Qt::white));
        // Without FocusColorChange the colour stays.
        m_edit->setFocusColorChange(false);
        m_edit->setFocus();
        QCOMPARE(m_edit->shownColor(), QColor(Qt::white));
        m_edit->setFocusColorChange(true);
        m_other->setFocus();
    }

    void comboEditButton()
    {
        TQnComboEdit e;
        e.resize(150, 24);
        QSignalSpy clicks(&e, &TQnCustomComboEdit::buttonClicked);
        QCOMPARE(e.ButtonWidth(), 21);
        QCOMPARE(e.textMargins().right(), 21);
        e.setButtonEnabled(false);
        QCOMPARE(e.effectiveButtonWidth(), 0);
        QCOMPARE(e.textMargins().right(), 0);
        QVERIFY(e.button()->isHidden());
        e.setButtonEnabled(true);
        QCOMPARE(e.effectiveButtonWidth(), 21);
        QCOMPARE(e.textMargins().right(), 21);
        // Without ButtonVisible, ButtonEnabled only disables.
        e.setButtonVisible(false);
        QCOMPARE(e.effectiveButtonWidth(), 0);
        e.setButtonVisible(true);

        e.show();
        e.setFocus();
        QTest::keyClick(&e, Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(clicks.count(), 1);
        // DirectInput off: nothing can be typed, the button still works.
        e.setDirectInput(false);
        QVERIFY(e.isReadOnly());
        QTest::keyClicks(&e, "abc");
        QVERIFY(e.text().isEmpty());
        QTest::mouseClick(e.button(), Qt::LeftButton);
        QCOMPARE(clicks.count(), 2);
        e.setDirectInput(true);
        e.setReadOnly(true);
        QVERIFY(e.isReadOnly());
        e.setReadOnly(false);
        QVERIFY(!e.isReadOnly());
        // A disabled control has a disabled button.
        e.setEnabled(false);
        QVERIFY(!e.button()->isEnabled());
    }

    void glyphKinds()
    {
        TQnComboEdit e;
        e.setGlyphKind(gkDropDown);
        QCOMPARE(e.ButtonWidth(), e.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &e));
        QCOMPARE(e.button()->arrowType(), Qt::DownArrow);
        e.setGlyphKind(gkDefault);
        QVERIFY(e.ButtonWidth() >= 21);
        QVERIFY(!e.button()->icon().isNull());
        e.setGlyphKind(gkEllipsis);
        QCOMPARE(e.button()->iconSize().height(), 4);
    }

    void labelComboEdit()
    {
        TQnLComboEdit e;
        e.setButtonCaption(QStringLiteral("元"));
        e.resize(120, 24);
        e.show();
        QSignalSpy clicks(&e, &TQnLCustomComboEdit::buttonClicked);
        QTest::mouseClick(e.captionLabel(), Qt::LeftButton);
        QCOMPARE(clicks.count(), 1);
        e.setFocus();
        QTest::keyClick(&e, Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(clicks.count(), 2);
        QCOMPARE(e.textMargins().right(), 21);
    }

    void onSelect()
    {
        TQnEdit e;
        QVERIFY(!e.selectOnEnter());
        int calls = 0;
        e.setOnSelect([&](bool& value) {
            ++calls;
            QCOMPARE(value, false);
            value = true;
        });
        QVERIFY(e.selectOnEnter());
        QCOMPARE(calls, 1);
    }

    void panelAndLabel()
    {
        TQnPanel panel;
        QCOMPARE(panel.size(), QSize(185, 41));
        QCOMPARE(panel.ShadowWidth(), 2);
        QCOMPARE(panel.Color_High(), QColor(0xE8, 0xE8, 0xE0));
        QCOMPARE(panel.Color_Low(), QColor(0xA2, 0x8D, 0x68));
        // Children sit inside the face, not the shadow.
        QCOMPARE(panel.faceRect(), QRect(0, 0, 183, 39));
        QVERIFY(panel.contentsRect().right() < panel.faceRect().right());
        TQn3DLabel label;
        QVERIFY(label.sizeHint().width() > 0); // an empty caption is drawn as one blank
        label.setText(QStringLiteral("查找条件："));
        label.setDrawType(TCustomExtLabel::dtShadow);
        QCOMPARE(label.ShadowIndent(), 2);
        QVERIFY(!label.grab().isNull());
    }
};

QTEST_MAIN(TestQnInput)
#include "tst_qninput.moc"
