// The supplier dialog "供货商配置" (CStoreSuppInputDlg): the catalog dialog of
// the supplier kind, declared with its twin in typeinputdlg.h.
#pragma once

#include "typeinputdlg.h"
