#pragma once

#include "query/QnQuery.h"

#include <QList>
#include <QString>
#include <QStringList>

// A relation offered by the find dialogs: the SQL operator and its caption.
struct TRelation
{
    QString op;
    QString caption;
};
using TRelationArray = QList<TRelation>;

// How a search condition is made from one field of a screen, its find kind (TFieldsData::findKind) and what
// the user entered. Every value reaches the SQL text through the quoting helpers; year, month and day
// comparisons become date ranges on the stored 'YYYY-MM-DD' text, so an index on the column serves them and
// November of one year still comes before January of the next.
namespace FindCondition {

inline const QString LikeOp = QStringLiteral("Like");
inline const QString LikeCaption = QStringLiteral("相似");
inline const QString EqualCaption = QStringLiteral("等于");

// ("Like", "相似"), ("=", "等于"), ("<>", "不等于"), ("<=", "小于等于"), (">=", "大于等于").
TRelationArray defaultRelations();

// Which value control a find kind uses and how the dialog treats it.
enum class ValueControl
{
    Text,      // TextEdit
    YearMonth, // YearEdit and MonthEdit
    Date,      // DateEdit with its button
    List       // ComboBox3
};

struct CodeTraits
{
    bool known = false;
    ValueControl control = ValueControl::Text;
    bool noLike = false;         // "相似" is not offered
    bool fixedEqual = false;     // the relation is 等于 and cannot be changed
    bool preselectEqual = false; // 等于 is chosen when the field is chosen (BF)
    bool datePicker = false;     // the button opens the date picker
    bool popup = false;          // the button opens the screen's pop-up window
    bool decimal = false;        // the value takes the decimal filter
    bool valueReadOnly = false;  // the value comes only from the pop-up
    bool needsKey = false;       // the value must be the pop-up's, unchanged (ES, ESB, ELS)
    enum Tint
    {
        Normal,
        Red,
        Blue
    } tint = Normal;
    bool listFromText = false;   // ComboBox3 is filled from the second text (B, BLS)
    bool listFromScreen = false; // ComboBox3 is filled by the screen (S)
};

// The find kind in upper case, as the dialogs compare it.
QString codeOf(const TFieldsData& field);
CodeTraits traits(const QString& code, const QString& valueKind);
// Whether the field is offered at all (a caption and a find kind), and the text it is offered under.
bool isOffered(const TFieldsData& field);
QString offeredCaption(const TFieldsData& field);

// What the user entered for one condition.
struct Entry
{
    QString op;       // operator of the chosen relation ("Like", "=", "<>", "<=", ">=")
    QString value;    // text of the value control (TextEdit, DateEdit or ComboBox3)
    QString year;     // code Y
    QString month;    // code Y
    QString key;      // the key the screen's pop-up returned
    QString keyValue; // the text the pop-up returned with that key
};

// Where the dialog puts the focus after a refusal.
enum class Focus
{
    None,
    FieldList,
    RelationList,
    Value,
    Year,
    Month
};

struct Result
{
    bool ok = false;
    QString condition;
    QString message;
    Focus focus = Focus::None;
};

// Checks the entry and builds the condition piece of the field's find kind.
Result build(const TFieldsData& field, const Entry& entry);
// The value as the display line shows it (code Y: year "年" month "月").
QString displayValue(const TFieldsData& field, const Entry& entry);

// Messages of the checks.
inline const QString NoField = QStringLiteral("必须有一个查找字段");
inline const QString NoRelation = QStringLiteral("必须有一个查找关系");
inline const QString NoValue = QStringLiteral("必须有一个查找的值");
inline const QString NoYear = QStringLiteral("必须有一个查找的年份");
inline const QString BadYear = QStringLiteral("错误的年份,正确的年份如2000年是:“2000”");
inline const QString NoMonth = QStringLiteral("必须有一个查找的月份");
inline const QString BadMonth = QStringLiteral("错误的月份,正确的月份如8月是:“08”");
inline const QString NoDate = QStringLiteral("必须有一个查找的日期");
inline const QString BadDate = QStringLiteral("错误的日期格式,正确的日期格式如2000年8月8日是:“2000-08-08”");
inline const QString NoKey = QStringLiteral("必须从弹出的窗口里选择一个值");
inline const QString KeyChanged = QStringLiteral("选择出来的值不能改变");
inline const QString NoConnector = QStringLiteral("必须有一个查找逻辑");
inline const QString NoConditions = QStringLiteral("没有查找表达式");
// A numeric field compared with a text that is no number would fail in the database; said at once instead.
inline const QString BadNumber = QStringLiteral("查找的值必须是一个数字");

} // namespace FindCondition

// The conditions collected by the multi-condition find dialog: SQL pieces and, at the same positions, the
// lines the user reads. The first piece has no connector; each later one starts with " and " or " or ".
class TFindConditionList
{
public:
    enum Connector
    {
        NoConnector,
        And,
        Or
    };

    // Adds a condition built for the field shown as caption with the relation caption and value text.
    // relationFixed: the relation list was disabled (the line reads "等于"). A later condition without a
    // connector is refused (false).
    bool add(const QString& condition, const QString& caption, const QString& relationCaption, const QString& valueText,
             bool relationFixed, Connector connector);
    void removeAt(int index);
    void clear();

    int count() const { return int(m_pieces.size()); }
    bool isEmpty() const { return m_pieces.isEmpty(); }
    QStringList pieces() const { return m_pieces; }
    QStringList lines() const { return m_lines; }
    QString displayText() const { return m_lines.join(QString()); }
    // The pieces as the caller appends them: a leading " and "/" or " is removed from the first.
    QStringList conditions() const;
    // The pieces joined (the first without connector), ready for a WHERE clause; empty when there are none.
    QString whereText() const { return conditions().join(QString()); }

private:
    QStringList m_pieces;
    QStringList m_lines;
};
