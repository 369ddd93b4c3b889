#pragma once
#include <QtCore/QFile>
#include "framework/dialog.h"
#include "registry/store.h"
