#pragma once

#include <QString>

#include <xlsxwriter.h>

// libxlsxwriter, loaded privately. It writes its zip through the system minizip, and QuaZip (which reads
// workbooks) exports its own, different copy of the same zip* and unz* functions: linked into one process
// normally, one library's calls land in the other's copy and crash. Loading libxlsxwriter with its own
// dependencies bound first (RTLD_DEEPBIND) keeps each library on its own minizip.
struct XlsxWriterLibrary
{
    decltype(&::workbook_new_opt) workbook_new_opt = nullptr;
    decltype(&::workbook_add_worksheet) workbook_add_worksheet = nullptr;
    decltype(&::workbook_add_format) workbook_add_format = nullptr;
    decltype(&::workbook_close) workbook_close = nullptr;
    decltype(&::format_set_num_format) format_set_num_format = nullptr;
    decltype(&::worksheet_write_string) worksheet_write_string = nullptr;
    decltype(&::worksheet_write_number) worksheet_write_number = nullptr;
    decltype(&::worksheet_write_blank) worksheet_write_blank = nullptr;
    decltype(&::worksheet_set_column) worksheet_set_column = nullptr;
    decltype(&::lxw_strerror) lxw_strerror = nullptr;

    // The loaded library, or nullptr with the reason in *error.
    static const XlsxWriterLibrary* get(QString* error);
};
