#pragma once
#include <QWidget>
#include "framework/dialog.h"
