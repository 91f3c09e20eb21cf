#include "memberimport.h"

#include "kit/page/appstate.h"
#include "kit/page/shell.h"
#include "memberimportcheck.h"

namespace vorn::ui {

std::vector<ImportField> memberImportFields() {
    std::vector<ImportField> fields;
    for (int f = 0; f < MemberImportFieldCount; ++f)
        fields.push_back({memberImportCaption(f), memberImportHeaders(f), f == MiCode});
    return fields;
}

void importMembers(const ImportHost& host) {
    MemberImportChecker checker(storedMemberCodes(host.shell.state().core));
    runCsvImport({host, QStringLiteral("导入会员"), QStringLiteral("会员"), memberImportFields(), checker});
}

} // namespace vorn::ui
