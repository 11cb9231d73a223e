#include "ProgramWindows.h"

#include "MainForm.h"
#include "NumberingForm.h"
#include "archive/ArchiveTypeForm.h"
#include "archive/CompanyForm.h"

#include <QHash>

namespace {

QHash<QString, ProgramWindows::Entry>& table()
{
    static QHash<QString, ProgramWindows::Entry> entries = {
        {QStringLiteral("action_ArchiveType"),
         {QStringLiteral("ArchiveTypeForm"),
          [](TMainForm& main, const ProgramPreset&) -> QWidget* { return new TArchiveTypeForm(&main); },
          {}}},
        {QStringLiteral("action_Company"),
         {QStringLiteral("CompanyForm"),
          [](TMainForm& main, const ProgramPreset&) -> QWidget* { return new TCompanyForm(&main); },
          {}}},
        {QStringLiteral("action_Numbering"),
         {QString(),
          {},
          [](TMainForm& main) {
              TNumberingForm form(&main);
              form.exec();
          }}},
    };
    return entries;
}

} // namespace

namespace ProgramWindows {

const Entry* find(const QString& entryName)
{
    auto it = table().constFind(entryName);
    return it == table().constEnd() || !it->isValid() ? nullptr : &it.value();
}

void set(const QString& entryName, const Entry& entry)
{
    table().insert(entryName, entry);
}

void remove(const QString& entryName)
{
    table().remove(entryName);
}

} // namespace ProgramWindows
