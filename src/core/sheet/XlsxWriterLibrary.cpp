#include "XlsxWriterLibrary.h"

#include <dlfcn.h>

#include <mutex>

#ifndef VUZAZO_XLSXWRITER_LIBRARY
#define VUZAZO_XLSXWRITER_LIBRARY "libxlsxwriter.so.4"
#endif

namespace {

XlsxWriterLibrary g_library;
QString g_error;
std::once_flag g_once;

template <typename F> bool resolve(void* handle, const char* name, F* target)
{
    *target = reinterpret_cast<F>(dlsym(handle, name));
    return *target != nullptr;
}

void load()
{
    void* handle = nullptr;
    for (const char* name : {VUZAZO_XLSXWRITER_LIBRARY, "libxlsxwriter.so"}) {
        handle = dlopen(name, RTLD_NOW | RTLD_LOCAL | RTLD_DEEPBIND);
        if (handle)
            break;
    }
    if (!handle) {
        g_error = QStringLiteral("电子表格写入库 libxlsxwriter 不能加载: %1").arg(QString::fromLocal8Bit(dlerror()));
        return;
    }
    XlsxWriterLibrary lib;
    const bool ok = resolve(handle, "workbook_new_opt", &lib.workbook_new_opt) &&
                    resolve(handle, "workbook_add_worksheet", &lib.workbook_add_worksheet) &&
                    resolve(handle, "workbook_add_format", &lib.workbook_add_format) &&
                    resolve(handle, "workbook_close", &lib.workbook_close) &&
                    resolve(handle, "format_set_num_format", &lib.format_set_num_format) &&
                    resolve(handle, "worksheet_write_string", &lib.worksheet_write_string) &&
                    resolve(handle, "worksheet_write_number", &lib.worksheet_write_number) &&
                    resolve(handle, "worksheet_write_blank", &lib.worksheet_write_blank) &&
                    resolve(handle, "worksheet_set_column", &lib.worksheet_set_column) &&
                    resolve(handle, "lxw_strerror", &lib.lxw_strerror);
    if (!ok) {
        g_error = QStringLiteral("电子表格写入库 libxlsxwriter 版本不符");
        dlclose(handle);
        return;
    }
    g_library = lib; // the library stays loaded for the life of the process
}

} // namespace

const XlsxWriterLibrary* XlsxWriterLibrary::get(QString* error)
{
    std::call_once(g_once, load);
    if (!g_library.workbook_new_opt) {
        if (error)
            *error = g_error;
        return nullptr;
    }
    return &g_library;
}
