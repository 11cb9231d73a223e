#include "AppContext.h"

namespace {
AppContext g_context;
}

AppContext& AppContext::instance()
{
    return g_context;
}

void AppContext::reset()
{
    g_context = AppContext();
}
