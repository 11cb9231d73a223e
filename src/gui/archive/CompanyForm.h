#pragma once

#include "component/QnDForm.h"

class TQnDBEdit;

// "单位资料编辑窗口": the one organisation record (name, address, post code, telephone, note). A saved name
// becomes AppContext.CompanyName and the main window's caption at once. Rights: "档案管理" /
// "单位名称录入编辑".
class TCompanyForm : public TQnDForm
{
    Q_OBJECT
public:
    explicit TCompanyForm(QWidget* parent = nullptr);

    TQnDBEdit* EditName() const { return m_name; }
    TQnDBEdit* EditPostcode() const { return m_postcode; }
    TQnDBEdit* EditAddress() const { return m_address; }
    TQnDBEdit* EditPhone() const { return m_phone; }
    TQnDBEdit* EditNote() const { return m_note; }

    static constexpr int Width = 500, Height = 300;

public slots:
    void button_addClick() override;
    void button_saveClick() override;

protected:
    void FormShow() override;

private:
    TQnDBEdit* addField(const QString& name, const QString& caption, const QString& column, int width);

    TQnDBEdit* m_name;
    TQnDBEdit* m_postcode;
    TQnDBEdit* m_address;
    TQnDBEdit* m_phone;
    TQnDBEdit* m_note;
};
