#include "checks/administrator_win.h"

#include "checks/administrator.h"
#include "framework/string_table_win.h"

namespace gr {

bool IsAdministratorRequired(HINSTANCE module) {
    return AdministratorRequiredByEntry(LoadStringResource(module, kAdministratorRequiredEntry));
}

}  // namespace gr
