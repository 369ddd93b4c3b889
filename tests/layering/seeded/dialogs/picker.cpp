#include <QDialog>
#include "framework/dialog.h"
#include "pages/common/rules.h"
#include "common/rules.h"
